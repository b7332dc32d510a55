#pragma once

#include <string>
#include <string_view>

namespace scortavia {

// Windows-1252, the encoding of every text stored in an archive. Bytes 0x80-0x9F hold the
// typographic characters (€, ‘, ’, …); the five bytes the code page leaves unassigned map to
// the C1 controls of the same value so that any stored byte survives a read and a write.

// UTF-8 to Windows-1252; a character the code page cannot hold (and any malformed UTF-8) becomes "?".
std::string encodeWindows1252(std::string_view utf8);

// Appends the UTF-8 form of Windows-1252 bytes to `out`.
void appendDecodedWindows1252(std::string_view bytes, std::string& out);
std::string decodeWindows1252(std::string_view bytes);

}  // namespace scortavia
