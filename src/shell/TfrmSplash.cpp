#include "shell/TfrmSplash.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include "common/Version.h"
#include "shell/DesktopLauncher.h"
#include "shell/TfrmAvvio.h"
#include "ui/DesktopService.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/WebLink.h"
#include "ui/Widgets.h"

namespace scortavia {

TfrmSplash::TfrmSplash(std::filesystem::path programFolder, QWidget* owner)
    : QDialog(owner), programFolder_(std::move(programFolder)) {
    QVBoxLayout* layout =
        setUpDialog(this, QStringLiteral("frmSplash"), QStringLiteral(" Informazioni su Scortavia"), {544, 404});
    layout->setSpacing(14);
    imgLogo = new Picture(QStringLiteral("imgLogo"), QStringLiteral(":/crediti.svg"), {500, 280}, this);
    layout->addWidget(imgLogo, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    lblVersione = captionLabel(QStringLiteral("lblVersione"),
                               QStringLiteral("Versione ") + QString::fromLatin1(kProgramVersion), this);

    const QString address = QString::fromLatin1(kMakerWebAddress);
    imgWeb = new PictureButton(QStringLiteral("imgWeb"), QStringLiteral(":/globo.svg"), {28, 28}, this);
    imgWeb->setToolTip(QStringLiteral("Visita il sito web"));
    // The address as people write it; the click opens it in full.
    lnkWeb = new WebLink(QStringLiteral("lnkWeb"), QUrl(address).host(), this);
    lnkWeb->setToolTip(address);
    lnkWeb->attach(imgWeb);
    btnCollegamento = textButton(QStringLiteral("btnCollegamento"), QStringLiteral("Crea collegamento nel menu"), this);
    btnChiudi = textButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), this);
    auto* about = new QHBoxLayout();
    about->setSpacing(8);
    about->addWidget(imgWeb);
    about->addWidget(lnkWeb);
    about->addStretch(1);
    about->addWidget(lblVersione);
    layout->addLayout(about);
    layout->addLayout(buttonRow({btnCollegamento, btnChiudi}));
    // Enter closes the credits: a launcher is written only when its button is pressed.
    btnChiudi->setFocus();

    connect(lnkWeb, &WebLink::clicked, this, &TfrmSplash::lnkWebClick);
    connect(btnCollegamento, &QPushButton::clicked, this, &TfrmSplash::btnCollegamentoClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmSplash::lnkWebClick() {
    lnkWeb->setPressed(false);
    // Without a browser nothing happens, and nothing is said.
    DesktopService::open(QString::fromLatin1(kMakerWebAddress));
}

void TfrmSplash::btnCollegamentoClick() {
    // The desktop's data folder as Qt finds it (XDG_DATA_HOME, or ~/.local/share).
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // What went wrong in detail is for a technician; the user is told where the launcher could not go.
    const auto failed = [this, &dataHome] {
        MessageService::warning(
            this, QStringLiteral("Non è stato possibile aggiungere il collegamento a Scortavia al menu delle "
                                 "applicazioni.\n\nControllare di poter scrivere nella cartella «%1».")
                      .arg(QDir(dataHome).filePath(QStringLiteral("applications"))));
    };
    QFile icon(QStringLiteral(":/icon_app.svg"));
    if (dataHome.isEmpty() || !icon.open(QIODevice::ReadOnly)) return failed();
    const QByteArray iconSvg = icon.readAll();
    // The launcher starts the executable of this program folder, under the name it runs by now.
    const std::filesystem::path executable =
        programFolder_ / toStd(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    const Result<LauncherWritten> written =
        writeLauncher(toStd(dataHome), {executable, programFolder_},
                      std::string_view(iconSvg.constData(), static_cast<std::size_t>(iconSvg.size())));
    if (!written) return failed();
    MessageService::information(
        this, QStringLiteral("Il collegamento a Scortavia è stato aggiunto al menu delle applicazioni."));
}

void TfrmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) centerOnScreen(this);
}

}  // namespace scortavia
