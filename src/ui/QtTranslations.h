#pragma once

#include <QString>
#include <QStringList>

namespace scortavia {

// Qt's own windows (file and print dialogs, standard buttons, the menu of every edit box) speak
// Italian through Qt's translation catalogues.

// The folders searched, in order: a "translations" folder beside the executable, so a program
// folder carried to another machine brings its own, then the folder of the Qt installation.
QStringList qtTranslationFolders();

// `fileName` in the first of `folders` that holds it; empty when none does.
QString findQtTranslation(const QString& fileName, const QStringList& folders);

// Installs the Italian catalogues found in `folders`, and the program's Italian for the few texts
// they leave in English. A missing catalogue is skipped: those texts stay in English and the program
// goes on. Installing again replaces what an earlier call installed. Returns the files loaded.
QStringList installItalianQtTexts(const QStringList& folders = qtTranslationFolders());

}  // namespace scortavia
