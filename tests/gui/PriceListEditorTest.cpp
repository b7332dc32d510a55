#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "pricelists/PriceListPrint.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "storage/CardProtocol.h"
#include "support/GuiActions.h"
#include "support/PriceListEditorFixture.h"
#include "ui/PhotoBox.h"
#include "ui/QtText.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using S = PriceListSlotLayout;

constexpr std::size_t kPage = PriceListPage::kSize;
constexpr const char* kLetters = "ABCDEFGH";

const QString kInserted = QString::fromUtf8("La scheda corrente è stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kUnsavedSlotC = QStringLiteral(
    "\r\n\r\nAttenzione: la foto del riquadro C non è stata salvata nella cartella Foto_Listino: il disco potrebbe "
    "essere pieno oppure la cartella protetta in scrittura. Nel riquadro ora compare l'immagine predefinita.\r\n\r\n"
    "Liberare spazio sul disco o accertarsi di possedere i privilegi di scrittura nella cartella, poi caricare di "
    "nuovo la foto e salvare ancora la scheda.");
const QString kUnsavedEverySlot = QStringLiteral(
    "\r\n\r\nAttenzione: le foto di tutti i riquadri, dalla A alla H, non sono state salvate nella cartella "
    "Foto_Listino: il disco potrebbe essere pieno oppure la cartella protetta in scrittura. Nei riquadri ora compare "
    "l'immagine predefinita.\r\n\r\nLiberare spazio sul disco o accertarsi di possedere i privilegi di scrittura "
    "nella cartella, poi caricare di nuovo le foto e salvare ancora la scheda.");

// The first product's warnings, in the order the boxes are checked: name, appearance, features, code, price.
const QString kFirstProductWarnings[] = {
    QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare il nome del primo prodotto."),
    QString::fromUtf8(
        "Attenzione: per salvare la scheda è necessario indicare l'aspetto esteriore del primo prodotto."),
    QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare le caratteristiche del primo prodotto."),
    QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare il codice articolo del primo prodotto."),
    QString::fromUtf8(
        "Attenzione: per salvare la scheda è necessario indicare il prezzo di vendita del primo prodotto."),
};

// Ends the whole test program, a failure, should a step hang instead of failing.
class HangGuard final {
public:
    explicit HangGuard(unsigned seconds) { ::alarm(seconds); }
    ~HangGuard() { ::alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

}  // namespace

class PriceListEditorTest : public QObject, private test::PriceListEditorFixture {
    Q_OBJECT

    QStringList messages() const { return run->messages.texts(); }

    // Slot A as the first product must be for a save: every box filled.
    void fillFirstProduct() {
        slot('A')->txtNome->setText(QStringLiteral("Vaso rosso"));
        slot('A')->txtUM->setText(QStringLiteral("Terracotta smaltata"));
        slot('A')->txtCaratteristiche->setText(QStringLiteral("Diametro 30 cm"));
        slot('A')->txtCodice->setText(QStringLiteral("VS-30"));
        slot('A')->txtPrezzo->setText(QStringLiteral("24,90"));
    }
    // Clicks the slot's picture and answers the file dialog with `answer` (nothing: cancelled).
    void choosePhoto(char letter, const std::optional<QString>& answer) {
        run->files.answers.push_back(answer);
        QTest::mouseClick(slot(letter)->imgFoto, Qt::LeftButton);
    }
    void chooseRedPhoto(char letter) {
        test::writeColourPhoto(file("rosso.jpg"), QColor(210, 20, 20));
        choosePhoto(letter, qfile("rosso.jpg"));
        QVERIFY(test::mostlyRed(slot(letter)->imgFoto->image()));
    }
    QImage storedPhoto(char letter, int page) const {
        return QImage(QString::fromStdString(pagePhoto(letter, page).string()));
    }

private Q_SLOTS:
    void init() { QVERIFY(openEditor()); }
    void cleanup() { endProgram(); }

