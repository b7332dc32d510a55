// Every key of the hand-over table must reach a live receiver offered by the screen the table names:
// a key nobody offers would make a dialog skip its write without a word. The compiler checks what a
// receiver takes; these tests check that the keys and the offers of the real program meet.
#include <QLineEdit>
#include <QtTest>
#include <set>

#include "products/TfrmMagazzino.h"
#include "support/GuiProgram.h"
#include "ui/HandOver.h"
#include "ui/PhotoBox.h"
#include "ui/RecordTarget.h"
#include "ui/TfrmAllegaCartella.h"

using namespace scortavia;

namespace {

// The work area an offer was made from, and the named objects on the way up to it (the receiving
// control among them).
struct OfferPlace {
    WorkArea* screen = nullptr;
    QStringList names;
};
OfferPlace placeOf(QObject* owner) {
    OfferPlace place;
    for (QObject* o = owner; o; o = o->parent()) {
        if (auto* area = qobject_cast<WorkArea*>(o)) {
            place.screen = area;
            break;
        }
        if (!o->objectName().isEmpty()) place.names << o->objectName();
    }
    return place;
}

}  // namespace

class HandOverTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyKeyReachesALiveReceiverOfItsScreen_data() {
        QTest::addColumn<int>("index");
        int i = 0;
        for (const HandOverRoute& route : kHandOverRoutes) {
            const QByteArray name = QByteArray(route.key.data(), qsizetype(route.key.size())) + " -> " +
                                    QByteArray(route.screen.data(), qsizetype(route.screen.size())) + "." +
                                    QByteArray(route.control.data(), qsizetype(route.control.size()));
            QTest::newRow(name.constData()) << i++;
        }
    }
    void everyKeyReachesALiveReceiverOfItsScreen() {
        QFETCH(int, index);
        const HandOverRoute& route = kHandOverRoutes[index];
        test::GuiProgram run;
        ScreenRegistry& registry = run.program->registry();
        const QString screen = toQString(route.screen);
        const QString control = toQString(route.control);

        QVERIFY2(registry.screen(screen), "no screen of the program has this name");
        QObject* owner = registry.handOver().offeredBy(route.channel, toQString(route.key));
        QVERIFY2(owner, "no screen offers a receiver for this key");
        const OfferPlace place = placeOf(owner);
        QVERIFY2(place.screen && place.screen->objectName() == screen, "another screen offers the receiver");
        if (control.isEmpty()) {
            QVERIFY2(owner == place.screen, "a control of the screen receives, not the screen itself");
        } else {
            QVERIFY2(place.names.contains(control), "the receiver is not that control");
        }
    }

    // An offer the table does not list would be a key no test looks after.
    void everyOfferOfTheProgramIsARowOfTheTable() {
        test::GuiProgram run;
        const HandOverDesk& desk = run.program->registry().handOver();
        const auto offers = desk.offers();
        QVERIFY(!offers.empty());
        for (const auto& [channel, key] : offers) {
            const OfferPlace place = placeOf(desk.offeredBy(channel, key));
            QVERIFY2(place.screen, qPrintable(key));
            const HandOverRoute* route = findHandOver(channel, key);
            QVERIFY2(route && toQString(route->screen) == place.screen->objectName(), qPrintable(key));
        }
    }

    void noRouteIsWrittenTwice() {
        std::set<std::tuple<HandOver, std::string_view, std::string_view, std::string_view>> seen;
        std::set<std::pair<HandOver, std::string_view>> receivers;
        for (const HandOverRoute& route : kHandOverRoutes) {
            QVERIFY2(seen.insert({route.channel, route.key, route.screen, route.control}).second, route.key.data());
            // One receiver a key: a second row would be a screen whose offer the other replaces.
            QVERIFY2(receivers.insert({route.channel, route.key}).second, route.key.data());
        }
    }

    void anUnknownKeyLeadsNowhere() {
        test::GuiProgram run;
        const HandOverDesk& desk = run.program->registry().handOver();
        QVERIFY(!findHandOver(HandOver::CalendarDate, QStringLiteral("DATASCA")));
        QVERIFY(!desk.receiver<HandOver::CalendarDate>(QStringLiteral("DATASCA")));
        QVERIFY(!desk.receiver<HandOver::RecordLoad>(QStringLiteral("magazzino ")));
        QVERIFY(!desk.receiver<HandOver::Attachments>(QString()));
        // A key is offered on its own channel only.
        QVERIFY(!desk.receiver<HandOver::MenuClose>(toQString(kProductCardKey)));
    }

    // A card is several receivers at once: each channel must hand out the card seen as that receiver.
    void theProductCardReceivesAsEachChannelNeeds() {
        test::GuiProgram run;
        ScreenRegistry& registry = run.program->registry();
        auto* card = registry.get<TfrmMagazzino>(toQString(screen::kMagazzino));
        QVERIFY(card);
        const QString key = toQString(kProductCardKey);
        QCOMPARE(registry.handOver().receiver<HandOver::RecordLoad>(key), static_cast<RecordTarget*>(card));
        QCOMPARE(registry.handOver().receiver<HandOver::Attachments>(key), static_cast<AttachmentHolder*>(card));
        QCOMPARE(registry.handOver().receiver<HandOver::StockBox>(key), card->txtGiacenza);
        QCOMPARE(registry.handOver().receiver<HandOver::WebCamPhoto>(key), card->imgFoto);
    }

    // An offer lasts as long as its receiver; a later offer of the same key replaces it.
    void anOfferEndsWithItsReceiver() {
        HandOverDesk desk;
        const QString key = QStringLiteral("k");
        auto first = std::make_unique<QLineEdit>();
        auto second = std::make_unique<QLineEdit>();
        desk.offer<HandOver::StockBox>(key, first.get());
        QCOMPARE(desk.receiver<HandOver::StockBox>(key), first.get());
        desk.offer<HandOver::StockBox>(key, second.get());
        QCOMPARE(desk.receiver<HandOver::StockBox>(key), second.get());
        second.reset();
        QVERIFY(!desk.receiver<HandOver::StockBox>(key));
        QVERIFY(!desk.offeredBy(HandOver::StockBox, key));
        QVERIFY(desk.offers().empty());
    }
};

QTEST_MAIN(HandOverTest)
#include "HandOverTest.moc"
