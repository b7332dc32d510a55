#include "sheets/TextDecoding.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/TextRules.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

// UTF-16 after its byte-order mark; an unpaired surrogate becomes U+FFFD.
std::string decodeUtf16(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) {
        const auto lo = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
        return static_cast<std::uint32_t>(hi << 8 | lo);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        appendUtf8(code, out);
    }
    return out;
}

// Text files hold few control characters; anything else is some program's binary format. A vertical
// tab is a line break inside a field (FileMaker writes them so), a NUL counts against the file.
bool looksBinary(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, std::size_t{64} * 1024);
    std::size_t controls = 0;
    for (const char ch : head) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') ++controls;
    }
    return controls * 100 > head.size();
}

// The line of the first NUL, if the text holds one. No text does: past the binary check it marks a
// damaged file, refused with the line to look at.
std::optional<std::size_t> nulLine(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    return lineAt(text, nul);
}

}  // namespace

std::size_t lineAt(std::string_view text, std::size_t at) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    }
    return line;
}

DecodedText decodeSheetText(std::string&& bytes) {
    DecodedText out;
    if (bytes.starts_with("PK\x03\x04") || bytes.starts_with("\xD0\xCF\x11\xE0")) {
        out.problem = SheetProblem::Workbook;
    } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        // Half the bytes of UTF-16 are NULs; a NUL character is a unit of two.
        out.text = decodeUtf16(std::string_view(bytes).substr(2), bytes[0] == '\xFF');
        out.encoding = SheetEncoding::Utf16;
        if (const auto line = nulLine(out.text)) {
            out.problem = SheetProblem::NotText;
            out.line = *line;
        }
    } else if (looksBinary(bytes)) {
        out.problem = SheetProblem::NotText;
    } else if (const auto line = nulLine(bytes)) {
        out.problem = SheetProblem::NotText;
        out.line = *line;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        // A BOM promises UTF-8; a file that breaks the promise is read byte by byte rather than refused.
        const std::string_view body = std::string_view(bytes).substr(3);
        out.encoding = isValidUtf8(body) ? SheetEncoding::Utf8Bom : SheetEncoding::Windows1252;
        if (out.encoding == SheetEncoding::Utf8Bom) {
            bytes.erase(0, 3);
            out.text = std::move(bytes);
        } else {
            out.text = decodeWindows1252(body);
        }
    } else if (isValidUtf8(bytes)) {
        out.text = std::move(bytes);
    } else {
        out.encoding = SheetEncoding::Windows1252;
        out.text = decodeWindows1252(bytes);
    }
    return out;
}

}  // namespace scortavia
