// Every work area keeps its captions whole on a small screen: at 1024 x 700 everything fits, and
// below that the area scrolls instead of squeezing its labels and buttons.
#include <QAbstractButton>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include "support/GuiProgram.h"

using namespace scortavia;

namespace {

// Captions narrower than their text: the labels and buttons on screen that lost part of theirs.
QStringList clippedCaptions(QWidget* screen) {
    QStringList clipped;
    for (QLabel* label : screen->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(screen) || label->text().isEmpty() || label->wordWrap()) continue;
        if (label->width() < label->minimumSizeHint().width()) clipped << label->objectName();
    }
    for (QAbstractButton* button : screen->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(screen) || button->text().isEmpty()) continue;
        if (button->width() < button->fontMetrics().horizontalAdvance(button->text())) clipped << button->objectName();
    }
    return clipped;
}

void expectWhole(QWidget* screen) {
    const QStringList clipped = clippedCaptions(screen);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(", "))));
}

void showAt(QWidget* screen, QSize size) {
    screen->showNormal();
    screen->resize(size);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QVERIFY(QTest::qWaitFor([&] { return screen->size() == size; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

}  // namespace

class WorkAreaLayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

private Q_SLOTS:
    void init() { run = std::make_unique<test::GuiProgram>(); }
    void cleanup() { run.reset(); }

    void captionsStayWholeOnASmallScreen_data() {
        QTest::addColumn<QString>("name");
        test::GuiProgram program;
        for (const QString& name : program.program->registry().creationOrder()) {
            QTest::newRow(name.toLatin1().constData()) << name;
        }
    }
    void captionsStayWholeOnASmallScreen() {
        QFETCH(QString, name);
        QWidget* screen = run->program->registry().screen(name);
        const bool fixed = screen->minimumSize() == screen->maximumSize();
        if (fixed) {
            // Small fixed windows: their own size must hold their captions.
            screen->show();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            expectWhole(screen);
            return;
        }
        auto* scroll = screen->findChild<QScrollArea*>();
        QVERIFY2(scroll, "a resizable work area scrolls its contents");

        showAt(screen, {1024, 700});
        expectWhole(screen);
        const QSize needed = scroll->widget()->minimumSizeHint();
        QVERIFY2(needed.width() <= scroll->width() && needed.height() <= scroll->height(),
                 qPrintable(QStringLiteral("needs %1 x %2").arg(needed.width()).arg(needed.height())));

        // Below that, whatever does not fit scrolls and nothing is squeezed.
        showAt(screen, {700, 500});
        expectWhole(screen);
        const QSize content = scroll->widget()->minimumSizeHint();
        if (content.width() > scroll->width()) QTRY_VERIFY(scroll->horizontalScrollBar()->isVisible());
        if (content.height() > scroll->height()) QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
    }
};

QTEST_MAIN(WorkAreaLayoutTest)
#include "WorkAreaLayoutTest.moc"
