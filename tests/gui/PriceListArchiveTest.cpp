#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "pricelists/PriceListArchiveScreens.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "ui/Palette.h"
#include "ui/PhotoBox.h"
#include "ui/Widgets.h"

using namespace scortavia;
namespace fs = std::filesystem;

namespace {

const QString kNoName =
    QStringLiteral("Attenzione: per creare l'archivio è necessario indicare il nome del nuovo listino prezzi.");
const QString kNameUsed = QStringLiteral(
    "Attenzione: il nome del listino prezzi indicato è già stato utilizzato in precedenza.\r\n\r\nInserire un nome "
    "diverso oppure, se si desidera aprire un listino prezzi già creato, premere il pulsante Apri listino esistente.");
const QString kCreated = QStringLiteral(
    "Il file di archivio relativo al nuovo listino prezzi è stato creato con successo.\r\n\r\nE' ora possibile "
    "visualizzarlo nell'elenco dei listini esistenti.");
const QString kEmptyList = QStringLiteral("Attenzione: l'elenco non contiene nessun listino prezzi.");
const QString kSelectToOpen =
    QStringLiteral("Attenzione: selezionare il listino prezzi dall'elenco prima di premere il pulsante Apri archivio.");
const QString kSelectToDelete = QStringLiteral(
    "Attenzione: selezionare dall'elenco il listino prezzi da eliminare prima di premere il pulsante del cestino.");
const QString kConfirmDelete = QStringLiteral(
    "Si sta per eliminare il listino prezzi selezionato. Si ricorda che il file eliminato non potrà essere "
    "recuperato.\r\n\r\nSi conferma l'eliminazione dell'archivio?");
const QString kDeleted = QStringLiteral("Il listino prezzi è stato eliminato con successo.");

const QString kInserted = QStringLiteral("La scheda corrente è stata inserita in archivio.");

QString countText(int n) { return QStringLiteral("Sono stati creati %1 listini prezzi.").arg(n); }

// The refusal to open `chosen` while `other` would share its page photos.
QString sharedPhotosRefusal(const QString& chosen, const QString& other) {
    return QStringLiteral(
               "Attenzione: i file «%1» e «%2» sono due listini prezzi diversi con lo stesso nome, a parte le "
               "maiuscole "
               "dell'estensione .lis o gli spazi all'inizio e alla fine: le foto delle loro pagine nella cartella "
               "Foto_Listino avrebbero gli stessi nomi, e salvando una pagina dell'uno si sostituirebbero le foto "
               "dell'altro.\r\n\r\nPer aprire il listino, rinominare prima uno dei due file nella cartella di "
               "installazione del programma.")
        .arg(chosen, other);
}

// The names of the entries directly in `folder`, as bytes.
std::set<std::string> entriesOf(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

// Takes the page editor's place while it is not part of the program: the two labels the opening
// screen writes, and a close that goes back to the main menu as the editor's does.
class StandInEditor final : public WorkArea {
public:
    explicit StandInEditor(ScreenRegistry& registry) : WorkArea(registry, QStringLiteral("frmListinoPrezzi")) {
        lblFile = hiddenLabel(QStringLiteral("lblFile"), this);
        lblNome = new QLabel(this);
        lblNome->setObjectName(QStringLiteral("lblNome"));
    }
    QLabel* lblFile;
    QLabel* lblNome;
};

// Every file and folder under `root`, by its path from there.
std::set<std::string> everythingUnder(const fs::path& root) {
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        found.insert(fs::relative(entry.path(), root).string());
    return found;
}

}  // namespace

class PriceListArchiveTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    ScreenRegistry& registry() const { return run->program->registry(); }
    TfrmCreaCatalogo* creation() const { return run->screen<TfrmCreaCatalogo>("frmCreaCatalogo"); }
    TfrmApriCatalogo* opening() const { return run->screen<TfrmApriCatalogo>("frmApriCatalogo"); }
    WorkArea* editor() const { return run->screen<WorkArea>("frmListinoPrezzi"); }
    QLabel* editorLabel(const char* name) const { return editor()->findChild<QLabel*>(QString::fromLatin1(name)); }
    fs::path file(const std::string& name) const { return run->folder.file(name); }
    QString pathOf(const std::string& name) const { return QString::fromStdString(file(name).string()); }
    void touch(const std::string& name, const std::string& bytes = {}) const { test::writeBytes(file(name), bytes); }

