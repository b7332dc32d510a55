#include "products/ImportFields.h"

#include <array>
#include <utility>

#include "common/TextRules.h"
#include "export/SpreadsheetExport.h"
#include "products/ProductCard.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

using P = ProductLayout;

constexpr std::size_t kFields = kImportFieldCount;

// The words of each field that neither the export nor the card shows, in record order. Its name and the
// headers that name it come first from the export's columns and the card's captions.
struct FieldWords {
    std::string_view subject;     // in a sentence: "il costo unitario"
    std::string_view usualWords;  // other headers that name it, "|" between them, already folded
    std::string_view name = {};   // where the export has no column for the field
};

constexpr std::array<FieldWords, kFields> kWords = {{
    {"il codice articolo", "codice|codice prodotto|cod articolo"},
    {"il costo unitario", "costo|prezzo di acquisto|prezzo acquisto"},
    {"il nome del prodotto", "nome|prodotto|nome del prodotto"},
    {"la giacenza", "quantita|quantita in magazzino|pezzi"},
    {"il livello di avviso", "avviso|scorta minima|livello di avviso", "Avviso (pezzi rimasti)"},
    {"l'aspetto esteriore del bene", "aspetto esteriore|aspetto|um|unita di misura"},
    {"la categoria merceologica", "categoria|tipologia"},
    {"le caratteristiche del prodotto", "caratteristiche del prodotto|descrizione"},
    {"la collocazione in magazzino", "collocazione|ubicazione"},
    {"la ditta fornitrice", "ditta|fornitore"},
    {"l'agente", ""},
    {"il recapito telefonico", "recapito|telefono"},
    {"il documento di acquisto", "documento"},
    {"la modalità di pagamento", "pagamento|modalita pagamento"},
    {"la data di scadenza", "data di scadenza|scadenza|datasca"},
    {"le note", ""},
    {"il prezzo di vendita", "prezzo|prezzo vendita"},
    {"il campo Pagato", ""},
}};

std::string foldedHeader(std::string_view header) {
    const std::string folded = foldedWords(trimBlanks(header));
    std::string out;
    for (const char c : folded) {
        const bool blank = static_cast<unsigned char>(c) <= 32 || c == '_';
        if (blank) {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    while (!out.empty() && (out.back() == ':' || out.back() == '.' || out.back() == ' ')) out.pop_back();
    return out;
}

using HeaderWords = std::vector<std::pair<std::string, P::Field>>;

// Every folded header that names a field. The export's grid has always shown one header misspelt
// ("Modalitò di pagamento"), so a sheet copied from it says so too: its screen headers count as well.
HeaderWords buildHeaderWords() {
    HeaderWords words;
    const auto add = [&](std::string_view header, std::size_t field) {
        words.emplace_back(foldedHeader(header), static_cast<P::Field>(field));
    };
    for (const ExportColumn& column : exportDesign(ExportKind::Products).columns) {
        add(column.header, column.field);
        add(column.screenHeader, column.field);
    }
    for (std::size_t f = 0; f < kFields; ++f) {
        add(productCaption(static_cast<P::Field>(f)), f);
        for (std::string_view usual = kWords[f].usualWords; !usual.empty();) {
            const std::size_t bar = usual.find('|');
            add(usual.substr(0, bar), f);
            usual = bar == std::string_view::npos ? std::string_view{} : usual.substr(bar + 1);
        }
    }
    return words;
}

}  // namespace

std::string_view importFieldName(ProductLayout::Field field) {
    if (!kWords.at(field).name.empty()) return kWords[field].name;
    for (const ExportColumn& column : exportDesign(ExportKind::Products).columns) {
        if (column.field == field) return column.header;
    }
    return {};
}

std::string_view importFieldSubject(ProductLayout::Field field) { return kWords.at(field).subject; }

std::string foldedWords(std::string_view utf8) {
    std::string out;
    for (const char ch : encodeWindows1252(utf8)) {
        auto c = static_cast<unsigned char>(ch);
        if (c == 0xFF) {
            c = 'y';
        } else if (c >= 0xC0 && c != 0xD7 && c != 0xF7) {
            static constexpr std::string_view kBase = "aaaaaaaceeeeiiiidnooooo*ouuuuyts";
            c = static_cast<unsigned char>(kBase[(c - 0xC0) & 0x1F]);
        }
        out.push_back(foldLowerAZ(static_cast<char>(c)));
    }
    return out;
}

std::optional<ProductLayout::Field> fieldForHeader(std::string_view header) {
    static const HeaderWords kHeaderWords = buildHeaderWords();
    const std::string folded = foldedHeader(header);
    if (folded.empty()) return std::nullopt;
    for (const auto& [word, field] : kHeaderWords) {
        if (word == folded) return field;
    }
    return std::nullopt;
}

ColumnMapping mappingFromHeaders(const SheetTable& table, bool& matched) {
    ColumnMapping mapping(table.columnCount());
    matched = false;
    if (table.rowCount() == 0) return mapping;
    std::array<bool, kFields> taken{};
    for (std::size_t c = 0; c < mapping.size(); ++c) {
        const auto field = fieldForHeader(table.cell(0, c));
        if (!field || taken[*field]) continue;
        taken[*field] = true;
        mapping[c] = field;
        matched = true;
    }
    return mapping;
}

}  // namespace scortavia
