#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"

// Which files of the program folder are the shop's data: what a backup holds and what a restore
// replaces. The executable, the guide, exports and the program's own hidden files are not data.
namespace scortavia {

enum class DataFileKind { Products, GoodsIn, GoodsOut, PriceList, ProductPhoto, Attachment, PriceListPhoto, Settings };

// The kind of the file at `relativePath` ('/' between folders, bytes as the file system has them), or
// nullopt when it is no data of the program. Only safe paths (isSafeRelativePath) can be data; a name
// starting with "." (the program's temporary and side files) never is.
std::optional<DataFileKind> dataFileKind(std::string_view relativePath);

// The record size of an archive kind; 0 for the other files.
std::size_t recordSizeOf(DataFileKind kind);

// A relative path that stays inside the folder it is taken in: not empty, not absolute, no "." or ".."
// part, no empty part, no backslash and no control character.
bool isSafeRelativePath(std::string_view relativePath);

// The name a data path has inside a backup zip, whose names are UTF-8: the path itself when it is UTF-8
// without a "%"; otherwise each "%" and each byte that breaks UTF-8 (a name given on an old system) as
// "%" and two hex digits. Every name so escaped has a "%", and no other name has one.
std::string zipNameOf(std::string_view path);
// The path a zip name stands for; nullopt for an escape zipNameOf never writes (as "%2F" would be).
std::optional<std::string> pathOfZipName(std::string_view name);

struct DataFile {
    std::string path;  // relative to the program folder, '/' between folders
    DataFileKind kind;
    std::uint64_t size = 0;
};

// The data files of `programFolder`, regular files only (a link is skipped, never followed), sorted
// by path. A folder that cannot be listed is a failure.
Result<std::vector<DataFile>> listDataFiles(const std::filesystem::path& programFolder);

// How many products, movements and price-list pages the files hold.
struct DataCounts {
    std::uint64_t products = 0;
    std::uint64_t movements = 0;
    std::uint64_t pages = 0;
};
DataCounts countRecords(const std::vector<DataFile>& files);

}  // namespace scortavia
