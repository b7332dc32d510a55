#pragma once

#include <QDialog>

class QPushButton;

namespace scortavia {

class Picture;
class PictureButton;
class WebLink;

// The credits: the program's picture, the maker's web address with its globe, "Chiudi".
class TfrmSplash final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* owner);

    Picture* imgLogo;
    PictureButton* imgWeb;
    WebLink* lnkWeb;
    QPushButton* btnChiudi;

    void lnkWebClick();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace scortavia
