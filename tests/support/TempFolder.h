#pragma once

#include <filesystem>
#include <string>

namespace scortavia::test {

// A fresh, empty program folder for one test, removed with everything in it at the end.
class TempFolder final {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace scortavia::test
