#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "movements/MovementCardPrint.h"
#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "reports/PrintService.h"
#include "support/GuiActions.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using M = MovementLayout;

const QString kLongDescription = QStringLiteral(
    "Trapano avvitatore a percussione con due batterie al litio da 18 V, caricabatterie rapido, valigetta in "
    "plastica rigida, set di trenta punte per legno, ferro e muratura, impugnatura supplementare regolabile");

// Everything printed on the page, the moment of printing left out, one object a line.
QStringList pageWithoutMoment(const test::PrintJob& job) {
    QStringList out;
    for (const test::PrintedObject& o : job.pages.front()) {
        const QRectF& r = o.rect;
        out << QStringLiteral("%1 (%2, %3, %4, %5) %6")
                   .arg(o.name)
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(r.height())
                   .arg(o.name == QLatin1String("txtCalce") ? QString() : o.lines.join(QLatin1Char('|')));
    }
    return out;
}

// The first laid-out page of `report` painted on white paper; millimetres of the paper at `pxPerMm`.
QImage paintedPage(const ReportTemplate& report, double pxPerMm) {
    QImage image((report.paperMm() * pxPerMm).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PrintService::paintPage(painter, report, report.pages().front(), pxPerMm);
    return image;
}

}  // namespace

class MovementCardPrintTest : public QObject, private test::MovementCardFixture {
    Q_OBJECT

    const std::vector<test::PrintJob>& jobs() const { return run->printer.jobs; }
    bool openFetched() {
        QFETCH(Direction, direction);
        return openCard(direction);
    }

    // Opens the print dialog of the card as its "Stampa" button does and lets `steps` drive it; whatever
    // is still open afterwards is cancelled. The dialog stays alive until the next opening, so its
    // template can be looked at.
    bool openDialog(const std::function<void(MovementPrintDialog&)>& steps) {
        dialog.reset();
        dialog = makeMovementPrintDialog(run->program->registry(), card, texts());
        return test::execWith<MovementPrintDialog>(*dialog, steps).has_value();
    }
    // "Stampa", after which the dialog closes by itself.
    void printCard() {
        bool closed = false;
        QVERIFY(openDialog([&](MovementPrintDialog& d) {
            test::click(d.btnStampa);
            closed = !d.isVisible();
        }));
        QVERIFY2(closed, "still open after printing");
    }

    // The card's boxes, in the order of the printed rows.
    std::array<QLineEdit*, 13> boxes() const {
        MovementCardScreen* c = card;
        return {c->txtNumDoc, c->txtDataDoc,   c->txtFornitore, c->txtRecapiti,    c->txtData,
                c->txtCodice, c->txtTipologia, c->txtMarca,     c->txtDescrizione, c->txtCostoUni,
                c->txtQuant,  c->txtCostoTot,  c->txtNote};
    }
    void typeOnCard(const QStringList& values) {
        for (std::size_t i = 0; i < boxes().size(); ++i) boxes()[i]->setText(values[static_cast<qsizetype>(i)]);
    }

    std::unique_ptr<MovementPrintDialog> dialog;

private Q_SLOTS:
    void cleanup() {
        dialog.reset();  // before its owner, the card, goes with the program
        endProgram();
    }

