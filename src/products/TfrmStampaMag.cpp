#include "products/TfrmStampaMag.h"

namespace scortavia {

TfrmStampaMag::TfrmStampaMag(ScreenRegistry& registry, QWidget* owner)
    : ProductPrintDialog(registry, owner,
                         {.mode = Mode::Print,
                          .name = "frmStampaMag",
                          .caption = " Stampa scheda",
                          .withPhoto = "Stampa dati con foto.",
                          .withoutPhoto = "Stampa dati senza foto.",
                          .action = "Stampa",
                          .picture = ":/spiegazione_stampa.svg"}) {}

}  // namespace scortavia
