#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "export/ExportScreen.h"
#include "movements/MovementCardScreen.h"
#include "products/TfrmMagazzino.h"
#include "support/GuiActions.h"
#include "support/GuiProgram.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using P = ProductLayout;
using M = MovementLayout;

const QString kQuestion = QStringLiteral(
    "L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di schede presenti in "
    "archivio.\r\n\r\nSi vuole esportare i dati adesso?");
const QString kDone =
    QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?");
const QString kFailed = QStringLiteral(
    "Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di Excel non sia già "
    "aperto.");

QString unreadAtOpening(const char* archive) {
    return QStringLiteral(
               "Attenzione: non è stato possibile leggere l'archivio \"%1\", quindi i dati non possono essere "
               "esportati.\r\n\r\nAccertarsi che l'archivio sia accessibile, poi riaprire questa finestra.")
        .arg(QLatin1String(archive));
}
QString notExported(const char* archive) {
    return QStringLiteral(
               "Attenzione: non è stato possibile leggere l'archivio \"%1\", quindi i dati non sono stati "
               "esportati.\r\n\r\nIl file di Excel esportato in precedenza non è stato modificato.")
        .arg(QLatin1String(archive));
}

QString cell(const ExportScreen* screen, int row, int column) {
    return screen->model()->data(screen->model()->index(row, column), Qt::DisplayRole).toString();
}

// What an export may have left behind: a hidden file named after an export.
std::vector<std::string> leftovers(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with('.') && name.find(".xls") != std::string::npos) names.push_back(name);
    }
    return names;
}

}  // namespace

class ExportScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    // The product card with two products stored, its export opened; `steps` drive it while Qt's model
    // tester watches the grid (rows, columns, edits).
    bool withProductExport(const std::function<void(ExportScreen*)>& steps) {
        run = std::make_unique<test::GuiProgram>();
        run->writeProducts({test::product("VT-01", "Viti & bulloni", {{P::Costo, "0,08"}, {P::Giacenza, "120"}}),
                            test::product("MA-02", "Martello", {{P::Costo, "14,90"}, {P::Note, "manico <legno>"}})});
        TfrmMagazzino* card = run->openProductCard();
        if (!card) return false;
        return test::withModal<ExportScreen>(card->btnEsporta, [&](ExportScreen* screen) {
            QAbstractItemModelTester tester(screen->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
            steps(screen);
        });
    }
    std::filesystem::path file(const char* name) const { return run->folder.path() / name; }

private Q_SLOTS:
    void cleanup() { run.reset(); }

    void productGridShowsTheArchive() {
        QVERIFY(withProductExport([](ExportScreen* screen) {
            QCOMPARE(screen->objectName(), QStringLiteral("frmExpMagazzino"));
            QCOMPARE(screen->windowTitle(), QStringLiteral(" Esporta magazzino prodotti in Excel"));
            QVERIFY(screen->grdRecords->alternatingRowColors());
            QCOMPARE(screen->model()->rowCount(), 2);
            QCOMPARE(screen->model()->columnCount(), 18);
            const auto header = [screen](int c) {
                return screen->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole);
            };
            QCOMPARE(header(0).toString(), QStringLiteral("N."));
            QCOMPARE(header(1).toString(), QStringLiteral("Codice articolo"));
            QCOMPARE(header(13).toString(), QStringLiteral("Modalitò di pagamento"));
            QCOMPARE(cell(screen, 0, 0), QStringLiteral("1"));
            QCOMPARE(cell(screen, 1, 0), QStringLiteral("2"));
            QCOMPARE(cell(screen, 0, 1), QStringLiteral("VT-01"));
            QCOMPARE(cell(screen, 0, 3), QStringLiteral("Viti & bulloni"));
            QCOMPARE(cell(screen, 1, 15), QStringLiteral("manico <legno>"));
            QCOMPARE(screen->panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));
            QCOMPARE(screen->cmdEsporta->property("hoverHint").toString(),
                     QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
            QCOMPARE(screen->cmdEsci->property("hoverHint").toString(),
                     QStringLiteral("Esci da questo ambiente di lavoro."));
        }));
    }

    // Columns 1 to 17 of the product export, read-only or editable as the export's design says.
    void onlyEditableColumnsTakeEdits_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("editable");
        QTest::newRow("Codice") << 1 << false;
        QTest::newRow("Costo") << 2 << false;
        QTest::newRow("Nome") << 3 << true;
        QTest::newRow("Giacenza") << 4 << false;
        QTest::newRow("Note") << 15 << true;
        QTest::newRow("Pagato") << 17 << true;
        QTest::newRow("N.") << 0 << false;
    }
    void onlyEditableColumnsTakeEdits() {
        QFETCH(int, column);
        QFETCH(bool, editable);
        QVERIFY(withProductExport([&](ExportScreen* screen) {
            const QModelIndex index = screen->model()->index(0, column);
            const QString before = cell(screen, 0, column);
            QCOMPARE(bool(screen->model()->flags(index) & Qt::ItemIsEditable), editable);
            QCOMPARE(screen->model()->setData(index, QStringLiteral("cambiato"), Qt::EditRole), editable);
            QCOMPARE(cell(screen, 0, column), editable ? QStringLiteral("cambiato") : before);
        }));
    }

    void anEditIsExportedButNeverStored() {
        std::string stored;
        QVERIFY(withProductExport([&](ExportScreen* screen) {
            stored = test::readBytes(run->productArchive());
            screen->model()->setData(screen->model()->index(1, 3), QStringLiteral("Martello da carpentiere"),
                                     Qt::EditRole);
            test::click(screen->cmdEsporta);
        }));
        QCOMPARE(run->messages.texts(), (QStringList{kQuestion, kDone}));
        const std::string written = test::readBytes(file("Magazzino.xls"));
        QVERIFY(written.find("<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1033;0;@\">Martello da "
                             "carpentiere</td>") != std::string::npos);
        QVERIFY(written.find("Viti & bulloni") != std::string::npos);
        QVERIFY(written.find("manico &lt;legno&gt;") != std::string::npos);
        QCOMPARE(test::readBytes(run->productArchive()), stored);
        // The desktop opens the file with the program that opens ".xls" files.
        QCOMPARE(
            run->desktop.opened,
            QStringList{QLatin1Char('"') + QString::fromStdString(file("Magazzino.xls").string()) + QLatin1Char('"')});
        QVERIFY(leftovers(run->folder.path()).empty());
    }

    // Each "No" stops there: the first before anything is written, the second before the desktop opens it.
    void noStopsAtEachQuestion_data() {
        QTest::addColumn<int>("noAt");
        QTest::newRow("export") << 0;
        QTest::newRow("open") << 1;
    }
    void noStopsAtEachQuestion() {
        QFETCH(int, noAt);
        run = std::make_unique<test::GuiProgram>();
        TfrmMagazzino* card = run->openProductCard();
        QVERIFY(card);
        if (noAt == 1) run->messages.answers = {QMessageBox::Yes, QMessageBox::No};
        if (noAt == 0) run->messages.answers = {QMessageBox::No};
        QVERIFY(test::withModal<ExportScreen>(card->btnEsporta, [](ExportScreen* screen) {
            // An empty archive: ten empty rows, numbered nowhere.
            QCOMPARE(screen->model()->rowCount(), 10);
            QCOMPARE(cell(screen, 9, 0), QString());
            test::click(screen->cmdEsporta);
        }));
        QCOMPARE(run->messages.shown.size(), std::size_t(noAt + 1));
        QCOMPARE(std::filesystem::exists(file("Magazzino.xls")), noAt == 1);
        QVERIFY(run->desktop.opened.isEmpty());
    }

    // The grid keeps Tab for its cells; Ctrl+Tab leaves it for the pictures, which Enter presses.
    void theKeyboardLeavesTheGridForThePictures() {
        run = std::make_unique<test::GuiProgram>();
        TfrmMagazzino* card = run->openProductCard();
        QVERIFY(card);
        run->messages.answers = {QMessageBox::No};
        QStringList walked;
        QVERIFY(test::withModal<ExportScreen>(card->btnEsporta, [&](ExportScreen* screen) {
            screen->grdRecords->setFocus();
            QVERIFY(test::pressKey(Qt::Key_Tab, Qt::ControlModifier));
            walked << QApplication::focusWidget()->objectName();
            for (int i = 0; i < 2; ++i) {
                QVERIFY(test::pressKey(Qt::Key_Tab));
                walked << QApplication::focusWidget()->objectName();
            }
            screen->cmdEsporta->setFocus();
            QVERIFY(test::pressKey(Qt::Key_Return));
        }));
        QCOMPARE(walked, (QStringList{"cmdEsporta", "cmdGuida", "cmdEsci"}));
        QCOMPARE(run->messages.texts(), QStringList{kQuestion});
    }

    void aFailedWriteSaysSoAndAsksNothingMore() {
        run = std::make_unique<test::GuiProgram>();
        std::filesystem::create_directory(file("Magazzino.xls"));
        TfrmMagazzino* card = run->openProductCard();
        QVERIFY(card);
        QVERIFY(test::withModal<ExportScreen>(card->btnEsporta, [](ExportScreen* screen) {
            test::click(screen->cmdEsporta);
            QVERIFY(screen->isVisible());
        }));
        QCOMPARE(run->messages.texts(), (QStringList{kQuestion, kFailed}));
        QCOMPARE(run->messages.shown.back().kind, MessageKind::Plain);
        QVERIFY(run->desktop.opened.isEmpty());
        QVERIFY(leftovers(run->folder.path()).empty());
    }

    // An archive that cannot be read is said as the screen opens; "Esporta" then keeps the previous export
    // instead of replacing it with empty rows. A year not begun has no archive yet, and that is no fault.
    void anUnreadableArchiveKeepsThePreviousExport_data() {
        QTest::addColumn<QString>("inPlace");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("cartella") << "folder" << true;
        QTest::newRow("pipe") << "fifo" << true;
        QTest::newRow("senza permesso") << "no-permission" << true;
        QTest::newRow("anno nuovo") << "nothing" << false;
    }
    void anUnreadableArchiveKeepsThePreviousExport() {
        QFETCH(QString, inPlace);
        QFETCH(bool, unreadable);
        if (inPlace == "no-permission" && ::geteuid() == 0) QSKIP("the superuser reads any file");
        run = std::make_unique<test::GuiProgram>();
        const std::filesystem::path year = file("2024.odc");
        if (inPlace == "folder") std::filesystem::create_directory(year);
        if (inPlace == "fifo") QCOMPARE(::mkfifo(year.c_str(), 0644), 0);
        if (inPlace == "no-permission") {
            run->writeMovements("2024", Direction::GoodsIn, {test::movement("Rossi S.r.l.", "VT-01")});
            std::filesystem::permissions(year, std::filesystem::perms::none);
        }
        test::writeBytes(file("Operazioni_Carico.xls"), "esportazione precedente");

        TfrmExpCarichi screen(run->program->registry(), nullptr, [year] { return year; });
        test::execWith<TfrmExpCarichi>(screen, [&](TfrmExpCarichi& shown) {
            if (unreadable) QTRY_COMPARE(run->messages.texts(), QStringList{unreadAtOpening("2024.odc")});
            QCOMPARE(shown.model()->rowCount(), 10);
            test::click(shown.cmdEsporta);
        });

        if (unreadable) {
            QCOMPARE(run->messages.texts(), (QStringList{unreadAtOpening("2024.odc"), notExported("2024.odc")}));
            for (const auto& message : run->messages.shown) QCOMPARE(message.kind, MessageKind::Warning);
            QCOMPARE(test::readBytes(file("Operazioni_Carico.xls")), std::string("esportazione precedente"));
        } else {
            QCOMPARE(run->messages.texts(), (QStringList{kQuestion, kDone}));
            QVERIFY(std::filesystem::is_regular_file(year));
            QVERIFY(test::readBytes(file("Operazioni_Carico.xls")).starts_with("<html"));
            QCOMPARE(run->desktop.opened.size(), 1);
        }
        QVERIFY(leftovers(run->folder.path()).empty());
    }

    // clang-format off
    void movementExportReadsTheCardsYear_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("party");
        QTest::newRow("carico") << Direction::GoodsIn << "frmExpCarichi"
                                << " Esporta archivio operazioni di carico in Excel" << "Operazioni_Carico.xls"
                                << "Fornitore";
        QTest::newRow("scarico") << Direction::GoodsOut << "frmExpScarichi"
                                 << " Esporta archivio operazioni di scarico in Excel" << "Operazioni_Scarico.xls"
                                 << "Cliente";
    }
    // clang-format on
    void movementExportReadsTheCardsYear() {
        QFETCH(Direction, direction);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, file);
        QFETCH(QString, party);
        run = std::make_unique<test::GuiProgram>();
        run->writeMovements("2024", direction, {test::movement("Rossi S.r.l.", "VT-01", {{M::NumDoc, "FT 118"}})});
        // Another year of the same direction is not exported.
        run->writeMovements("2023", direction, {test::movement("Bianchi", "XX-99")});
        MovementCardScreen* card = run->openMovementCard("2024", direction);
        QVERIFY(card);
        QVERIFY(test::withModal<ExportScreen>(card->cmdEsporta, [&](ExportScreen* screen) {
            QCOMPARE(screen->objectName(), name);
            QCOMPARE(screen->windowTitle(), caption);
            QCOMPARE(screen->model()->rowCount(), 1);
            QCOMPARE(screen->model()->columnCount(), 15);
            QCOMPARE(screen->model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), party);
            QCOMPARE(cell(screen, 0, 1), QStringLiteral("FT 118"));
            QCOMPARE(cell(screen, 0, 3), QStringLiteral("Rossi S.r.l."));
            test::click(screen->cmdEsporta);
        }));
        const std::string written = test::readBytes(run->folder.path() / file.toStdString());
        QVERIFY(written.find("Rossi S.r.l.") != std::string::npos);
        QVERIFY(written.find("XX-99") == std::string::npos);
        QVERIFY(written.find("width=250>" + party.toStdString() + "</td>") != std::string::npos);
    }
};

QTEST_MAIN(ExportScreenTest)
#include "ExportScreenTest.moc"