    void aNewPageIsEmptyWithItsLimits() {
        QCOMPARE(editor->windowTitle(), QStringLiteral(" Scortavia - Gestione Listino Prezzi"));
        QCOMPARE(editor->lblNome->text(), QStringLiteral("Estate"));
        QVERIFY(editor->lblPosizione->text().isEmpty());
        QVERIFY(slot('A')->txtNome->hasFocus());
        for (const char* l = kLetters; *l; ++l) {
            PriceListSlotBox* box = slot(*l);
            QCOMPARE(box->txtPrezzo->text(), QStringLiteral("0,00"));
            for (QLineEdit* edit : {box->txtNome, box->txtUM, box->txtCaratteristiche, box->txtCodice}) {
                QVERIFY(edit->text().isEmpty());
            }
            QVERIFY(box->imgFoto->showsPlaceholder());
        }
        // Each box holds what its field holds, and no more.
        const std::pair<QLineEdit*, int> limits[] = {{slot('G')->txtCodice, 25},
                                                     {slot('G')->txtNome, 50},
                                                     {slot('G')->txtUM, 120},
                                                     {slot('G')->txtCaratteristiche, 250},
                                                     {slot('G')->txtPrezzo, 12}};
        for (const auto& [box, limit] : limits) {
            test::typeText(box, QString(limit + 10, QLatin1Char('7')));
            QCOMPARE(box->text().size(), limit);
        }
    }