    void dialogOpensInItsDesignState_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("templateName");
        QTest::newRow("carico") << Direction::GoodsIn << "frmStampaCarico"
                                << "Scheda Carico Merce";
        QTest::newRow("scarico") << Direction::GoodsOut << "frmStampaScarico"
                                 << "Scheda Scarico Merce";
    }
    void dialogOpensInItsDesignState() {
        QFETCH(Direction, direction);
        QFETCH(QString, name);
        QFETCH(QString, templateName);
        QVERIFY(openFetched());
        QVERIFY(openDialog([&](MovementPrintDialog& d) {
            QCOMPARE(d.objectName(), name);
            if (direction == Direction::GoodsIn) {
                QVERIFY(qobject_cast<TfrmStampaCarico*>(&d));
            } else {
                QVERIFY(qobject_cast<TfrmStampaScarico*>(&d));
            }
            QCOMPARE(d.parentWidget(), card);
            QVERIFY(d.isModal());
            QCOMPARE(d.windowTitle(), QStringLiteral(" Stampa scheda"));
            QCOMPARE(d.btnStampa->text(), QStringLiteral("Stampa"));
            QCOMPARE(d.btnAnnulla->text(), QStringLiteral("Annulla"));
            QVERIFY(d.imgSpiegazione->isVisible());
            QVERIFY(d.windowFlags().testFlag(Qt::WindowCloseButtonHint));
            QCOMPARE(d.repDocumento->name(), templateName);
        }));
        QVERIFY(jobs().empty());
    }

    // clang-format off
    void printsTheCardAsTyped_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("templateName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("carico") << Direction::GoodsIn << "Scheda Carico Merce" << "SCHEDA CARICO MERCE"
            << QStringList{"Documento n.", "Data emissione:", "Fornitore:", "Recapito preferenziale:", "Data carico:",
                           "Codice articolo:", "Tipologia:", "Marca e modello:", "Descrizione:", "Costo unitario:",
                           QString::fromUtf8("Quantità caricata:"), "Costo totale:", "Note:"};
        QTest::newRow("scarico") << Direction::GoodsOut << "Scheda Scarico Merce" << "SCHEDA SCARICO MERCE"
            << QStringList{"Documento n.", "Data emissione:", "Cliente:", "Telefono preferenziale:", "Data scarico:",
                           "Codice articolo:", "Tipologia:", "Marca e modello:", "Descrizione:", "Prezzo unitario:",
                           QString::fromUtf8("Quantità scaricata:"), "Prezzo totale:", "Note:"};
    }
    // clang-format on
    void printsTheCardAsTyped() {
        QFETCH(QString, templateName);
        QFETCH(QString, title);
        QFETCH(QStringList, captions);
        QVERIFY(openFetched());
        // A card never saved, boxes as typed: blanks around some, blanks inside and brackets stay.
        QVERIFY(card->lblPosizione->text().isEmpty());
        typeOnCard({" FT 2024/118 ", "12/03/2024", "  Rossi  S.r.l.", "0521 123456 ", "14/03/2024", "TR-0042",
                    "Elettroutensili", "Bosch GSR 18V", "Trapano [DATE] a batteria", "89,9000", "12", "1078,80",
                    "   "});
        printCard();
        QCOMPARE(jobs().size(), 1u);
        const test::PrintJob& job = jobs().front();
        QCOMPARE(job.request, PrintService::Request::Print);
        QCOMPARE(job.name, templateName);
        QCOMPARE(job.orientation, QPageLayout::Portrait);
        QCOMPARE(qRound(job.paperMm.width()), 210);
        QCOMPARE(qRound(job.paperMm.height()), 297);
        QCOMPARE(job.pages.size(), 1u);
        QCOMPARE(job.text("titArcataSup"), title);

        const QStringList values = {"FT 2024/118",
                                    "12/03/2024",
                                    "Rossi  S.r.l.",
                                    "0521 123456",
                                    "14/03/2024",
                                    "TR-0042",
                                    "Elettroutensili",
                                    "Bosch GSR 18V",
                                    "Trapano [DATE] a batteria",
                                    "89,9000",
                                    "12",
                                    "1078,80",
                                    ""};
        for (std::size_t i = 0; i < kMovementPrintValues.size(); ++i) {
            const QString value = QString::fromLatin1(kMovementPrintValues[i]);
            const QString caption = QStringLiteral("tit") + value.mid(3);
            QCOMPARE(job.text(caption), captions[static_cast<qsizetype>(i)]);
            QCOMPARE(job.text(value), values[static_cast<qsizetype>(i)]);
            // The caption on the left of the row, the value right of the column line, on the same line.
            QCOMPARE(job.find(value)->rect, QRectF(44, 7.5 + 5.0 * static_cast<double>(i), 144, 3.5));
            QCOMPARE(job.find(caption)->rect, QRectF(2, 7.5 + 5.0 * static_cast<double>(i), 37.8, 3.5));
        }
        const QString footer = job.text("txtCalce");
        QVERIFY2(
            footer.startsWith("Stampa eseguita in data " + QDate::currentDate().toString("dd/MM/yyyy") + " alle ore "),
            qPrintable(footer));
        QVERIFY2(QRegularExpression("^Stampa eseguita in data \\d\\d/\\d\\d/\\d{4} alle ore \\d\\d:\\d\\d:\\d\\d$")
                     .match(footer)
                     .hasMatch(),
                 qPrintable(footer));
        // The card itself is left as it was typed.
        QCOMPARE(card->txtFornitore->text(), QStringLiteral("  Rossi  S.r.l."));
        QVERIFY(card->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void stripsAndRowsSitInTheirPlaces_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QRectF>("place");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            auto add = [&](const char* object, QRectF place) {
                QTest::addRow("%s: %s", row.tag, object) << row.direction << QString::fromLatin1(object) << place;
            };
            add("shpTitolo", {1, 1, 188, 5.8});
            add("titArcataSup", {2, 2, 185.8, 4.2});
            add("shpRiga01", {1, 7, 188, 4.6});
            add("shpRiga07", {1, 37, 188, 4.6});
            add("shpRiga13", {1, 67, 188, 4.6});
            add("linColonna", {42, 7, 0, 64.6});
            add("shpCalce", {1, 72, 188, 5.8});
            add("txtCalce", {2, 73, 185.8, 4.2});
        }
    }
    void stripsAndRowsSitInTheirPlaces() {
        QFETCH(QString, object);
        QFETCH(QRectF, place);
        QVERIFY(openFetched());
        printCard();
        QCOMPARE(jobs().size(), 1u);
        const test::PrintedObject* printed = jobs().front().find(object);
        QVERIFY(printed);
        QCOMPARE(printed->rect, place);
    }

    // Paper millimetres: the printable area starts 10 mm from the top and the left.
    void thePageIsPaintedWithItsStripsAndRules_data() { test::directionTable(); }
    void thePageIsPaintedWithItsStripsAndRules() {
        QVERIFY(openFetched());
        printCard();
        const double pxPerMm = 8;
        const QImage page = paintedPage(*dialog->repDocumento, pxPerMm);
        auto at = [&](double xMm, double yMm) { return page.pixelColor(qRound(xMm * pxPerMm), qRound(yMm * pxPerMm)); };
        QCOMPARE(at(11.5, 11.5), QColor(0xB0, 0xC4, 0xDE));  // title strip, left of the centred title
        QCOMPARE(at(11.5, 82.5), QColor(0xFF, 0xD7, 0x00));  // footer strip
        QCOMPARE(at(51, 19.3), QColor(Qt::white));           // inside a row: outlined, not filled
        // A thin rule may fall between two pixels: it counts when one of the pixels around the point is dark.
        auto ruleAt = [&](double xMm, double yMm) {
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    const QPoint p(qRound(xMm * pxPerMm) + dx, qRound(yMm * pxPerMm) + dy);
                    if (page.pixelColor(p).lightness() < 128) return true;
                }
            }
            return false;
        };
        QVERIFY(ruleAt(52, 19.3));    // the column line
        QVERIFY(ruleAt(120, 17));     // the top of the first row
        QVERIFY(ruleAt(120, 81.6));   // the bottom of the last row
        QVERIFY(!ruleAt(120, 19.3));  // no rule across a row
    }

    void aLongDescriptionIsCutAtTheRightEdgeOfItsBox_data() { test::directionTable(); }
    void aLongDescriptionIsCutAtTheRightEdgeOfItsBox() {
        QVERIFY(openFetched());
        card->txtDescrizione->setText(kLongDescription);
        printCard();
        QCOMPARE(jobs().size(), 1u);
        QCOMPARE(jobs().front().find("txtDescrizione")->lines, QStringList{kLongDescription});

        // Row 9's value box: 44 to 188 mm across, 47.5 to 51 mm down, inside the margins.
        const double pxPerMm = 8;
        const QImage page = paintedPage(*dialog->repDocumento, pxPerMm);
        auto inked = [&](double fromXMm, double toXMm, double fromYMm, double toYMm) {
            for (int x = qRound(fromXMm * pxPerMm); x < qRound(toXMm * pxPerMm); ++x) {
                for (int y = qRound(fromYMm * pxPerMm); y < qRound(toYMm * pxPerMm); ++y) {
                    if (page.pixelColor(x, y).lightness() < 128) return true;
                }
            }
            return false;
        };
        // The one line runs up to the box's edge, not broken at a word before it, and stops there,
        // short of the row's own outline at 189 mm.
        QVERIFY(inked(10 + 185, 10 + 188, 10 + 47.5, 10 + 51));
        QVERIFY(!inked(10 + 188.1, 10 + 188.8, 10 + 47.5, 10 + 51));
    }

    void neitherTheAccountFlagNorTheAttachmentsArePrinted_data() { test::directionTable(); }
    void neitherTheAccountFlagNorTheAttachmentsArePrinted() {
        QVERIFY(openFetched());
        typeOnCard({"FT 2024/118", "12/03/2024", "Rossi S.r.l.", "0521 123456", "14/03/2024", "TR-0042",
                    "Elettroutensili", "Bosch GSR 18V", "Trapano", "89,9000", "12", "1078,80", "Saldo a 30 giorni"});
        printCard();
        card->chkDaSaldare->setChecked(true);
        QVERIFY(card->lblFile01 && card->lblDesc01);
        card->lblFile01->setText("fattura.pdf");
        card->lblDesc01->setText("Fattura");
        printCard();
        QCOMPARE(jobs().size(), 2u);
        QVERIFY(pageWithoutMoment(jobs()[0]).join('\n').contains("Saldo a 30 giorni"));
        QCOMPARE(pageWithoutMoment(jobs()[1]), pageWithoutMoment(jobs()[0]));
    }

    void closingWithoutPrintingPrintsNothing_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("closeBox");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s: Annulla", row.tag) << row.direction << false;
            QTest::addRow("%s: close box", row.tag) << row.direction << true;
        }
    }
    void closingWithoutPrintingPrintsNothing() {
        QFETCH(bool, closeBox);
        QVERIFY(openFetched());
        card->txtFornitore->setText("Rossi S.r.l.");
        bool closed = false;
        QVERIFY(openDialog([&](MovementPrintDialog& d) {
            if (closeBox) {
                d.close();
            } else {
                test::click(d.btnAnnulla);
            }
            closed = !d.isVisible();
        }));
        QVERIFY(closed);
        QVERIFY(jobs().empty());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(card->isVisible());
        QCOMPARE(card->txtFornitore->text(), QStringLiteral("Rossi S.r.l."));
    }

    // The system's print dialog this time, cancelled: back on the card, nothing printed.
    void cancellingThePrintDialogClosesThisDialogToo_data() { test::directionTable(); }
    void cancellingThePrintDialogClosesThisDialogToo() {
        QVERIFY(openFetched());
        PrintService::setHookForTesting({});
        QString printDialogTitle;
        bool closed = false;
        QVERIFY(openDialog([&](MovementPrintDialog& d) {
            test::cancelNextPrintDialog(&d, printDialogTitle);
            test::click(d.btnStampa);
            closed = !d.isVisible();
        }));
        QCOMPARE(printDialogTitle, QStringLiteral("Stampa"));
        QVERIFY(closed);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(card->isVisible());
    }

    // What is printed comes from the boxes on screen: the archive is neither read nor written, nor created.
    void theArchiveIsNeverTouched_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("loadFirst");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s: new card, no archive", row.tag) << row.direction << false << false;
            QTest::addRow("%s: new card beside stored ones", row.tag) << row.direction << true << false;
            QTest::addRow("%s: stored card edited on screen", row.tag) << row.direction << true << true;
        }
    }
    void theArchiveIsNeverTouched() {
        QFETCH(bool, stored);
        QFETCH(bool, loadFirst);
        QVERIFY(openFetched());
        if (stored) {
            run->writeMovements(cardYear, cardDirection,
                                {test::movement("Archivio S.p.A.", "AR-1", {{M::Note, "Nota in archivio"}}),
                                 test::movement("Archivio 2", "AR-2")});
        }
        if (loadFirst) {
            test::click(card->cmdPrimo);
            QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        } else {
            card->txtFornitore->setText("Rossi S.r.l.");
        }
        card->txtNote->setText("Scritta sulla scheda");
        const bool existed = std::filesystem::exists(archive());
        QCOMPARE(existed, stored);
        const std::string before = existed ? test::readBytes(archive()) : std::string();
        const auto changed = existed ? std::filesystem::last_write_time(archive()) : std::filesystem::file_time_type();

        printCard();
        QCOMPARE(jobs().size(), 1u);
        QCOMPARE(jobs().front().text("txtFornitore"),
                 QString::fromLatin1(loadFirst ? "Archivio S.p.A." : "Rossi S.r.l."));
        QCOMPARE(jobs().front().text("txtNote"), QStringLiteral("Scritta sulla scheda"));
        QCOMPARE(std::filesystem::exists(archive()), existed);
        if (existed) {
            QCOMPARE(test::readBytes(archive()), before);
            QVERIFY(std::filesystem::last_write_time(archive()) == changed);
        }
        QCOMPARE(card->lblPosizione->text(), loadFirst ? QStringLiteral("1") : QString());
    }

    // clang-format off
    void theFooterTellsWhenThePageWasPrinted_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("footer");
        QTest::newRow("morning, leading zeros")
            << QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)) << "Stampa eseguita in data 05/03/2024 alle ore 09:07:03";
        QTest::newRow("midnight") << QDateTime(QDate(2024, 2, 29), QTime(0, 0, 0))
                                  << "Stampa eseguita in data 29/02/2024 alle ore 00:00:00";
        QTest::newRow("last second of the year")
            << QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59)) << "Stampa eseguita in data 31/12/2023 alle ore 23:59:59";
    }
    // clang-format on
    void theFooterTellsWhenThePageWasPrinted() {
        QFETCH(QDateTime, now);
        QFETCH(QString, footer);
        auto report = makeMovementCardTemplate(kGoodsIn);
        fillMovementCardTemplate(*report, MovementPrintTexts{}, now);
        report->prepare();
        QCOMPARE(report->pages().front().find("txtCalce")->lines, QStringList{footer});
    }
};

QTEST_MAIN(MovementCardPrintTest)
#include "MovementCardPrintTest.moc"
