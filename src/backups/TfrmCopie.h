#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "backups/BackupList.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
class QTableWidget;

namespace scortavia {

class FolderLock;
class PictureButton;
class ScreenRegistry;

// The backups of the shop's data: where they go, the ones found there, and making, checking and
// restoring one. A restore needs the program folder alone: `lock` is the one this copy of the program
// holds (none: nobody else is looked for). After a restore the program ends, so that no screen full of
// the old data can save it over the restored archives.
class TfrmCopie final : public QDialog {
    Q_OBJECT
public:
    TfrmCopie(ScreenRegistry& registry, FolderLock* lock, QWidget* owner);

    QLineEdit* txtCartella;
    QPushButton* btnCartella;
    QTableWidget* lstCopie;
    QLabel* lblStato;
    QPushButton* btnCrea;
    QPushButton* btnVerifica;
    QPushButton* btnRipristina;
    QPushButton* btnAnnullaRipristino;
    PictureButton* imgGuida;
    QPushButton* btnChiudi;

    void btnCartellaClick();
    void btnCreaClick();
    void btnVerificaClick();
    void btnRipristinaClick();
    void btnAnnullaRipristinoClick();

    // The backups as the list shows them, newest first.
    const std::vector<BackupListRow>& rows() const { return rows_; }
    // Reads the backup folder again and lists what it holds, keeping `select` chosen when it is there.
    void refresh(const std::filesystem::path& select = {});

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::filesystem::path folder() const;
    // False, with the reason told, when the backup folder is not set or cannot be reached.
    bool folderReachable();
    const BackupListRow* selectedRow() const;
    bool onServer() const;
    void updateButtons();
    // The restore of `file`, after the user said yes to `question`: the folder alone, the restore, the end.
    void restoreFrom(const std::filesystem::path& file, const QString& question);
    std::filesystem::path lastRestoreCopy() const;

    ScreenRegistry& registry_;
    FolderLock* lock_;
    std::vector<BackupListRow> rows_;
};

}  // namespace scortavia
