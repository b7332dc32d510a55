#pragma once

#include <filesystem>
#include <memory>

#include "backups/BackupRun.h"
#include "ui/ScreenRegistry.h"

namespace scortavia {

// Start-up: the look of the program, the folder lock and the run's mark before anything reads data, the
// shop's server when the archives are there, the long-lived screens in their creation order, and the password screen as
// the first window; at the end, the day's automatic backup.
class Application final {
public:
    explicit Application(std::filesystem::path programFolder);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    ScreenRegistry& registry() { return registry_; }
    BackupRun& backups() { return backups_; }
    // Connects to the shop's server when the settings name one, then shows the password screen; false
    // when the program is to end at once (the server cannot be reached and the user gives up).
    bool start();
    // The normal end, once the windows are gone (after the event loop returned).
    void finish() { backups_.finish(); }

    // Fusion style with the program's own icons, the program's palette, the Italian locale and
    // Qt's own dialogs in Italian; dates and numbers are formatted by the program itself
    // ("dd/mm/yyyy", decimal comma), never by the system.
    static void applyLook();

private:
    bool connectArchives();

    // First: it finishes a restore cut short before any screen reads the data, and stays to the end.
    BackupRun backups_;
    ScreenRegistry registry_;
};

}  // namespace scortavia
