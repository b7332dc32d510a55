#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <array>
#include <memory>

#include "products/ProductListScreens.h"
#include "products/TfrmMagazzino.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/PhotoBox.h"
#include "ui/TfrmAllegaCartella.h"
#include "ui/TfrmCalendario.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

const QString kInserted = QString::fromUtf8("La scheda corrente è stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kAccess = QString::fromUtf8(kMsgArchiveAccess.data());

}  // namespace

class ProductCardTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    QStringList messages() const { return run->messages.texts(); }
    std::filesystem::path archive() const { return run->productArchive(); }

    void withProducts(int n) { run->writeProducts(test::numberedProducts(n, "Prodotto ")); }
    void fillMandatory() { test::fillMandatory(card, "VT-01", "Vite", "Scatola", "Ferramenta", "Inox"); }

private Q_SLOTS:
    void init() {
        QVERIFY(openCard());  // MAGAZZINO PRODOTTI
        QVERIFY(!run->menu()->isVisible());
    }
    void cleanup() { endProgram(); }

    void startsAsANewEmptyCard() {
        QCOMPARE(card->txtCosto->text(), QStringLiteral("0,00"));
        QCOMPARE(card->txtGiacenza->text(), QStringLiteral("0"));
        QCOMPARE(card->txtAvviso->text(), QStringLiteral("0"));
        QCOMPARE(card->txtPrezzo->text(), QStringLiteral("0,00"));
        QVERIFY(card->lblPosizione->text().isEmpty());
        QVERIFY(card->txtCodice->hasFocus());
        QVERIFY(card->imgFoto->showsPlaceholder());
        QCOMPARE(card->panInfo->text(), QStringLiteral("Pronto per archiviare una nuova scheda..."));
        QCOMPARE(card->txtCaratteristiche->maxLength(), 250);
        QCOMPARE(card->txtGiacenza->maxLength(), 4);
    }

    // Money boxes show two decimals, whole-number boxes none; both only once the focus leaves them.
    void boxesFormatOnLeaving_data() {
        QTest::addColumn<bool>("money");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const std::pair<const char*, const char*> moneyTable[] = {
            {"5", "5,00"},     {"5,5", "5,50"},   {",5", "0,50"},    {"5,", "5,00"},    {"12,345", "12,35"},
            {"5,575", "5,58"}, {"5,555", "5,55"}, {"2,675", "2,67"}, {"1,005", "1,00"}, {"", "0,00"},
            {"1,2,3", "0,00"}, {",", "0,00"},     {"-7", "7,00"},    {"abc9", "9,00"},  {"000120", "120,00"}};
        for (const auto& [typed, shown] : moneyTable) {
            QTest::addRow("money: %s", typed) << true << QString(typed) << QString(shown);
        }
        // clang-format off
        QTest::newRow("whole: leading zeros") << false << "042" << "42";
        QTest::newRow("whole: empty") << false << "" << "0";
        QTest::newRow("whole: minus swallowed") << false << "-5" << "5";
        QTest::newRow("whole: comma swallowed") << false << "1,5" << "15";
        // clang-format on
    }
    void boxesFormatOnLeaving() {
        QFETCH(bool, money);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        const auto boxes =
            money ? std::array{card->txtCosto, card->txtPrezzo} : std::array{card->txtGiacenza, card->txtAvviso};
        for (QLineEdit* box : boxes) {
            test::typeAndLeave(box, typed, card->txtNote);
            QCOMPARE(box->text(), shown);
        }
    }

    void saveAppendsANewCard() {
        withProducts(5);
        fillMandatory();
        test::typeAndLeave(card->txtCosto, "2,5", card->txtNote);
        card->chkPagato->setChecked(true);
        card->lblFile02->setText("fattura.pdf");
        test::click(card->btnSalva);
        QCOMPARE(messages(), QStringList{kInserted});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("6"));
        const std::string bytes = test::readBytes(archive());
        QCOMPARE(bytes.size(), size_t(6 * 2592));
        const auto saved = test::recordAt<ProductRecord>(bytes, 5);
        QCOMPARE(saved.text(ProductRecord::Codice), std::string("VT-01"));
        QCOMPARE(saved.text(ProductRecord::Costo), std::string("2,50"));
        QCOMPARE(saved.text(ProductRecord::Giacenza), std::string("0"));
        QCOMPARE(bytes.substr(5 * 2592 + 1083, 3), std::string("\x02\x53\xEC"));
        QCOMPARE(saved.text(ProductRecord::File02), std::string("fattura.pdf"));
    }

    void saveAfterNavigationRewritesThatCardOnly() {
        withProducts(5);
        const std::string before = test::readBytes(archive());
        for (int i = 0; i < 3; ++i) test::click(card->cmdAvanti);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
        QCOMPARE(card->txtCodice->text(), QStringLiteral("C3"));
        QVERIFY(messages().isEmpty());
        card->txtNome->setText("Rinominato");
        test::click(card->btnSalva);
        QCOMPARE(messages(), QStringList{kUpdated});
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
        const std::string after = test::readBytes(archive());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.substr(0, 2 * 2592), before.substr(0, 2 * 2592));
        QCOMPARE(after.substr(3 * 2592), before.substr(3 * 2592));
        const auto saved = test::recordAt<ProductRecord>(after, 2);
        QCOMPARE(saved.text(ProductRecord::Nome), std::string("Rinominato"));
    }

    void pictureButtonsLeaveTheBoxAsTyped() {
        fillMandatory();
        test::typeText(card->txtCosto, "5");
        test::click(card->btnSalva);  // takes no focus: the box is not formatted first
        QVERIFY(card->txtCosto->hasFocus());
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Costo), std::string("5"));
    }

    // clang-format off
    void onlyTheFirstMissingMandatoryIsReported_data() {
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("warning");
        QTest::newRow("all empty") << "txtCodice,txtNome,txtUM,txtCosto"
                                   << QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare il "
                                                        "codice articolo.");
        QTest::newRow("cost blank") << "txtCosto,txtPrezzo"
                                    << QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare il "
                                                         "costo unitario.");
        QTest::newRow("category") << "txtTipologia,txtCaratteristiche"
                                  << QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare la "
                                                       "categoria merceologica.");
        QTest::newRow("price only") << "txtPrezzo"
                                    << QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare il "
                                                         "prezzo di vendita.");
    }
    // clang-format on
    void onlyTheFirstMissingMandatoryIsReported() {
        QFETCH(QString, emptied);
        QFETCH(QString, warning);
        fillMandatory();
        const QStringList names = emptied.split(',');
        for (const QString& name : names) card->findChild<QLineEdit*>(name)->setText("   ");
        test::click(card->btnSalva);
        QCOMPARE(messages(), QStringList{warning});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY(!std::filesystem::exists(archive()));
        QCOMPARE(QApplication::focusWidget()->objectName(), names.first());
    }

    void blankStockAndLevelAreSavedAsZero() {
        fillMandatory();
        card->txtGiacenza->setText(" ");
        card->txtAvviso->setText("");
        test::click(card->btnSalva);
        QCOMPARE(card->txtGiacenza->text(), QStringLiteral("0"));
        QCOMPARE(card->txtAvviso->text(), QStringLiteral("0"));
    }

    void duplicate() {
        test::click(card->btnDuplica);
        QCOMPARE(messages(), QStringList{QString::fromUtf8("Attenzione: la duplicazione di una scheda può avvenire "
                                                           "soltanto dopo che questa è stata inserita in archivio.")});
        withProducts(2);
        test::click(card->cmdUltimo);
        card->lblFile01->setText("a.pdf");
        card->lblDesc01->setText("Fattura");
        card->chkPagato->setChecked(true);
        card->txtDataSca->setText("31/12/2026");
        test::click(card->btnDuplica);
        QCOMPARE(messages().last(), QString::fromUtf8("E' ora possibile apportare le proprie modifiche alla scheda "
                                                      "corrente.\n\r\n\rAl termine premere Salva per inserire la "
                                                      "scheda in archivio."));
        QVERIFY(card->lblPosizione->text().isEmpty());
        QVERIFY(card->lblFile01->text().isEmpty());
        QVERIFY(card->lblDesc01->text().isEmpty());
        QCOMPARE(card->txtCodice->text(), QStringLiteral("C2"));
        QVERIFY(card->chkPagato->isChecked());
        QCOMPARE(card->txtDataSca->text(), QStringLiteral("31/12/2026"));
        QVERIFY(card->txtCodice->hasFocus());
        test::click(card->btnSalva);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
    }

    void navigationMessagesAndSilences() {
        test::click(card->cmdPrimo);
        QCOMPARE(messages(), QStringList{kEmpty});
        QVERIFY(std::filesystem::exists(archive()));
        QCOMPARE(std::filesystem::file_size(archive()), std::uintmax_t(0));
        withProducts(3);
        test::click(card->cmdIndietro);  // from a new card: the first
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        test::click(card->cmdIndietro);  // on the first: nothing
        test::click(card->cmdUltimo);
        QCOMPARE(card->txtCodice->text(), QStringLiteral("C3"));
        test::click(card->cmdAvanti);  // on the last: nothing
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
        QCOMPARE(messages(), QStringList{kEmpty});
        test::click(card->btnNuovo);
        QVERIFY(card->lblPosizione->text().isEmpty());
        QCOMPARE(card->txtCodice->text(), QString());
    }

    void paidFlagOnlyChangesOnYesOrNo() {
        run->writeProducts({test::product("Y", "Prodotto", {{ProductLayout::Pagato, "Sì"}}),
                            test::product("X", "Prodotto", {{ProductLayout::Pagato, ""}})});
        test::click(card->cmdPrimo);
        QVERIFY(card->chkPagato->isChecked());
        test::click(card->cmdAvanti);
        QVERIFY(card->chkPagato->isChecked());  // empty flag: box left as it was
    }

    void unreachableArchiveGivesTheAccessMessage() {
        std::filesystem::create_directory(archive());
        fillMandatory();
        test::click(card->btnSalva);
        QCOMPARE(messages(), QStringList{kAccess});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Error);
        QVERIFY(card->lblPosizione->text().isEmpty());
        QCOMPARE(card->txtCodice->text(), QStringLiteral("VT-01"));
        test::click(card->cmdAvanti);
        QCOMPARE(messages().size(), 2);
        QVERIFY(card->lblPosizione->text().isEmpty());
    }

    // An archive the system refuses to write even to root: the access message, and nothing lost.
    void archiveThatCannotBeWritten() {
        withProducts(2);
        const std::string before = test::readBytes(archive());
        test::click(card->cmdUltimo);
        card->txtNome->setText("Modificato");
        const std::string lock = "chattr +i '" + archive().string() + "' 2>/dev/null";
        if (std::system(lock.c_str()) != 0) QSKIP("this filesystem cannot make a file immutable");
        test::click(card->btnSalva);
        std::system(("chattr -i '" + archive().string() + "'").c_str());
        QCOMPARE(messages(), QStringList{kAccess});
        QCOMPARE(card->txtNome->text(), QStringLiteral("Modificato"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        QCOMPARE(test::readBytes(archive()), before);
    }

    void enterWalksTheBoxesAndOpensTheCalendar() {
        card->txtPagamento->setFocus();
        QTest::keyClick(card->txtPagamento, Qt::Key_Return);
        QVERIFY(card->txtDataSca->hasFocus());
        QString key;
        test::onNextModal([&](QWidget* dialog) {
            auto* calendar = qobject_cast<TfrmCalendario*>(dialog);
            key = calendar->lblMemory->text();
            calendar->calAppuntamenti->setSelectedDate(QDate(2024, 3, 5));
            test::click(calendar->btnImportaData);
        });
        QTest::keyClick(card->txtDataSca, Qt::Key_Return);
        QCOMPARE(key, QStringLiteral("datasca"));
        QCOMPARE(card->txtDataSca->text(), QStringLiteral("05/03/2024"));
        card->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(card));
        card->txtNote->setFocus();
        QTest::keyClick(card->txtNote, Qt::Key_Return);
        QVERIFY(card->txtPrezzo->hasFocus());
        QTest::keyClick(card->txtPrezzo, Qt::Key_Return);
        QVERIFY(card->txtCodice->hasFocus());
        QTest::keyClick(card->txtCodice, Qt::Key_Return);
        QVERIFY(card->txtCosto->hasFocus());
    }

    void dueDateBoxKeys() {
        card->txtDataSca->setText("01/01/2020");
        card->txtDataSca->setFocus();
        QTest::keyClick(card->txtDataSca, Qt::Key_Backspace);  // empties, no calendar
        QVERIFY(card->txtDataSca->text().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        card->txtDataSca->setText("01/01/2020");
        QDate shown;
        test::onNextModal([&](QWidget* dialog) {
            auto* calendar = qobject_cast<TfrmCalendario*>(dialog);
            shown = calendar->calAppuntamenti->selectedDate();
            test::click(calendar->btnAnnulla);
        });
        QTest::keyClick(card->txtDataSca, Qt::Key_A);
        QCOMPARE(shown, QDate::currentDate());
        QCOMPARE(card->txtDataSca->text(), QStringLiteral("01/01/2020"));
        test::click(card->delDataSca);
        QVERIFY(card->txtDataSca->text().isEmpty());
    }

    void focusFramesAndHoverHints() {
        card->txtNome->setFocus();
        QVERIFY(card->focusFrame("effNome")->isVisible());
        QVERIFY(!card->focusFrame("effCodice")->isVisible());
        // Mouse moves: over a control its hint, over the card's panel nothing.
        QTest::mouseMove(card->btnSalva);
        QTRY_COMPARE(card->panInfo->text(), QStringLiteral("Salva la scheda corrente."));
        QTest::mouseMove(card->cmdUltimo);
        QTRY_COMPARE(card->panInfo->text(), QStringLiteral("Visualizza l'ultima scheda in archivio."));
        QTest::mouseMove(card->findChild<QWidget*>("panScheda"), QPoint(5, 5));
        QTRY_VERIFY(card->panInfo->text().isEmpty());
        for (auto* b : card->findChildren<PictureButton*>()) QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        for (auto* b : card->findChildren<CaptionButton*>()) QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    }

    void attachmentsDialogEditsTheCardsSixLabels() {
        card->lblFile01->setText("fattura.pdf");
        card->lblDesc01->setText("Fattura di acquisto");
        card->lblDesc03->setText("Solo descrizione");
        QString key;
        QStringList shown;
        QVERIFY(test::withModal<TfrmAllegaCartella>(card->btnAllegati, [&](TfrmAllegaCartella* dialog) {
            key = dialog->lblMemory->text();
            for (QLineEdit* box : {dialog->txtFile01, dialog->txtFile02, dialog->txtFile03, dialog->txtDesc01,
                                   dialog->txtDesc02, dialog->txtDesc03}) {
                shown << box->text();
            }
            dialog->txtDesc02->setText("  Scheda tecnica  ");
            test::click(dialog->btnApplica);
        }));
        QCOMPARE(key, QStringLiteral("magazzino"));
        QCOMPARE(shown, (QStringList{"fattura.pdf", "", "", "Fattura di acquisto", "", "Solo descrizione"}));
        QCOMPARE(card->lblDesc02->text(), QStringLiteral("Scheda tecnica"));
        fillMandatory();
        test::click(card->btnSalva);
        const ProductRecord saved = run->storedProduct(0);
        QCOMPARE(saved.text(ProductRecord::File01), std::string("fattura.pdf"));
        QCOMPARE(saved.text(ProductRecord::Desc02), std::string("Scheda tecnica"));
        QCOMPARE(saved.text(ProductRecord::File03), std::string());
        QCOMPARE(saved.text(ProductRecord::Desc03), std::string("Solo descrizione"));
    }

    // However a stored card reaches the screen, a text longer than its box shows how it starts, the box
    // being typed into included.
    // clang-format off
    void longTextsShowTheirStart_data() {
        QTest::addColumn<QString>("arrival");
        QTest::newRow("arrows") << "arrows";
        QTest::newRow("handed over by the search") << "search";
        QTest::newRow("duplicated after the ends were looked at") << "duplicate";
    }
    // clang-format on
    void longTextsShowTheirStart() {
        QFETCH(QString, arrival);
        using P = ProductLayout;
        run->writeProducts({test::product("C1"), test::product("C2", "Prodotto",
                                                               {{P::Caratteristiche, test::kLongText},
                                                                {P::Note, test::kLongText},
                                                                {P::UM, test::kLongText}})});
        const std::array<QLineEdit*, 3> longBoxes = {card->txtUM, card->txtCaratteristiche, card->txtNote};
        card->txtNote->setFocus();
        if (arrival == QLatin1String("search")) {
            QVERIFY(test::withModal<ListScreen>(card->btnTrova, [](ListScreen* screen) {
                auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
                QVERIFY(search);
                test::click(search->btnCerca);
                test::doubleClickRow(search, 1);
            }));
        } else {
            test::click(card->cmdUltimo);
        }
        if (arrival == QLatin1String("duplicate")) {
            for (QLineEdit* box : longBoxes) box->end(false);
            test::click(card->btnDuplica);
        }
        QCOMPARE(card->txtCodice->text(), QStringLiteral("C2"));
        for (QLineEdit* box : longBoxes) {
            QCOMPARE(box->text(), QString::fromUtf8(test::kLongText).left(box->maxLength()));
            QVERIFY2(test::showsItsStart(box), qPrintable(box->objectName()));
        }
    }

    // Enter in a box of the search moves on and never searches; Enter on "Cerca" searches, once.
    void enterPressesCercaOnlyWhenItHasTheFocus() {
        withProducts(3);
        QVERIFY(test::withModal<ListScreen>(card->btnTrova, [](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            QVERIFY(search);
            QSignalSpy pressed(search->btnCerca, &QPushButton::clicked);
            search->txtNome->setFocus();
            QTest::keyClicks(search->txtNome, "Prodotto");
            QVERIFY(test::pressKey(Qt::Key_Return));
            QVERIFY(!search->txtNome->hasFocus());
            QCOMPARE(pressed.count(), 0);
            QVERIFY(search->panAvvio->isVisible());
            search->btnCerca->setFocus();
            QVERIFY(test::pressKey(Qt::Key_Enter, Qt::KeypadModifier));
            QCOMPARE(pressed.count(), 1);
            QCOMPARE(search->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 3 schede."));
            QVERIFY(search->panContainer->isVisible());
        }));
    }

    // The toolbar and the arrows take no focus; their keys reach them from inside any box, which keeps
    // its text as typed (no key edits it on the way).
    void toolbarKeysPressTheirPictures_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QKeySequence>("keys");
        const std::pair<const char*, const char*> rows[] = {
            {"btnNuovo", "Ctrl+N"},          {"btnDuplica", "Ctrl+Shift+D"},   {"btnSalva", "Ctrl+S"},
            {"btnTrova", "Ctrl+F"},          {"btnAnteprima", "Ctrl+Shift+P"}, {"btnStampa", "Ctrl+P"},
            {"btnAllegati", "Ctrl+Shift+A"}, {"btnSottoscorta", "F7"},         {"btnScaduti", "F8"},
            {"btnEsporta", "Ctrl+Shift+E"},  {"btnImporta", "Ctrl+Shift+I"},   {"btnGuida", "F1"},
            {"cmdPrimo", "Alt+Home"},        {"cmdIndietro", "Ctrl+PgUp"},     {"cmdAvanti", "Ctrl+PgDown"},
            {"cmdUltimo", "Alt+End"},
        };
        for (const auto& [button, keys] : rows) {
            QTest::newRow(button) << QString::fromLatin1(button) << QKeySequence(QString::fromLatin1(keys));
        }
    }
    void toolbarKeysPressTheirPictures() {
        QFETCH(QString, button);
        QFETCH(QKeySequence, keys);
        withProducts(2);
        auto* picture = card->findChild<QAbstractButton*>(button);
        QVERIFY(picture);
        QSignalSpy pressed(picture, &QAbstractButton::clicked);
        // Whatever the key opens is closed again at once.
        QTimer closer;
        closer.setInterval(5);
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
        });
        closer.start();
        test::typeText(card->txtNote, "abc");
        card->txtNote->setCursorPosition(1);
        const QKeyCombination key = keys[0];
        QVERIFY(test::pressKey(key.key(), key.keyboardModifiers()));
        QCOMPARE(pressed.count(), 1);
        if (button != QLatin1String("btnNuovo") && !button.startsWith(QLatin1String("cmd")))
            QCOMPARE(card->txtNote->text(), QStringLiteral("abc"));
    }

    void closingReturnsToTheMenuAndReopeningClears() {
        card->txtCodice->setText("non salvato");
        card->close();
        TfrmAvvio* menu = run->menu();
        QVERIFY(menu->isVisible());
        QVERIFY(!card->isVisible());
        QVERIFY(!run->password()->isVisible());
        test::click(menu->tiles[0].caption);
        QVERIFY(card->txtCodice->text().isEmpty());
    }
};

QTEST_MAIN(ProductCardTest)
#include "ProductCardTest.moc"