    // The screen `name` opened from its tile on the main menu, after logging in and `before`.
    template <class T>
    T* openFromMenu(const char* name, const std::function<void()>& before = {}) {
        run->login(QStringLiteral("scortavia"));
        if (before) before();
        for (const TfrmAvvio::Tile& tile : run->menu()->tiles) {
            if (tile.target == QLatin1String(name)) test::click(tile.picture);
        }
        T* area = run->screen<T>(name);
        if (!area || !area->isVisible() || !QTest::qWaitForWindowActive(area)) return nullptr;
        return area;
    }
    TfrmCreaCatalogo* openCreation() { return openFromMenu<TfrmCreaCatalogo>("frmCreaCatalogo"); }
    TfrmApriCatalogo* openOpening(const std::function<void()>& before = {}) {
        return openFromMenu<TfrmApriCatalogo>("frmApriCatalogo", before);
    }

    TfrmListinoPrezzi* realEditor() const { return run->screen<TfrmListinoPrezzi>("frmListinoPrezzi"); }
    QListWidgetItem* item(const QString& text) const {
        const auto found = opening()->lstFiles->findItems(text, Qt::MatchExactly);
        return found.size() == 1 ? found.front() : nullptr;
    }
    static bool showsRefused(const QListWidgetItem* item) {
        return item->foreground().color() == palette::color("refuseInk") && !item->toolTip().isEmpty();
    }
    bool stillChoosing() const {
        return opening()->isVisible() && !editor()->isVisible() && opening()->lblMemory->text() == "avvio";
    }

