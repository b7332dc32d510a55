#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace scortavia {

// What a screen asked the user to choose.
struct FileRequest {
    enum class Kind { Open, Save, Folder } kind;
    QString title;
    QString filter;        // Qt form: "Immagine JPEG (*.jpg *.jpeg);;Immagine Bitmap (*.bmp)"
    QString proposedName;  // save dialogs only
    QString folder = {};   // where the dialog opens; Qt's choice when empty
};

// Every open-file, save-file and folder dialog of the program. An empty optional means the user cancelled.
class FileDialogService final {
public:
    static std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter,
                                           const QString& folder = {});
    static std::optional<QString> saveFile(QWidget* parent, const QString& title, const QString& filter,
                                           const QString& proposedName);
    // A folder, not a file: only folders are listed.
    static std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& folder = {});

    // The dialog the user sees for `request`, ready to be shown: always Qt's own, never the desktop's,
    // so it speaks Italian and shows the program's icons whatever the system's language and theme.
    static std::unique_ptr<QFileDialog> makeDialog(QWidget* parent, const FileRequest& request);

    // Tests answer instead of the user: the hook returns the chosen path, or nothing to cancel.
    using Hook = std::function<std::optional<QString>(const FileRequest&)>;
    static void setHookForTesting(Hook hook);
};

}  // namespace scortavia
