#include "backups/BackupFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>

#include "common/TextRules.h"
#include "storage/ArchivePaths.h"
#include "storage/MovementRecord.h"
#include "storage/PriceListPage.h"
#include "storage/ProductRecord.h"

namespace scortavia {

namespace {

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A name of the top of the program folder with `extension` and something before it.
bool hasStemAndExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() && endsWith(name, extension);
}

bool isProductPhotoName(std::string_view name) {
    if (!hasStemAndExtension(name, ".jpg")) return false;
    const std::string_view stem = name.substr(0, name.size() - 4);
    return std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool isSafeRelativePath(std::string_view relativePath) {
    if (relativePath.empty() || relativePath.front() == '/') return false;
    std::size_t start = 0;
    while (start <= relativePath.size()) {
        const std::size_t end = std::min(relativePath.find('/', start), relativePath.size());
        const std::string_view part = relativePath.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        for (char c : part) {
            if (static_cast<unsigned char>(c) < 32 || c == '\\' || c == 127) return false;
        }
        start = end + 1;
    }
    return true;
}

std::optional<DataFileKind> dataFileKind(std::string_view relativePath) {
    if (!isSafeRelativePath(relativePath)) return std::nullopt;
    // Hidden names are the program's own temporary, side and lock files, at any depth.
    for (std::size_t at = 0; at < relativePath.size(); ++at) {
        if (relativePath[at] == '.' && (at == 0 || relativePath[at - 1] == '/')) return std::nullopt;
    }
    const std::size_t slash = relativePath.find('/');
    if (slash != std::string_view::npos) {
        const std::string_view top = relativePath.substr(0, slash);
        if (top == paths::kAttachmentFolder) return DataFileKind::Attachment;
        if (top == paths::kPriceListPhotoFolder) return DataFileKind::PriceListPhoto;
        return std::nullopt;
    }
    const std::string_view name = relativePath;
    if (name == paths::kProductArchive) return DataFileKind::Products;
    if (name == paths::kSettingsFile) return DataFileKind::Settings;
    if (hasStemAndExtension(name, paths::kGoodsInExtension)) return DataFileKind::GoodsIn;
    if (hasStemAndExtension(name, paths::kGoodsOutExtension)) return DataFileKind::GoodsOut;
    if (hasStemAndExtension(name, paths::kPriceListExtension)) return DataFileKind::PriceList;
    if (isProductPhotoName(name)) return DataFileKind::ProductPhoto;
    return std::nullopt;
}

std::size_t recordSizeOf(DataFileKind kind) {
    switch (kind) {
        case DataFileKind::Products:
            return ProductRecord::kSize;
        case DataFileKind::GoodsIn:
        case DataFileKind::GoodsOut:
            return MovementRecord::kSize;
        case DataFileKind::PriceList:
            return PriceListPage::kSize;
        default:
            return 0;
    }
}

std::string zipNameOf(std::string_view path) {
    if (path.find('%') == std::string_view::npos && isValidUtf8(path)) return std::string(path);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string name;
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t start = i;
        if (path[i] != '%' && nextUtf8(path, i)) {
            name.append(path.substr(start, i - start));
            continue;
        }
        i = start + 1;  // one byte at a time through what is not UTF-8
        const auto byte = static_cast<unsigned char>(path[start]);
        name += '%';
        name += kDigits[byte >> 4];
        name += kDigits[byte & 15];
    }
    return name;
}

std::optional<std::string> pathOfZipName(std::string_view name) {
    if (name.find('%') == std::string_view::npos) return std::string(name);
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string path;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '%') {
            path += name[i];
            continue;
        }
        if (i + 2 >= name.size()) return std::nullopt;
        const int high = hex(name[i + 1]), low = hex(name[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        const int byte = high * 16 + low;
        // Only what zipNameOf escapes: "%" itself and bytes of no UTF-8 character.
        if (byte != '%' && byte < 0x80) return std::nullopt;
        path += static_cast<char>(byte);
        i += 2;
    }
    if (zipNameOf(path) != name) return std::nullopt;  // one spelling for each path
    return path;
}

Result<std::vector<DataFile>> listDataFiles(const std::filesystem::path& programFolder) {
    std::vector<DataFile> files;
    std::error_code error;
    // lstat, never stat: a link in the folder is no data of the program and is not followed.
    const auto regularSize = [](const std::filesystem::path& path) -> std::optional<std::uint64_t> {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
        return static_cast<std::uint64_t>(info.st_size);
    };
    std::filesystem::directory_iterator top(programFolder, error);
    if (error) return Status::failure("cannot list " + programFolder.string() + ": " + error.message());
    for (const auto& entry : top) {
        const std::string name = entry.path().filename().string();
        if (name == paths::kAttachmentFolder || name == paths::kPriceListPhotoFolder) {
            if (entry.is_symlink(error) || !entry.is_directory(error)) continue;
            std::filesystem::recursive_directory_iterator it(entry.path(), error);
            for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
                const std::string relative = name + "/" + it->path().lexically_relative(entry.path()).generic_string();
                // Hidden folders are not entered: nothing in them is data.
                if (it->path().filename().string().starts_with('.')) {
                    if (it->is_directory(error) && !it->is_symlink(error)) it.disable_recursion_pending();
                    continue;
                }
                const auto kind = dataFileKind(relative);
                if (!kind) continue;
                if (const auto size = regularSize(it->path())) files.push_back({relative, *kind, *size});
            }
            if (error) return Status::failure("cannot list " + entry.path().string() + ": " + error.message());
            continue;
        }
        const auto kind = dataFileKind(name);
        if (!kind || *kind == DataFileKind::Attachment || *kind == DataFileKind::PriceListPhoto) continue;
        if (const auto size = regularSize(entry.path())) files.push_back({name, *kind, *size});
    }
    std::sort(files.begin(), files.end(), [](const DataFile& a, const DataFile& b) { return a.path < b.path; });
    return files;
}

DataCounts countRecords(const std::vector<DataFile>& files) {
    DataCounts counts;
    for (const DataFile& file : files) {
        const std::size_t recordSize = recordSizeOf(file.kind);
        if (recordSize == 0) continue;
        const std::uint64_t records = file.size / recordSize;
        switch (file.kind) {
            case DataFileKind::Products:
                counts.products += records;
                break;
            case DataFileKind::GoodsIn:
            case DataFileKind::GoodsOut:
                counts.movements += records;
                break;
            default:
                counts.pages += records;
                break;
        }
    }
    return counts;
}

}  // namespace scortavia
