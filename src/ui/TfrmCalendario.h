#pragma once

#include <QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;

namespace scortavia {

class ScreenRegistry;

// Picks a day and writes it, as "dd/mm/yyyy", into the date box named by the key in lblMemory.
class TfrmCalendario final : public QDialog {
    Q_OBJECT
public:
    TfrmCalendario(ScreenRegistry& registry, QWidget* owner);

    QLabel* lblCampo001;
    QCalendarWidget* calAppuntamenti;
    QPushButton* btnImportaData;
    QPushButton* btnAnnulla;
    QLabel* lblMemory;

    void btnImportaDataClick();

private:
    ScreenRegistry& registry_;
};

}  // namespace scortavia
