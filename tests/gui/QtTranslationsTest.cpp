#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTranslator>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "shell/Application.h"
#include "support/GuiActions.h"
#include "support/TempFolder.h"
#include "ui/FileDialogService.h"
#include "ui/QtTranslations.h"

using namespace scortavia;

namespace {

// What Qt's windows would say if their texts were left in English; none of it may reach the user.
const char* const kEnglish[] = {"Cancel",
                                "Open",
                                "Save",
                                "Look in",
                                "File name",
                                "Files of type",
                                "Back",
                                "Forward",
                                "Parent Directory",
                                "Create New Folder",
                                "List View",
                                "Detail View",
                                "Name",
                                "Size",
                                "Type",
                                "Date Modified",
                                "Folder",
                                "Drive",
                                "Rename",
                                "Delete",
                                "Show hidden files",
                                "New Folder",
                                "Print",
                                "Printer",
                                "Properties",
                                "Options",
                                "Location",
                                "Output file",
                                "Copies",
                                "Pages",
                                "Print all",
                                "Collate",
                                "Reverse",
                                "Double Sided Printing",
                                "Off",
                                "Long side binding",
                                "Short side binding",
                                "Advanced",
                                "Page",
                                "Paper",
                                "Page size",
                                "Width",
                                "Height",
                                "Orientation",
                                "Portrait",
                                "Landscape",
                                "Margins",
                                "Undo",
                                "Redo",
                                "Cut",
                                "Copy",
                                "Paste",
                                "Select All",
                                "Yes",
                                "Apply",
                                "Close",
                                "Reset",
                                "Help",
                                "Discard",
                                "bytes"};

// A text as the user reads it: no accelerator marks, no shortcut after the tab.
QString asRead(QString text) {
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("&(?=[^&])")));
    return text.simplified();
}

void add(QStringList& texts, const QString& text) {
    if (!asRead(text).isEmpty()) texts << asRead(text);
}

// Every text a window can show, hidden parts included (a real printer shows options the PDF
// printer hides). Names of printers and paths are the system's own and are left out.
QStringList textsOf(QWidget* window) {
    QStringList texts;
    add(texts, window->windowTitle());
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        add(texts, w->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w)) add(texts, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) add(texts, button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w)) add(texts, group->title());
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) add(texts, tabs->tabText(i));
        }
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) add(texts, spin->specialValueText());
        if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model()) {
            for (int i = 0; i < header->count(); ++i)
                add(texts, header->model()->headerData(i, header->orientation()).toString());
        }
        auto* combo = qobject_cast<QComboBox*>(w);
        const bool systemNames = combo && (combo->objectName() == QLatin1String("printers") ||
                                           combo->objectName() == QLatin1String("lookInCombo"));
        if (combo && !systemNames) {
            for (int i = 0; i < combo->count(); ++i) add(texts, combo->itemText(i));
        }
    }
    for (QAction* action : window->findChildren<QAction*>()) add(texts, action->text());
    return texts;
}

// The English words among `texts`, each with the text it was found in.
QStringList englishIn(const QStringList& texts) {
    QStringList found;
    for (const char* word : kEnglish) {
        const QRegularExpression whole(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(QLatin1String(word))));
        for (const QString& text : texts) {
            if (text.contains(whole)) found << QStringLiteral("%1 in \"%2\"").arg(QLatin1String(word), text);
        }
    }
    return found;
}

}  // namespace

class QtTranslationsTest : public QObject {
    Q_OBJECT

    static void expectItalian(const QStringList& texts, const QStringList& expected) {
        for (const QString& text : expected) {
            QVERIFY2(texts.contains(text),
                     qPrintable(QStringLiteral("\"%1\" not among: %2").arg(text, texts.join(" | "))));
        }
        const QStringList english = englishIn(texts);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral("; "))));
    }

