#include "reports/TfrmPreview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

#include "reports/PagePainter.h"
#include "reports/PrintProgress.h"
#include "reports/PrintService.h"
#include "reports/ReportTemplate.h"

namespace scortavia {
namespace {

constexpr double kScreenPxPerMm = 96.0 / 25.4;
constexpr int kZooms[] = {50, 75, 100, 125, 150, 200};

QPushButton* toolButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter presses the button that has the focus; with no box on the window it presses nothing else.
    button->setAutoDefault(true);
    return button;
}

}  // namespace

TfrmPreview::TfrmPreview(const ReportTemplate& report, QWidget* parent) : QDialog(parent), report_(report) {
    setObjectName(QStringLiteral("frmAnteprima"));
    setWindowTitle(QStringLiteral(" Anteprima di stampa"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("panComandi"));
    bar->setAttribute(Qt::WA_StyledBackground);
    auto* tools = new QHBoxLayout(bar);
    tools->setContentsMargins(10, 6, 10, 6);
    btnStampa = toolButton(QStringLiteral("btnStampa"), QStringLiteral("Stampa..."), bar);
    cmbZoom = new QComboBox(bar);
    cmbZoom->setObjectName(QStringLiteral("cmbZoom"));
    for (int z : kZooms) cmbZoom->addItem(QStringLiteral("%1 %").arg(z), z / 100.0);
    cmbZoom->setCurrentIndex(2);
    cmbZoom->setFocusPolicy(Qt::NoFocus);
    btnSchermoIntero = toolButton(QStringLiteral("btnSchermoIntero"), QStringLiteral("Schermo intero"), bar);
    btnChiudi = toolButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), bar);
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom:"), bar);
    zoomLabel->setObjectName(QStringLiteral("lblZoom"));
    tools->addWidget(btnStampa);
    tools->addSpacing(16);
    tools->addWidget(zoomLabel);
    tools->addWidget(cmbZoom);
    tools->addSpacing(16);
    tools->addWidget(btnSchermoIntero);
    tools->addStretch(1);
    tools->addWidget(btnChiudi);
    layout->addWidget(bar);

    scrPagine = new QScrollArea(this);
    scrPagine->setObjectName(QStringLiteral("scrPagine"));
    scrPagine->setWidgetResizable(true);
    pages_ = new QWidget();
    pages_->setObjectName(QStringLiteral("panPagine"));
    pages_->setAttribute(Qt::WA_StyledBackground);
    pagesLayout_ = new QVBoxLayout(pages_);
    pagesLayout_->setSpacing(18);
    pagesLayout_->setContentsMargins(20, 20, 20, 20);
    scrPagine->setWidget(pages_);
    layout->addWidget(scrPagine, 1);

    connect(btnStampa, &QPushButton::clicked, this, [this] { PrintService::print(report_, this); });
    connect(cmbZoom, &QComboBox::currentIndexChanged, this,
            [this](int i) { setZoom(cmbZoom->itemData(i).toDouble()); });
    connect(btnSchermoIntero, &QPushButton::clicked, this, [this] {
        if (isFullScreen()) {
            showMaximized();
            btnSchermoIntero->setText(QStringLiteral("Schermo intero"));
        } else {
            showFullScreen();
            btnSchermoIntero->setText(QStringLiteral("Esci da schermo intero"));
        }
    });
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
    rendered_ = render();
}

void TfrmPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !isFullScreen()) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmPreview::setZoom(double zoom) {
    zoom_ = zoom;
    rendered_ = render();
    if (!rendered_ && isVisible()) reject();
}

bool TfrmPreview::render() {
    while (QLayoutItem* item = pagesLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const double pxPerMm = kScreenPxPerMm * zoom_;
    const QSizeF paper = report_.paperMm() * pxPerMm;
    // Before the window shows, its progress belongs to the window that asked for the preview.
    PrintProgress progress(isVisible() ? this : parentWidget(), PrintProgress::Job::Preview,
                           static_cast<int>(report_.pages().size()));
    QImage image(paper.toSize(), QImage::Format_RGB32);
    QPainter painter;
    PagePainter pages(painter, pxPerMm);
    int number = 0;
    for (const ReportPage& page : report_.pages()) {
        image.fill(Qt::white);
        painter.begin(&image);
        pages.paint(page);
        painter.end();
        auto* label = new QLabel(pages_);
        label->setObjectName(QStringLiteral("imgPagina%1").arg(++number));
        label->setPixmap(QPixmap::fromImage(image));
        label->setProperty("page", true);
        pagesLayout_->addWidget(label, 0, Qt::AlignHCenter);
        if (!progress.pageDone(number)) return false;
    }
    pagesLayout_->addStretch(1);
    return true;
}

}  // namespace scortavia
