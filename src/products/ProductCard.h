#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/Barcode.h"
#include "common/Result.h"
#include "storage/ProductRecord.h"

namespace scortavia {

// The texts of the product card's controls, one per record field: the 17 edit boxes, the paid
// flag as "Sì" or "No", the six hidden attachment labels.
using ProductTexts = std::array<std::string, ProductLayout::FieldCount>;

// The card's caption of each field it shows, in record order up to the paid flag (whose box says
// "Pagato"): the card shows them, and the import takes them for column headers naming their fields.
inline constexpr std::array<std::string_view, ProductLayout::Pagato + 1> kProductCaptions = {
    "Codice articolo:",
    "Costo unitario:",
    "Nome prodotto:",
    "Giacenza:",
    "Avviso n.",
    "Aspetto esteriore del bene:",
    "Categoria merceologica:",
    "Caratteristiche:",
    "Collocazione in magazzino:",
    "Ditta fornitrice:",
    "Agente:",
    "Recapito telefonico:",
    "Documento di acquisto:",
    "Modalità di pagamento:",
    "Data scadenza:",
    "Note:",
    "Prezzo di vendita:",
    "Pagato",
};
constexpr std::string_view productCaption(ProductLayout::Field field) { return kProductCaptions.at(field); }

struct MandatoryField {
    ProductLayout::Field field;
    std::string_view warning;
};

// Checked on save in this order; the first blank one stops the save.
inline constexpr std::array<MandatoryField, 7> kProductMandatory = {{
    {ProductLayout::Codice, "Attenzione: per salvare la scheda è necessario indicare il codice articolo."},
    {ProductLayout::Costo, "Attenzione: per salvare la scheda è necessario indicare il costo unitario."},
    {ProductLayout::Nome, "Attenzione: per salvare la scheda è necessario indicare il nome del prodotto."},
    {ProductLayout::UM, "Attenzione: per salvare la scheda è necessario indicare l'aspetto esteriore del bene."},
    {ProductLayout::Tipologia, "Attenzione: per salvare la scheda è necessario indicare la categoria merceologica."},
    {ProductLayout::Caratteristiche,
     "Attenzione: per salvare la scheda è necessario indicare le caratteristiche del prodotto."},
    {ProductLayout::Prezzo, "Attenzione: per salvare la scheda è necessario indicare il prezzo di vendita."},
}};

std::optional<MandatoryField> firstMissingMandatory(const ProductTexts& texts);

ProductRecord productRecordFrom(const ProductTexts& texts);
ProductTexts productTextsOf(const ProductView& record);

// True when a number text would read as another number once cut to a field's capacity, so the
// card must refuse to store it rather than keep a value different from the one shown.
bool cutChangesNumber(std::string_view text, std::size_t capacity);

// The money and stock boxes of the card, whose texts are numbers.
inline constexpr std::array<ProductLayout::Field, 4> kProductNumberFields = {
    ProductLayout::Costo, ProductLayout::Giacenza, ProductLayout::Avviso, ProductLayout::Prezzo};

// The first number box whose text the record cannot hold without changing its value.
std::optional<ProductLayout::Field> firstNumberTooLong(const ProductTexts& texts);

// The stock dialog's "Calcola totale": new texts of its three boxes.
struct StockTotal {
    std::string stock;
    std::string quantity;
    std::string total;
};
StockTotal computeStockTotal(std::string_view stock, std::string_view quantity, bool add);

// Whether a stock text fits the 4 characters of the stock field.
bool stockFitsField(std::string_view total);

inline constexpr std::string_view kMsgStockOutOfRange =
    "Attenzione: la giacenza risultante non può essere registrata nella scheda.\n\n"
    "La giacenza di un prodotto deve essere compresa tra -999 e 9999 pezzi (al massimo 4 caratteri).";

// "Genera codice": an in-store EAN-13 that no card of the archive has; nothing when none was found.
Result<std::optional<std::string>> proposeInStoreCode(const std::filesystem::path& archive, const RandomSource& random);

}  // namespace scortavia
