#include "pricelists/TfrmImportaMagazzino.h"

#include <QLabel>

#include "common/TextRules.h"
#include "ui/QtText.h"
#include "ui/Widgets.h"

namespace scortavia {

TfrmImportaMagazzino::TfrmImportaMagazzino(ScreenRegistry& registry, QWidget* owner)
    : ProductSearchScreen(registry, owner,
                          {.name = "frmImportaMagazzino",
                           .caption = " Importa prodotti da magazzino",
                           .printTitle = "Riepilogo prodotti in magazzino"}) {
    setFixedSize(size());
    centerOnScreen(this);
}

QString TfrmImportaMagazzino::receiverKey() const { return toQString(trimBlanks(toStd(lblMemory->text()))); }

}  // namespace scortavia
