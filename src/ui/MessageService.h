#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

#include "ui/QtText.h"

class QWidget;

namespace scortavia {

enum class MessageKind { Warning, Error, Information, Plain, Question };

struct ShownMessage {
    MessageKind kind;
    QString text;  // exactly as the program holds it, line breaks included
    QMessageBox::StandardButtons buttons;
};

// Every modal message of the program. Warning, error and information show OK and Cancel and
// ignore the answer; plain shows OK only; a question shows Yes and No and goes ahead on any
// answer but No.
class MessageService final {
public:
    static void warning(QWidget* parent, const QString& text);
    static void error(QWidget* parent, const QString& text);
    static void information(QWidget* parent, const QString& text);
    static void plain(QWidget* parent, const QString& text);
    static bool question(QWidget* parent, const QString& text);

    static void warning(QWidget* parent, std::string_view text) { warning(parent, toQString(text)); }
    static void error(QWidget* parent, std::string_view text) { error(parent, toQString(text)); }
    static void information(QWidget* parent, std::string_view text) { information(parent, toQString(text)); }
    static void plain(QWidget* parent, std::string_view text) { plain(parent, toQString(text)); }
    static bool question(QWidget* parent, std::string_view text) { return question(parent, toQString(text)); }

    // Tests replace the dialog: the hook sees each message and returns the button "pressed".
    using Hook = std::function<QMessageBox::StandardButton(const ShownMessage&)>;
    static void setHookForTesting(Hook hook);

    // The box the user sees for `message`, ready to be shown: the icon of its kind, Italian buttons.
    static std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const ShownMessage& message);

    // Stored texts break lines with CR LF or LF CR; on screen both are one line break.
    static QString displayText(const QString& text);

private:
    static QMessageBox::StandardButton show(QWidget* parent, const ShownMessage& message);
};

}  // namespace scortavia
