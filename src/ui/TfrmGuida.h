#pragma once

#include <QDialog>
#include <filesystem>

#include "ui/HelpPages.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace scortavia {

class Picture;
class PictureButton;
class ScreenRegistry;
class WebLink;

// The help window: the page of one topic, a link to the whole guide as a PDF file, "Chiudi".
class TfrmGuida final : public QDialog {
    Q_OBJECT
public:
    TfrmGuida(const std::filesystem::path& programFolder, QWidget* owner);

    Picture* imgLogo;
    QLabel* lblTitolo;
    QPlainTextEdit* txtGuida;
    PictureButton* imgPDF;
    WebLink* lnkWeb;
    QPushButton* btnChiudi;

    void showPage(const HelpPage& page);
    void lnkWebClick();

private:
    std::filesystem::path guide_;
};

// What every help button does: a fresh help window on the topic's page, shown modally.
void showHelp(const ScreenRegistry& registry, QWidget* owner, HelpTopic topic);

}  // namespace scortavia
