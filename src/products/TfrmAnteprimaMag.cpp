#include "products/TfrmAnteprimaMag.h"

namespace scortavia {

TfrmAnteprimaMag::TfrmAnteprimaMag(ScreenRegistry& registry, QWidget* owner)
    : ProductPrintDialog(registry, owner,
                         {.mode = Mode::Preview,
                          .name = "frmAnteprimaMag",
                          .caption = " Anteprima di stampa",
                          .withPhoto = "Anteprima dati con foto.",
                          .withoutPhoto = "Anteprima dati senza foto.",
                          .action = "Mostra anteprima",
                          .picture = ":/spiegazione_anteprima.svg"}) {}

}  // namespace scortavia
