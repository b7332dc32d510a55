#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "products/ImportFile.h"
#include "products/TfrmImportaProdotti.h"
#include "products/TfrmMagazzino.h"
#include "storage/ArchiveFile.h"
#include "support/GuiActions.h"
#include "support/GuiProgram.h"
#include "support/GuiRecorders.h"
#include "ui/Palette.h"

using namespace scortavia;

namespace {

using P = ProductLayout;

// Three products the way a shop's sheet holds them: one ready, one to check, one that cannot go in.
const std::string kSheet =
    "Codice;Nome prodotto;Costo;Prezzo;Categoria;Aspetto;Caratteristiche;Giacenza\n"
    "VT-01;Viti M6;0,08;0,15;Ferramenta;Scatola da 100;Zincate;120\n"
    "MA-02;Martello;14,905;24,90;Utensili;Sfuso;Manico in legno;3\n"
    "CH-03;;2,00;3,50;Utensili;Sfuso;Chiave inglese;5\n";

QString cell(const TfrmImportaProdotti* screen, int row, int column) {
    const QAbstractItemModel* model = screen->grdAnteprima->model();
    return model->data(model->index(row, column), Qt::DisplayRole).toString();
}
// Counts the moves of the lists over the grid's columns.
class ListMoves final : public QObject {
public:
    int moves = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Move && watched->objectName().startsWith(QStringLiteral("cboCampo_"))) ++moves;
        return false;
    }
};

// A sheet of `columns` named columns (the first three the card's) and `rows` products, each line
// followed by `emptyAfter` empty separators.
std::string wideSheet(int columns, int rows, int emptyAfter = 0) {
    std::string csv = "Codice;Nome;Costo";
    for (int c = 3; c < columns; ++c) csv += ";Colonna " + std::to_string(c);
    csv += std::string(static_cast<std::size_t>(emptyAfter), ';') + "\n";
    for (int r = 0; r < rows; ++r) {
        csv += "C" + std::to_string(r) + ";Vite;1,00";
        for (int c = 3; c < columns; ++c) csv += ";x";
        csv += std::string(static_cast<std::size_t>(emptyAfter), ';') + "\n";
    }
    return csv;
}

QString tip(const TfrmImportaProdotti* screen, int row, int column) {
    const QAbstractItemModel* model = screen->grdAnteprima->model();
    return model->data(model->index(row, column), Qt::ToolTipRole).toString();
}

}  // namespace

class ProductImportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    std::filesystem::path sheet(const std::string& bytes, const char* name = "prodotti.csv") const {
        const auto path = run->folder.path() / name;
        test::writeBytes(path, bytes);
        return path;
    }

    // The product card with `products` stored, its import opened and `file` chosen with "Sfoglia...". Qt's
    // model tester watches the preview from before the file is read (every reset, row and column).
    bool withImport(const std::vector<ProductRecord>& products, const std::optional<std::filesystem::path>& file,
                    const std::function<void(TfrmImportaProdotti*)>& steps, const std::string& bytes = kSheet) {
        run = std::make_unique<test::GuiProgram>();
        if (!products.empty()) run->writeProducts(products);
        const auto chosen = file ? *file : sheet(bytes);
        TfrmMagazzino* card = run->openProductCard();
        if (!card) return false;
        run->files.answers.push_back(QString::fromStdString(chosen.string()));
        return test::withModal<TfrmImportaProdotti>(card->btnImporta, [&](TfrmImportaProdotti* screen) {
            QAbstractItemModelTester tester(screen->grdAnteprima->model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            test::click(screen->cmdSfoglia);
            steps(screen);
        });
    }

private Q_SLOTS:
    void cleanup() { run.reset(); }

    void thePreviewShowsEveryRowAndWhatIsWrong() {
        QVERIFY(withImport({}, std::nullopt, [&](TfrmImportaProdotti* screen) {
            QCOMPARE(screen->objectName(), QStringLiteral("frmImportaProdotti"));
            QCOMPARE(screen->windowTitle(), QStringLiteral(" Importa prodotti da file"));
            QCOMPARE(run->files.requests.size(), 1u);
            QCOMPARE(run->files.requests[0].kind, FileRequest::Kind::Open);

            QCOMPARE(screen->lblPronte->text(), QStringLiteral("Pronte: 1"));
            QCOMPARE(screen->lblAvvisi->text(), QStringLiteral("Con avvisi: 1"));
            QCOMPARE(screen->lblRifiutate->text(), QStringLiteral("Rifiutate: 1"));
            QCOMPARE(screen->grdAnteprima->model()->rowCount(), 3);
            // The row as the sheet numbers it.
            QCOMPARE(cell(screen, 0, 0), QStringLiteral("2"));
            QCOMPARE(cell(screen, 0, 1), QStringLiteral("Pronta"));
            QCOMPARE(cell(screen, 1, 1), QStringLiteral("Avviso"));
            QCOMPARE(cell(screen, 2, 1), QStringLiteral("Rifiutata"));
            // The cost as it will be stored, and why it changed.
            QCOMPARE(cell(screen, 1, ImportPreviewModel::kFixedColumns + 2), QStringLiteral("14,90"));
            QCOMPARE(tip(screen, 1, ImportPreviewModel::kFixedColumns + 2),
                     QStringLiteral("Il valore di «Costo unitario» è arrotondato a 14,90, come nella scheda."));
            QCOMPARE(cell(screen, 2, 2),
                     QStringLiteral("Per salvare la scheda è necessario indicare il nome del prodotto."));
            QVERIFY(screen->lblFormato->text().contains(QStringLiteral("punto e virgola")));
            QVERIFY(!screen->panDoppi->isVisible());
            QVERIFY(screen->cmdImporta->isEnabled());
            QCOMPARE(screen->cmdImporta->text(), QStringLiteral("Importa 2 schede"));

            test::click(screen->chkSoloProblemi);
            QCOMPARE(screen->grdAnteprima->model()->rowCount(), 2);
            QCOMPARE(cell(screen, 0, 0), QStringLiteral("3"));
        }));
    }

    void aColumnsFieldIsChosenAboveIt() {
        QVERIFY(withImport({}, std::nullopt, [&](TfrmImportaProdotti* screen) {
            MappingHeader* header = screen->mappingHeader();
            QCOMPARE(header->choiceCount(), 8u);
            QComboBox* nameColumn = header->choice(1);
            QCOMPARE(nameColumn->objectName(), QStringLiteral("cboCampo_02"));
            QCOMPARE(nameColumn->currentText(), QStringLiteral("Nome prodotto"));
            QVERIFY(nameColumn->isVisible());

            // Ignoring the name refuses every row; giving the name to another column takes it from this one.
            nameColumn->setCurrentIndex(0);
            Q_EMIT nameColumn->activated(0);
            QCOMPARE(screen->lblRifiutate->text(), QStringLiteral("Rifiutate: 3"));
            QVERIFY(!screen->cmdImporta->isEnabled());

            QComboBox* features = header->choice(6);
            const int nameIndex = features->findText(QStringLiteral("Nome prodotto"));
            features->setCurrentIndex(nameIndex);
            Q_EMIT features->activated(nameIndex);
            Q_EMIT nameColumn->activated(nameColumn->findText(QStringLiteral("Nome prodotto")));
            // A field fills from one column only.
            QCOMPARE(features->currentIndex(), 0);
            QCOMPARE(screen->options().mapping[1], std::optional<P::Field>(P::Nome));
            // The features column is now ignored, so every row misses them.
            QCOMPARE(screen->lblRifiutate->text(), QStringLiteral("Rifiutate: 3"));
        }));
    }

    void nothingIsWrittenUntilTheUserConfirms() {
        const std::string before = test::archiveBytes(std::vector<ProductRecord>{test::product("OLD")});
        QVERIFY(withImport({test::product("OLD")}, std::nullopt, [&](TfrmImportaProdotti* screen) {
            run->messages.answers = {QMessageBox::No};
            test::click(screen->cmdImporta);
            QCOMPARE(run->messages.texts().value(0),
                     QStringLiteral("Verranno aggiunte al magazzino 2 nuove schede; 1 riga del file non sarà "
                                    "importata.\n\nSi vuole procedere con l'importazione?"));
            QCOMPARE(test::readBytes(run->productArchive()), before);
            QVERIFY(screen->isVisible());

            test::click(screen->cmdImporta);
            QVERIFY(!screen->isVisible());
        }));
        QCOMPARE(run->messages.shown.size(), 3u);
        QCOMPARE(run->messages.shown[2].kind, MessageKind::Plain);
        QCOMPARE(run->messages.shown[2].text,
                 QStringLiteral("Importazione completata.\n\nSchede aggiunte al magazzino: 2\nRighe non importate: 1"
                                "\n\nIl resoconto, con le righe non importate e il motivo, è nel file "
                                "\"Importazione_Prodotti.txt\" nella cartella del programma."));
        QCOMPARE(run->storedProduct(1).text(P::Codice), std::string("VT-01"));
        QCOMPARE(run->storedProduct(2).text(P::Costo), std::string("14,90"));
        QCOMPARE(run->storedProduct(2).text(P::Giacenza), std::string("3"));
        QCOMPARE(std::filesystem::file_size(run->productArchive()), 3u * ProductRecord::kSize);
        const std::string log = test::readBytes(run->folder.file("Importazione_Prodotti.txt"));
        QVERIFY(log.find("Riga 4 (codice \"CH-03\"): Per salvare la scheda è necessario indicare il nome del "
                         "prodotto.") != std::string::npos);
    }

    void codesAlreadyInTheArchiveAreSkippedOrAddedAsTheUserChooses_data() {
        QTest::addColumn<bool>("addThem");
        QTest::addColumn<int>("records");
        QTest::newRow("saltate") << false << 2;
        QTest::newRow("aggiunte") << true << 3;
    }
    void codesAlreadyInTheArchiveAreSkippedOrAddedAsTheUserChooses() {
        QFETCH(bool, addThem);
        QFETCH(int, records);
        QVERIFY(withImport({test::product("vt-01")}, std::nullopt, [&](TfrmImportaProdotti* screen) {
            QVERIFY(screen->panDoppi->isVisible());
            QCOMPARE(screen->lblDoppi->text(),
                     QStringLiteral("1 riga ha un codice articolo già presente in magazzino:"));
            QVERIFY(screen->optSaltaDoppi->isChecked());
            QCOMPARE(cell(screen, 0, 1), QStringLiteral("Esclusa"));
            if (addThem) test::choose(screen->optAggiungiDoppi);
            QCOMPARE(cell(screen, 0, 1), addThem ? QStringLiteral("Avviso") : QStringLiteral("Esclusa"));
            QVERIFY(tip(screen, 0, 1)
                        .contains(addThem ? QStringLiteral("viene aggiunta una nuova scheda")
                                          : QStringLiteral("la riga non viene importata")));
            test::click(screen->cmdImporta);
        }));
        QCOMPARE(std::filesystem::file_size(run->productArchive()),
                 static_cast<std::uintmax_t>(records) * ProductRecord::kSize);
        QCOMPARE(run->storedProduct(1).text(P::Codice), std::string(addThem ? "VT-01" : "MA-02"));
    }

    // An excluded row is counted on its own, not as a warning; the counts follow the choice both ways.
    void theCountsFollowTheDuplicateChoice() {
        QVERIFY(withImport({test::product("vt-01")}, std::nullopt, [&](TfrmImportaProdotti* screen) {
            const auto counts = [screen] {
                return QStringList{screen->lblPronte->text(), screen->lblAvvisi->text(), screen->lblRifiutate->text(),
                                   screen->lblEscluse->text()};
            };
            const QStringList skipped{QStringLiteral("Pronte: 0"), QStringLiteral("Con avvisi: 1"),
                                      QStringLiteral("Rifiutate: 1"), QStringLiteral("Escluse: 1")};
            QCOMPARE(counts(), skipped);
            QCOMPARE(cell(screen, 0, 1), QStringLiteral("Esclusa"));
            QCOMPARE(cell(screen, 1, 1), QStringLiteral("Avviso"));

            test::choose(screen->optAggiungiDoppi);
            QCOMPARE(counts(), (QStringList{QStringLiteral("Pronte: 0"), QStringLiteral("Con avvisi: 2"),
                                            QStringLiteral("Rifiutate: 1"), QStringLiteral("Escluse: 0")}));
            QCOMPARE(screen->cmdImporta->text(), QStringLiteral("Importa 2 schede"));
            test::choose(screen->optSaltaDoppi);
            QCOMPARE(counts(), skipped);
            QCOMPARE(screen->cmdImporta->text(), QStringLiteral("Importa 1 scheda"));

            // Beside the other counts, in grey like the excluded rows of the grid.
            QVERIFY(screen->lblEscluse->isVisible());
            QCOMPARE(screen->lblEscluse->y(), screen->lblRifiutate->y());
            QVERIFY(screen->lblEscluse->x() > screen->lblRifiutate->x() + screen->lblRifiutate->width());
            QCOMPARE(screen->lblEscluse->palette().color(screen->lblEscluse->foregroundRole()),
                     palette::color("slate"));
            QCOMPARE(screen->lblEscluse->font().bold(), screen->lblRifiutate->font().bold());
        }));
    }

    // Each column's width used to move the lists of every column after it. Now the lists of the columns
    // in view are placed, once, and made when first seen; the others follow the sideways scroll.
    void aWideSheetPlacesOnlyTheListsInView() {
        constexpr int kColumns = 300;
        ListMoves moves;
        qApp->installEventFilter(&moves);
        QVERIFY(withImport(
            {}, std::nullopt,
            [&](TfrmImportaProdotti* screen) {
                qApp->removeEventFilter(&moves);
                MappingHeader* header = screen->mappingHeader();
                QCOMPARE(header->choiceCount(), static_cast<std::size_t>(kColumns));
                QCOMPARE(screen->grdAnteprima->model()->columnCount(), ImportPreviewModel::kFixedColumns + kColumns);
                const QList<QComboBox*> made = header->viewport()->findChildren<QComboBox*>();
                QVERIFY2(made.size() < 40, qPrintable(QString::number(made.size())));
                QVERIFY2(moves.moves <= 2 * static_cast<int>(made.size()), qPrintable(QString::number(moves.moves)));
                QCOMPARE(header->choice(0)->currentText(), QStringLiteral("Codice articolo"));
                QVERIFY(header->choice(0)->isVisible());

                QScrollBar* sideways = screen->grdAnteprima->horizontalScrollBar();
                sideways->setValue(sideways->maximum());
                QComboBox* last = header->findChild<QComboBox*>(QStringLiteral("cboCampo_%1").arg(kColumns));
                QVERIFY(last != nullptr);
                QVERIFY(last->isVisible());
                const int section = ImportPreviewModel::kFixedColumns + kColumns - 1;
                QCOMPARE(last->x(), header->sectionViewportPosition(section) + 2);
                QCOMPARE(last->width(), header->sectionSize(section) - 4);
                QVERIFY(!header->choice(0)->isVisible());
                QCOMPARE(last->currentIndex(), 0);
            },
            wideSheet(kColumns, 2)));
        qApp->removeEventFilter(&moves);
    }

    // 50 products that a spreadsheet program saved out to its last column, 16,384.
    void emptyColumnsAtTheEndAreNoColumns() {
        QVERIFY(withImport(
            {}, std::nullopt,
            [&](TfrmImportaProdotti* screen) {
                QCOMPARE(screen->mappingHeader()->choiceCount(), 3u);
                QCOMPARE(screen->grdAnteprima->model()->columnCount(), ImportPreviewModel::kFixedColumns + 3);
                QCOMPARE(screen->grdAnteprima->model()->rowCount(), 50);
            },
            wideSheet(3, 50, 16'381)));
    }

    // Another copy imported the same codes after this preview was shown: with "Non importarle" they
    // are skipped when the rows are written, and the final message counts them.
    void codesAnotherCopyAddedAfterThePreviewAreSkipped() {
        QVERIFY(withImport({test::product("OLD")}, std::nullopt, [&](TfrmImportaProdotti* screen) {
            QCOMPARE(screen->cmdImporta->text(), QStringLiteral("Importa 2 schede"));
            auto other = ArchiveFile::openOrCreate(run->productArchive(), ProductRecord::kSize);
            QVERIFY(other && other->append(test::product("vt-01").bytes()));
            test::click(screen->cmdImporta);
        }));
        QCOMPARE(run->messages.shown.size(), 2u);
        QCOMPARE(
            run->messages.shown[1].text,
            QStringLiteral("Importazione completata.\n\nSchede aggiunte al magazzino: 1\nRighe non importate: 2"
                           "\nRighe non importate perché nel frattempo un'altra postazione ha aggiunto lo stesso "
                           "codice articolo: 1\n\nIl resoconto, con le righe non importate e il motivo, è nel file "
                           "\"Importazione_Prodotti.txt\" nella cartella del programma."));
        QCOMPARE(std::filesystem::file_size(run->productArchive()), 3u * ProductRecord::kSize);
        QCOMPARE(run->storedProduct(2).text(P::Codice), std::string("MA-02"));
    }

    // A file whose preview the machine could not hold is refused with the reason, the screen usable.
    void aFileTooLargeForTheMemoryIsRefused() {
        setImportMemoryBudgetForTesting(std::uint64_t{1} << 20);
        std::string sheet = "Codice;Nome\n";
        for (int i = 0; i < 20'000; ++i) sheet += "C" + std::to_string(i) + ";Vite\n";
        QVERIFY(withImport(
            {}, std::nullopt,
            [&](TfrmImportaProdotti* screen) {
                setImportMemoryBudgetForTesting(std::nullopt);
                QCOMPARE(run->messages.shown.size(), 1u);
                QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
                QVERIFY(run->messages.shown[0].text.startsWith(
                    QStringLiteral("Attenzione: il file scelto è troppo grande per la memoria di questo computer")));
                QVERIFY(screen->isVisible());
                QCOMPARE(screen->grdAnteprima->model()->rowCount(), 0);
                QVERIFY(!screen->cmdImporta->isEnabled());
            },
            sheet));
        setImportMemoryBudgetForTesting(std::nullopt);
    }

    void aFileThatCannotBeReadIsRefusedWithItsReason() {
        QVERIFY(withImport(
            {}, std::nullopt,
            [&](TfrmImportaProdotti* screen) {
                QCOMPARE(run->messages.shown.size(), 1u);
                QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
                QVERIFY(run->messages.shown[0].text.contains(QStringLiteral("alla riga 2")));
                QCOMPARE(screen->grdAnteprima->model()->rowCount(), 0);
                QVERIFY(!screen->cmdImporta->isEnabled());
                QVERIFY(screen->txtFile->text().isEmpty());
            },
            "Codice;Nome\nA;\"Vite\nB;Dado\n"));
    }
};

QTEST_MAIN(ProductImportTest)
#include "ProductImportTest.moc"
