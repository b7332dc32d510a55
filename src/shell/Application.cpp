#include "shell/Application.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QThreadPool>

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

Application::Application(std::filesystem::path programFolder) : registry_(std::move(programFolder)) {
    // Creation order matters to nobody but is kept stable: the password screen first.
    registry_.add(new TfrmPassword(registry_));
    registry_.add(new TfrmAvvio(registry_));
    registry_.add(new TfrmCambiaPassword(registry_));
    registry_.add(new TfrmApriCatalogo(registry_));
    registry_.add(new TfrmCreaCatalogo(registry_));
    registry_.add(new TfrmListinoPrezzi(registry_));
    registry_.add(new TfrmMagazzino(registry_));
    registry_.add(new TfrmMenuRiepilogo(registry_));
    registry_.add(new TfrmMenuScarico(registry_));
    registry_.add(new TfrmScarichi(registry_));
    registry_.add(new TfrmMenuRiepilogoScarico(registry_));
    registry_.add(new TfrmMenuCarico(registry_));
    registry_.add(new TfrmCarichi(registry_));
    registry_.add(new TfrmMenuRiepilogoCarico(registry_));
}

Application::~Application() {
    // Photos are decoded on Qt's global pool. Its threads are let go here, while the program still
    // stands: none is left idle or running when the screens and then the process come down.
    QThreadPool::globalInstance()->waitForDone();
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
