#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/PackedTexts.h"
#include "common/Result.h"
#include "products/ImportFields.h"
#include "sheets/SheetTable.h"
#include "storage/ProductRecord.h"

// Every row of a spreadsheet as the card would store it, with what is wrong with it, before anything is
// written; and the codes of the archive it is compared with.
namespace scortavia {

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

    // Each row's text, and the length of each of its fields: 40 bytes a row, not one offset a field.
    PackedTexts<std::uint32_t> rows_;
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

// What a problem means, for the row's tooltip and the log. `choice` completes the archive duplicate.
std::string problemText(const RowProblem& problem, const ImportPreview& preview, std::size_t row,
                        ArchiveDuplicates choice);

// A code as the archive's codes are compared: A-Z folded, blanks around it trimmed.
std::string importCodeKey(std::string_view storedCode);

// One file being imported: its table, how its columns are read, the archive's codes it is compared
// with, and its preview (none when the machine could not hold it).
struct ImportSession {
    std::filesystem::path file;
    SheetTable table;
    ImportOptions options;
    ArchiveCodes codes;
    std::optional<ImportPreview> preview;

    // Builds the preview again from the table and the options; false when the memory ran out.
    bool rebuildPreview();
};

}  // namespace scortavia
