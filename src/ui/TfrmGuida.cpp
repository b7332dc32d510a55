#include "ui/TfrmGuida.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DesktopService.h"
#include "ui/QtText.h"
#include "ui/ScreenRegistry.h"
#include "ui/WebLink.h"
#include "ui/Widgets.h"

namespace scortavia {

TfrmGuida::TfrmGuida(const std::filesystem::path& programFolder, QWidget* owner)
    : QDialog(owner), guide_(programFolder / "Guida.pdf") {
    QVBoxLayout* layout = setUpDialog(this, QStringLiteral("frmGuida"),
                                      QStringLiteral(" Guida all'utilizzo del software"), QSize(676, 598));
    setModal(true);

    auto* top = new QHBoxLayout();
    top->setSpacing(14);
    imgLogo = new Picture(QStringLiteral("imgLogo"), QStringLiteral(":/icon_guida.svg"), {48, 48}, this);
    lblTitolo = captionLabel(QStringLiteral("lblTitolo"), QStringLiteral("Argomento della guida."), this);
    lblTitolo->setProperty("heading", true);
    lblTitolo->setWordWrap(true);
    top->addWidget(imgLogo, 0, Qt::AlignTop);
    top->addWidget(lblTitolo, 1);
    layout->addLayout(top);

    txtGuida = new QPlainTextEdit(this);
    txtGuida->setObjectName(QStringLiteral("txtGuida"));
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtGuida->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(txtGuida, 1);

    imgPDF = new PictureButton(QStringLiteral("imgPDF"), QStringLiteral(":/icon_pdf.svg"), {28, 28}, this);
    lnkWeb = new WebLink(QStringLiteral("lnkWeb"), QStringLiteral("Visualizza guida in formato PDF"), this);
    lnkWeb->attach(imgPDF);
    btnChiudi = textButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), this);
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(imgPDF);
    bottom->addWidget(lnkWeb);
    bottom->addStretch(1);
    bottom->addWidget(btnChiudi);
    layout->addLayout(bottom);

    connect(lnkWeb, &WebLink::clicked, this, &TfrmGuida::lnkWebClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::close);
    btnChiudi->setFocus();
}

void TfrmGuida::showPage(const HelpPage& page) {
    lblTitolo->setText(toQString(page.title));
    txtGuida->setPlainText(QString::fromStdString(helpText(page)));
}

void TfrmGuida::lnkWebClick() {
    // Quoted, so a program folder whose path holds blanks still opens; a missing guide shows nothing.
    DesktopService::open(QLatin1Char('"') + QString::fromStdString(guide_.string()) + QLatin1Char('"'));
}

void showHelp(const ScreenRegistry& registry, QWidget* owner, HelpTopic topic) {
    TfrmGuida window(registry.programFolder(), owner);
    window.showPage(helpPage(topic));
    window.exec();
}

}  // namespace scortavia
