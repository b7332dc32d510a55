#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace scortavia {

class ReportTemplate;

// The modal, maximised preview of laid-out pages at 100 %: print, zoom, full screen, close.
class TfrmPreview final : public QDialog {
    Q_OBJECT
public:
    TfrmPreview(const ReportTemplate& report, QWidget* parent);

    QPushButton* btnStampa;
    QComboBox* cmbZoom;
    QPushButton* btnSchermoIntero;
    QPushButton* btnChiudi;
    QScrollArea* scrPagine;

    double zoom() const { return zoom_; }
    void setZoom(double zoom);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void render();

    const ReportTemplate& report_;
    QWidget* pages_;
    QVBoxLayout* pagesLayout_;
    double zoom_ = 1.0;
};

}  // namespace scortavia
