#include "products/TfrmWebCam.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgRenderer>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "products/FrameSource.h"
#include "products/ProductPhoto.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/PhotoBox.h"
#include "ui/ScanDetector.h"
#include "ui/ScreenRegistry.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

QImage renderPicture(const QString& resource) {
    QImage picture(kPhotoSize, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer(resource).render(&painter, QRectF(QPointF(0, 0), QSizeF(kPhotoSize)));
    return picture;
}

PhotoBox* photoBox(const char* name, const QImage& picture, QWidget* parent) {
    auto* box = new PhotoBox(QString::fromLatin1(name), parent);
    box->setFixedSize(kPhotoSize);
    box->setImage(picture);
    return box;
}

QLabel* heading(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setProperty("heading", true);
    return label;
}

const QString kMsgNoWebcam = QString::fromUtf8(
    "Attenzione: nessuna webcam è disponibile su questo computer, oppure la webcam è già in uso "
    "da un altro programma.\n\nCollegare una webcam e riprovare.");
const QString kMsgWebcamStopped = QString::fromUtf8(
    "Attenzione: la webcam ha smesso di funzionare.\n\n"
    "Controllare che sia ancora collegata, poi premere \"Accendi webcam\".");
const QString kScanHint = QString::fromUtf8("Inquadrare il codice a barre del prodotto, ben illuminato e fermo.");

// A frame is read at most this often: reading takes a good part of a frame's time on the one thread
// the screens run on, and a code held up to the camera stays in view for many frames.
constexpr qint64 kReadEveryMs = 150;

const QString kMsgNotSaved = QString::fromUtf8("Attenzione: non è stato possibile salvare la foto nel file indicato.");

}  // namespace

const QImage& webcamOffPicture() {
    static const QImage picture = renderPicture(QStringLiteral(":/webcam_attesa.svg"));
    return picture;
}

const QImage& noCapturePicture() {
    static const QImage picture = renderPicture(QStringLiteral(":/camera_attesa.svg"));
    return picture;
}

TfrmWebCam::TfrmWebCam(ScreenRegistry& registry, QWidget* owner) : TfrmWebCam(registry, owner, CodeTaken()) {}

TfrmWebCam::TfrmWebCam(ScreenRegistry& registry, QWidget* owner, CodeTaken scanned)
    : QDialog(owner), registry_(registry), source_(FrameSource::create()), scanned_(std::move(scanned)) {
    auto* layout = setUpDialog(this, QStringLiteral("frmWebCam"), QStringLiteral(" Cattura foto con webcam"));

    imgCamera = photoBox("imgCamera", webcamOffPicture(), this);
    imgTarget = photoBox("imgTarget", noCapturePicture(), this);
    imgBianco = photoBox("imgBianco", webcamOffPicture(), this);
    imgBianco->hide();
    lblCamera = heading("lblCamera", QStringLiteral("Immagine della webcam"), this);
    lblTarget = heading("lblTarget", QStringLiteral("Foto acquisita"), this);
    btnAccendi = textButton(QStringLiteral("btnAccendi"), QStringLiteral("Accendi webcam"), this);
    btnSpegni = textButton(QStringLiteral("btnSpegni"), QStringLiteral("Spegni webcam"), this);
    btnCattura = textButton(QStringLiteral("btnCattura"), QStringLiteral("Cattura foto"), this);
    btnSalvaFotogramma = textButton(QStringLiteral("btnSalvaFotogramma"), QStringLiteral("Salva foto su disco"), this);
    btnImportaFoto = textButton(QStringLiteral("btnImportaFoto"), QStringLiteral("Importa foto in scheda"), this);
    btnClose = textButton(QStringLiteral("btnClose"), QStringLiteral("Annulla"), this);

    // Live view, capture, still: left to right, each box with its own buttons under it.
    btnCattura->setIcon(QIcon(QStringLiteral(":/cattura_freccia.svg")));
    btnCattura->setIconSize(QSize(22, 22));
    btnCattura->setMinimumHeight(40);
    layout->setSpacing(12);
    auto* grid = formGrid(16, 8);
    grid->addWidget(lblCamera, 0, 0);
    grid->addWidget(lblTarget, 0, 2);
    grid->addWidget(imgCamera, 1, 0);
    grid->addWidget(btnCattura, 1, 1, Qt::AlignVCenter);
    grid->addWidget(imgTarget, 1, 2);
    auto* cameraButtons = new QHBoxLayout();
    cameraButtons->setSpacing(8);
    for (QPushButton* b : {btnAccendi, btnSpegni}) cameraButtons->addWidget(b, 1);
    auto* targetButtons = new QHBoxLayout();
    targetButtons->setSpacing(8);
    for (QPushButton* b : {btnSalvaFotogramma, btnImportaFoto}) targetButtons->addWidget(b, 1);
    grid->addLayout(cameraButtons, 2, 0);
    grid->addLayout(targetButtons, 2, 2);
    layout->addLayout(grid);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setProperty("rule", true);
    layout->addWidget(rule);
    layout->addLayout(buttonRow({btnClose}));
    if (scanned_) {
        // Reading codes needs the live view alone.
        setWindowTitle(QStringLiteral(" Scansiona codice a barre con webcam"));
        for (QWidget* photoOnly :
             std::initializer_list<QWidget*>{lblTarget, imgTarget, btnCattura, btnSalvaFotogramma, btnImportaFoto}) {
            photoOnly->hide();
        }
        // The camera comes on by itself: until its first frame the view says so, not "switch it on".
        imgCamera->setImage(renderPicture(QStringLiteral(":/webcam_accensione.svg")));
        lblStato = new QLabel(kScanHint, this);
        lblStato->setObjectName(QStringLiteral("lblStato"));
        lblStato->setWordWrap(true);
        lblStato->setFixedWidth(kPhotoSize.width());
        grid->addWidget(lblStato, 3, 0);
    }
    setFixedSize(sizeHint());

    // Queued: frames come from the camera's thread, the picture boxes belong to this one.
    connect(source_.get(), &FrameSource::frameArrived, this, &TfrmWebCam::showFrame, Qt::QueuedConnection);
    connect(source_.get(), &FrameSource::failed, this, &TfrmWebCam::cameraFailed, Qt::QueuedConnection);
    connect(btnAccendi, &QPushButton::clicked, this, &TfrmWebCam::btnAccendiClick);
    connect(btnSpegni, &QPushButton::clicked, this, &TfrmWebCam::btnSpegniClick);
    connect(btnCattura, &QPushButton::clicked, this, &TfrmWebCam::btnCatturaClick);
    connect(btnSalvaFotogramma, &QPushButton::clicked, this, &TfrmWebCam::btnSalvaFotogrammaClick);
    connect(btnImportaFoto, &QPushButton::clicked, this, &TfrmWebCam::btnImportaFotoClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmWebCam::btnCloseClick);
    // QDialog centres itself over its owner when shown.
}

