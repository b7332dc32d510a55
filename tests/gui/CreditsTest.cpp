#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

#include "shell/TfrmAvvio.h"
#include "shell/TfrmSplash.h"
#include "support/GuiProgram.h"
#include "ui/Palette.h"
#include "ui/WebLink.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

QColor linkColour(const TfrmSplash* credits) { return credits->lnkWeb->palette().color(QPalette::WindowText); }

QWidget* linkPart(const TfrmSplash* credits, const QString& name) {
    return name == QLatin1String("lnkWeb") ? static_cast<QWidget*>(credits->lnkWeb) : credits->imgWeb;
}

}  // namespace

class CreditsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    // Opens the credits from the main menu's icon and lets `steps` drive them; false when they did not come up.
    bool withCredits(const std::function<void(TfrmSplash*)>& steps) {
        return test::withModal<TfrmSplash>(run->menu()->imgCrediti, steps);
    }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        run->login(QStringLiteral("scortavia"));
        QVERIFY(run->menu()->isVisible());
    }
    void cleanup() { run.reset(); }

    void iconOpensTheCreditsModallyOverTheMenu() {
        QVERIFY(withCredits([this](TfrmSplash* credits) {
            QCOMPARE(credits->objectName(), QStringLiteral("frmSplash"));
            QCOMPARE(credits->windowTitle(), QStringLiteral(" Informazioni su Scortavia"));
            QCOMPARE(credits->parentWidget(), run->menu());
            QCOMPARE(QApplication::activeModalWidget(), credits);
            QVERIFY(!credits->windowFlags().testFlag(Qt::WindowCloseButtonHint));
            QCOMPARE(credits->minimumSize(), credits->maximumSize());
            const QPoint middle = credits->screen()->availableGeometry().center();
            // Centred to within the width of the window's border.
            const QPoint offset = credits->frameGeometry().center() - middle;
            QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3, "not centred");

            QCOMPARE(credits->lnkWeb->text(), QStringLiteral("www.scortavia.it"));
            QCOMPARE(credits->btnChiudi->text(), QStringLiteral("Chiudi"));
            for (QWidget* shown : std::initializer_list<QWidget*>{credits->imgLogo, credits->imgWeb, credits->lnkWeb,
                                                                  credits->btnChiudi}) {
                QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
            }
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
        }));
        QVERIFY(run->desktop.opened.isEmpty());
    }

    void pressingColoursTheLinkAndTheClickOpensTheMakersPage_data() {
        QTest::addColumn<QString>("part");
        QTest::newRow("link") << QStringLiteral("lnkWeb");
        QTest::newRow("globe") << QStringLiteral("imgWeb");
    }
    void pressingColoursTheLinkAndTheClickOpensTheMakersPage() {
        QFETCH(QString, part);
        QVERIFY(withCredits([&](TfrmSplash* credits) {
            QWidget* target = linkPart(credits, part);
            QTest::mousePress(target, Qt::LeftButton);
            QCOMPARE(linkColour(credits), palette::color("orange"));
            QVERIFY(run->desktop.opened.isEmpty());
            QTest::mouseRelease(target, Qt::LeftButton);
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
            QCOMPARE(run->desktop.opened, QStringList{QString::fromLatin1(kMakerWebAddress)});
            QVERIFY(credits->isVisible());
        }));
        QVERIFY(run->messages.shown.empty());
    }

    // A press taken away from the link before letting go is no click, and the link does not stay orange.
    void releasingAwayFromTheLinkOpensNothing() {
        QVERIFY(withCredits([this](TfrmSplash* credits) {
            WebLink* link = credits->lnkWeb;
            QTest::mousePress(link, Qt::LeftButton);
            QCOMPARE(linkColour(credits), palette::color("orange"));
            QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, link->height() / 2));
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
        }));
        QVERIFY(run->desktop.opened.isEmpty());
    }

    void chiudiClosesAndTheNextOpeningStartsAfresh() {
        QPointer<TfrmSplash> first;
        QVERIFY(withCredits([&](TfrmSplash* credits) {
            first = credits;
            // Orange when the dialog goes: the next one must not inherit it.
            credits->lnkWeb->setPressed(true);
            test::click(credits->btnChiudi);
            QVERIFY(!credits->isVisible());
        }));
        QVERIFY(first.isNull());
        QVERIFY(run->menu()->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        QVERIFY(withCredits([](TfrmSplash* credits) {
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
            test::click(credits->btnChiudi);
            QVERIFY(!credits->isVisible());
        }));
        QVERIFY(run->desktop.opened.isEmpty());
    }
};

QTEST_MAIN(CreditsTest)
#include "CreditsTest.moc"
