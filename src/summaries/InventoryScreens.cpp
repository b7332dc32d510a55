#include "summaries/InventoryScreens.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "reports/ListReport.h"
#include "storage/ArchivePaths.h"
#include "summaries/SummaryPanel.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/RowListModel.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr const char* kCaption = " Scortavia - Inventario Merce";
constexpr const char* kAllGoods = "Tutti gli articoli in magazzino.";

QString countText(std::size_t rows) { return QStringLiteral("Il presente inventario contiene %1 articoli.").arg(rows); }

}  // namespace

TfrmMenuRiepilogo::TfrmMenuRiepilogo(ScreenRegistry& registry) : WorkArea(registry, toQString(screen::kMenuRiepilogo)) {
    presentAsProgramScreen(QString::fromUtf8(kCaption));
    QVBoxLayout* layout = menuPanel(this, 640);
    QWidget* panel = layout->parentWidget();
    layout->addWidget(
        new Picture(QStringLiteral("imgBanner"), QStringLiteral(":/caption_inventario.svg"), {300, 48}, panel), 0,
        Qt::AlignHCenter);

    lblApri =
        captionLabel(QStringLiteral("lblApri"),
                     QStringLiteral("Indicare una categoria merceologica e premere il pulsante Visualizza."), panel);
    lblApri->setProperty("heading", true);
    lblApri->setWordWrap(true);
    txtTipologia = editBox(QStringLiteral("txtTipologia"), 32767, panel);
    btnVisualizza = textButton(QStringLiteral("btnVisualizza"), QStringLiteral("Visualizza"), panel);
    btnVisualizza->setAutoDefault(true);
    auto* rows = new QHBoxLayout();
    rows->setSpacing(28);
    rows->addWidget(
        new Picture(QStringLiteral("imgInventario"), QStringLiteral(":/tile_inventario.svg"), {160, 120}, panel), 0,
        Qt::AlignTop);
    auto* grid = formGrid(10, 8);
    grid->addWidget(lblApri, 0, 0, 1, 3);
    grid->addWidget(captionLabel(QStringLiteral("titTipologia"), QStringLiteral("Categoria:"), panel), 1, 0);
    grid->addWidget(txtTipologia, 1, 1);
    grid->addWidget(btnVisualizza, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    lblAttendere = waitingLabel(QStringLiteral("lblAttendere"),
                                QStringLiteral("Caricamento inventario in corso. Attendere..."), panel);
    grid->addWidget(lblAttendere, 2, 0, 1, 3);
    rows->addLayout(grid, 1);
    layout->addLayout(rows);

    std::tie(lblInformazioni, imgGuida, imgEsci) =
        menuFooter(layout, QStringLiteral("Per ottenere l'inventario di tutti gli articoli in magazzino, premere "
                                          "il pulsante Visualizza senza indicare alcuna categoria merceologica."));

    connect(txtTipologia, &QLineEdit::returnPressed, btnVisualizza, [this] { btnVisualizza->setFocus(); });
    connect(btnVisualizza, &QPushButton::pressed, lblAttendere, &QWidget::show);
    connect(btnVisualizza, &QPushButton::clicked, this, &TfrmMenuRiepilogo::btnVisualizzaClick);
    connect(imgEsci, &PictureButton::clicked, this, &QWidget::close);
    connect(imgGuida, &PictureButton::clicked, this,
            [this] { showHelp(this->registry(), this, HelpTopic::Inventory); });
}

void TfrmMenuRiepilogo::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (event->spontaneous()) return;
    txtTipologia->clear();
    txtTipologia->setFocus();
}

void TfrmMenuRiepilogo::onClose() { registry().switchTo(toQString(screen::kAvvio), this); }

void TfrmMenuRiepilogo::btnVisualizzaClick() {
    TfrmRiepilogo list(registry(), *this);
    list.exec();
    lblAttendere->hide();
}

TfrmRiepilogo::TfrmRiepilogo(ScreenRegistry& registry, TfrmMenuRiepilogo& prompt)
    : ListScreen(&prompt, {.name = "frmRiepilogo",
                           .caption = kCaption,
                           .printTitle = "Inventario merce - Categoria: ",
                           .rowHint = nullptr,
                           .printCaption = "Stampa inventario",
                           .closeName = "btnEsci",
                           .closeCaption = "Esci",
                           .findLine1 = kFindLine1,
                           .findLine2 = kFindLine2,
                           .enterMovesToFind = false,
                           .emptyFindAsInformation = true}),
      prompt_(prompt) {
    setWindowState(windowState() | Qt::WindowMaximized);
    showHeadings(listHeadings(kInventoryRow));
    SummaryPanel panel(panContainer, containerLayout());
    std::tie(lblTipologia, titTipologia) =
        panel.add("lblTipologia", "Categoria selezionata:", "titTipologia", kAllGoods);
    std::tie(infValore, lblTotale) = panel.add("infValore", "Valore totale:", "lblTotale", "0,00");
    imgGuida = panel.helpButton("imgGuida");
    connect(imgGuida, &PictureButton::clicked, this,
            [this] { showHelp(prompt_.registry(), this, HelpTopic::Inventory); });
    panInfo = captionLabel(QStringLiteral("panInfo"), countText(0), panContainer);
    panInfo->setProperty("count", true);
    containerLayout()->addWidget(panInfo);

    fillWhenShown([this, archive = paths::productArchive(registry.programFolder())](RowList& rows) {
        inventory_ = Inventory();
        filled_ = fillInventory(archive, toStd(prompt_.txtTipologia->text()), inventory_);
        rows = std::move(inventory_.rows);
        return filled_;
    });
}

void TfrmRiepilogo::showEvent(QShowEvent* event) {
    // Shown again after being minimised, the list keeps what it was filled with.
    if (event->spontaneous()) return ListScreen::showEvent(event);
    lblTotale->setText(QStringLiteral("0,00"));
    ListScreen::showEvent(event);
    if (inventory_.categoryTitle) titTipologia->setText(QString::fromStdString(*inventory_.categoryTitle));
    if (!filled_) {
        // What was listed stays, with the value reached so far.
        lblTotale->setText(QString::fromStdString(inventory_.partialTotal));
        return;
    }
    lblTotale->setText(QString::fromStdString(inventory_.total));
    panInfo->setText(countText(static_cast<std::size_t>(model()->rowCount())));
    txtTrova->setFocus();
    // Told once the list is on screen, over it.
    if (!inventory_.skipped.empty()) {
        QTimer::singleShot(
            0, this, [this, text = skippedRecordsWarning(inventory_.skipped)] { MessageService::warning(this, text); });
    }
}

void TfrmRiepilogo::btnStampaClick() {
    QStringList lines = model()->texts();
    lines.append(QStringLiteral("--------------------------"));
    lines.append(QStringLiteral("VALORE TOTALE: ") + lblTotale->text().trimmed());
    printList(this, frxReport(), QStringLiteral("Inventario merce - Categoria: ") + titTipologia->text().trimmed(),
              lines);
}

void TfrmRiepilogo::done(int result) {
    prompt_.lblAttendere->hide();
    ListScreen::done(result);
}

}  // namespace scortavia
