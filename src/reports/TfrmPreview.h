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
    // Renders the pages again at that zoom; cancelling that closes the preview.
    void setZoom(double zoom);
    // False when the rendering of the pages was cancelled: there is nothing to show.
    bool rendered() const { return rendered_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool render();

    const ReportTemplate& report_;
    QWidget* pages_;
    QVBoxLayout* pagesLayout_;
    double zoom_ = 1.0;
    bool rendered_ = false;
};

}  // namespace scortavia