    void theFirstSaveAppendsPageOneThenSavesOverwriteIt() {
        fillFirstProduct();
        chooseRedPhoto('A');
        const FileRequest& asked = run->files.requests.at(0);
        QCOMPARE(asked.kind, FileRequest::Kind::Open);
        QCOMPARE(asked.title, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."));
        QVERIFY(asked.filter.contains("*.jpg") && asked.filter.contains("*.bmp"));

        test::click(editor->cmdSalva);
        QCOMPARE(messages(), QStringList{kInserted});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(editor->lblPosizione->text(), QStringLiteral("1"));
        const std::string archive1 = test::readBytes(archive());
        QCOMPARE(archive1.size(), kPage);
        const PriceListPage stored = test::pageAt(archive1, 0);
        QCOMPARE(stored.text(0, S::Codice), std::string("VS-30"));
        QCOMPARE(stored.text(0, S::Nome), std::string("Vaso rosso"));
        QCOMPARE(stored.text(0, S::UM), std::string("Terracotta smaltata"));
        QCOMPARE(stored.text(0, S::Caratteristiche), std::string("Diametro 30 cm"));
        QCOMPARE(stored.text(0, S::Prezzo), std::string("24,90"));
        for (int k = 1; k < PriceListPage::kSlots; ++k) {
            for (S::Field f : {S::Codice, S::Nome, S::UM, S::Caratteristiche}) QVERIFY(stored.text(k, f).empty());
            QCOMPARE(stored.text(k, S::Prezzo), std::string("0,00"));
        }
        // Eight page photos of page 1, seven of them the placeholder.
        QVERIFY(test::mostlyRed(storedPhoto('A', 1)));
        for (const char* l = kLetters; *l; ++l) {
            const QImage written = storedPhoto(*l, 1);
            QCOMPARE(written.size(), kPhotoSize);
            if (*l != 'A') QVERIFY2(test::looksLike(written, placeholderPhoto()), l);
        }

        slot('A')->txtNome->setText(QStringLiteral("Vaso blu"));
        test::click(editor->cmdSalva);
        QCOMPARE(messages(), (QStringList{kInserted, kUpdated}));
        const std::string archive2 = test::readBytes(archive());
        QCOMPARE(archive2.size(), kPage);
        QCOMPARE(test::pageAt(archive2, 0).text(0, S::Nome), std::string("Vaso blu"));
        QCOMPARE(editor->lblPosizione->text(), QStringLiteral("1"));
        QVERIFY(test::mostlyRed(storedPhoto('A', 1)));
    }

    void overwritingPageTwoLeavesEveryOtherByte() {
        writePages({test::samplePage("1"), test::samplePage("2"), test::samplePage("3")});
        const std::string before = test::readBytes(archive());
        test::click(editor->cmdPrimo);
        test::click(editor->cmdAvanti);
        QCOMPARE(editor->lblPosizione->text(), QStringLiteral("2"));
        QCOMPARE(slot('B')->txtNome->text(), QStringLiteral("Sottovaso 2"));
        slot('B')->txtPrezzo->setText(QStringLiteral("6,50"));
        test::click(editor->cmdSalva);
        QCOMPARE(messages(), QStringList{kUpdated});

        PriceListPage expected = test::samplePage("2");
        expected.setText(1, S::Prezzo, "6,50");
        const std::string after = test::readBytes(archive());
        QCOMPARE(after.size(), 3 * kPage);
        QVERIFY(after.substr(0, kPage) == before.substr(0, kPage));
        QVERIFY(after.substr(kPage, kPage) == test::pageBytes(expected));
        QVERIFY(after.substr(2 * kPage) == before.substr(2 * kPage));
        // The photos carry the number of the page saved, and only that one.
        QVERIFY(std::filesystem::is_regular_file(pagePhoto('H', 2)));
        QVERIFY(!std::filesystem::exists(pagePhoto('A', 1)));
        QVERIFY(!std::filesystem::exists(pagePhoto('A', 3)));
    }

    // clang-format off
    void theFirstProductIsCheckedInOrder_data() {
        QTest::addColumn<QList<int>>("blank");  // boxes of slot A left blank: 0 name ... 4 price
        QTest::addColumn<int>("warned");
        QTest::newRow("name") << QList<int>{0} << 0;
        QTest::newRow("appearance") << QList<int>{1} << 1;
        QTest::newRow("features") << QList<int>{2} << 2;
        QTest::newRow("code") << QList<int>{3} << 3;
        QTest::newRow("price") << QList<int>{4} << 4;
        QTest::newRow("features and price") << QList<int>{2, 4} << 2;
        QTest::newRow("everything") << QList<int>{0, 1, 2, 3, 4} << 0;
    }
    // clang-format on
    void theFirstProductIsCheckedInOrder() {
        QFETCH(QList<int>, blank);
        QFETCH(int, warned);
        fillFirstProduct();
        slot('B')->txtNome->setText(QStringLiteral("Sottovaso"));  // the other slots are never examined
        const std::array<QLineEdit*, 5> boxes = slot('A')->boxesInTabOrder();
        for (int b : blank) boxes[static_cast<std::size_t>(b)]->setText(QStringLiteral("  "));
        test::click(editor->cmdSalva);
        QCOMPARE(messages(), QStringList{kFirstProductWarnings[warned]});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY(boxes[static_cast<std::size_t>(warned)]->hasFocus());
        QCOMPARE(test::readBytes(archive()), std::string());
        QVERIFY(editor->lblPosizione->text().isEmpty());
        QVERIFY(!std::filesystem::exists(pagePhoto('A', 1)));
    }

    void thePriceErasedWhileItHasTheFocusIsMissing() {
        fillFirstProduct();
        QLineEdit* price = slot('A')->txtPrezzo;
        test::typeText(price, QString());
        test::click(editor->cmdSalva);  // the toolbar never takes the focus: the box is not formatted first
        QCOMPARE(messages(), QStringList{kFirstProductWarnings[4]});
        QVERIFY(price->hasFocus());
        QCOMPARE(test::readBytes(archive()), std::string());
    }

    void aFailedSaveWritesNoPhoto() {
        fillFirstProduct();
        std::filesystem::remove(archive());
        std::filesystem::create_directory(archive());  // no archive can be opened under that name
        test::click(editor->cmdSalva);
        QCOMPARE(messages(), QStringList{toQString(kMsgArchiveAccess)});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Error);
        QVERIFY(editor->lblPosizione->text().isEmpty());
        QVERIFY(!std::filesystem::exists(pagePhoto('A', 1)));
        QCOMPARE(slot('A')->txtNome->text(), QStringLiteral("Vaso rosso"));
    }

    void browsingThreePages() {
        writePages({test::samplePage("1"), test::samplePage("2"), test::samplePage("3")});
        struct Step {
            QAbstractButton* button;
            const char* page;  // shown afterwards; empty for a new page
        };
        // From a new page Next shows page 1; Next on the last page and Previous on the first do nothing.
        const Step steps[] = {{editor->cmdAvanti, "1"},   {editor->cmdUltimo, "3"},  {editor->cmdAvanti, "3"},
                              {editor->cmdIndietro, "2"}, {editor->cmdPrimo, "1"},   {editor->cmdIndietro, "1"},
                              {editor->cmdNuovo, ""},     {editor->cmdIndietro, "1"}};
        for (const Step& step : steps) {
            test::click(step.button);
            const QString page = QString::fromLatin1(step.page);
            QCOMPARE(editor->lblPosizione->text(), page);
            QCOMPARE(slot('A')->txtNome->text(), page.isEmpty() ? QString() : QStringLiteral("Vaso ") + page);
            QCOMPARE(slot('C')->txtPrezzo->text(), QStringLiteral("0,00"));
        }
        QVERIFY(slot('A')->txtNome->hasFocus());  // New gave it the focus; browsing left it there
        QCOMPARE(messages(), QStringList{});
    }

