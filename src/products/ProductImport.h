#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/Result.h"
#include "sheets/SheetRead.h"
#include "storage/ProductRecord.h"

// Products brought in from a spreadsheet: which column fills which card field, every row as the card
// would store it with what is wrong with it, and the appending of the rows the user confirmed.
namespace scortavia {

// The fields a column can fill: every field of the card but the attachments, in record order.
inline constexpr std::size_t kImportFieldCount = ProductLayout::Pagato + 1;

// The field's name where the user chooses it ("Codice articolo").
std::string_view importFieldName(ProductLayout::Field field);

// The card field a column header names: the export's headers, the card's labels and a few usual
// words, with case, accents, blanks and a final ":" or "." ignored.
std::optional<ProductLayout::Field> fieldForHeader(std::string_view header);

// Per column of the file, the field it fills, if any.
using ColumnMapping = std::vector<std::optional<ProductLayout::Field>>;

// The mapping the first row's headers give; a field named twice goes to its first column.
// `matched` tells whether any header was recognised (if none was, the first row is likely data).
ColumnMapping mappingFromHeaders(const SheetTable& table, bool& matched);

// Codes of the products already in the archive, folded for comparison, with the position of the
// first card holding each.
struct ArchiveCodes {
    std::unordered_map<std::string, std::int64_t> positions;
    std::int64_t records = 0;
};
Result<ArchiveCodes> readArchiveCodes(const std::filesystem::path& archive);

enum class RowStatus : std::uint8_t { Ready, Warning, Refused };

enum class ProblemKind : std::uint8_t {
    // Refusals
    Missing,        // a mandatory field blank or not in the file
    NotNumber,      // a money, stock or warning level that is no number
    NumberTooLong,  // a number the field cannot hold
    // Warnings
    Cut,          // a text longer than its field
    Replaced,     // characters the archive's code page has no place for
    Rounded,      // a number rounded as the card rounds it
    BadDate,      // a due date that is not a date: left empty
    BadFlag,      // a paid flag that is neither yes nor no: stored as "No"
    TwiceInFile,  // the same code on another row of the file
    InArchive,    // the code of a card already in the archive
};

bool refuses(ProblemKind kind);

struct RowProblem {
    ProblemKind kind;
    std::uint8_t field;   // ProductLayout::Field
    std::uint32_t other;  // TwiceInFile: the other sheet row; InArchive: the card's position
};

enum class ArchiveDuplicates { Skip, AddAsNew };

// What becomes of a row under the user's duplicate choice: its status, or Excluded when it is left
// out because its code is already in the archive and the user chose not to import such rows.
enum class RowOutcome : std::uint8_t { Ready, Warning, Refused, Excluded };

// Rows by outcome; together they are every row of the preview.
struct OutcomeCounts {
    std::size_t ready = 0;
    std::size_t warnings = 0;
    std::size_t refused = 0;
    std::size_t excluded = 0;
};

struct ImportOptions {
    ColumnMapping mapping;
    bool headerRow = true;
};

// Every row of the file as it would be stored, with its problems. Texts are kept in one buffer:
// a 100,000-row file must not cost a string per cell.
class ImportPreview final {
public:
    static ImportPreview build(const SheetTable& table, const ImportOptions& options, const ArchiveCodes& codes);
    // The same, giving nothing when the machine runs out of memory on the way, instead of ending the program.
    static std::optional<ImportPreview> tryBuild(const SheetTable& table, const ImportOptions& options,
                                                 const ArchiveCodes& codes);

    std::size_t rowCount() const { return sheetRows_.size(); }
    std::size_t sheetRow(std::size_t row) const { return sheetRows_[row]; }
    RowStatus status(std::size_t row) const { return status_[row]; }
    // UTF-8, exactly what the record will hold.
    std::string_view text(std::size_t row, ProductLayout::Field field) const;
    std::vector<RowProblem> problems(std::size_t row) const;
    bool flagged(std::size_t row, ProductLayout::Field field) const;
    bool inArchive(std::size_t row) const;

    RowOutcome outcome(std::size_t row, ArchiveDuplicates choice) const;
    // Whether the row is written when the user imports with `choice`.
    bool imported(std::size_t row, ArchiveDuplicates choice) const;

    OutcomeCounts counts(ArchiveDuplicates choice) const;
    std::size_t ready() const { return counts_[0]; }
    std::size_t refused() const { return counts_[2]; }
    // Rows not refused whose code is already in the archive: what the duplicate choice decides.
    std::size_t inArchiveRows() const { return inArchiveRows_; }
    std::size_t importedRows(ArchiveDuplicates choice) const;

    // True when the file's numbers are read with the full stop as decimal separator.
    bool decimalPoint() const { return decimalPoint_; }

