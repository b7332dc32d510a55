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
#include "shopserver/ServerSettings.h"
#include "storage/ArchiveEngine.h"
#include "summaries/InventoryScreens.h"
#include "summaries/MovementSummaryScreens.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/ProgramStyle.h"
#include "ui/QtText.h"
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

bool Application::start() {
    if (!connectArchives()) return false;
    registry_.screen(toQString(screen::kPassword))->present();
    return true;
}

bool Application::connectArchives() {
    const std::filesystem::path& folder = registry_.programFolder();
    const auto settings = readServerSettings(folder);
    if (!settings) {
        MessageService::error(nullptr,
                              QStringLiteral("Non è stato possibile leggere le impostazioni del server nel file "
                                             "delle impostazioni (\"unins000.dll\"): Scortavia si chiude.\n\n%1")
                                  .arg(toQString(settings.error())));
        return false;
    }
    if (!settings->has_value()) return true;
    const ServerShop& shop = **settings;
    // Never the folder's own files instead: they are not the shop's data any more.
    for (;;) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto engine = ServerEngine::connect(shop);
        QApplication::restoreOverrideCursor();
        if (engine) {
            useArchiveEngine(folder, *engine);
            return true;
        }
        if (!MessageService::question(
                nullptr, QStringLiteral("Non è possibile lavorare sul negozio «%1» del server "
                                        "«%2».\n\n%3\n\nVuoi riprovare? Con «No» Scortavia si "
                                        "chiude.")
                             .arg(toQString(shop.schema), toQString(shop.address.host), toQString(engine.error())))) {
            return false;
        }
    }
}

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
