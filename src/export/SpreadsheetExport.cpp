#include "export/SpreadsheetExport.h"

#include <array>
#include <limits>

#include "storage/ArchiveScan.h"
#include "storage/FileAccess.h"
#include "storage/MovementRecord.h"
#include "storage/ProductRecord.h"

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
void appendRecordCells(const std::uint8_t* record, const ExportDesign& design, PackedTexts<std::uint32_t>& cells) {
    const RecordView<Layout> view(record);
    for (const ExportColumn& column : design.columns) {
        view.appendText(static_cast<typename Layout::Field>(column.field), cells.open());
        cells.close();
    }
}

// The file's bytes, for the file writer and for spreadsheetBytes alike (writeHtmlTable tells how).
bool produceSpreadsheet(const ExportDesign& design, std::size_t rows, const CellSource& cell,
                        const std::function<bool(std::string_view)>& write,
                        const std::function<bool(std::size_t)>& rowsDone) {
    std::vector<HtmlColumn> columns;
    columns.reserve(design.columns.size());
    for (const ExportColumn& column : design.columns) columns.push_back({column.header, column.width, column.kind});
    return writeHtmlTable(design.worksheet, columns, rows, cell, write, rowsDone);
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
    cells_.clear();
    const bool products = design.kind == ExportKind::Products;
    // Most exported fields hold far less than their capacity; a guess saves most of the regrowth.
    constexpr std::size_t kGuessedBytesPerCell = 16;
    const auto counted = [&](std::int64_t count) {
        const auto records = static_cast<std::size_t>(count);
        cells_.reserve(records * columns_, records * columns_ * kGuessedBytesPerCell);
    };
    bool tooLarge = false;
    Status scanned = scanArchive(
        archive, design.recordSize,
        [&](const std::uint8_t* record, std::int64_t) {
            // Cell ends are 32-bit; a text past 4 GiB would need an archive far beyond any real shop's.
            if (cells_.bytes() > std::numeric_limits<std::uint32_t>::max() - design.recordSize * 3) {
                tooLarge = true;
                return false;
            }
            if (products) {
                appendRecordCells<ProductLayout>(record, design, cells_);
            } else {
                appendRecordCells<MovementLayout>(record, design, cells_);
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

std::size_t ExportCells::rowCount() const { return columns_ == 0 ? 0 : cells_.size() / columns_; }

std::string_view ExportCells::cell(std::size_t row, std::size_t column) const {
    const std::size_t index = row * columns_ + column;
    if (column >= columns_ || index >= cells_.size()) return {};
    return cells_[index];
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
