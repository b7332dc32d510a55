#pragma once

#include <filesystem>
#include <memory>

#include "ui/ScreenRegistry.h"

namespace scortavia {

// Start-up: the look of the program, the long-lived screens in their creation order, and the
// password screen as the first window.
class Application final {
public:
    explicit Application(std::filesystem::path programFolder);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    ScreenRegistry& registry() { return registry_; }
    void start();

    // Fusion style with the program's own icons, the program's palette, the Italian locale and
    // Qt's own dialogs in Italian; dates and numbers are formatted by the program itself
    // ("dd/mm/yyyy", decimal comma), never by the system.
    static void applyLook();

private:
    ScreenRegistry registry_;
};

}  // namespace scortavia
