#pragma once

#include <memory>

#include "movements/MovementDirection.h"
#include "ui/ListScreen.h"
#include "ui/SearchScreen.h"

namespace scortavia {

class MovementCardScreen;
class ScreenRegistry;

// The movement search of a card: ten fields to fill, then the movements of the card's year archive
// that contain them, in archive order. A double click puts the movement on the card, and only when
// lblMemory holds the card's own key. Goods-in and goods-out are this one screen given their direction.
class MovementSearch : public SearchScreen {
    Q_OBJECT
public:
    // In the order Enter walks them.
    QLineEdit* txtNumDoc;
    QLineEdit* txtDataDoc;
    QLineEdit* txtData;
    QLineEdit* txtCodice;
    QLineEdit* txtTipologia;
    QLineEdit* txtMarca;
    QLineEdit* txtDescrizione;
    QLineEdit* txtCostoUni;
    QLineEdit* txtFornitore;
    QLineEdit* txtNote;

protected:
    MovementSearch(ScreenRegistry& registry, MovementCardScreen& card, const MovementDirection& direction);
};

class TfrmTrovaCarichi final : public MovementSearch {
    Q_OBJECT
public:
    TfrmTrovaCarichi(ScreenRegistry& registry, MovementCardScreen& card) : MovementSearch(registry, card, kGoodsIn) {}
};

class TfrmTrovaScarichi final : public MovementSearch {
    Q_OBJECT
public:
    TfrmTrovaScarichi(ScreenRegistry& registry, MovementCardScreen& card) : MovementSearch(registry, card, kGoodsOut) {}
};

// The movements of the card's year archive whose "Conto da saldare" box was ticked, in archive
// order; a double click puts the movement on the card.
class OpenAccounts : public ListScreen {
    Q_OBJECT
protected:
    OpenAccounts(ScreenRegistry& registry, MovementCardScreen& card, const MovementDirection& direction);
};

class TfrmSospese final : public OpenAccounts {
    Q_OBJECT
public:
    TfrmSospese(ScreenRegistry& registry, MovementCardScreen& card) : OpenAccounts(registry, card, kGoodsIn) {}
};

class TfrmSospeseSca final : public OpenAccounts {
    Q_OBJECT
public:
    TfrmSospeseSca(ScreenRegistry& registry, MovementCardScreen& card) : OpenAccounts(registry, card, kGoodsOut) {}
};

// The screens of the card's direction, made afresh for one opening.
std::unique_ptr<MovementSearch> makeMovementSearch(ScreenRegistry& registry, MovementCardScreen& card);
std::unique_ptr<OpenAccounts> makeOpenAccounts(ScreenRegistry& registry, MovementCardScreen& card);

}  // namespace scortavia
