#include "ui/FileDialogService.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

namespace scortavia {
namespace {

FileDialogService::Hook& hook() {
    static FileDialogService::Hook instance;
    return instance;
}

// The columns of the file dialog's detailed view.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

// Qt writes a file's size and date in the system's language; here they are Italian whatever the
// system, and the date is written as the program writes dates. Sorting stays with Qt's model.
class ItalianFileColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        QVariant shown = QIdentityProxyModel::data(index, role);
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || shown.toString().isEmpty()) return shown;
        const QModelIndex file = mapToSource(index);
        if (index.column() == kSizeColumn)
            return QLocale(QLocale::Italian, QLocale::Italy).formattedDataSize(files->size(file));
        if (index.column() == kDateColumn)
            return files->lastModified(file).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        return shown;
    }
};

std::optional<QString> ask(QWidget* parent, const FileRequest& request) {
    if (hook()) return hook()(request);
    const std::unique_ptr<QFileDialog> dialog = FileDialogService::makeDialog(parent, request);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QString path = dialog->selectedFiles().value(0);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

void FileDialogService::setHookForTesting(Hook h) { hook() = std::move(h); }

std::unique_ptr<QFileDialog> FileDialogService::makeDialog(QWidget* parent, const FileRequest& request) {
    // Built as Qt's getOpenFileName / getSaveFileName build theirs (the proposed name goes in the name box).
    auto dialog = std::make_unique<QFileDialog>(parent, request.title, request.proposedName, request.filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setProxyModel(new ItalianFileColumns(dialog.get()));
    // Room for the Italian column headings and whole dates; it still fits a 1024 x 700 screen.
    dialog->resize(860, 540);
    if (auto* panes = dialog->findChild<QSplitter*>()) panes->setSizes({150, 690});
    if (auto* details = dialog->findChild<QTreeView*>()) {
        const QFontMetrics metrics = details->fontMetrics();
        const int margin = 3 * metrics.averageCharWidth();
        QHeaderView* header = details->header();
        header->resizeSection(kSizeColumn, metrics.horizontalAdvance(QStringLiteral("Dimensione")) + margin);
        header->resizeSection(kTypeColumn,
                              metrics.horizontalAdvance(QStringLiteral("Documento di testo semplice")) + margin);
        header->resizeSection(kDateColumn, metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00")) + margin);
        // The name takes what is left of the list's width.
        const int others =
            header->sectionSize(kSizeColumn) + header->sectionSize(kTypeColumn) + header->sectionSize(kDateColumn);
        header->resizeSection(0, std::max(160, 650 - others));
    }
    if (!request.folder.isEmpty()) dialog->setDirectory(request.folder);
    if (request.kind == FileRequest::Kind::Open) {
        dialog->setFileMode(QFileDialog::ExistingFile);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
    } else if (request.kind == FileRequest::Kind::Folder) {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
    } else {
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
    }
    return dialog;
}

std::optional<QString> FileDialogService::openFile(QWidget* parent, const QString& title, const QString& filter,
                                                   const QString& folder) {
    return ask(parent, {FileRequest::Kind::Open, title, filter, {}, folder});
}

std::optional<QString> FileDialogService::saveFile(QWidget* parent, const QString& title, const QString& filter,
                                                   const QString& proposedName) {
    return ask(parent, {FileRequest::Kind::Save, title, filter, proposedName});
}

std::optional<QString> FileDialogService::chooseFolder(QWidget* parent, const QString& title, const QString& folder) {
    return ask(parent, {FileRequest::Kind::Folder, title, {}, {}, folder});
}

}  // namespace scortavia
