#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace scortavia {
namespace {

// The module catalogues one by one: Qt's "qt_it.qm" only lists them, and fails as a whole when one
// of them is missing.
constexpr const char* kCatalogues[] = {"qtbase_it.qm", "qtmultimedia_it.qm"};

// Marks the translators this file installed, so a second call can take them away first.
constexpr const char* kTranslatorName = "scortaviaQtTexts";

// Texts of the print and file dialogs that Qt's Italian catalogue leaves untranslated.
struct MissingText {
    const char* context;
    const char* source;
    const char* italian;
};
constexpr MissingText kMissingTexts[] = {
    {"QAbstractFileIconProvider", "Drive", "Unità"},
    {"QAbstractFileIconProvider", "Folder", "Cartella"},
    {"QPrintSettingsOutput", "Pages", "Pagine"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
     "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Indicare le pagine o gli intervalli separati da virgole. Un intervallo è dato da due numeri separati da "
     "un trattino. Ad esempio: 3,5-7,9 stampa le pagine 3, 5, 6, 7 e 9."},
    {"QPrintSettingsOutput", "Double Sided Printing", "Stampa fronte/retro"},
    {"QPrintSettingsOutput", "Off", "No"},
    {"QPrintSettingsOutput", "Long side binding", "Rilegatura sul lato lungo"},
    {"QPrintSettingsOutput", "Short side binding", "Rilegatura sul lato corto"},
    {"QPrintPropertiesWidget", "Advanced", "Avanzate"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "Alcune opzioni sono in conflitto tra loro: correggerle."},
};

class MissingQtTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override {
        if (!context || !sourceText) return {};
        for (const MissingText& text : kMissingTexts) {
            if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0) {
                return QString::fromUtf8(text.italian);
            }
        }
        return {};
    }
};

void install(QTranslator* translator) {
    translator->setObjectName(QLatin1String(kTranslatorName));
    QCoreApplication::installTranslator(translator);
}

}  // namespace

QStringList qtTranslationFolders() {
    return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

QString findQtTranslation(const QString& fileName, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder), fileName);
        if (file.isFile()) return file.absoluteFilePath();
    }
    return {};
}

QStringList installItalianQtTexts(const QStringList& folders) {
    QCoreApplication* app = QCoreApplication::instance();
    qDeleteAll(app->findChildren<QTranslator*>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly));
    // Installed first, so it is asked last: a catalogue that has the text wins.
    install(new MissingQtTexts(app));
    QStringList loaded;
    for (const char* catalogue : kCatalogues) {
        const QString path = findQtTranslation(QLatin1String(catalogue), folders);
        if (path.isEmpty()) continue;
        auto* translator = new QTranslator(app);
        if (!translator->load(path)) {
            delete translator;
            continue;
        }
        install(translator);
        loaded << path;
    }
    return loaded;
}

}  // namespace scortavia