    QStringList items() const {
        QStringList texts;
        for (int i = 0; i < opening()->lstFiles->count(); ++i) texts << opening()->lstFiles->item(i)->text();
        return texts;
    }
    void select(const QString& text) const {
        const auto found = opening()->lstFiles->findItems(text, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        opening()->lstFiles->setCurrentItem(found.front());
    }
    bool onlyTheMainMenuShown() const {
        return run->menu()->isVisible() && !creation()->isVisible() && !opening()->isVisible() &&
               !editor()->isVisible() && run->ended == 0;
    }
    // Types every character, accented ones included, as key presses the box's filters see.
    static void typeEach(QLineEdit* box, const QString& text) {
        box->setFocus();
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, box, static_cast<Qt::Key>(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
        }
    }
    // The text as a paste puts it in the box: the typing filter never sees it.
    static void paste(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        // Built here as the program builds them at start-up, until it does so itself.
        if (!registry().screen(QStringLiteral("frmCreaCatalogo")))
            registry().add(std::make_unique<TfrmCreaCatalogo>(registry()));
        if (!registry().screen(QStringLiteral("frmApriCatalogo")))
            registry().add(std::make_unique<TfrmApriCatalogo>(registry()));
        if (!registry().screen(QStringLiteral("frmListinoPrezzi")))
            registry().add(std::make_unique<StandInEditor>(registry()));
    }
    void cleanup() { run.reset(); }

    void creationStartsEmptyAndReadyToType() {
        QVERIFY(openCreation());
        TfrmCreaCatalogo* screen = creation();
        QCOMPARE(screen->windowTitle(), QStringLiteral(" Scortavia - Creazione listino prezzi"));
        QVERIFY(screen->isMaximized());
        QVERIFY(!run->menu()->isVisible());
        QVERIFY(screen->txtFile->hasFocus());
        QCOMPARE(screen->txtFile->text(), QString());
        QCOMPARE(screen->txtFile->maxLength(), 250);
        QVERIFY(screen->txtFile->font().bold());
        QCOMPARE(screen->txtFile->font().pointSize(), 16);
        QVERIFY(!screen->lblFile->isVisibleTo(screen));
        QCOMPARE(screen->btnApplica->text(), QStringLiteral("Applica e chiudi"));
        QCOMPARE(screen->btnAnnulla->text(), QStringLiteral("Annulla"));
    }

    void aNameWithBlanksAroundCreatesAnEmptyArchive() {
        QVERIFY(openCreation());
        test::typeText(creation()->txtFile, QStringLiteral(" Estate "));
        test::click(creation()->btnApplica);
        QCOMPARE(run->messages.texts(), QStringList{kCreated});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
        QVERIFY(fs::is_regular_file(file("Estate.lis")));
        QCOMPARE(fs::file_size(file("Estate.lis")), std::uintmax_t{0});
        QCOMPARE(creation()->lblFile->text(), pathOf("Estate.lis"));
        QVERIFY(onlyTheMainMenuShown());
    }

    // A name typed and Enter: the list is created without touching the mouse, as "Applica e chiudi" creates it.
    // clang-format off
    void enterInTheNameApplies_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("message");
        QTest::newRow("Return") << "Inverno" << int(Qt::Key_Return) << kCreated;
        QTest::newRow("keypad Enter") << " Inverno " << int(Qt::Key_Enter) << kCreated;
        QTest::newRow("blank name") << "  " << int(Qt::Key_Return) << kNoName;
    }
    // clang-format on
    void enterInTheNameApplies() {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, message);
        QVERIFY(openCreation());
        test::typeText(creation()->txtFile, typed);
        QVERIFY(test::pressKey(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier));
        QCOMPARE(run->messages.texts(), QStringList{message});
        const bool created = message == kCreated;
        QCOMPARE(fs::exists(file("Inverno.lis")), created);
        if (created) {
            QCOMPARE(creation()->lblFile->text(), pathOf("Inverno.lis"));
            QVERIFY(onlyTheMainMenuShown());
        } else {
            QVERIFY(creation()->isVisible());
            QVERIFY(creation()->txtFile->hasFocus());
        }
    }

    // Tab reaches the pictures too: the bin and the help, each pressed by Enter or Space.
    void theKeyboardReachesThePictures() {
        touch("Estate.lis");
        QVERIFY(openOpening());
        select(QStringLiteral("Estate.lis"));
        opening()->lstFiles->setFocus();
        QStringList walked;
        for (int i = 0; i < 5; ++i) {
            QVERIFY(test::pressKey(Qt::Key_Tab));
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, (QStringList{"btnElimina", "btnApri", "btnAnnulla", "imgGuida", "lstFiles"}));
        QVERIFY(test::pressKey(Qt::Key_Tab));
        QVERIFY(opening()->findChild<QWidget*>("effElimina")->isVisible());
        QVERIFY(test::pressKey(Qt::Key_Space));
        QCOMPARE(run->messages.texts(), (QStringList{kConfirmDelete, kDeleted}));
        QVERIFY(!fs::exists(file("Estate.lis")));

        QStringList help;
        test::onNextModal([&](QWidget* dialog) {
            help << dialog->objectName();
            dialog->close();
        });
        opening()->imgGuida->setFocus();
        QVERIFY(test::pressKey(Qt::Key_Return));
        QCOMPARE(help, QStringList{"frmGuida"});
        QVERIFY(opening()->isVisible());
    }

    void aNameUsedBeforeIsRefusedAndItsListKept() {
        QVERIFY(openCreation());
        test::typeText(creation()->txtFile, QStringLiteral("Estate"));
        test::click(creation()->btnApplica);
        QVERIFY(onlyTheMainMenuShown());
        touch("Estate.lis", std::string(3696, 'p'));  // a page saved since

        QVERIFY(openCreation());
        test::typeText(creation()->txtFile, QStringLiteral("Estate "));
        test::click(creation()->btnApplica);
        QCOMPARE(run->messages.texts(), (QStringList{kCreated, kNameUsed}));
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Warning);
        QCOMPARE(test::readBytes(file("Estate.lis")), std::string(3696, 'p'));
        QVERIFY(creation()->isVisible());
        QCOMPARE(creation()->txtFile->text(), QStringLiteral("Estate "));
    }

    void refusedNamesCreateNothingAnywhere_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("warningStart");
        const QString badName = QStringLiteral("Attenzione: il nome del listino prezzi ");
        QTest::newRow("nothing") << QString() << true << kNoName;
        QTest::newRow("blanks only") << QStringLiteral("    ") << true << kNoName;
        QTest::newRow("pasted ../x") << QStringLiteral("../x") << false << badName;
        QTest::newRow("pasted a/b") << QStringLiteral("a/b") << false << badName;
        QTest::newRow("pasted a\\b") << QStringLiteral("a\\b") << false << badName;
        QTest::newRow("hidden") << QStringLiteral(".nascosto") << true << badName;
        QTest::newRow("dot dot") << QStringLiteral("..") << true << badName;
        QTest::newRow("pasted tab") << QStringLiteral("Est\tate") << false << badName;
        QTest::newRow("too long in bytes") << QString(126, QChar(0xE8)) << false << badName;
    }
    void refusedNamesCreateNothingAnywhere() {
        QFETCH(QString, name);
        QFETCH(bool, typed);
        QFETCH(QString, warningStart);
        const fs::path outside = run->folder.path().parent_path() / "x.lis";
        const bool outsideBefore = fs::exists(outside);
        QVERIFY(openCreation());
        const std::set<std::string> before = everythingUnder(run->folder.path());
        if (typed) {
            test::typeText(creation()->txtFile, name);
        } else {
            paste(creation()->txtFile, name);
        }
        QCOMPARE(creation()->txtFile->text(), name);
        test::click(creation()->btnApplica);
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY2(run->messages.shown[0].text.startsWith(warningStart), qPrintable(run->messages.shown[0].text));
        if (warningStart != kNoName) QVERIFY(run->messages.shown[0].text.contains("Il nome può contenere lettere"));
        QCOMPARE(everythingUnder(run->folder.path()), before);
        QCOMPARE(fs::exists(outside), outsideBefore);
        QCOMPARE(creation()->lblFile->text(), QString());
        QVERIFY(creation()->isVisible());
        QVERIFY(creation()->txtFile->hasFocus());
    }

    void typingSkipsTheCharactersAFileNameCannotHold() {
        QVERIFY(openCreation());
        test::typeText(creation()->txtFile, QStringLiteral("a/b?c|d"));
        QCOMPARE(creation()->txtFile->text(), QStringLiteral("abc|d"));
        creation()->txtFile->clear();
        typeEach(creation()->txtFile, QString::fromUtf8("\"*/:<>?\\°ÇÑçñ|Listino è"));
        QCOMPARE(creation()->txtFile->text(), QString::fromUtf8("|Listino è"));
        // A paste is not typing.
        paste(creation()->txtFile, QStringLiteral("Sconti: 10%?"));
        QCOMPARE(creation()->txtFile->text(), QStringLiteral("Sconti: 10%?"));
    }

    void anArchiveThatCannotBeCreatedIsToldAndTheScreenStays() {
        QVERIFY(openCreation());
        fs::remove_all(run->folder.path());  // the program folder gone from under the program
        test::typeText(creation()->txtFile, QStringLiteral("Estate"));
        test::click(creation()->btnApplica);
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY(run->messages.shown[0].text.startsWith(
            "Attenzione: non è stato possibile creare il file di archivio del nuovo listino prezzi."));
        QVERIFY(creation()->isVisible());
        QVERIFY(!run->menu()->isVisible());
    }

    void annullaAndTheCloseBoxGoBackToTheMainMenu() {
        QVERIFY(openCreation());
        test::typeText(creation()->txtFile, QStringLiteral("Estate"));
        test::click(creation()->btnAnnulla);
        QVERIFY(onlyTheMainMenuShown());
        QVERIFY(!fs::exists(file("Estate.lis")));
        QVERIFY(openOpening());
        opening()->close();
        QVERIFY(onlyTheMainMenuShown());
        QVERIFY(openOpening());
        test::click(opening()->btnAnnulla);
        QVERIFY(onlyTheMainMenuShown());
        // Shown again, the creation screen starts over.
        QVERIFY(openCreation());
        QCOMPARE(creation()->txtFile->text(), QString());
        creation()->close();
        QVERIFY(onlyTheMainMenuShown());
        QVERIFY(run->messages.shown.empty());
    }

    void listsTheFoldersArchivesSortedWithTheirCount() {
        for (const char* name : {"b.lis", "A.lis", "c.lis", "Magazzino.pro", ".nascosto.lis", ".b.lis.1a2b3c"}) {
            touch(name);
        }
        fs::create_directory(file("Vecchi"));
        touch("Vecchi/d.lis");
        QVERIFY(openOpening());
        TfrmApriCatalogo* screen = opening();
        QCOMPARE(screen->windowTitle(), QStringLiteral(" Scortavia - Apertura listino prezzi"));
        QVERIFY(screen->isMaximized());
        QCOMPARE(items(), (QStringList{".nascosto.lis", "A.lis", "b.lis", "c.lis"}));
        QCOMPARE(screen->lblCreati->text(), countText(4));
        QCOMPARE(screen->lblMemory->text(), QStringLiteral("avvio"));
        QCOMPARE(screen->lblFile->text(), QString::fromStdString(run->folder.path().string()));
        QCOMPARE(screen->lstFiles->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(screen->lstFiles->font().pointSize(), 14);
        QCOMPARE(screen->lstFiles->item(0)->foreground().color(), QColor(Qt::black));
        QVERIFY(screen->lstFiles->selectedItems().isEmpty());
        QVERIFY(run->messages.shown.empty());
    }

    void aDoubleClickOnlySelects() {
        touch("Estate.lis");
        QVERIFY(openOpening());
        QListWidget* list = opening()->lstFiles;
        const QPoint centre = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(list->selectedItems().size(), 1);
        QVERIFY(opening()->isVisible());
        QVERIFY(!editor()->isVisible());
        QCOMPARE(opening()->lblMemory->text(), QStringLiteral("avvio"));
        QVERIFY(run->messages.shown.empty());
    }

    void openingAndDeletingNeedAListAndASelection_data() {
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("warning");
        QTest::newRow("apri, empty list") << false << false << kEmptyList;
        QTest::newRow("apri, nothing selected") << false << true << kSelectToOpen;
        QTest::newRow("cestino, empty list") << true << false << kEmptyList;
        QTest::newRow("cestino, nothing selected") << true << true << kSelectToDelete;
    }
    void openingAndDeletingNeedAListAndASelection() {
        QFETCH(bool, deleting);
        QFETCH(bool, listed);
        QFETCH(QString, warning);
        if (listed) touch("Estate.lis");
        QVERIFY(openOpening());
        test::click(deleting ? static_cast<QAbstractButton*>(opening()->btnElimina) : opening()->btnApri);
        QCOMPARE(run->messages.texts(), QStringList{warning});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY(opening()->isVisible());
        QVERIFY(!editor()->isVisible());
        QCOMPARE(opening()->lblMemory->text(), QStringLiteral("avvio"));
        QCOMPARE(fs::exists(file("Estate.lis")), listed);
    }

    void apriHandsTheListToTheEditor_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("listName");
        QTest::newRow("Estate") << "Estate.lis"
                                << "Estate";
        QTest::newRow("extension in capitals") << "Vecchio.LIS"
                                               << "Vecchio";
        QTest::newRow("blanks and accents") << "Caffè e tè.lis"
                                            << "Caffè e tè";
    }
    void apriHandsTheListToTheEditor() {
        QFETCH(QString, fileName);
        QFETCH(QString, listName);
        touch("Altro.lis");
        touch(fileName.toStdString());
        QVERIFY(openOpening());
        select(fileName);
        test::click(opening()->btnApri);
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(editorLabel("lblFile")->text(), pathOf(fileName.toStdString()));
        QCOMPARE(editorLabel("lblNome")->text(), listName);
        QCOMPARE(opening()->lblFile->text(), pathOf(fileName.toStdString()));
        QCOMPARE(opening()->lblMemory->text(), QStringLiteral("listino"));
        QVERIFY(editor()->isVisible());
        QVERIFY(!opening()->isVisible());
        QVERIFY(!run->menu()->isVisible());

        // Back from the editor and in again: closing now leads to the main menu, not the editor.
        editor()->close();
        QVERIFY(run->menu()->isVisible());
        QVERIFY(openOpening());
        QCOMPARE(opening()->lblMemory->text(), QStringLiteral("avvio"));
        QVERIFY(opening()->lstFiles->selectedItems().isEmpty());
        test::click(opening()->btnAnnulla);
        QVERIFY(onlyTheMainMenuShown());
    }

    // Two lists whose page photos would have the same names: both listed and counted, neither opened.
    void listsDifferingInTheCaseOfLisAreShownButNotOpened() {
        touch("Estate.lis", std::string(3696, 'p'));
        touch("Estate.LIS", std::string(3696, 'q'));
        touch("Inverno.lis");
        QVERIFY(openOpening());
        QCOMPARE(items(), (QStringList{"Estate.LIS", "Estate.lis", "Inverno.lis"}));
        QCOMPARE(opening()->lblCreati->text(), countText(3));
        QVERIFY(showsRefused(item("Estate.lis")));
        QVERIFY(showsRefused(item("Estate.LIS")));
        QCOMPARE(item("Inverno.lis")->foreground().color(), QColor(Qt::black));
        QVERIFY(item("Inverno.lis")->toolTip().isEmpty());
        for (const auto& [chosen, other] : {std::pair{QStringLiteral("Estate.lis"), QStringLiteral("Estate.LIS")},
                                            std::pair{QStringLiteral("Estate.LIS"), QStringLiteral("Estate.lis")}}) {
            run->messages.shown.clear();
            select(chosen);
            test::click(opening()->btnApri);
            QCOMPARE(run->messages.texts(), QStringList{sharedPhotosRefusal(chosen, other)});
            QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
            QVERIFY(stillChoosing());
        }
        QCOMPARE(test::readBytes(file("Estate.lis")), std::string(3696, 'p'));
        QCOMPARE(test::readBytes(file("Estate.LIS")), std::string(3696, 'q'));
        QVERIFY(!fs::exists(file("Foto_Listino")));
        // Once one is renamed, the other opens; the one renamed away would come back empty, a twin again.
        fs::rename(file("Estate.LIS"), file("Estate vecchio.lis"));
        run->messages.shown.clear();
        select(QStringLiteral("Estate.LIS"));
        test::click(opening()->btnApri);
        QCOMPARE(run->messages.texts(), QStringList{sharedPhotosRefusal("Estate.LIS", "Estate.lis")});
        QVERIFY(stillChoosing());
        run->messages.shown.clear();
        select(QStringLiteral("Estate.lis"));
        test::click(opening()->btnApri);
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(editorLabel("lblFile")->text(), pathOf("Estate.lis"));
        QVERIFY(editor()->isVisible());
    }

    // Another copy of the program, or the user, may put the twin there while the list is on screen.
    void aTwinThatCameAfterTheListingIsCaughtWhenOpening() {
        touch("Estate.lis");
        QVERIFY(openOpening());
        QVERIFY(!showsRefused(item("Estate.lis")));
        touch(" Estate.lis");
        select(QStringLiteral("Estate.lis"));
        test::click(opening()->btnApri);
        QCOMPARE(run->messages.texts(), QStringList{sharedPhotosRefusal("Estate.lis", " Estate.lis")});
        QVERIFY(stillChoosing());
        QVERIFY(showsRefused(item("Estate.lis")));
    }

    void aNameWhosePhotosWouldBeAnotherListsIsTaken() {
        touch(" Estate.lis", "pagine");
        QVERIFY(openCreation());
        test::typeText(creation()->txtFile, QStringLiteral("Estate"));
        test::click(creation()->btnApplica);
        QCOMPARE(run->messages.texts(), QStringList{kNameUsed});
        QVERIFY(!fs::exists(file("Estate.lis")));
        QCOMPARE(test::readBytes(file(" Estate.lis")), std::string("pagine"));
    }

    // Names no new list may have, made by other systems and tools: each listed as it reads, opened by the
    // bytes on disk, and its page saved there with photos named as every copy of the program names them.
    void oddNamesAreListedAndOpenedByTheirBytes_data() {
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("photo");  // of slot A, page 1; empty when its name cannot fit
        QTest::newRow("leading blank") << QByteArray(" Estate.lis") << " Estate.lis"
                                       << QByteArray("Estate_Foto_A_1.jpg");
        QTest::newRow("trailing blank") << QByteArray("Estate .lis") << "Estate .lis"
                                        << QByteArray("Estate_Foto_A_1.jpg");
        QTest::newRow("leading dot") << QByteArray(".Estate.lis") << ".Estate.lis"
                                     << QByteArray(".Estate_Foto_A_1.jpg");
        QTest::newRow("Windows-1252") << QByteArray("Caff\xE8.lis") << "Caffè.lis"
                                      << QByteArray("Caff\xE8_Foto_A_1.jpg");
        QTest::newRow("230 letters") << QByteArray(230, 'a') + ".lis" << QString(230, 'a') + ".lis"
                                     << QByteArray(230, 'a') + "_Foto_A_1.jpg";
        QTest::newRow("240 letters") << QByteArray(240, 'a') + ".lis" << QString(240, 'a') + ".lis" << QByteArray();
    }
    void oddNamesAreListedAndOpenedByTheirBytes() {
        QFETCH(QByteArray, fileName);
        QFETCH(QString, shown);
        QFETCH(QByteArray, photo);
        const std::string bytes = fileName.toStdString();
        touch(bytes);
        QVERIFY(openOpening());
        QCOMPARE(items(), QStringList{shown});
        QCOMPARE(opening()->lblCreati->text(), countText(1));
        QVERIFY(!showsRefused(item(shown)));
        const std::set<std::string> before = entriesOf(run->folder.path());

        select(shown);
        test::click(opening()->btnApri);
        QVERIFY(run->messages.shown.empty());
        TfrmListinoPrezzi* pages = realEditor();
        QVERIFY(pages && pages->isVisible());
        QCOMPARE(pages->lblNome->text(), shown.chopped(4));
        QCOMPARE(pages->lblFile->text(), QString::fromStdString((run->folder.path() / shown.toStdString()).string()));

        pages->slot('A')->txtNome->setText(QStringLiteral("Vaso"));
        pages->slot('A')->txtUM->setText(QStringLiteral("Terracotta"));
        pages->slot('A')->txtCaratteristiche->setText(QStringLiteral("30 cm"));
        pages->slot('A')->txtCodice->setText(QStringLiteral("VS-30"));
        pages->slot('A')->txtPrezzo->setText(QStringLiteral("24,90"));
        test::click(pages->cmdSalva);
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        if (photo.isEmpty()) {
            QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
            QVERIFY(
                run->messages.shown[0].text.startsWith(kInserted + "\r\n\r\nAttenzione: le foto di tutti i riquadri"));
            QVERIFY(run->messages.shown[0].text.contains("troppo lungo"));
        } else {
            QCOMPARE(run->messages.texts(), QStringList{kInserted});
        }
        // The page went into the file on disk, and no file of another name came into being beside it.
        QCOMPARE(test::readBytes(file(bytes)).size(), std::size_t{3696});
        std::set<std::string> expected = before;
        expected.insert("Foto_Listino");
        QCOMPARE(entriesOf(run->folder.path()), expected);
        const std::set<std::string> photos = entriesOf(file("Foto_Listino"));
        QCOMPARE(photos.size(), photo.isEmpty() ? std::size_t{0} : std::size_t{8});
        if (!photo.isEmpty()) QVERIFY(photos.count(photo.toStdString()));

        // Loaded again, the page shows its photo from the same file.
        test::click(pages->cmdNuovo);
        test::click(pages->cmdPrimo);
        QCOMPARE(pages->slot('A')->txtNome->text(), QStringLiteral("Vaso"));
        QCOMPARE(pages->slot('A')->imgFoto->fileBytes().isEmpty(), photo.isEmpty());
    }

    void namesThatGiveThePhotosNoNameAreListedWithTheReason_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("only the extension") << ".lis"
                                            << "il suo nome senza l'estensione è vuoto";
        QTest::newRow("blanks") << "   .lis"
                                << "il suo nome senza l'estensione è vuoto";
        QTest::newRow("a dot") << "..lis"
                               << "è fatto solo di punti";
        QTest::newRow("backslash") << "a\\b.lis"
                                   << "la barra rovesciata";
    }
    void namesThatGiveThePhotosNoNameAreListedWithTheReason() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        touch(name.toStdString(), "pagine");
        QVERIFY(openOpening());
        QCOMPARE(items(), QStringList{name});
        QCOMPARE(opening()->lblCreati->text(), countText(1));
        QVERIFY(showsRefused(item(name)));
        select(name);
        test::click(opening()->btnApri);
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        const QString& told = run->messages.shown[0].text;
        QVERIFY2(
            told.startsWith("Attenzione: il file «" + name + "» non può essere aperto come listino prezzi, perché "),
            qPrintable(told));
        QVERIFY2(told.contains(reason), qPrintable(told));
        QVERIFY(told.endsWith("rinominare prima il file nella cartella di installazione del programma."));
        QVERIFY(stillChoosing());
        // The bin still removes it, and only it.
        run->messages.shown.clear();
        test::click(opening()->btnElimina);
        QCOMPARE(run->messages.texts(), (QStringList{kConfirmDelete, kDeleted}));
        QVERIFY(!fs::exists(file(name.toStdString())));
        QCOMPARE(items(), QStringList());
    }

    void deletingAWindows1252ListRemovesThatFileOnly() {
        touch("Caff\xE8.lis", "vecchio");
        touch("Caffè.lis", "nuovo");
        QVERIFY(openOpening());
        QCOMPARE(items(), (QStringList{"Caffè.lis", "Caffè.lis"}));
        // The second has the bytes of the older system.
        opening()->lstFiles->setCurrentRow(1);
        test::click(opening()->btnElimina);
        QCOMPARE(run->messages.texts(), (QStringList{kConfirmDelete, kDeleted}));
        QVERIFY(!fs::exists(file("Caff\xE8.lis")));
        QCOMPARE(test::readBytes(file("Caffè.lis")), std::string("nuovo"));
        QCOMPARE(items(), QStringList{"Caffè.lis"});
    }

    void deletingTheLastListLeavesItsPhotos() {
        touch("Estate.lis", "pagine");
        fs::create_directory(file("Foto_Listino"));
        touch("Foto_Listino/Estate_Foto_A_1.jpg", "jpeg");
        touch("Foto_Listino/Estate_Anteprima_A.jpg", "jpeg");
        QVERIFY(openOpening());
        select(QStringLiteral("Estate.lis"));
        test::click(opening()->btnElimina);
        QCOMPARE(run->messages.texts(), (QStringList{kConfirmDelete, kDeleted}));
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Question);
        QCOMPARE(run->messages.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Information);
        QVERIFY(!fs::exists(file("Estate.lis")));
        QVERIFY(fs::exists(file("Foto_Listino/Estate_Foto_A_1.jpg")));
        QVERIFY(fs::exists(file("Foto_Listino/Estate_Anteprima_A.jpg")));
        QCOMPARE(items(), QStringList());
        QCOMPARE(opening()->lblCreati->text(), countText(0));
        QCOMPARE(opening()->lblMemory->text(), QStringLiteral("avvio"));
        QCOMPARE(opening()->lblFile->text(), QString());
        QVERIFY(opening()->isVisible());
        test::click(opening()->btnAnnulla);
        QVERIFY(onlyTheMainMenuShown());
    }

    void answeringNoKeepsTheList() {
        touch("Estate.lis", "pagine");
        touch("Inverno.lis");
        QVERIFY(openOpening());
        select(QStringLiteral("Estate.lis"));
        run->messages.answers.push_back(QMessageBox::No);
        test::click(opening()->btnElimina);
        QCOMPARE(run->messages.texts(), QStringList{kConfirmDelete});
        QCOMPARE(test::readBytes(file("Estate.lis")), std::string("pagine"));
        QCOMPARE(items(), (QStringList{"Estate.lis", "Inverno.lis"}));
        QCOMPARE(opening()->lblCreati->text(), countText(2));
        QVERIFY(opening()->isVisible());
    }

    // Deleting one list of two rebuilds the list from the folder with the new count.
    void deletingOneOfTwoRecountsTheRest() {
        touch("Estate.lis");
        touch("Inverno.lis");
        QVERIFY(openOpening());
        select(QStringLiteral("Inverno.lis"));
        test::click(opening()->btnElimina);
        QCOMPARE(run->messages.texts(), (QStringList{kConfirmDelete, kDeleted}));
        QCOMPARE(items(), QStringList{"Estate.lis"});
        QCOMPARE(opening()->lblCreati->text(), countText(1));
        QVERIFY(fs::exists(file("Estate.lis")));
    }

    void aListThatCannotBeDeletedIsToldSo() {
        touch("Estate.lis");
        QVERIFY(openOpening());
        select(QStringLiteral("Estate.lis"));
        // Something the program cannot remove has taken the archive's place since the list was shown.
        fs::remove(file("Estate.lis"));
        fs::create_directory(file("Estate.lis"));
        touch("Estate.lis/dentro");
        test::click(opening()->btnElimina);
        QCOMPARE(run->messages.shown.size(), std::size_t{2});
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Warning);
        QVERIFY(
            run->messages.shown[1].text.startsWith("Attenzione: il listino prezzi selezionato non è stato eliminato"));
        QVERIFY(!run->messages.texts().contains(kDeleted));
        QVERIFY(fs::exists(file("Estate.lis/dentro")));
        QVERIFY(opening()->isVisible());
    }

    // With no archive found the label says what it said before.
    void anEmptyFolderKeepsTheLastCount() {
        QVERIFY(openOpening());
        QCOMPARE(opening()->lblCreati->text(), countText(0));
        test::click(opening()->btnAnnulla);
        touch("Estate.lis");
        touch("Inverno.lis");
        QVERIFY(openOpening());
        QCOMPARE(opening()->lblCreati->text(), countText(2));
        test::click(opening()->btnAnnulla);
        fs::remove(file("Estate.lis"));
        fs::remove(file("Inverno.lis"));
        QVERIFY(openOpening());
        QCOMPARE(items(), QStringList());
        QCOMPARE(opening()->lblCreati->text(), countText(2));
    }

    void aFolderThatCannotBeReadIsTold() {
        QVERIFY(openOpening([this] { fs::remove_all(run->folder.path()); }));
        QTRY_COMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY(run->messages.shown[0].text.startsWith(
            "Attenzione: non è stato possibile leggere l'elenco dei listini prezzi"));
        QCOMPARE(items(), QStringList());
    }
};

QTEST_MAIN(PriceListArchiveTest)
#include "PriceListArchiveTest.moc"
