#pragma once

#include <optional>
#include <string_view>

#include "movements/MovementDirection.h"
#include "ui/ScreenRegistry.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class PictureButton;

// The year menu in front of the movements of one direction: a year for the movement cards, a year
// for the summaries. It hands the chosen year's archive to the next screen and, when it closes,
// shows the screen its lblMemory names.
class MovementYearMenu : public WorkArea {
    Q_OBJECT
public:
    QLabel* intAnnoLavoro;
    QLabel* titAnnoLavoro;
    QLineEdit* txtAnnoLavoro;
    QPushButton* btnApriLavoro;
    QLabel* intAnnoRiepLavoro;
    QLabel* titAnnoRiepLavoro;
    QLineEdit* txtAnnoRiepLavoro;
    QPushButton* btnApriRiepLavoro;
    QLabel* lblInformazioni;
    QLabel* lblMemory;
    PictureButton* imgEsci;
    PictureButton* imgGuida;

    const MovementDirection& direction() const { return direction_; }

    void btnApriLavoroClick();
    void btnApriRiepLavoroClick();

protected:
    MovementYearMenu(ScreenRegistry& registry, const MovementDirection& direction);
    void showEvent(QShowEvent* event) override;
    void onClose() override;

private:
    // The year typed in `box`, when it has the four characters of a year; otherwise the warning.
    std::optional<QString> yearIn(QLineEdit* box);
    // Hands the archive of `year` to the screen that works on it, titled `caption` and the year.
    void openYear(const QString& token, const QString& year, std::string_view caption);

    const MovementDirection& direction_;
};

class TfrmMenuCarico final : public MovementYearMenu {
    Q_OBJECT
public:
    explicit TfrmMenuCarico(ScreenRegistry& registry) : MovementYearMenu(registry, kGoodsIn) {}
};

class TfrmMenuScarico final : public MovementYearMenu {
    Q_OBJECT
public:
    explicit TfrmMenuScarico(ScreenRegistry& registry) : MovementYearMenu(registry, kGoodsOut) {}
};

}  // namespace scortavia