private Q_SLOTS:
    // The translations as the program loads them at start.
    void initTestCase() { Application::applyLook(); }

    void fileDialog_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("acceptText");
        QTest::newRow("open") << static_cast<int>(FileRequest::Kind::Open) << "Apri";
        QTest::newRow("save") << static_cast<int>(FileRequest::Kind::Save) << "Salva";
    }
    void fileDialog() {
        QFETCH(int, kind);
        QFETCH(QString, acceptText);
        test::TempFolder folder;
        std::filesystem::create_directory(folder.file("Fatture"));
        test::writeBytes(folder.file("Foto.jpg"), "jpeg");
        const auto dialog = FileDialogService::makeDialog(
            nullptr, {static_cast<FileRequest::Kind>(kind), "Selezionare la foto", "File Jpeg (*.jpg)", "Foto.jpg"});
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        dialog->setDirectory(QString::fromStdString(folder.path().string()));
        dialog->setViewMode(QFileDialog::Detail);
        dialog->show();
        auto* model = dialog->findChild<QFileSystemModel*>();
        QVERIFY(model);
        const QModelIndex root = model->index(QString::fromStdString(folder.path().string()));
        QTRY_COMPARE(model->rowCount(root), 2);

        // The list as the views show it.
        QAbstractProxyModel* shown = dialog->proxyModel();
        QVERIFY(shown);
        const QModelIndex photo =
            shown->mapFromSource(model->index(QString::fromStdString(folder.file("Foto.jpg").string())));
        QCOMPARE(photo.siblingAtColumn(1).data().toString(), QStringLiteral("4 byte"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$"))
                     .match(photo.siblingAtColumn(3).data().toString())
                     .hasMatch(),
                 qPrintable(photo.siblingAtColumn(3).data().toString()));
        QStringList texts = textsOf(dialog.get());
        for (int row = 0; row < shown->rowCount(photo.parent()); ++row) {
            for (int column = 0; column < shown->columnCount(photo.parent()); ++column) {
                add(texts, shown->index(row, column, photo.parent()).data().toString());
            }
        }
        expectItalian(texts, {"Cerca in:", "Nome del file:", "File di tipo:", acceptText, "Annulla", "Indietro",
                              "Cartella superiore", "Crea nuova cartella", "Vista a elenco", "Vista dettagliata",
                              "Nome", "Dimensione", "Tipo", "Data di modifica", "Cartella", "Rinomina",
                              "Nuova cartella", "Mostra i file nascosti"});
    }

    // The folder dialog: it opens where it is told, lists folders only, and speaks Italian.
    void folderDialog() {
        test::TempFolder folder;
        std::filesystem::create_directory(folder.file("Chiavetta"));
        test::writeBytes(folder.file("Foto.jpg"), "jpeg");
        const QString place = QString::fromStdString(folder.path().string());
        const auto dialog =
            FileDialogService::makeDialog(nullptr, {FileRequest::Kind::Folder, "Scegli la cartella", {}, {}, place});
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
        QCOMPARE(dialog->directory().absolutePath(), place);
        dialog->show();
        auto* model = dialog->findChild<QFileSystemModel*>();
        QVERIFY(model);
        QTRY_COMPARE(model->rowCount(model->index(place)), 1);
        QStringList texts = textsOf(dialog.get());
        expectItalian(texts,
                      {"Cerca in:", "Cartella:", "Scegli", "Annulla", "Cartella superiore", "Crea nuova cartella"});
        const QStringList english = englishIn(texts);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral("; "))));
    }

    void printDialog() {
        // As the program's print service sets it up.
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer);
        dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile |
                          QAbstractPrintDialog::PrintShowPageSize);
        dialog.show();
        QStringList texts = textsOf(&dialog);
        QStringList properties;
        auto* propertiesButton = dialog.findChild<QPushButton*>(QStringLiteral("properties"));
        QVERIFY(propertiesButton);
        QVERIFY(test::withModal<QDialog>(propertiesButton, [&](QDialog* shown) { properties = textsOf(shown); }));

        expectItalian(texts, {"Stampante", "Nome:", "Proprietà", "Posizione:", "Tipo:", "File di output:", "Opzioni >>",
                              "Stampa", "Annulla", "Copie", "Stampa tutto", "Pagine da", "Pagine", "Copie:",
                              "Fascicola", "Ordine inverso", "Stampa fronte/retro", "Rilegatura sul lato lungo"});
        expectItalian(properties, {"Proprietà della stampante", "Pagina", "Avanzate", "Carta",
                                   "Dimensione della pagina:", "Larghezza:", "Altezza:", "Orientamento", "Verticale",
                                   "Orizzontale", "Margini", "OK", "Annulla"});
    }

    void boxMenus_data() {
        QTest::addColumn<bool>("help");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("edit box") << false << QStringList{"Annulla", "Rifai",   "Taglia",         "Copia",
                                                          "Incolla", "Elimina", "Seleziona tutto"};
        QTest::newRow("help text") << true << QStringList{"Copia", "Seleziona tutto"};
    }
    void boxMenus() {
        QFETCH(bool, help);
        QFETCH(QStringList, expected);
        QLineEdit box(QStringLiteral("Vite M6"));
        QPlainTextEdit guide(QStringLiteral("Come si cerca un prodotto."));
        guide.setReadOnly(true);
        box.selectAll();
        guide.selectAll();
        // Its parent is the box: declared after it, so it goes first.
        const std::unique_ptr<QMenu> menu(help ? guide.createStandardContextMenu() : box.createStandardContextMenu());
        QStringList texts;
        for (QAction* action : menu->actions()) add(texts, action->text());
        expectItalian(texts, expected);
    }

    // Qt's own questions (the file dialog's "replace it?") use the standard buttons untouched.
    void standardButtons() {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Conferma"), QStringLiteral("Sostituire il file?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Save |
                            QMessageBox::Open | QMessageBox::Close);
        expectItalian(textsOf(&box), {"Sì", "No", "OK", "Annulla", "Salva", "Apri", "Chiudi"});
    }

    // A program folder may carry its own catalogues: they come before the system's, file by file, and a
    // catalogue found nowhere is skipped. Loading again never piles translators up.
    void catalogueFolders() {
        const QString system = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        const QStringList folders = qtTranslationFolders();
        QCOMPARE(folders.first(), QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
        QCOMPARE(folders.last(), system);

        test::TempFolder carried;
        const QString own = QString::fromStdString(carried.path().string());
        QVERIFY(QFile::copy(system + QStringLiteral("/qtbase_it.qm"), own + QStringLiteral("/qtbase_it.qm")));
        QCOMPARE(installItalianQtTexts({own, system}),
                 QStringList({own + QStringLiteral("/qtbase_it.qm"), system + QStringLiteral("/qtmultimedia_it.qm")}));
        const auto installed = QCoreApplication::instance()->findChildren<QTranslator*>().size();
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Cerca in:"));

        test::TempFolder empty;
        QCOMPARE(installItalianQtTexts({QString::fromStdString(empty.path().string())}), QStringList());
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
        QCOMPARE(QCoreApplication::translate("QPrintPropertiesWidget", "Advanced"), QStringLiteral("Avanzate"));

        installItalianQtTexts({own, system});
        QCOMPARE(QCoreApplication::instance()->findChildren<QTranslator*>().size(), installed);
        installItalianQtTexts();
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
