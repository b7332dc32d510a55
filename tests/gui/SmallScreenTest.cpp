// On a 1024 x 700 laptop screen (this program runs with such a screen, see CMakeLists.txt) every dialog of the
// program, opened as the user opens it, and every work area lies inside the screen with all its buttons.
#include <QAbstractButton>
#include <QScreen>
#include <QtTest>
#include <functional>
#include <memory>

#include "reports/ListReport.h"
#include "reports/ReportTemplate.h"
#include "reports/TfrmPreview.h"
#include "support/GuiDialogs.h"
#include "support/GuiProgram.h"
#include "ui/QtText.h"
#include "ui/SearchScreen.h"

using namespace scortavia;

namespace {

using test::Reach;

QString placeText(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// What of a window lies off its screen's available area: its frame, and each button on show that is off the
// screen, off the window or cut by what holds it.
QStringList offTheScreen(QWidget* window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QRect available = window->screen()->availableGeometry();
    QStringList off;
    if (!available.contains(window->frameGeometry()))
        off << QStringLiteral("frame ") + placeText(window->frameGeometry());
    const QRect inside(window->mapToGlobal(QPoint(0, 0)), window->size());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisible()) continue;
        const QRect place(button->mapToGlobal(QPoint(0, 0)), button->size());
        if (!available.contains(place) || !inside.contains(place) ||
            button->visibleRegion().boundingRect() != button->rect()) {
            off << button->objectName() + QLatin1Char(' ') + placeText(place);
        }
    }
    return off;
}

}  // namespace

class SmallScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1024, 700)); }
    void cleanup() { run.reset(); }

    // clang-format off
    void everyDialogFitsTheScreen_data() {
        QTest::addColumn<Reach>("reach");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("search");  // a search: its list of results is checked too
        QTest::addColumn<QSize>("size");   // as it opens; its design size where that fits
        const QSize whole(1020, 696);      // the screen less the window's frame
        const QSize list(1020, 660);

        QTest::newRow("trova prodotti") << test::onProductCard("btnTrova") << "frmTrovaMagazzino" << true << list;
        QTest::newRow("sottoscorta") << test::onProductCard("btnSottoscorta") << "frmSottoscorta" << false << list;
        QTest::newRow("da saldare") << test::onProductCard("btnScaduti") << "frmDaSaldare" << false << list;
        QTest::newRow("giacenza") << test::onProductCard("btnAggiungi") << "frmGiacenza" << false << QSize(400, 210);
        QTest::newRow("calendario") << Reach([](test::GuiProgram& p) {
            TfrmMagazzino* card = p.openProductCard();
            card->txtDataSca->setFocus();
            return std::function<void()>([card] { QTest::keyClick(card->txtDataSca, Qt::Key_Return); });
        }) << "frmCalendario" << false << QSize(372, 340);
        QTest::newRow("allegati") << test::onProductCard("btnAllegati") << "frmAllegaCartella" << false << QSize(720, 356);
        QTest::newRow("webcam") << test::onProductCard("btnAcquisisciFoto") << "frmWebCam" << false << QSize();
        QTest::newRow("zoom") << test::onProductCard("btnZoomFoto") << "frmZoom" << false << whole;
        QTest::newRow("stampa scheda") << test::onProductCard("btnStampa") << "frmStampaMag" << false << QSize(516, 286);
        QTest::newRow("anteprima scheda") << test::onProductCard("btnAnteprima") << "frmAnteprimaMag" << false << QSize(516, 286);
        QTest::newRow("etichette") << test::onProductCard("btnEtichette") << "frmEtichette" << false << QSize(516, 500);
        QTest::newRow("esporta magazzino") << test::onProductCard("btnEsporta") << "frmExpMagazzino" << false << whole;
        QTest::newRow("importa prodotti") << test::onProductCard("btnImporta") << "frmImportaProdotti" << false << whole;
        QTest::newRow("guida") << test::onProductCard("btnGuida") << "frmGuida" << false << QSize(676, 598);
        QTest::newRow("crediti") << Reach([](test::GuiProgram& p) {
            p.login(QStringLiteral("scortavia"));
            return test::clicking(p.menu()->imgCrediti);
        }) << "frmSplash" << false << QSize(544, 404);
        QTest::newRow("copie") << Reach([](test::GuiProgram& p) {
            p.login(QStringLiteral("scortavia"));
            return test::clicking(p.menu()->imgCopie);
        }) << "frmCopie" << false << QSize(880, 560);
        QTest::newRow("archivio sul server") << Reach([](test::GuiProgram& p) {
            p.login(QStringLiteral("scortavia"));
            return test::clicking(p.menu()->imgServer);
        }) << "frmServer" << false << QSize(720, 470);
        for (const test::DirectionRow& d : test::kDirectionRows) {
            const MovementDirection& texts = movementDirection(d.direction);
            const auto row = [&d](const char* what) { return QStringLiteral("%1 %2").arg(what, d.tag).toLatin1(); };
            QTest::newRow(row("importa dati")) << test::onMovementCard(d.direction, "btnImpEsame")
                                               << toQString(texts.pickerName) << false << list;
            QTest::newRow(row("trova")) << test::onMovementCard(d.direction, "cmdTrova")
                                        << toQString(texts.searchName) << true << list;
            QTest::newRow(row("conti da saldare")) << test::onMovementCard(d.direction, "cmdListino")
                                                   << toQString(texts.openAccountsName) << false << list;
            QTest::newRow(row("stampa")) << test::onMovementCard(d.direction, "cmdStampa")
                                         << toQString(texts.printName) << false << QSize(516, 218);
            QTest::newRow(row("esporta")) << test::onMovementCard(d.direction, "cmdEsporta")
                                          << (d.direction == Direction::GoodsIn ? "frmExpCarichi" : "frmExpScarichi")
                                          << false << whole;
            QTest::newRow(row("riepilogo")) << test::toMovementSummary(d.direction)
                                            << toQString(texts.summaryListName) << false << whole;
        }
        QTest::newRow("inventario") << test::toInventory() << "frmRiepilogo" << false << whole;
        QTest::newRow("importa nel listino") << test::onPriceListEditor([](TfrmListinoPrezzi* editor) -> QAbstractButton* {
            return editor->slot('A')->impProdotto;
        }) << "frmImportaMagazzino" << true << list;
        QTest::newRow("stampa listino") << test::onPriceListEditor([](TfrmListinoPrezzi* editor) -> QAbstractButton* {
            return editor->cmdStampa;
        }) << "frmStampaProdotto" << false << QSize(516, 218);
        QTest::newRow("anteprima listino") << test::onPriceListEditor([](TfrmListinoPrezzi* editor) -> QAbstractButton* {
            return editor->cmdAnteprima;
        }) << "frmAnteprimaProdotto" << false << QSize(516, 218);
    }
    // clang-format on
    void everyDialogFitsTheScreen() {
        QFETCH(Reach, reach);
        QFETCH(QString, dialog);
        QFETCH(bool, search);
        QFETCH(QSize, size);
        run = std::make_unique<test::GuiProgram>();
        const std::function<void()> open = reach(*run);
        QString shown;
        QSize opened;
        QStringList off;
        test::onNextModal([&](QWidget* window) {
            shown = window->objectName();
            opened = window->size();
            off << offTheScreen(window);
            if (auto* screen = qobject_cast<SearchScreen*>(window); screen && search) {
                test::click(screen->btnCerca);
                for (const QString& fault : offTheScreen(window)) off << QStringLiteral("results: ") + fault;
            }
            window->close();
        });
        open();
        QCOMPARE(shown, dialog);
        QVERIFY2(off.isEmpty(), qPrintable(off.join(QStringLiteral("; "))));
        if (size.isValid()) QCOMPARE(opened, size);
    }

    // The print preview, which the print service opens over whatever printed.
    void thePreviewFitsTheScreen() {
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Titolo"), {QStringLiteral("Riga")});
        report->prepare();
        TfrmPreview preview(*report, nullptr);
        QStringList off;
        QVERIFY(test::execWith<TfrmPreview>(preview, [&](TfrmPreview& window) { off = offTheScreen(&window); }));
        QVERIFY2(off.isEmpty(), qPrintable(off.join(QStringLiteral("; "))));
    }

    void everyWorkAreaFitsTheScreen_data() {
        QTest::addColumn<QString>("name");
        test::GuiProgram program;
        for (const QString& name : program.program->registry().creationOrder()) {
            QTest::newRow(name.toLatin1().constData()) << name;
        }
    }
    void everyWorkAreaFitsTheScreen() {
        QFETCH(QString, name);
        run = std::make_unique<test::GuiProgram>();
        WorkArea* area = run->program->registry().screen(name);
        area->present();
        QVERIFY(QTest::qWaitForWindowExposed(area));
        const QStringList off = offTheScreen(area);
        QVERIFY2(off.isEmpty(), qPrintable(off.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(SmallScreenTest)
#include "SmallScreenTest.moc"