    void browsingAListWithoutPages() {
        for (QAbstractButton* arrow : {editor->cmdPrimo, editor->cmdIndietro, editor->cmdAvanti, editor->cmdUltimo}) {
            run->messages.shown.clear();
            test::click(arrow);
            QCOMPARE(messages(), QStringList{kEmpty});
            QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
            QVERIFY(editor->lblPosizione->text().isEmpty());
        }
    }

    void pagePhotosLoadOrGiveThePlaceholder() {
        writePages({test::samplePage("1"), test::samplePage("2")});
        std::filesystem::create_directory(photoFolder());
        test::writeColourPhoto(pagePhoto('A', 1), QColor(210, 20, 20));
        test::writeColourPhoto(pagePhoto('E', 1), QColor(20, 20, 210));
        test::writeBytes(pagePhoto('B', 1), "non sono una foto");
        test::click(editor->cmdPrimo);
        QVERIFY(test::mostlyRed(slot('A')->imgFoto->image()));
        QVERIFY(test::mostlyBlue(slot('E')->imgFoto->image()));
        for (char l : {'B', 'C', 'D', 'F', 'G', 'H'}) QVERIFY(slot(l)->imgFoto->showsPlaceholder());

        test::click(editor->cmdAvanti);  // page 2 has no photo at all
        for (const char* l = kLetters; *l; ++l) QVERIFY(slot(*l)->imgFoto->showsPlaceholder());

        std::filesystem::remove(pagePhoto('A', 1));
        test::click(editor->cmdPrimo);
        QVERIFY(slot('A')->imgFoto->showsPlaceholder());
        QVERIFY(test::mostlyBlue(slot('E')->imgFoto->image()));
        QCOMPARE(messages(), QStringList{});
    }

    void theFolderOfThePhotosIsMadeWhenAPageLoads() {
        // As every step that reads or writes a page photo makes it.
        writePages({test::samplePage("1")});
        test::click(editor->cmdPrimo);
        QVERIFY(std::filesystem::is_directory(photoFolder()));
    }

    void choosingSomethingThatIsNoPicture_data() {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("a text file") << false;
        QTest::newRow("a FIFO") << true;
    }
    void choosingSomethingThatIsNoPicture() {
        QFETCH(bool, fifo);
        chooseRedPhoto('D');
        choosePhoto('D', std::nullopt);  // cancelled: the slot keeps its picture
        QVERIFY(test::mostlyRed(slot('D')->imgFoto->image()));
        if (fifo) {
            QCOMPARE(::mkfifo(file("foto.jpg").c_str(), 0644), 0);
        } else {
            test::writeBytes(file("foto.jpg"), "Listino estate: vasi e sottovasi\n");
        }
        const HangGuard guard(10);
        QElapsedTimer clock;
        clock.start();
        choosePhoto('D', qfile("foto.jpg"));
        QVERIFY(slot('D')->imgFoto->showsPlaceholder());
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(messages(), QStringList{});
        QVERIFY(!std::filesystem::exists(photoFolder()));  // nothing is written before the page is saved
    }

    void aPhotoThatCannotBeWrittenLeavesThePlaceholderInItsSlotOnly() {
        fillFirstProduct();
        chooseRedPhoto('A');
        chooseRedPhoto('C');
        std::filesystem::create_directories(pagePhoto('C', 1));  // a folder where the photo should go
        test::click(editor->cmdSalva);
        // Saved, as the confirmation says, but the lost photo is told in the same message.
        QCOMPARE(messages(), QStringList{kInserted + kUnsavedSlotC});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(test::readBytes(archive()).size(), kPage);
        QVERIFY(slot('C')->imgFoto->showsPlaceholder());
        QVERIFY(test::mostlyRed(slot('A')->imgFoto->image()));
        QVERIFY(test::mostlyRed(storedPhoto('A', 1)));
        QVERIFY(std::filesystem::is_directory(pagePhoto('C', 1)));
        // Seven photos and the folder in the way; no temporary file is left behind.
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(photoFolder())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected;
        for (const char* l = kLetters; *l; ++l) expected.push_back(pagePhoto(*l, 1).filename().string());
        QCOMPARE(names, expected);
    }