    ProductRecord record(std::size_t row) const;

    // Records of the archive whose codes the preview was compared with: cards from there on came later.
    std::int64_t archiveRecords() const { return archiveRecords_; }

private:
    // A field's text is at most this long (a cell that is no number, shown whole, is cut there).
    static constexpr std::size_t kMaxFieldBytes = 0xFFFF;

    // Where a row's text starts, and the length of each of its fields: 40 bytes a row, not one offset a field.
    std::string text_;
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint16_t> lengths_;  // kImportFieldCount per row
    std::vector<std::uint32_t> sheetRows_;
    std::vector<RowStatus> status_;
    std::vector<std::uint32_t> flags_;        // one bit per field
    std::vector<std::uint32_t> problemEnds_;  // where each row's problems end in problems_
    std::vector<RowProblem> problems_;
    std::array<std::size_t, 3> counts_{};
    std::size_t inArchiveRows_ = 0;
    std::int64_t archiveRecords_ = 0;
    bool decimalPoint_ = false;
};

// ---- Memory ----

// The most memory the preview of `rows` rows whose cells hold `textBytes` of text takes while it is
// built and shown, the table it is built from aside.
std::uint64_t previewBytes(std::uint64_t rows, std::uint64_t textBytes);

// What a file's preview may take on this machine: half the memory it has available now, never more
// than the ceiling (and half an address-space limit, where one is set).
std::uint64_t importMemoryBudget();
inline constexpr std::uint64_t kImportMemoryCeiling = std::uint64_t{sizeof(void*) >= 8 ? 4096 : 1024} << 20;
// Tests and benchmarks set the budget; nullopt gives the machine's back.
void setImportMemoryBudgetForTesting(std::optional<std::uint64_t> budget);

// The file read for the preview, or the text that tells the user why not. One quick pass over the file
// comes first: a file whose preview would not fit in `budget` bytes is refused before it is read whole.
struct ImportFile {
    std::optional<SheetTable> table;
    std::string refusal;
};
ImportFile readImportFile(const std::filesystem::path& file, std::uint64_t budget);

// The refusal of a file whose preview needs `need` bytes of `budget`.
std::string importMemoryText(std::uint64_t need, std::uint64_t budget);
// When the memory runs out all the same while the preview is built.
inline constexpr std::string_view kPreviewNoMemoryText =
    "Attenzione: la memoria del computer non è bastata per preparare l'anteprima del file scelto.\n\n"
    "Chiudere gli altri programmi aperti e riprovare, oppure dividere il file in più parti e importarle una "
    "alla volta.";

// What a problem means, for the row's tooltip and the log. `choice` completes the archive duplicate.
std::string problemText(const RowProblem& problem, const ImportPreview& preview, std::size_t row,
                        ArchiveDuplicates choice);

// Told the cards written so far and the cards to write; false stops after the batch just written.
using ImportProgress = std::function<bool(std::size_t written, std::size_t total)>;

// A row left out at writing time: its code reached the archive after the preview, on the card at `position`.
struct ArrivedCode {
    std::size_t row;  // of the preview
    std::int64_t position;
};

struct ImportOutcome {
    std::size_t added = 0;
    std::size_t skipped = 0;  // refused, skipped as duplicates, or left out by a cancel or a failure
    bool cancelled = false;
    Status status = Status::success();
    std::int64_t firstPosition = 0;  // 1-based, of the first card added
    // Rows skipped (and counted in `skipped`) because another copy of the program added their code
    // after the preview: two copies importing the same file one after the other.
    std::vector<ArrivedCode> arrived;
};

// Appends the imported rows to the archive in batches, each written whole under the append lock and
// flushed once, so other copies of the program appending at the same time lose nothing and a cancel
// or a failure leaves only whole cards. When rows whose code is already there are skipped, the cards
// appended since the preview are read under the same lock before each batch, and rows whose code they
// hold are skipped too.
ImportOutcome writeImport(const std::filesystem::path& archive, const ImportPreview& preview, ArchiveDuplicates choice,
                          const ImportProgress& progress = {}, std::size_t batchRecords = 1000);

// The import's account for the log file: when, from which file, the counts, and every row left out
// with its reasons.
std::string importLogText(std::string_view when, std::string_view file, const ImportPreview& preview,
                          ArchiveDuplicates choice, const ImportOutcome& outcome);

// The line that counts the rows skipped because their code arrived after the preview (for the log and
// the final message); empty when there were none.
std::string arrivedCodesLine(const ImportOutcome& outcome);

// The log beside the archive, each import appended to the earlier ones.
inline constexpr std::string_view kImportLogName = "Importazione_Prodotti.txt";
Status appendImportLog(const std::filesystem::path& programFolder, std::string_view text);

}  // namespace scortavia
