// Every route of the hand-over table must lead somewhere real: a misspelt screen or control name
// would otherwise make a dialog skip its write without a word.
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <set>

#include "movements/ProductImportTarget.h"
#include "support/GuiProgram.h"
#include "ui/HandOver.h"
#include "ui/PhotoBox.h"
#include "ui/RecordTarget.h"
#include "ui/TfrmAllegaCartella.h"

using namespace scortavia;

namespace {

// Whether the object at the end of a route can take what the channel hands over.
bool fitsChannel(HandOver channel, QObject* target) {
    switch (channel) {
        case HandOver::CalendarDate:
        case HandOver::StockBox:
            return qobject_cast<QLineEdit*>(target) != nullptr;
        case HandOver::WebCamPhoto:
            return qobject_cast<PhotoBox*>(target) != nullptr;
        case HandOver::Attachments:
            return dynamic_cast<AttachmentHolder*>(target) != nullptr;
        case HandOver::RecordLoad:
            return dynamic_cast<RecordTarget*>(target) != nullptr;
        case HandOver::MenuClose:
            return qobject_cast<WorkArea*>(target) != nullptr;
        case HandOver::YearArchive:
        case HandOver::PriceListOpen:
            return qobject_cast<QLabel*>(target) != nullptr;
        case HandOver::SummaryYear:
            return target->property("text").isValid();
        case HandOver::ProductImport:
            return dynamic_cast<ProductImportTarget*>(target) != nullptr;
    }
    return false;
}

}  // namespace

class HandOverTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyRouteLeadsToAControlThatExists_data() {
        QTest::addColumn<int>("index");
        int i = 0;
        for (const HandOverRoute& route : kHandOverRoutes) {
            const QByteArray name = QByteArray(route.key.data(), qsizetype(route.key.size())) + " -> " +
                                    QByteArray(route.screen.data(), qsizetype(route.screen.size())) + "." +
                                    QByteArray(route.control.data(), qsizetype(route.control.size()));
            QTest::newRow(name.constData()) << i++;
        }
    }
    void everyRouteLeadsToAControlThatExists() {
        QFETCH(int, index);
        const HandOverRoute& route = kHandOverRoutes[index];
        test::GuiProgram run;
        ScreenRegistry& registry = run.program->registry();
        const QString screen = toQString(route.screen);
        const QString control = toQString(route.control);

        QVERIFY2(registry.screen(screen), "no screen of the program has this name");
        QObject* target = nullptr;
        for (QObject* t : handOverTargets(registry, route.channel, toQString(route.key))) {
            if (t->objectName() == (control.isEmpty() ? screen : control)) target = t;
        }
        QVERIFY2(target, "no control of that screen has this name");
        QVERIFY2(fitsChannel(route.channel, target), "the control cannot take what the route hands over");
    }

    void noRouteIsWrittenTwice() {
        std::set<std::tuple<HandOver, std::string_view, std::string_view, std::string_view>> seen;
        for (const HandOverRoute& route : kHandOverRoutes) {
            QVERIFY2(seen.insert({route.channel, route.key, route.screen, route.control}).second, route.key.data());
        }
    }

    void anUnknownKeyLeadsNowhere() {
        test::GuiProgram run;
        QVERIFY(!findHandOver(HandOver::CalendarDate, QStringLiteral("DATASCA")));
        QVERIFY(!handOverTarget(run.program->registry(), HandOver::RecordLoad, QStringLiteral("magazzino ")));
        QVERIFY(!handOverTarget(run.program->registry(), HandOver::Attachments, QString()));
    }
};

QTEST_MAIN(HandOverTest)
#include "HandOverTest.moc"
