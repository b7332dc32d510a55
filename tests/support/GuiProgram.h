#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "shell/Application.h"
#include "shell/PasswordStore.h"
#include "shell/TfrmAvvio.h"
#include "ui/Widgets.h"
#include "shell/TfrmPassword.h"
#include "support/GuiRecorders.h"
#include "support/TempFolder.h"

namespace scortavia::test {

// The whole program started in a fresh temporary program folder, with every message recorded and
// the end of the program counted instead of carried out.
class GuiProgram final {
public:
    // The settings file as an installation ships it, holding `password` (Latin-1 bytes).
    static std::string settingsWith(const std::string& password) {
        return "[Accesso]\r\nValore=" + scramblePassword(password) + "\r\n";
    }

    explicit GuiProgram(const std::optional<std::string>& settings = settingsWith("SCORTAVIA")) {
        if (settings) writeBytes(folder.file("unins000.dll"), *settings);
        program = std::make_unique<Application>(folder.path());
        program->registry().setEndProgramHandler([this] { ++ended; });
        program->start();
    }
    ~GuiProgram() { program.reset(); }

    template <class T>
    T* screen(const char* name) const {
        return program->registry().get<T>(QString::fromLatin1(name));
    }
    TfrmPassword* password() const { return screen<TfrmPassword>("frmPassword"); }

    // Types into the password box (accented letters arrive as typed text) and presses Enter.
    void login(const QString& typed) const {
        QLineEdit* box = password()->txtPassword;
        box->setFocus();
        for (QChar c : typed) {
            if (c.unicode() < 128) {
                QTest::keyClick(box, c.toLatin1());
            } else {
                box->insert(QString(c));
            }
        }
        QTest::keyClick(box, Qt::Key_Return);
    }

    // Logs in and opens the product card from its tile on the main menu, as a user would.
    void openProductCard() const {
        login(QStringLiteral("scortavia"));
        QTest::mouseClick(screen<TfrmAvvio>("frmAvvio")->tiles[0].picture, Qt::LeftButton);
    }

    TempFolder folder;
    MessageRecorder messages;
    std::unique_ptr<Application> program;
    int ended = 0;
};

// Runs `action` on the next modal dialog as soon as it is shown (its exec() blocks the test).
inline void onNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            // Laid out and active first, so clicks land where the controls are.
            if (!QTest::qWaitForWindowActive(dialog)) qWarning("dialog not active");
            action(dialog);
        }
    });
    timer->start();
}

// Clicks `opener`, which opens a modal dialog of type T, and lets `steps` drive it while it is shown;
// the dialog is closed afterwards if `steps` left it open. False when no such dialog appeared.
template <class T>
bool withModal(QAbstractButton* opener, const std::function<void(T*)>& steps) {
    bool seen = false;
    onNextModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<T*>(widget);
        if (!dialog) {
            widget->close();
            return;
        }
        seen = true;
        steps(dialog);
        if (dialog->isVisible()) dialog->close();
    });
    QTest::mouseClick(opener, Qt::LeftButton);
    return seen;
}

}  // namespace scortavia::test
