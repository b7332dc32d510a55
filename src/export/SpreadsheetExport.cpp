#include "export/SpreadsheetExport.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <optional>

#include "common/TextRules.h"
#include "storage/ArchiveScan.h"
#include "storage/FileAccess.h"
#include "storage/MovementRecord.h"
#include "storage/ProductRecord.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;
using P = ProductLayout;
using M = MovementLayout;

constexpr bool kReadOnly = false;
constexpr bool kEditable = true;
constexpr CellKind kNumber = CellKind::Number;

constexpr std::array<ExportColumn, 17> kProductColumns = {{
    {"Codice articolo", "Codice articolo", 250, P::Codice, kReadOnly},
    {"Costo unitario", "Costo unitario", 200, P::Costo, kReadOnly, kNumber},
    {"Nome prodotto", "Nome prodotto", 250, P::Nome, kEditable},
    {"Giacenza", "Giacenza", 180, P::Giacenza, kReadOnly, kNumber},
    {"Aspetto esteriore del bene", "Aspetto esteriore del bene", 250, P::UM, kEditable},
    {"Categoria merceologica", "Categoria merceologica", 250, P::Tipologia, kEditable},
    {"Caratteristiche", "Caratteristiche", 350, P::Caratteristiche, kReadOnly},
    {"Collocazione in magazzino", "Collocazione in magazzino", 250, P::Collocazione, kReadOnly},
    {"Ditta fornitrice", "Ditta fornitrice", 250, P::Ditta, kReadOnly},
    {"Agente", "Agente", 250, P::Agente, kReadOnly},
    {"Recapito telefonico", "Recapito telefonico", 200, P::Recapito, kEditable},
    {"Documento di acquisto", "Documento di acquisto", 250, P::Documento, kReadOnly},
    // The grid has always shown this header misspelt; the file carries the right one.
    {"Modalità di pagamento", "Modalitò di pagamento", 250, P::Pagamento, kReadOnly},
    {"Data scadenza", "Data scadenza", 200, P::DataSca, kReadOnly},
    {"Note", "Note", 350, P::Note, kEditable},
    {"Prezzo di vendita", "Prezzo di vendita", 200, P::Prezzo, kEditable, kNumber},
    {"Pagato", "Pagato", 150, P::Pagato, kEditable},
}};

constexpr std::array<ExportColumn, 14> kGoodsInColumns = {{
    {"Documento n.", "Documento n.", 250, M::NumDoc, kEditable},
    {"Data emissione", "Data emissione", 200, M::DataDoc, kEditable},
    {"Fornitore", "Fornitore", 250, M::Fornitore, kEditable},
    {"Recapito preferenziale", "Recapito preferenziale", 250, M::Recapiti, kEditable},
    {"Data carico", "Data carico", 200, M::Data, kReadOnly},
    {"Codice articolo", "Codice articolo", 250, M::Codice, kReadOnly},
    {"Tipologia", "Tipologia", 250, M::Tipologia, kReadOnly},
    {"Marca e modello", "Marca e modello", 250, M::Marca, kReadOnly},
    {"Descrizione", "Descrizione", 400, M::Descrizione, kEditable},
    {"Costo unitario", "Costo unitario", 200, M::CostoUni, kEditable, kNumber},
    {"Quantità caricata", "Quantità caricata", 200, M::Quant, kEditable, kNumber},
    {"Costo totale", "Costo totale", 200, M::CostoTot, kEditable, kNumber},
    {"Note", "Note", 400, M::Note, kEditable},
    {"Conto da saldare", "Conto da saldare", 200, M::DaSaldare, kEditable},
}};

constexpr std::array<ExportColumn, 14> kGoodsOutColumns = {{
    {"Documento n.", "Documento n.", 250, M::NumDoc, kEditable},
    {"Data emissione", "Data emissione", 200, M::DataDoc, kEditable},
    {"Cliente", "Cliente", 250, M::Fornitore, kEditable},
    {"Telefono preferenziale", "Telefono preferenziale", 250, M::Recapiti, kEditable},
    {"Data scarico", "Data scarico", 200, M::Data, kReadOnly},
    {"Codice articolo", "Codice articolo", 250, M::Codice, kReadOnly},
    {"Tipologia", "Tipologia", 250, M::Tipologia, kReadOnly},
    {"Marca e modello", "Marca e modello", 250, M::Marca, kReadOnly},
    {"Descrizione", "Descrizione", 400, M::Descrizione, kEditable},
    {"Prezzo unitario", "Prezzo unitario", 200, M::CostoUni, kEditable, kNumber},
    {"Quantità scaricata", "Quantità scaricata", 200, M::Quant, kEditable, kNumber},
    {"Prezzo totale", "Prezzo totale", 200, M::CostoTot, kEditable, kNumber},
    {"Note", "Note", 400, M::Note, kEditable},
    {"Conto da saldare", "Conto da saldare", 200, M::DaSaldare, kEditable},
}};

