// The print dialogs share one base; each gives it a design. What a design decides and a user notices
// beyond texts: the order Tab visits the controls in, which follows the order they stand in.
#include <QRadioButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "movements/MovementCardPrint.h"
#include "pricelists/PriceListPrint.h"
#include "products/TfrmAnteprimaMag.h"
#include "products/TfrmStampaMag.h"
#include "support/GuiProgram.h"

using namespace scortavia;

namespace {

using MakeDialog = std::function<std::unique_ptr<PrintDialog>(ScreenRegistry&, QWidget*)>;

template <class T>
MakeDialog make() {
    return [](ScreenRegistry& registry, QWidget* owner) { return std::make_unique<T>(registry, owner); };
}

// The names of the controls Tab reaches from where the focus is at the opening, in the order it
// reaches them, once round.
QStringList tabOrder() {
    QStringList names;
    for (QWidget* w = QApplication::focusWidget(); w && !names.contains(w->objectName());
         w = QApplication::focusWidget()) {
        names << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
    }
    return names;
}

}  // namespace

Q_DECLARE_METATYPE(MakeDialog)

class PrintDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // clang-format off
    void tabFollowsTheControlsAsTheyStand_data() {
        QTest::addColumn<MakeDialog>("makeDialog");
        QTest::addColumn<QStringList>("order");
        // Tab reaches the chosen radio button only; the arrows move between them.
        const QStringList choices{"optUno", "btnStampa", "btnAnnulla"};
        QTest::newRow("frmStampaMag") << make<TfrmStampaMag>() << choices;
        QTest::newRow("frmAnteprimaMag") << make<TfrmAnteprimaMag>() << choices;
        QTest::newRow("frmStampaCarico") << make<TfrmStampaCarico>() << QStringList{"btnStampa", "btnAnnulla"};
        QTest::newRow("frmStampaScarico") << make<TfrmStampaScarico>() << QStringList{"btnStampa", "btnAnnulla"};
        QTest::newRow("frmStampaProdotto") << make<TfrmStampaProdotto>() << QStringList{"btnAnnulla", "btnStampa"};
        QTest::newRow("frmAnteprimaProdotto") << make<TfrmAnteprimaProdotto>() << QStringList{"btnAnnulla", "btnStampa"};
    }
    // clang-format on
    void tabFollowsTheControlsAsTheyStand() {
        QFETCH(MakeDialog, makeDialog);
        QFETCH(QStringList, order);
        test::GuiProgram run;
        QWidget owner;
        const std::unique_ptr<PrintDialog> dialog = makeDialog(run.program->registry(), &owner);
        QCOMPARE(dialog->objectName(), QString::fromLatin1(QTest::currentDataTag()));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(tabOrder(), order);
        // The buttons left to right on screen, as Tab goes.
        QVERIFY(dialog->findChild<QWidget*>(order.at(order.size() - 2))->x() <
                dialog->findChild<QWidget*>(order.back())->x());
    }
};

QTEST_MAIN(PrintDialogTest)
#include "PrintDialogTest.moc"
