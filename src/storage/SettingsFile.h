#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/Result.h"

// One value of an INI-style text file: "[Section]" lines, then "key=value" lines.
// Section and key names match with A to Z folded; names and values lose their surrounding blanks.
// Lines may end in CRLF or LF, and a UTF-8 byte order mark at the start is skipped.
namespace scortavia {

// The value of `key` in `section`. A missing file, section or key reads as "" (not a failure);
// a file that exists but cannot be read (a folder, no permission) is a failure.
Result<std::string> readIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key);

// Sets `key` in `section` to `value`, leaving every other byte of the file as it was. A missing key is
// added after the last non-blank line of its section, a missing section at the end of the file, and
// a missing file is created. New lines follow the file's line endings (CRLF for a new file).
// The file is replaced as a whole through a temporary file in the same folder, so a failure at any
// point (full disk, crash) leaves either the old content or the new one, never a truncated file.
Status writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                     std::string_view value);

}  // namespace scortavia
