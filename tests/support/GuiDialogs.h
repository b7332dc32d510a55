#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <QtTest>
#include <functional>
#include <string>

#include "movements/MovementCardScreen.h"
#include "movements/MovementYearMenu.h"
#include "pricelists/PriceListArchiveScreens.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "summaries/InventoryScreens.h"
#include "summaries/MovementSummaryScreens.h"
#include "support/GuiActions.h"
#include "support/GuiProgram.h"

// The ways a user opens the dialogs of the program, for tests that go through many of them.
namespace scortavia::test {

// From a fresh program, the way to a dialog's opener; hands back what the user then does to open it.
using Reach = std::function<std::function<void()>(GuiProgram&)>;

inline std::function<void()> clicking(QAbstractButton* button) {
    return [button] {
        QVERIFY(button);
        click(button);
    };
}

// A button of the product card's toolbar or boxes.
inline Reach onProductCard(const char* opener) {
    return [opener](GuiProgram& p) { return clicking(p.openProductCard()->findChild<QAbstractButton*>(opener)); };
}

// A button of the movement card of 2024.
inline Reach onMovementCard(Direction direction, const char* opener) {
    return [direction, opener](GuiProgram& p) {
        return clicking(p.openMovementCard(QStringLiteral("2024"), direction)->findChild<QAbstractButton*>(opener));
    };
}

// "Visualizza riepilogo" for the whole year 2024.
inline Reach toMovementSummary(Direction direction) {
    return [direction](GuiProgram& p) {
        MovementYearMenu* menu = p.openYearMenu(direction);
        typeText(menu->txtAnnoRiepLavoro, QStringLiteral("2024"));
        click(menu->btnApriRiepLavoro);
        auto* period = p.screen<MovementPeriodScreen>(std::string(movementDirection(direction).summaryName).c_str());
        period->txtGiornoInizio->setCurrentIndex(0);
        period->txtMeseInizio->setCurrentIndex(0);
        period->txtGiornoFine->setCurrentIndex(period->txtGiornoFine->findText(QStringLiteral("31")));
        period->txtMeseFine->setCurrentIndex(period->txtMeseFine->findText(QStringLiteral("Dicembre")));
        return clicking(period->btnVisualizza);
    };
}

// "Visualizza" on the inventory prompt, with no category.
inline Reach toInventory() {
    return [](GuiProgram& p) { return clicking(p.openFromMenu<TfrmMenuRiepilogo>("frmMenuRiepilogo")->btnVisualizza); };
}

// A button of the page editor of the price list "Estate", opened from the opening screen of the price lists.
inline Reach onPriceListEditor(std::function<QAbstractButton*(TfrmListinoPrezzi*)> opener) {
    return [opener = std::move(opener)](GuiProgram& p) {
        writeBytes(p.folder.file("Estate.lis"), "");
        auto* opening = p.openFromMenu<TfrmApriCatalogo>("frmApriCatalogo");
        opening->lstFiles->setCurrentRow(0);
        click(opening->btnApri);
        return clicking(opener(p.screen<TfrmListinoPrezzi>("frmListinoPrezzi")));
    };
}

}  // namespace scortavia::test

Q_DECLARE_METATYPE(scortavia::test::Reach)
