#pragma once

#include <QDialog>
#include <filesystem>

class QLabel;
class QPushButton;

namespace scortavia {

class Picture;
class PictureButton;
class WebLink;

// The credits: the program's picture and version, the maker's web address with its globe, the button
// that puts a launcher of this program folder into the applications menu, "Chiudi".
class TfrmSplash final : public QDialog {
    Q_OBJECT
public:
    TfrmSplash(std::filesystem::path programFolder, QWidget* owner);

    Picture* imgLogo;
    QLabel* lblVersione;
    PictureButton* imgWeb;
    WebLink* lnkWeb;
    QPushButton* btnCollegamento;
    QPushButton* btnChiudi;

    void lnkWebClick();
    void btnCollegamentoClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::filesystem::path programFolder_;
};

}  // namespace scortavia
