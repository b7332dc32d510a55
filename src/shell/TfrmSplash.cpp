#include "shell/TfrmSplash.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/TfrmAvvio.h"
#include "ui/DesktopService.h"
#include "ui/WebLink.h"
#include "ui/Widgets.h"

namespace scortavia {

TfrmSplash::TfrmSplash(QWidget* owner) : QDialog(owner) {
    QVBoxLayout* layout =
        setUpDialog(this, QStringLiteral("frmSplash"), QStringLiteral(" Informazioni su Scortavia"), {544, 364});
    layout->setSpacing(14);
    imgLogo = new Picture(QStringLiteral("imgLogo"), QStringLiteral(":/crediti.svg"), {500, 280}, this);
    layout->addWidget(imgLogo, 0, Qt::AlignHCenter);
    layout->addStretch(1);

    const QString address = QString::fromLatin1(kMakerWebAddress);
    imgWeb = new PictureButton(QStringLiteral("imgWeb"), QStringLiteral(":/globo.svg"), {28, 28}, this);
    imgWeb->setToolTip(QStringLiteral("Visita il sito web"));
    // The address as people write it; the click opens it in full.
    lnkWeb = new WebLink(QStringLiteral("lnkWeb"), QUrl(address).host(), this);
    lnkWeb->setToolTip(address);
    lnkWeb->attach(imgWeb);
    btnChiudi = textButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), this);
    auto* bottom = new QHBoxLayout();
    bottom->setSpacing(8);
    bottom->addWidget(imgWeb);
    bottom->addWidget(lnkWeb);
    bottom->addStretch(1);
    bottom->addWidget(btnChiudi);
    layout->addLayout(bottom);

    connect(lnkWeb, &WebLink::clicked, this, &TfrmSplash::lnkWebClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmSplash::lnkWebClick() {
    lnkWeb->setPressed(false);
    // Without a browser nothing happens, and nothing is said.
    DesktopService::open(QString::fromLatin1(kMakerWebAddress));
}

void TfrmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) centerOnScreen(this);
}

}  // namespace scortavia