const ExportDesign kProducts{ExportKind::Products, "frmExpMagazzino",    " Esporta magazzino prodotti in Excel",
                             "Magazzino.xls",      "Magazzino Prodotti", "Esportazione magazzino prodotti in Excel",
                             ProductRecord::kSize, kProductColumns};
const ExportDesign kGoodsIn{
    ExportKind::GoodsIn,     "frmExpCarichi",     " Esporta archivio operazioni di carico in Excel",
    "Operazioni_Carico.xls", "Operazioni Carico", "Esportazione archivio operazioni di carico in Excel",
    MovementRecord::kSize,   kGoodsInColumns};
const ExportDesign kGoodsOut{
    ExportKind::GoodsOut,     "frmExpScarichi",     " Esporta archivio operazioni di scarico in Excel",
    "Operazioni_Scarico.xls", "Operazioni Scarico", "Esportazione archivio operazioni di scarico in Excel",
    MovementRecord::kSize,    kGoodsOutColumns};

// The exported fields of one record, each decoded and trimmed, appended to `text` with its end in `ends`.
template <class Layout>
void appendRecordCells(const std::uint8_t* record, const ExportDesign& design, std::string& text,
                       std::vector<std::uint32_t>& ends) {
    const RecordView<Layout> view(record);
    for (const ExportColumn& column : design.columns) {
        view.appendText(static_cast<typename Layout::Field>(column.field), text);
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    }
}

// Appends UTF-8 text in Windows-1252. The markup and most cell texts are plain ASCII and are copied as
// they stand; only the runs of other characters go through the code page's table.
void appendWindows1252(std::string_view utf8, std::string& out) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t ascii = i;
        while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
        out.append(utf8.data() + i, ascii - i);
        std::size_t other = ascii;
        while (other < utf8.size() && static_cast<unsigned char>(utf8[other]) >= 0x80) ++other;
        if (other > ascii) out += encodeWindows1252(utf8.substr(ascii, other - ascii));
        i = other;
    }
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void appendExportCellText(std::string_view text, std::string& out) {
    text = trimBlanks(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&': {
                const bool startsReference = i + 1 < text.size() && (isAsciiLetter(text[i + 1]) || text[i + 1] == '#');
                out += startsReference ? "&amp;" : "&";
                break;
            }
            // A line break inside a cell (a note pasted from elsewhere) would split the one-line file.
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                out.push_back(c);
        }
    }
}

// The cell tags. sdnum is "language of sdval; language of the format (0: the reader's own); format",
// as LibreOffice reads it; Excel reads the text format from mso-number-format.
constexpr std::string_view kPlainCell = "<td style=\"text-align: left;\">";
constexpr std::string_view kTextCell = "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1033;0;@\">";

// The decimals of a number in the card's form: an optional "-", digits, and decimals after a comma, at
// most 15 digits in all so that a spreadsheet program holds it exactly. Nothing for any other text.
std::optional<std::size_t> cardNumberDecimals(std::string_view text) {
    if (text.starts_with('-')) text.remove_prefix(1);
    const std::size_t comma = text.find(',');
    const std::string_view whole = text.substr(0, comma);
    const std::string_view decimals = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const auto allDigits = [](std::string_view digits) {
        return std::all_of(digits.begin(), digits.end(), isAsciiDigit);
    };
    if (whole.empty() || !allDigits(whole) || !allDigits(decimals)) return std::nullopt;
    if (comma != std::string_view::npos && decimals.empty()) return std::nullopt;
    if (whole.size() + decimals.size() > 15) return std::nullopt;
    return decimals.size();
}

constexpr std::size_t kChunkBytes = std::size_t{256} << 10;
constexpr std::size_t kProgressRows = 1000;

// The one producer of the file's bytes, for the file writer and for spreadsheetBytes alike: the
// Windows-1252 bytes go to `write` in chunks of about kChunkBytes, and `rowsDone` hears every
// kProgressRows rows and after the last. Either returning false stops it (false).
bool produceSpreadsheet(const ExportDesign& design, std::size_t rows, const CellSource& cell,
                        const std::function<bool(std::string_view)>& write,
                        const std::function<bool(std::size_t)>& rowsDone) {
    std::string out;
    out.reserve(kChunkBytes + (std::size_t{64} << 10));
    std::string escaped;
    std::string tag;
    const auto flush = [&] {
        const bool written = out.empty() || write(out);
        out.clear();
        return written;
    };

    out +=
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
        "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" xmlns=\"http://www.w3.org/TR/REC-html40\">";
    out += "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";
    out += "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>";
    appendWindows1252(design.worksheet, out);
    out +=
        "</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number>"
        "<x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes><x:ProtectContents>False</x:ProtectContents>"
        "<x:ProtectObjects>False</x:ProtectObjects><x:ProtectScenarios>False</x:ProtectScenarios>"
        "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]-->"
        "</head><body><table x:str><tr>";
    for (const ExportColumn& column : design.columns) {
        out += "<td style=\"text-align: left; font-weight: bold;\" width=";
        out += std::to_string(column.width);
        out += '>';
        appendWindows1252(column.header, out);
        out += "</td>";
    }
    out += "</tr>";

    for (std::size_t row = 0; row < rows; ++row) {
        out += "<tr>";
        for (std::size_t column = 0; column < design.columns.size(); ++column) {
            escaped.clear();
            appendExportCellText(cell(row, column), escaped);
            out += exportCellTag(design.columns[column].kind, escaped, tag);
            appendWindows1252(escaped, out);
            out += "</td>";
        }
        out += "</tr>";
        if (out.size() >= kChunkBytes && !flush()) return false;
        const std::size_t done = row + 1;
        if ((done % kProgressRows == 0 || done == rows) && !rowsDone(done)) return false;
    }

    out += "</table></body></html>";
    return flush();
}

}  // namespace

