#include "shell/Application.h"

#include <QApplication>
#include <QFile>
#include <QLocale>

#include "movements/MovementCardScreen.h"
#include "movements/MovementYearMenu.h"
#include "pricelists/PriceListArchiveScreens.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "products/TfrmMagazzino.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmCambiaPassword.h"
#include "shell/TfrmPassword.h"
#include "summaries/InventoryScreens.h"
#include "summaries/MovementSummaryScreens.h"
#include "ui/Palette.h"
#include "ui/ProgramStyle.h"
#include "ui/QtTranslations.h"

namespace scortavia {

Application::Application(std::filesystem::path programFolder)
    : backups_(programFolder), registry_(std::move(programFolder)) {
    // Creation order matters to nobody but is kept stable: the password screen first.
    registry_.add(std::make_unique<TfrmPassword>(registry_));
    registry_.add(std::make_unique<TfrmAvvio>(registry_, &backups_));
    registry_.add(std::make_unique<TfrmCambiaPassword>(registry_));
    registry_.add(std::make_unique<TfrmApriCatalogo>(registry_));
    registry_.add(std::make_unique<TfrmCreaCatalogo>(registry_));
    registry_.add(std::make_unique<TfrmListinoPrezzi>(registry_));
    registry_.add(std::make_unique<TfrmMagazzino>(registry_));
    registry_.add(std::make_unique<TfrmMenuRiepilogo>(registry_));
    registry_.add(std::make_unique<TfrmMenuScarico>(registry_));
    registry_.add(std::make_unique<TfrmScarichi>(registry_));
    registry_.add(std::make_unique<TfrmMenuRiepilogoScarico>(registry_));
    registry_.add(std::make_unique<TfrmMenuCarico>(registry_));
    registry_.add(std::make_unique<TfrmCarichi>(registry_));
    registry_.add(std::make_unique<TfrmMenuRiepilogoCarico>(registry_));
}

void Application::start() { registry_.screen(toQString(screen::kPassword))->present(); }

void Application::applyLook() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    installItalianQtTexts();
    QApplication::setStyle(new ProgramStyle());
    QPalette colors = QApplication::palette();
    colors.setColor(QPalette::Window, palette::color("window"));
    colors.setColor(QPalette::Highlight, palette::color("teal"));
    colors.setColor(QPalette::Button, palette::color("buttonFace"));
    QApplication::setPalette(colors);
    QFile sheet(QStringLiteral(":/scortavia.qss"));
    if (sheet.open(QIODevice::ReadOnly)) qApp->setStyleSheet(palette::resolve(QString::fromUtf8(sheet.readAll())));
}

}  // namespace scortavia
