#include "sheets/SheetRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "sheets/CsvReader.h"
#include "sheets/HtmlTable.h"
#include "sheets/TextDecoding.h"
#include "storage/FileAccess.h"

namespace scortavia {

namespace {

SheetReading readSheetText(std::string&& bytes) {
    SheetReading reading;
    DecodedText decoded = decodeSheetText(std::move(bytes));
    if (decoded.problem != SheetProblem::None) {
        reading.problem = decoded.problem;
        reading.line = decoded.line;
        return reading;
    }
    const std::string_view text = decoded.text;
    if (text.find_first_not_of(" \t\r\n\f") == std::string_view::npos) {
        reading.problem = SheetProblem::Empty;
        return reading;
    }
    SheetTable table;
    table.encoding = decoded.encoding;
    table.reserveText(text.size());
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (isHtmlTable(text)) {
        table.format = SheetFormat::ExportTable;
        table.delimiter = 0;
        readHtmlTable(text, table);
    } else if (text[first] == '<') {
        // Some other markup (a spreadsheet saved as XML): not a table this program can read.
        reading.problem = SheetProblem::Workbook;
        return reading;
    } else if (const CsvReading parsed = readCsv(text, table); parsed.problem != SheetProblem::None) {
        reading.problem = parsed.problem;
        reading.line = parsed.line;
        return reading;
    }
    if (table.rowCount() == 0) {
        reading.problem = SheetProblem::Empty;
        return reading;
    }
    reading.table = std::move(table);
    return reading;
}

// A file too large and one that cannot be read at all are told apart.
SheetProblem unreadable(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > kMaxSheetBytes ? SheetProblem::TooLarge : SheetProblem::Unreadable;
}

}  // namespace

SheetReading readSheetBytes(std::string_view bytes) {
    try {
        return readSheetText(std::string(bytes));
    } catch (const std::bad_alloc&) {
        SheetReading reading;
        reading.problem = SheetProblem::NoMemory;
        return reading;
    }
}

SheetReading readSheetFile(const std::filesystem::path& path) {
    // Running out of memory is a file the machine cannot take, never the end of the program.
    try {
        auto contents = readRegularFile(path, kMaxSheetBytes);
        if (!contents || !*contents) {
            SheetReading reading;
            reading.problem = contents ? SheetProblem::Unreadable : unreadable(path);
            return reading;
        }
        return readSheetText(std::move((*contents)->bytes));
    } catch (const std::bad_alloc&) {
        SheetReading reading;
        reading.problem = SheetProblem::NoMemory;
        return reading;
    }
}

SheetProblem censusSheetFile(const std::filesystem::path& path, SheetCensus& census) {
    census = {};
    auto fd = openRegularFile(path, O_RDONLY | O_CLOEXEC);
    if (!fd) return unreadable(path);
    struct stat st {};
    if (::fstat(fd->get(), &st) != 0) return SheetProblem::Unreadable;
    if (static_cast<std::uint64_t>(st.st_size) > kMaxSheetBytes) return SheetProblem::TooLarge;

    std::uint64_t lineFeeds = 0;
    std::uint64_t returns = 0;
    std::uint64_t crlf = 0;
    std::uint64_t tags = 0;
    std::uint64_t separators = 0;
    std::uint64_t high = 0;
    bool utf16 = false;
    bool markup = false;
    bool started = false;
    char last = 0;
    std::vector<char> block(std::size_t{1} << 20);
    while (true) {
        const ssize_t n = ::read(fd->get(), block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return SheetProblem::Unreadable;
        if (n == 0) break;
        const std::string_view bytes(block.data(), static_cast<std::size_t>(n));
        if (census.bytes == 0) utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
        census.bytes += bytes.size();
        if (census.bytes > kMaxSheetBytes) return SheetProblem::TooLarge;
        for (const char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == '\n') {
                ++lineFeeds;
                crlf += last == '\r';
            } else if (c == '\r') {
                ++returns;
            } else if (c == '<') {
                ++tags;
            } else if (c == ';' || c == ',' || c == '\t') {
                ++separators;
            } else if (c >= 0x80) {
                ++high;
            }
            // Markup starts with "<" after blanks and a byte-order mark (whose bytes are all high).
            if (!started && c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != 0 && c < 0x80) {
                started = true;
                markup = c == '<';
            }
            last = ch;
        }
    }
    const std::uint64_t lines = lineFeeds + (returns - crlf) + 1;
    // A table row takes "<tr><td>" at the least, and a cell one tag.
    census.records = markup ? std::max(lines, tags / 2 + 1) : lines;
    census.cells = census.records + (markup ? tags : separators);
    // Windows-1252 grows by up to two bytes a character in UTF-8; UTF-16 shrinks to at most 3 bytes of 2.
    census.textBytes = utf16 ? census.bytes / 2 * 3 : census.bytes + 2 * high;
    return SheetProblem::None;
}

std::uint64_t sheetTableBytes(const SheetCensus& census) {
    // The text is reserved whole up front; the row and cell lists may hold twice what they use.
    return census.textBytes + 2 * (census.records * 2 * sizeof(std::uint32_t) + census.cells * sizeof(std::uint32_t));
}

std::uint64_t sheetReadingBytes(const SheetCensus& census) {
    // The file's bytes and their decoded text are held together while decoding; then the text and the
    // table built from it, whose lists may be growing (the old block and the new one twice as large).
    const std::uint64_t lists = census.records * 2 * sizeof(std::uint32_t) + census.cells * sizeof(std::uint32_t);
    return std::max(census.bytes + census.textBytes, 2 * census.textBytes + 3 * lists);
}

std::string sheetProblemText(SheetProblem problem, std::size_t line) {
    switch (problem) {
        case SheetProblem::None:
            return {};
        case SheetProblem::Unreadable:
            return "Attenzione: non è stato possibile leggere il file scelto.\n\n"
                   "Accertarsi che il file esista e di possedere i privilegi di lettura.";
        case SheetProblem::TooLarge:
            return "Attenzione: il file scelto è troppo grande per essere un elenco di prodotti.";
        case SheetProblem::Empty:
            return "Attenzione: il file scelto non contiene alcuna riga da importare.";
        case SheetProblem::Workbook:
            return "Attenzione: il file scelto è nel formato proprio di un programma per fogli di calcolo.\n\n"
                   "Aprirlo con il programma che lo ha creato e salvarlo in formato CSV (testo con valori "
                   "separati da punto e virgola), quindi importare il file CSV.";
        case SheetProblem::NotText:
            if (line == 0) return "Attenzione: il file scelto non è un file CSV né un file esportato dal programma.";
            return "Attenzione: il file scelto non è un file CSV né un file esportato dal programma: alla riga " +
                   std::to_string(line) +
                   " contiene un carattere nullo, che nei file di testo non compare.\n\nSe il file viene da un "
                   "programma per fogli di calcolo, aprirlo con quel programma e salvarlo di nuovo in formato CSV.";
        case SheetProblem::OpenQuote:
            return "Attenzione: il file scelto non è un file CSV valido: le virgolette aperte alla riga " +
                   std::to_string(line) +
                   " non vengono mai chiuse.\n\nCorreggere il file con il programma per fogli di calcolo e "
                   "salvarlo di nuovo in formato CSV.";
        case SheetProblem::AfterQuote:
            return "Attenzione: il file scelto non è un file CSV valido: alla riga " + std::to_string(line) +
                   " un campo tra virgolette è seguito da altro testo.\n\nCorreggere il file con il programma "
                   "per fogli di calcolo e salvarlo di nuovo in formato CSV.";
        case SheetProblem::NoMemory:
            return "Attenzione: la memoria del computer non basta per leggere il file scelto.\n\nChiudere gli altri "
                   "programmi aperti e riprovare, oppure dividere il file in più parti e importarle una alla volta.";
    }
    return {};
}

std::string_view sheetEncodingName(SheetEncoding encoding) {
    switch (encoding) {
        case SheetEncoding::Utf8:
            return "UTF-8";
        case SheetEncoding::Utf8Bom:
            return "UTF-8 con BOM";
        case SheetEncoding::Utf16:
            return "UTF-16";
        case SheetEncoding::Windows1252:
            return "Windows-1252";
    }
    return {};
}

std::string_view sheetDelimiterName(char delimiter) {
    switch (delimiter) {
        case ';':
            return "punto e virgola";
        case ',':
            return "virgola";
        case '\t':
            return "tabulazione";
        default:
            return "carattere speciale";
    }
}

}  // namespace scortavia
