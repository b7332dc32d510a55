#include "ui/FileDialogService.h"

#include <QFileDialog>

namespace scortavia {
namespace {

FileDialogService::Hook& hook() {
    static FileDialogService::Hook instance;
    return instance;
}

}  // namespace

void FileDialogService::setHookForTesting(Hook h) { hook() = std::move(h); }

std::optional<QString> FileDialogService::openFile(QWidget* parent, const QString& title, const QString& filter) {
    if (hook()) return hook()({FileRequest::Kind::Open, title, filter, {}});
    const QString path = QFileDialog::getOpenFileName(parent, title, QString(), filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> FileDialogService::saveFile(QWidget* parent, const QString& title, const QString& filter,
                                                   const QString& proposedName) {
    if (hook()) return hook()({FileRequest::Kind::Save, title, filter, proposedName});
    const QString path = QFileDialog::getSaveFileName(parent, title, proposedName, filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace scortavia
