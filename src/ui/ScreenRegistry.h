#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QThreadPool>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "ui/HandOver.h"

namespace scortavia {

class ScreenRegistry;

// A long-lived screen: created once at start, shown and hidden for the whole run.
// Closing it goes back to the main menu unless the screen says otherwise.
class WorkArea : public QWidget {
    Q_OBJECT
public:
    WorkArea(ScreenRegistry& registry, const QString& name);

    // Shows the screen the way it is meant to be seen, laid out and ready for the keyboard.
    void present();

    ScreenRegistry& registry() const { return registry_; }

protected:
    // The menu and the cards fill the screen.
    void presentMaximised() { maximised_ = true; }
    // A work area of the program's own: its title, the program's icon, filling the screen.
    void presentAsProgramScreen(const QString& title);

    void closeEvent(QCloseEvent* event) override;
    // What closing from the title bar does; the default returns to the main menu.
    virtual void onClose();

private:
    ScreenRegistry& registry_;
    bool maximised_ = false;
};

// The screens of the run, reached by their names, and the program folder they work in. It owns the
// screens and the threads that decode their photos: at its end it waits for those threads before the
// screens go, so that no decode comes back to a screen that is no more.
class ScreenRegistry final {
public:
    explicit ScreenRegistry(std::filesystem::path programFolder);
    ~ScreenRegistry();
    ScreenRegistry(const ScreenRegistry&) = delete;
    ScreenRegistry& operator=(const ScreenRegistry&) = delete;

    const std::filesystem::path& programFolder() const { return programFolder_; }

    // Takes ownership; the screen is found by its object name from then on.
    template <class T>
    T* add(std::unique_ptr<T> screen) {
        T* added = screen.get();
        adopt(std::unique_ptr<WorkArea>(std::move(screen)));
        return added;
    }
    WorkArea* screen(const QString& name) const;
    template <class T>
    T* get(const QString& name) const {
        return qobject_cast<T*>(screen(name));
    }
    // The names in the order the screens were created.
    const std::vector<QString>& creationOrder() const { return order_; }

    // Shows the work area `name` and hides `from`: exactly one work area is visible at a time.
    // An area not built into this program does nothing.
    bool switchTo(const QString& name, QWidget* from);

    // Ends the program at once; nothing is saved on the way out.
    void endProgram();
    bool ending() const { return ending_; }
    void setEndProgramHandler(std::function<void()> handler) { endHandler_ = std::move(handler); }

    // Where dialogs and menus find the receivers the screens offer for their keys.
    HandOverDesk& handOver() { return handOver_; }
    const HandOverDesk& handOver() const { return handOver_; }
    // Where the photos of the screens are decoded, off the user-interface thread.
    QThreadPool& photoDecoding() { return photoDecoding_; }

private:
    void adopt(std::unique_ptr<WorkArea> screen);

    std::filesystem::path programFolder_;
    std::vector<std::unique_ptr<WorkArea>> owned_;  // in the order they were created
    QHash<QString, WorkArea*> screens_;
    std::vector<QString> order_;
    std::function<void()> endHandler_;
    bool ending_ = false;
    // Lets a quit asked from outside (the desktop session ending) close every work area.
    std::unique_ptr<QObject> quitWatcher_;
    HandOverDesk handOver_;
    QThreadPool photoDecoding_;
};

}  // namespace scortavia