    // With no folder for the photos, an overwritten page keeps its photos of before and says none was written.
    void noPhotoFolderLosesEveryPhotoOfTheSaveAndSaysSo() {
        fillFirstProduct();
        chooseRedPhoto('A');
        test::click(editor->cmdSalva);
        QCOMPARE(messages(), QStringList{kInserted});
        std::filesystem::rename(photoFolder(), file("Foto_Listino.vecchia"));
        test::writeBytes(photoFolder(), "non sono una cartella");
        slot('A')->txtNome->setText(QStringLiteral("Vaso blu"));
        chooseRedPhoto('B');
        test::click(editor->cmdSalva);
        QCOMPARE(messages(), (QStringList{kInserted, kUpdated + kUnsavedEverySlot}));
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Warning);
        QCOMPARE(test::pageAt(test::readBytes(archive()), 0).text(0, S::Nome), std::string("Vaso blu"));
        for (const char* l = kLetters; *l; ++l) QVERIFY(slot(*l)->imgFoto->showsPlaceholder());
        QCOMPARE(test::readBytes(photoFolder()), std::string("non sono una cartella"));

        // Room again: the next save writes them all and only confirms.
        std::filesystem::remove(photoFolder());
        chooseRedPhoto('A');
        test::click(editor->cmdSalva);
        QCOMPARE(messages().last(), kUpdated);
        QCOMPARE(run->messages.shown.back().kind, MessageKind::Information);
        QVERIFY(test::mostlyRed(storedPhoto('A', 1)));
    }

    // A list copied in beside this one, differing only in the case of ".lis", has photos of the same names:
    // the save is refused before anything is written, its photos untouched.
    void aSaveThatWouldReplaceAnotherListsPhotosIsRefused() {
        test::writeBytes(file("Estate.LIS"), test::pageBytes(test::samplePage("altro")));
        std::filesystem::create_directory(photoFolder());
        test::writeColourPhoto(pagePhoto('A', 1), QColor(20, 20, 210));
        const std::string theirs = test::readBytes(pagePhoto('A', 1));
        fillFirstProduct();
        chooseRedPhoto('A');
        test::click(editor->cmdSalva);
        QCOMPARE(
            messages(),
            QStringList{QStringLiteral(
                "Attenzione: la scheda non è stata salvata. Nella cartella del programma c'è anche il listino "
                "prezzi «Estate.LIS», con lo stesso nome di questo («Estate.lis») a parte le maiuscole "
                "dell'estensione .lis o gli spazi all'inizio e alla fine: le foto delle sue pagine hanno gli stessi "
                "nomi, e salvando questa pagina si sostituirebbero.\r\n\r\nRinominare uno dei due file nella "
                "cartella di installazione del programma, poi aprire di nuovo il listino.")});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(test::readBytes(archive()), std::string());
        QCOMPARE(test::readBytes(pagePhoto('A', 1)), theirs);
        QVERIFY(!std::filesystem::exists(pagePhoto('B', 1)));
        QVERIFY(editor->lblPosizione->text().isEmpty());
        QVERIFY(test::mostlyRed(slot('A')->imgFoto->image()));  // what was on screen stays for a later save

        // Renamed, the other list no longer stands in the way.
        std::filesystem::rename(file("Estate.LIS"), file("Estate 2023.lis"));
        test::click(editor->cmdSalva);
        QCOMPARE(messages().last(), kInserted);
        QVERIFY(test::mostlyRed(storedPhoto('A', 1)));
    }

    void enterWalksEverySlotAndComesBack() {
        std::vector<QLineEdit*> walk;
        for (const char* l = kLetters; *l; ++l) {
            for (QLineEdit* box : slot(*l)->boxesInTabOrder()) walk.push_back(box);
        }
        walk.front()->setFocus();
        for (QLineEdit* box : walk) {
            QVERIFY2(box->hasFocus(), qPrintable(box->objectName()));
            QTest::keyClick(box, Qt::Key_Return);
        }
        QVERIFY(slot('A')->txtNome->hasFocus());  // from the price of slot H
        // Tab takes the same way, from the left column into the right one.
        slot('D')->txtPrezzo->setFocus();
        QTest::keyClick(slot('D')->txtPrezzo, Qt::Key_Tab);
        QVERIFY(slot('E')->txtNome->hasFocus());
    }