const ExportDesign& exportDesign(ExportKind kind) {
    switch (kind) {
        case ExportKind::GoodsIn:
            return kGoodsIn;
        case ExportKind::GoodsOut:
            return kGoodsOut;
        case ExportKind::Products:
            break;
    }
    return kProducts;
}

Status ExportCells::load(const fs::path& archive, const ExportDesign& design) {
    columns_ = design.columns.size();
    text_.clear();
    ends_.clear();
    const bool products = design.kind == ExportKind::Products;
    // Most exported fields hold far less than their capacity; a guess saves most of the regrowth.
    constexpr std::size_t kGuessedBytesPerCell = 16;
    const auto counted = [&](std::int64_t count) {
        const auto records = static_cast<std::size_t>(count);
        ends_.reserve(records * columns_);
        text_.reserve(records * columns_ * kGuessedBytesPerCell);
    };
    bool tooLarge = false;
    Status scanned = scanArchive(
        archive, design.recordSize,
        [&](const std::uint8_t* record, std::int64_t) {
            // Cell ends are 32-bit; a text past 4 GiB would need an archive far beyond any real shop's.
            if (text_.size() > std::numeric_limits<std::uint32_t>::max() - design.recordSize * 3) {
                tooLarge = true;
                return false;
            }
            if (products) {
                appendRecordCells<ProductLayout>(record, design, text_, ends_);
            } else {
                appendRecordCells<MovementLayout>(record, design, text_, ends_);
            }
            return true;
        },
        counted);
    if (!scanned) {
        // A year not begun has no archive; where one cannot be created there is still nothing to export.
        std::error_code error;
        if (fs::symlink_status(archive, error).type() == fs::file_type::not_found) return Status::success();
        return scanned;
    }
    if (tooLarge) return Status::failure("archive too large to export: " + archive.string());
    return Status::success();
}

std::size_t ExportCells::rowCount() const { return columns_ == 0 ? 0 : ends_.size() / columns_; }

std::string_view ExportCells::cell(std::size_t row, std::size_t column) const {
    const std::size_t index = row * columns_ + column;
    if (column >= columns_ || index >= ends_.size()) return {};
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

std::string exportCellText(std::string_view text) {
    std::string out;
    appendExportCellText(text, out);
    return out;
}

std::string_view exportCellTag(CellKind kind, std::string_view text, std::string& scratch) {
    if (kind == CellKind::Text) return kTextCell;
    if (text.empty()) return kPlainCell;
    const std::optional<std::size_t> decimals = cardNumberDecimals(text);
    if (!decimals) return kTextCell;
    scratch.assign("<td style=\"text-align: left;\" sdval=\"");
    for (const char c : text) scratch.push_back(c == ',' ? '.' : c);
    scratch += "\" sdnum=\"1033;0;0";
    if (*decimals > 0) {
        scratch += '.';
        scratch.append(*decimals, '0');
    }
    scratch += "\">";
    return scratch;
}

std::string spreadsheetBytes(const ExportDesign& design, std::size_t rows, const CellSource& cell) {
    std::string bytes;
    produceSpreadsheet(
        design, rows, cell,
        [&](std::string_view chunk) {
            bytes += chunk;
            return true;
        },
        [](std::size_t) { return true; });
    return bytes;
}

ExportOutcome writeSpreadsheetFile(const fs::path& target, const ExportDesign& design, std::size_t rows,
                                   const CellSource& cell, const ExportProgress& progress) {
    bool cancelled = false;
    // The export is whole on disk before the rename; a folder that cannot be synced afterwards only
    // leaves the new name less durable, and must not turn a written file into a failure message.
    const Status written = writeFileReplacing(
        target, 0644,
        [&](int fd, const fs::path& temporary) {
            const bool produced = produceSpreadsheet(
                design, rows, cell, [&](std::string_view chunk) { return writeAll(fd, chunk, temporary).ok(); },
                [&](std::size_t done) {
                    cancelled = progress && !progress(done);
                    return !cancelled;
                });
            return produced ? Status::success() : Status::failure(cancelled ? "cancelled" : "write");
        },
        FolderSync::BestEffort);
    if (cancelled) return ExportOutcome::Cancelled;
    return written ? ExportOutcome::Written : ExportOutcome::Failed;
}

}  // namespace scortavia
