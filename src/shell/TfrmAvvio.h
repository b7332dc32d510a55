#pragma once

#include "common/Version.h"
#include "ui/ScreenRegistry.h"

class QFrame;

namespace scortavia {

class BackupRun;
class PictureButton;

// The main menu: six work-area tiles, help, credits, backups, the maker's web strip and exit. It tells
// `backups` (when given) each time it comes up.
class TfrmAvvio final : public WorkArea {
    Q_OBJECT
public:
    explicit TfrmAvvio(ScreenRegistry& registry, BackupRun* backups = nullptr);

    // Each tile is a picture and a caption picture under it; either one opens the area. The keyboard
    // reaches the tile through its picture, and the focus mark goes round both.
    struct Tile {
        PictureButton* picture;
        PictureButton* caption;
        QString target;
    };
    std::vector<Tile> tiles;
    QFrame* panAvvio;
    PictureButton* imgGuida;
    PictureButton* imgCrediti;
    PictureButton* imgCopie;
    PictureButton* imgServer;
    PictureButton* imgSito;
    PictureButton* imgEsci;

    void openArea(const QString& target);
    void imgCreditiClick();
    void imgCopieClick();
    void imgServerClick();
    void imgSitoClick();
    void imgEsciClick();

protected:
    // The first tile takes the focus each time the menu comes up.
    void showEvent(QShowEvent* event) override;
    void onClose() override;

private:
    BackupRun* backups_;
};

inline constexpr const char* kMakerWebAddress = kProgramHomepage;

}  // namespace scortavia