    // clang-format off
    void priceBoxesTypeAndFormatAsTheProductCard_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");  // while typing
        QTest::addColumn<QString>("left");   // once the focus has gone
        QTest::newRow("a full stop is swallowed") << "12.5" << "125" << "125,00";
        QTest::newRow("decimal comma") << "12,5" << "12,5" << "12,50";
        QTest::newRow("letters are swallowed") << "3a,b7" << "3,7" << "3,70";
        QTest::newRow("empty") << "" << "" << "0,00";
    }
    // clang-format on
    void priceBoxesTypeAndFormatAsTheProductCard() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, left);
        QLineEdit* price = slot('F')->txtPrezzo;
        test::typeText(price, typed);
        QCOMPARE(price->text(), shown);
        QTest::keyClick(price, Qt::Key_Return);
        QVERIFY(slot('G')->txtNome->hasFocus());
        QCOMPARE(price->text(), left);
    }

    void leavingShowsTheMenuAndComingBackStartsANewPage() {
        writePages({test::samplePage("1")});
        std::filesystem::create_directory(photoFolder());
        test::writeColourPhoto(pagePhoto('A', 1), QColor(210, 20, 20));
        test::click(editor->cmdPrimo);
        QCOMPARE(editor->lblPosizione->text(), QStringLiteral("1"));
        test::click(editor->cmdEsci);
        QVERIFY(run->menu->isVisible());
        QVERIFY(!editor->isVisible());

        run->registry.switchTo(QStringLiteral("frmListinoPrezzi"), run->menu);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QVERIFY(editor->lblPosizione->text().isEmpty());
        QVERIFY(slot('A')->txtNome->text().isEmpty());
        QVERIFY(slot('B')->txtNome->text().isEmpty());
        QVERIFY(slot('A')->imgFoto->showsPlaceholder());
        QTRY_VERIFY(slot('A')->txtNome->hasFocus());

        editor->close();  // the title bar's close box
        QVERIFY(run->menu->isVisible());
        QVERIFY(!editor->isVisible());
        QCOMPARE(messages(), QStringList{});
    }

    void previewAndPrintOpenTheirDialogs() {
        using Mode = PriceListPrintDialog::Mode;
        for (const auto& [button, mode] :
             {std::pair{editor->cmdAnteprima, Mode::Preview}, {editor->cmdStampa, Mode::Print}}) {
            QVERIFY(test::withModal<PriceListPrintDialog>(button, [mode = mode](PriceListPrintDialog* dialog) {
                QCOMPARE(dialog->mode(), mode);
                test::click(dialog->btnAnnulla);
            }));
        }
    }

    void hoverHints() {
        // An empty hint: the background, a slot's frame or the title bar empty the status line.
        const std::pair<const char*, const char*> hints[] = {
            {"cmdNuovo", "Prepara la schermata per l'inserimento di una nuova scheda."},
            {"bkgProdotto_05", ""},
            {"cmdSalva", "Salva la scheda corrente."},
            {"panTitolo", ""},
            {"cmdAnteprima", "Visualizza l'anteprima di stampa."},
            {"cmdStampa", "Stampa la scheda corrente."},
            {"cmdPrimo", "Visualizza la prima scheda in archivio."},
            {"cmdIndietro", "Visualizza la scheda precedente in archivio."},
            {"cmdAvanti", "Visualizza la scheda successiva in archivio."},
            {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
            {"cmdGuida", "Visualizza la pagina della guida sensibile al contesto."},
            {"cmdEsci", "Esci da questa schermata di lavoro."},
            {"imgFoto_A", "Carica foto."},
            {"bkgProdotto_01", ""},
            {"imgFoto_H", "Carica foto."},
            {"impProdotto_C", "Importa l'articolo dal magazzino."},
        };
        for (const auto& [name, hint] : hints) {
            auto* control = editor->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(control, name);
            QTest::mouseMove(control, QPoint(3, 3));
            QTRY_COMPARE(editor->panInfo->text(), QString::fromUtf8(hint));
        }
        for (auto* b : editor->findChildren<QAbstractButton*>()) QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    }
};

QTEST_MAIN(PriceListEditorTest)
#include "PriceListEditorTest.moc"
