#include "shell/TfrmAvvio.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "backups/BackupRun.h"
#include "backups/TfrmCopie.h"
#include "shell/TfrmSplash.h"
#include "shopserver/TfrmServer.h"
#include "ui/DesktopService.h"
#include "ui/QtText.h"
#include "ui/ScreenNames.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

struct TileSpec {
    const char* number;
    const char* picture;
    std::string_view target;
};

// In menu order: two rows of three.
constexpr TileSpec kTiles[] = {
    {"04", "magazzino", screen::kMagazzino},       {"02", "carico", screen::kMenuCarico},
    {"03", "scarico", screen::kMenuScarico},       {"07", "inventario", screen::kMenuRiepilogo},
    {"06", "crea_listino", screen::kCreaCatalogo}, {"08", "apri_listino", screen::kApriCatalogo},
};

}  // namespace

TfrmAvvio::TfrmAvvio(ScreenRegistry& registry, BackupRun* backups)
    : WorkArea(registry, toQString(screen::kAvvio)), backups_(backups) {
    presentAsProgramScreen(QStringLiteral(" Scortavia"));
    registry.handOver().offer<HandOver::MenuClose>(toQString(kMainMenuKey), this);
    auto* screen = new QVBoxLayout(this);
    screen->setContentsMargins(0, 0, 0, 0);
    QWidget* body = addScrollingBody(screen, QStringLiteral("panCorpo"));
    auto* outer = new QGridLayout(body);
    panAvvio = new QFrame(body);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    panAvvio->setFixedSize(880, 640);
    outer->addWidget(panAvvio, 0, 0, Qt::AlignCenter);

    auto* layout = new QVBoxLayout(panAvvio);
    layout->setContentsMargins(40, 28, 40, 22);
    layout->setSpacing(0);
    layout->addWidget(new Picture(QStringLiteral("imgTitolo"), QStringLiteral(":/title.svg"), {600, 70}, panAvvio), 0,
                      Qt::AlignHCenter);
    layout->addSpacing(10);
    layout->addWidget(
        new Picture(QStringLiteral("imgSottotitolo"), QStringLiteral(":/subtitle.svg"), {760, 44}, panAvvio), 0,
        Qt::AlignHCenter);
    layout->addSpacing(34);

    auto* grid = formGrid(48, 30);
    int index = 0;
    for (const TileSpec& entry : kTiles) {
        const QString number = QString::fromLatin1(entry.number);
        const QString name = QString::fromLatin1(entry.picture);
        auto* cell = new QWidget(panAvvio);
        cell->setObjectName(QStringLiteral("panApp") + number);
        Tile tile{new PictureButton(QStringLiteral("imgApp") + number, QStringLiteral(":/tile_%1.svg").arg(name),
                                    {160, 120}, cell),
                  new PictureButton(QStringLiteral("btnApp") + number, QStringLiteral(":/caption_%1.svg").arg(name),
                                    {200, 32}, cell),
                  toQString(entry.target)};
        auto* column = new QVBoxLayout(cell);
        column->setContentsMargins(5, 5, 5, 5);
        column->setSpacing(8);
        column->setSizeConstraint(QLayout::SetFixedSize);  // the focus mark hugs the tile
        column->addWidget(tile.picture, 0, Qt::AlignHCenter);
        column->addWidget(tile.caption, 0, Qt::AlignHCenter);
        grid->addWidget(cell, index / 3, index % 3, Qt::AlignCenter);
        for (PictureButton* b : {tile.picture, tile.caption}) {
            connect(b, &PictureButton::clicked, this, [this, target = tile.target] { openArea(target); });
        }
        tile.picture->reachByKeyboard(cell);
        tiles.push_back(tile);
        ++index;
    }
    layout->addLayout(grid);
    layout->addStretch(1);

    auto* bottom = new QHBoxLayout();
    imgGuida = new PictureButton(QStringLiteral("imgGuida"), QStringLiteral(":/icon_guida.svg"), {40, 40}, panAvvio);
    imgGuida->setToolTip(QStringLiteral("Guida all'utilizzo del software"));
    imgCrediti =
        new PictureButton(QStringLiteral("imgCrediti"), QStringLiteral(":/icon_crediti.svg"), {40, 40}, panAvvio);
    imgCrediti->setToolTip(QStringLiteral("Informazioni su Scortavia"));
    imgCopie = new PictureButton(QStringLiteral("imgCopie"), QStringLiteral(":/icon_copie.svg"), {40, 40}, panAvvio);
    imgCopie->setToolTip(QStringLiteral("Copie di sicurezza dei dati"));
    imgServer = new PictureButton(QStringLiteral("imgServer"), QStringLiteral(":/icon_server.svg"), {40, 40}, panAvvio);
    imgServer->setToolTip(QStringLiteral("Archivio sul server"));
    imgSito = new PictureButton(QStringLiteral("imgSito"), QStringLiteral(":/sito.svg"), {360, 28}, panAvvio);
    imgSito->setToolTip(QStringLiteral("Visita il sito web"));
    imgEsci = new PictureButton(QStringLiteral("imgEsci"), QStringLiteral(":/icon_esci.svg"), {40, 40}, panAvvio);
    imgEsci->setToolTip(QStringLiteral("Esci dal programma"));
    bottom->addWidget(imgGuida);
    bottom->addSpacing(8);
    bottom->addWidget(imgCrediti);
    bottom->addSpacing(8);
    bottom->addWidget(imgCopie);
    bottom->addSpacing(8);
    bottom->addWidget(imgServer);
    bottom->addStretch(1);
    bottom->addWidget(imgSito);
    bottom->addStretch(1);
    bottom->addWidget(imgEsci);
    layout->addLayout(bottom);

    // Nothing on the menu types text: every picture is reached with Tab or the arrows.
    std::vector<QWidget*> reachable;
    for (const Tile& tile : tiles) reachable.push_back(tile.picture);
    for (PictureButton* icon : {imgGuida, imgCrediti, imgCopie, imgServer, imgSito, imgEsci}) {
        icon->reachByKeyboard();
        reachable.push_back(icon);
    }
    arrowsMoveFocus(reachable);

    connect(imgCrediti, &PictureButton::clicked, this, &TfrmAvvio::imgCreditiClick);
    connect(imgGuida, &PictureButton::clicked, this, [this] { showHelp(this->registry(), this, HelpTopic::Overview); });
    connect(imgCopie, &PictureButton::clicked, this, &TfrmAvvio::imgCopieClick);
    connect(imgServer, &PictureButton::clicked, this, &TfrmAvvio::imgServerClick);
    connect(imgSito, &PictureButton::clicked, this, &TfrmAvvio::imgSitoClick);
    connect(imgEsci, &PictureButton::clicked, this, &TfrmAvvio::imgEsciClick);
}

void TfrmAvvio::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (event->spontaneous()) return;
    tiles.front().picture->setFocus();
    if (backups_) backups_->menuShown(this);
}

void TfrmAvvio::openArea(const QString& target) { registry().switchTo(target, this); }

void TfrmAvvio::imgCreditiClick() {
    // A fresh dialog each time, gone when it closes.
    TfrmSplash credits(registry().programFolder(), this);
    credits.exec();
}

void TfrmAvvio::imgCopieClick() {
    // A fresh dialog each time; a restore needs the lock this copy of the program holds.
    TfrmCopie copies(registry(), backups_ ? backups_->folderLock() : nullptr, this);
    copies.exec();
}

void TfrmAvvio::imgServerClick() {
    // A fresh dialog each time; a transfer needs the lock this copy of the program holds.
    TfrmServer server(registry(), backups_ ? backups_->folderLock() : nullptr, this);
    server.exec();
}

void TfrmAvvio::imgSitoClick() { DesktopService::open(QString::fromLatin1(kMakerWebAddress)); }

void TfrmAvvio::imgEsciClick() { registry().endProgram(); }

void TfrmAvvio::onClose() { registry().endProgram(); }

}  // namespace scortavia
