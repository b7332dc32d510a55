#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "products/ProductCardReport.h"
#include "products/TfrmAnteprimaMag.h"
#include "products/TfrmMagazzino.h"
#include "products/TfrmStampaMag.h"
#include "reports/PrintService.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "ui/PhotoBox.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

QString row(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + QString::number(n).rightJustified(2, QLatin1Char('0'));
}

QImage redPicture() {
    QImage red(120, 90, QImage::Format_RGB32);
    red.fill(QColor(200, 30, 30));
    return red;
}

}  // namespace

class ProductPrintTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    const std::vector<test::PrintJob>& jobs() const { return run->printer.jobs; }

    // Opens the print or the preview dialog from the card and lets `steps` drive it; whatever is
    // still open afterwards is cancelled.
    void openDialog(bool preview, const std::function<void(ProductPrintDialog*)>& steps) {
        QVERIFY(test::withModal<ProductPrintDialog>(preview ? card->btnAnteprima : card->btnStampa, steps));
    }
    void printCard(bool withPhoto, bool preview = false) {
        openDialog(preview, [&](ProductPrintDialog* d) {
            test::choose(withPhoto ? d->optUno : d->optDue);
            test::click(d->btnStampa);
        });
    }

private Q_SLOTS:
    void init() { QVERIFY(openCard()); }
    void cleanup() { endProgram(); }

    // clang-format off
    void dialogsOpenInTheirDesignState_data() {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("withPhoto");
        QTest::addColumn<QString>("withoutPhoto");
        QTest::addColumn<QString>("action");
        QTest::newRow("print") << false << "frmStampaMag" << " Stampa scheda" << "Stampa dati con foto."
                               << "Stampa dati senza foto." << "Stampa";
        QTest::newRow("preview") << true << "frmAnteprimaMag" << " Anteprima di stampa" << "Anteprima dati con foto."
                                 << "Anteprima dati senza foto." << "Mostra anteprima";
    }
    // clang-format on
    void dialogsOpenInTheirDesignState() {
        QFETCH(bool, preview);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, withPhoto);
        QFETCH(QString, withoutPhoto);
        QFETCH(QString, action);
        card->imgFoto->setImage(redPicture());
        openDialog(preview, [&](ProductPrintDialog* d) {
            QCOMPARE(d->objectName(), name);
            if (preview) {
                QVERIFY(qobject_cast<TfrmAnteprimaMag*>(d));
            } else {
                QVERIFY(qobject_cast<TfrmStampaMag*>(d));
            }
            QCOMPARE(d->parentWidget(), card);
            QCOMPARE(d->windowTitle(), caption);
            QCOMPARE(d->optUno->text(), withPhoto);
            QCOMPARE(d->optDue->text(), withoutPhoto);
            QCOMPARE(d->btnStampa->text(), action);
            QCOMPARE(d->btnAnnulla->text(), QStringLiteral("Annulla"));
            QVERIFY(d->optUno->isChecked());
            QVERIFY(!d->optDue->isChecked());
            QCOMPARE(d->lblMemory->text(), QStringLiteral("con"));
            QVERIFY(!d->lblMemory->isVisible() && !d->imgLogo->isVisible() && !d->imgBianco->isVisible());
            QCOMPARE(d->imgLogo->image(), redPicture());
            QVERIFY(d->imgBianco->showsPlaceholder());
            QCOMPARE(d->repFoto->name(), QStringLiteral("Scheda informativa"));
            QCOMPARE(d->repScheda->name(), QStringLiteral("Scheda informativa"));
        });
    }

    void eachChoiceGivesOnePortraitPage_data() {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("withPhoto");
        QTest::newRow("print with photo") << false << true;
        QTest::newRow("print without photo") << false << false;
        QTest::newRow("preview with photo") << true << true;
        QTest::newRow("preview without photo") << true << false;
    }
    void eachChoiceGivesOnePortraitPage() {
        QFETCH(bool, preview);
        QFETCH(bool, withPhoto);
        printCard(withPhoto, preview);
        QCOMPARE(jobs().size(), 1u);
        const test::PrintJob& job = jobs().front();
        QCOMPARE(job.request, preview ? PrintService::Request::Preview : PrintService::Request::Print);
        QCOMPARE(job.name, QStringLiteral("Scheda informativa"));
        QCOMPARE(job.orientation, QPageLayout::Portrait);
        QCOMPARE(qRound(job.paperMm.width()), 210);
        QCOMPARE(qRound(job.paperMm.height()), 297);
        QCOMPARE(job.pages.size(), 1u);
        QCOMPARE(job.find("imgFoto") != nullptr, withPhoto);
        QCOMPARE(job.find("shpAppunti") != nullptr, !withPhoto);
        if (!withPhoto) QCOMPARE(job.text("titAppunti"), QStringLiteral("SPAZIO PER APPUNTI:"));
        QVERIFY(job.find("imgCartella") && !job.find("imgCartella")->picture.isNull());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(card->isVisible());
    }

    void objectsSitInTheirPlaces_data() {
        QTest::addColumn<bool>("withPhoto");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QRectF>("place");
        for (bool photo : {true, false}) {
            const char* tag = photo ? "with photo: " : "without photo: ";
            auto add = [&](const char* object, QRectF place) {
                QTest::addRow("%s%s", tag, object) << photo << QString::fromLatin1(object) << place;
            };
            add("imgCartella", {3, 3, 17, 13});
            add("txtTitolo", {23, 3, 165, 9});
            add("linSepara01", {23, 16, 165, 0});
            add("linSepara02", {3, 265, 185, 0});
            add("txtCalce", {3, 269, 185, 6});
            if (photo) {
                add("imgFoto", {4, 21, 183, 79});
                add("titCampo01", {3, 104, 52, 6});
                add("txtCampo02", {60, 113, 128, 6});
                add("titCampo18", {3, 257, 52, 6});
                add("txtCampo18", {60, 257, 128, 6});
            } else {
                add("titCampo01", {3, 24, 52, 6});
                add("txtCampo02", {60, 34, 128, 6});
                add("titCampo18", {3, 194, 52, 6});
                add("txtCampo18", {60, 194, 128, 6});
                add("shpAppunti", {3, 204, 185, 57});
            }
        }
    }
    void objectsSitInTheirPlaces() {
        QFETCH(bool, withPhoto);
        QFETCH(QString, object);
        QFETCH(QRectF, place);
        printCard(withPhoto);
        QCOMPARE(jobs().size(), 1u);
        const test::PrintedObject* printed = jobs().front().find(object);
        QVERIFY(printed);
        QCOMPARE(printed->rect, place);
    }

    void rowsShowTheCardAsTyped_data() {
        QTest::addColumn<bool>("paid");
        QTest::addColumn<QString>("paidText");
        QTest::newRow("paid") << true << QString::fromUtf8("Sì");
        QTest::newRow("not paid") << false << QStringLiteral("No");
    }
    void rowsShowTheCardAsTyped() {
        QFETCH(bool, paid);
        QFETCH(QString, paidText);
        // A card never saved: everything comes from the screen.
        TfrmMagazzino* c = card;
        QVERIFY(c->lblPosizione->text().isEmpty());
        c->txtCodice->setText("  TR-0042 ");
        c->txtCosto->setText("12,40");
        c->txtNome->setText("Trapano avvitatore");
        c->txtGiacenza->setText("7");
        c->txtUM->setText("Scatola in cartone");
        c->txtTipologia->setText("Elettroutensili");
        c->txtCaratteristiche->setText("18 V, due batterie [incluse]");
        c->txtCollocazione->setText("Scaffale B, ripiano 3");
        c->txtDitta->setText("Ferramenta Rossi S.r.l.");
        c->txtAgente->setText("Mario Bianchi");
        c->txtRecapito->setText("0521 123456");
        c->txtDocumento->setText("Fattura n. 118 [DATE]");
        c->txtPagamento->setText("Bonifico a 30 giorni");
        c->txtDataSca->setText("15/06/2026");
        c->txtNote->setText("Riordinare a settembre");
        c->txtPrezzo->setText("89,90");
        c->chkPagato->setChecked(paid);
        printCard(true);
        QCOMPARE(jobs().size(), 1u);
        const test::PrintJob& job = jobs().front();

        const QString expected[18][2] = {
            {"Codice articolo:", "TR-0042"},
            {"Costo unitario:", "12,40"},
            {"Nome prodotto:", "Trapano avvitatore"},
            {"Giacenza attuale:", "7"},
            {"Aspetto esteriore del bene:", "Scatola in cartone"},
            {"Categoria merceologica:", "Elettroutensili"},
            {"Caratteristiche:", "18 V, due batterie [incluse]"},
            {"Collocazione in magazzino:", "Scaffale B, ripiano 3"},
            {"Ditta fornitrice:", "Ferramenta Rossi S.r.l."},
            {"Agente:", "Mario Bianchi"},
            {"Recapito telefonico", "0521 123456"},
            {"Documento di acquisto:", "Fattura n. 118 [DATE]"},
            {QString::fromUtf8("Modalità di pagamento:"), "Bonifico a 30 giorni"},
            {"Data scadenza:", "15/06/2026"},
            {"Note:", "Riordinare a settembre"},
            {"Prezzo di vendita:", "89,90"},
            {"Valore totale:", QString::fromUtf8("Costo unitario (€ 12,40) x giacenza (7 pezzi) = € 86,8")},
            {"Pagato:", paidText},
        };
        for (int n = 1; n <= 18; ++n) {
            QCOMPARE(job.text(row("titCampo", n)), expected[n - 1][0]);
            QCOMPARE(job.text(row("txtCampo", n)), expected[n - 1][1]);
        }
        QCOMPARE(job.text("txtTitolo"), QStringLiteral("SCHEDA PRODOTTO"));
        const QString footer = job.text("txtCalce");
        QVERIFY2(
            footer.startsWith("Stampa eseguita in data " + QDate::currentDate().toString("dd/MM/yyyy") + " alle ore "),
            qPrintable(footer));
        QVERIFY2(QRegularExpression("^Stampa eseguita in data \\d\\d/\\d\\d/\\d{4} alle ore \\d\\d:\\d\\d:\\d\\d$")
                     .match(footer)
                     .hasMatch(),
                 qPrintable(footer));
        QVERIFY(c->lblPosizione->text().isEmpty());
    }

    void editsAfterSavingArePrinted() {
        test::fillMandatory(card, "A1", "Nome salvato");
        test::click(card->btnSalva);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        card->txtNome->setText("Nome modificato");
        printCard(false);
        QCOMPARE(jobs().size(), 1u);
        QCOMPARE(jobs().front().text("txtCampo03"), QStringLiteral("Nome modificato"));
    }

    // clang-format off
    void stockTimesCostIsTheTotalValue_data() {
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("printedCost");
        QTest::addColumn<QString>("printedStock");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("cardCost");
        QTest::addColumn<QString>("cardStock");
        QTest::newRow("both blank") << "" << "" << "0,00" << "0" << "0" << "0,00" << "0";
        QTest::newRow("both only blanks") << "  " << " " << "0,00" << "0" << "0" << "0,00" << "0";
        QTest::newRow("2,50 by 3") << "2,50" << "3" << "2,50" << "3" << "7,5" << "2,50" << "3";
        QTest::newRow("blanks around are trimmed") << " 4,00 " << "2 " << "4,00" << "2" << "8" << " 4,00 " << "2 ";
        QTest::newRow("negative stock") << "1,10" << "-2" << "1,10" << "-2" << "-2,2" << "1,10" << "-2";
        QTest::newRow("fifteen digits, no exponent")
            << "123456,78" << "9999" << "123456,78" << "9999" << "1234444343,22" << "123456,78" << "9999";
        QTest::newRow("binary noise rounded away") << "0,10" << "3" << "0,10" << "3" << "0,3" << "0,10" << "3";
    }
    // clang-format on
    void stockTimesCostIsTheTotalValue() {
        QFETCH(QString, cost);
        QFETCH(QString, stock);
        QFETCH(QString, printedCost);
        QFETCH(QString, printedStock);
        QFETCH(QString, total);
        QFETCH(QString, cardCost);
        QFETCH(QString, cardStock);
        card->txtCosto->setText(cost);
        card->txtGiacenza->setText(stock);
        printCard(false);
        QCOMPARE(jobs().size(), 1u);
        const test::PrintJob& job = jobs().front();
        QCOMPARE(job.text("txtCampo02"), printedCost);
        QCOMPARE(job.text("txtCampo04"), printedStock);
        QCOMPARE(job.text("txtCampo17"), QString::fromUtf8("Costo unitario (€ %1) x giacenza (%2 pezzi) = € %3")
                                             .arg(printedCost, printedStock, total));
        QCOMPARE(card->txtCosto->text(), cardCost);
        QCOMPARE(card->txtGiacenza->text(), cardStock);
    }

    // clang-format off
    void aStockOrCostThatIsNoNumberPrintsNothing_data() {
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("cardCost");
        QTest::newRow("cost with a point") << "2.50" << "3" << "2.50";
        QTest::newRow("stock in words") << "2,50" << "tre" << "2,50";
        QTest::newRow("blank cost, stock in words") << "" << "tre" << "0,00";
    }
    // clang-format on
    void aStockOrCostThatIsNoNumberPrintsNothing() {
        QFETCH(QString, cost);
        QFETCH(QString, stock);
        QFETCH(QString, cardCost);
        card->txtCosto->setText(cost);
        card->txtGiacenza->setText(stock);
        printCard(true);
        QVERIFY(jobs().empty());
        QCOMPARE(card->txtCosto->text(), cardCost);
        QCOMPARE(card->txtGiacenza->text(), stock);
    }

    void theLastChoiceDecidesThePhoto_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("memory");
        QTest::addColumn<bool>("photo");
        QTest::newRow("as opened") << QStringList{} << "con" << true;
        QTest::newRow("senza") << QStringList{"optDue"} << "senza" << false;
        QTest::newRow("senza then con") << QStringList{"optDue", "optUno"} << "con" << true;
    }
    void theLastChoiceDecidesThePhoto() {
        QFETCH(QStringList, clicks);
        QFETCH(QString, memory);
        QFETCH(bool, photo);
        card->imgFoto->setImage(redPicture());
        openDialog(false, [&](ProductPrintDialog* d) {
            for (const QString& name : clicks) test::choose(name == "optUno" ? d->optUno : d->optDue);
            QCOMPARE(d->lblMemory->text(), memory);
            test::click(d->btnStampa);
        });
        QCOMPARE(jobs().size(), 1u);
        const test::PrintedObject* printed = jobs().front().find("imgFoto");
        QCOMPARE(printed != nullptr, photo);
        if (photo) QCOMPARE(printed->picture, redPicture());
    }

    void anUnknownMemoryKeyPrintsNothing() {
        openDialog(false, [&](ProductPrintDialog* d) {
            d->lblMemory->setText("altro");
            test::click(d->btnStampa);
            QVERIFY(!d->isVisible());
        });
        QVERIFY(jobs().empty());
    }

    void aPhotoThatCannotBeCopiedPrintsTheFallback() {
        card->imgFoto->setImage(QImage());
        printCard(true);
        QCOMPARE(jobs().size(), 1u);
        const test::PrintedObject* printed = jobs().front().find("imgFoto");
        QVERIFY(printed);
        QCOMPARE(printed->picture, placeholderPhoto());
    }

    void annullaPrintsNothing_data() {
        QTest::addColumn<bool>("preview");
        QTest::newRow("print") << false;
        QTest::newRow("preview") << true;
    }
    void annullaPrintsNothing() {
        QFETCH(bool, preview);
        card->txtGiacenza->setText("");
        bool closed = false;
        openDialog(preview, [&](ProductPrintDialog* d) {
            test::choose(d->optDue);
            test::click(d->btnAnnulla);
            closed = !d->isVisible();
        });
        QVERIFY(closed);
        QVERIFY(jobs().empty());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(card->isVisible());
        QCOMPARE(card->txtGiacenza->text(), QString());
    }
};

QTEST_MAIN(ProductPrintTest)
#include "ProductPrintTest.moc"