TfrmWebCam::~TfrmWebCam() {
    if (source_) source_->stop();
}

void TfrmWebCam::btnAccendiClick() {
    if (!source_->start()) MessageService::warning(this, kMsgNoWebcam);
}

void TfrmWebCam::btnSpegniClick() { source_->stop(); }

void TfrmWebCam::btnCatturaClick() { imgTarget->setImage(imgCamera->image()); }

void TfrmWebCam::btnSalvaFotogrammaClick() {
    const auto path = FileDialogService::saveFile(
        this, QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."),
        QStringLiteral("File Jpeg (*.jpg)"), QStringLiteral("Foto.jpg"));
    if (!path || writeJpeg(*path, imgTarget->image())) return;
    imgTarget->setImage(imgBianco->image());
    MessageService::warning(this, kMsgNotSaved);
}

void TfrmWebCam::btnImportaFotoClick() {
    source_->stop();
    if (auto* photo = registry_.handOver().receiver<HandOver::WebCamPhoto>(toQString(kProductCardKey))) {
        photo->setImage(imgTarget->image());
    }
    accept();
}

void TfrmWebCam::btnCloseClick() {
    source_->stop();
    reject();
}

void TfrmWebCam::done(int result) {
    source_->stop();
    QDialog::done(result);
}

void TfrmWebCam::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!scanned_ || event->spontaneous()) return;
    // Once on screen, so that a missing camera's message stands over the dialog it closes.
    QTimer::singleShot(0, this, [this] {
        if (source_->start()) return;
        MessageService::warning(this, kMsgNoWebcam);
        reject();
    });
}

void TfrmWebCam::showFrame(const QImage& frame) {
    // A frame still queued when the camera went off would replace the last one seen.
    if (!source_->running()) return;
    imgCamera->setImage(frame);
    if (scanned_ && (!sinceRead_.isValid() || sinceRead_.elapsed() >= kReadEveryMs)) {
        sinceRead_.start();
        readCodes(frame);
    }
}

std::vector<ReadBarcode> readBarcodes(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(grey.width()) * static_cast<std::size_t>(grey.height()));
    for (int y = 0; y < grey.height(); ++y) {
        // A picture's lines may be padded; the reader wants them back to back.
        std::copy_n(grey.constScanLine(y), grey.width(),
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * grey.width());
    }
    return decodeBarcodes(grey.width(), grey.height(), pixels);
}

void TfrmWebCam::readCodes(const QImage& frame) {
    for (const ReadBarcode& read : readBarcodes(frame)) {
        const QString code = QString::fromStdString(read.text);
        if (scanned_(code)) {
            source_->stop();
            accept();
            return;
        }
        // Said once on the status line, not in a message per frame: the camera goes on looking.
        if (code != lastUnknown_) {
            lastUnknown_ = code;
            lblStato->setText(unknownCodeMessage(code) + QStringLiteral(" ") + kScanHint);
        }
    }
}

void TfrmWebCam::cameraFailed() { MessageService::warning(this, kMsgWebcamStopped); }

}  // namespace scortavia
