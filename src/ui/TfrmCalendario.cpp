#include "ui/TfrmCalendario.h"

#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ScreenRegistry.h"
#include "ui/Widgets.h"

namespace scortavia {

TfrmCalendario::TfrmCalendario(ScreenRegistry& registry, QWidget* owner) : QDialog(owner), registry_(registry) {
    auto* layout = setUpDialog(this, QStringLiteral("frmCalendario"), QStringLiteral(" Importazione data"), {372, 340});
    lblCampo001 = new QLabel(QStringLiteral("Importare una data:"), this);
    lblCampo001->setObjectName(QStringLiteral("lblCampo001"));
    layout->addWidget(lblCampo001);
    calAppuntamenti = new QCalendarWidget(this);
    calAppuntamenti->setObjectName(QStringLiteral("calAppuntamenti"));
    calAppuntamenti->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    calAppuntamenti->setFirstDayOfWeek(Qt::Monday);
    calAppuntamenti->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calAppuntamenti->setGridVisible(true);
    calAppuntamenti->setSelectedDate(QDate::currentDate());
    layout->addWidget(calAppuntamenti, 1);
    btnImportaData = textButton(QStringLiteral("btnImportaData"), QStringLiteral("Importa"), this);
    btnAnnulla = textButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), this);
    layout->addLayout(buttonRow({btnImportaData, btnAnnulla}));
    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);

    connect(btnImportaData, &QPushButton::clicked, this, &TfrmCalendario::btnImportaDataClick);
    connect(calAppuntamenti, &QCalendarWidget::activated, this, &TfrmCalendario::btnImportaDataClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmCalendario::btnImportaDataClick() {
    // An unknown key leaves the calendar open: nothing would receive the date.
    if (!findHandOver(HandOver::CalendarDate, lblMemory->text())) return;
    if (auto* box = registry_.handOver().receiver<HandOver::CalendarDate>(lblMemory->text())) {
        box->receiveDate(calAppuntamenti->selectedDate());
    }
    accept();
}

}  // namespace scortavia
