#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPointer>
#include <QPrintDialog>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <optional>

#include "ui/ListScreen.h"
#include "ui/RowListModel.h"

// What a user does with the mouse and the keyboard, done the same way by every GUI test, so that a
// control behaves in a test as it does under a real hand.
namespace scortavia::test {

inline void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// A key as the keyboard sends it: the press to the widget that has the focus, the release to the one
// that has it afterwards (the press may have moved the focus). False, with nothing sent, when no
// widget has the focus.
inline bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* at = QApplication::focusWidget();
    if (!at) return false;
    QTest::keyPress(at, key, modifiers);
    if (QWidget* after = QApplication::focusWidget()) QTest::keyRelease(after, key, modifiers);
    return true;
}

// On the round indicator, where a user clicks a radio button.
inline void choose(QRadioButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(7, option->height() / 2));
}

// Replaces what the box holds by typing, so the box's key filters see every character.
inline void typeText(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Types into the box, then gives the focus to `next`: the box formats its text only on leaving.
inline void typeAndLeave(QLineEdit* box, const QString& text, QWidget* next) {
    typeText(box, text);
    next->setFocus();
}

// Double-clicks a row of the list with the mouse: a press and release, then the double-click event
// on the same row, which is what a view receives from a real double click.
inline void doubleClickRow(ListScreen* list, int row) {
    list->selectRow(static_cast<std::size_t>(row));
    const QPoint centre = list->lstRecords->visualRect(list->model()->index(row)).center();
    QWidget* viewport = list->lstRecords->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, centre, viewport->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(viewport, &dbl);
}

// How long the helpers below wait for the modal window they expect. A window that never comes up
// fails the test at this deadline instead of leaving a watch behind that would act on a later one.
inline constexpr qint64 kModalDeadlineMs = 10'000;

// Runs `action` on the next modal dialog as soon as it is shown (its exec() blocks the test). The
// watch it returns is gone once it has acted or given up; stopWatch ends it early.
inline QPointer<QTimer> onNextModal(std::function<void(QWidget*)> action, qint64 deadlineMs = kModalDeadlineMs) {
    auto* timer = new QTimer();
    timer->setInterval(5);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(timer, &QTimer::timeout, [timer, action, waited, deadlineMs] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            if (waited.elapsed() < deadlineMs) return;
            timer->stop();
            timer->deleteLater();
            QTest::qFail("no modal window came up in time", __FILE__, __LINE__);
            return;
        }
        timer->stop();
        timer->deleteLater();
        // Laid out and active first, so clicks land where the controls are. Asked of the application:
        // a window counts as active for Qt Test as soon as the window it was opened over is.
        if (!QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; })) {
            qWarning("dialog not active");
        }
        action(dialog);
    });
    timer->start();
    return timer;
}

// Ends a watch that has not acted yet: its action holds references to the caller's locals.
inline void stopWatch(const QPointer<QTimer>& watch) {
    if (watch) {
        watch->stop();
        watch->deleteLater();
    }
}

// Clicks `opener`, which opens a modal dialog of type T, and lets `steps` drive it while it is shown;
// the dialog is closed afterwards if `steps` left it open. False when no such dialog appeared.
template <class T>
bool withModal(QAbstractButton* opener, const std::function<void(T*)>& steps) {
    bool seen = false;
    const QPointer<QTimer> watch = onNextModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<T*>(widget);
        if (!dialog) {
            widget->close();
            return;
        }
        seen = true;
        steps(dialog);
        if (dialog->isVisible()) dialog->close();
    });
    click(opener);
    stopWatch(watch);
    return seen;
}

// Runs a dialog the test made itself modally and lets `steps` drive it while it is shown; it is
// rejected afterwards if `steps` left it open. How it closed, or nothing when another dialog came up.
template <class T>
std::optional<int> execWith(T& dialog, const std::function<void(T&)>& steps) {
    bool seen = false;
    const QPointer<QTimer> watch = onNextModal([&](QWidget* shown) {
        seen = shown == &dialog;
        if (seen) {
            steps(dialog);
        } else {
            shown->close();
        }
        if (dialog.isVisible()) dialog.reject();
    });
    const int result = dialog.exec();
    stopWatch(watch);
    return seen ? std::optional<int>(result) : std::nullopt;
}

// Cancels the next system print dialog as soon as it is shown, keeping its title in `title`; the watch
// belongs to `owner` and goes with it.
inline void cancelNextPrintDialog(QObject* owner, QString& title) {
    auto* watch = new QTimer(owner);
    watch->setInterval(5);
    QObject::connect(watch, &QTimer::timeout, [&title, watch] {
        if (auto* shown = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            watch->stop();
            title = shown->windowTitle();
            shown->reject();
        }
    });
    watch->start();
}

}  // namespace scortavia::test
