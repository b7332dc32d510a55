#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "backups/BackupArchive.h"
#include "backups/BackupFiles.h"
#include "backups/BackupManifest.h"
#include "backups/BackupRestore.h"
#include "backups/BackupSchedule.h"
#include "backups/FolderLock.h"
#include "storage/ArchiveFile.h"
#include "storage/ProductRecord.h"
#include "support/Processes.h"
#include "support/TempFolder.h"

// Backups of a shop folder and their restore: the round trip, the files a restore must refuse, and
// copies of the program killed or working at the same time.
namespace scortavia {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

std::string pattern(std::size_t size, int seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed) * 13) % 251);
    return bytes;
}

// The data of a small shop: products, two years of movements, a price list with its photo, a product
// photo, attachments with accented names and the settings file. Variant 2 has other bytes and another
// set of years, so that a mix of the two shows.
Files shopData(int variant) {
    Files data;
    data["Magazzino.pro"] = pattern(3 * 2592, variant);
    data[variant == 1 ? "2025.odc" : "2027.odc"] = pattern(2 * 2937, variant + 1);
    data["2026.ods"] = pattern(4 * 2937, variant + 2);
    data["Estate.lis"] = pattern(2 * 3696, variant + 3);
    data["1.jpg"] = "\xFF\xD8 foto del prodotto " + std::to_string(variant) + pattern(3000, variant);
    data["Foto_Listino/Estate_Foto_A_1.jpg"] = "\xFF\xD8 listino " + pattern(2000, variant + 4);
    data["Documenti_Allegati/fattura perché.pdf"] = pattern(1024, variant + 5);
    data["Documenti_Allegati/Fornitori/àèìòù ß.txt"] = "nota " + std::to_string(variant);
    // A name from an old system, not UTF-8, and one with a "%": both must come back as they were.
    data["Documenti_Allegati/preventivo \xE9.txt"] = "latin-1 " + std::to_string(variant);
    data["Documenti_Allegati/sconto 10%.txt"] = "percento " + std::to_string(variant);
    data["unins000.dll"] = "[Accesso]\r\nValore=2A" + std::to_string(variant) + "\r\n";
    return data;
}

// Files beside the data that no backup holds and no restore touches.
const Files kNotData = {{"scortavia", "programma"},
                        {"Guida.pdf", "guida"},
                        {"Magazzino.xls", "esportazione"},
                        {".Magazzino.pro.ab12cd", "resto di una scrittura"}};

void writeFiles(const fs::path& folder, const Files& files) {
    for (const auto& [path, bytes] : files) {
        fs::create_directories((folder / path).parent_path());
        test::writeBytes(folder / path, bytes);
    }
}

// Every regular file under `folder` but the program's lock and run marks, which come and go with runs.
Files snapshot(const fs::path& folder) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.is_symlink()) continue;
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".scortavia-")) continue;
        files[entry.path().lexically_relative(folder).generic_string()] = test::readBytes(entry.path());
    }
    return files;
}

// `snapshot` restricted to the data files.
Files dataOf(const fs::path& folder) {
    Files data;
    for (const auto& [path, bytes] : snapshot(folder)) {
        if (dataFileKind(path)) data[path] = bytes;
    }
    return data;
}

struct Shop {
    test::TempFolder folder;
    test::TempFolder copies;
    explicit Shop(int variant = 1) {
        writeFiles(folder.path(), shopData(variant));
        writeFiles(folder.path(), kNotData);
        fs::create_symlink("/etc/hostname", folder.file("9.jpg"));
    }
    fs::path backup(BackupKind kind = BackupKind::Manual) const {
        auto made =
            createBackup(folder.path(), newBackupPath(copies.path(), kind, localNow()), kind, "2026-12-10 15:30:00");
        EXPECT_TRUE(made) << made.error();
        return made ? made->file : fs::path();
    }
    // The data replaced by another variant's, as days of work would change it.
    void becomeVariant(int variant) const {
        for (const auto& [path, bytes] : dataOf(folder.path())) fs::remove(folder.path() / path);
        writeFiles(folder.path(), shopData(variant));
    }
};

TEST(BackupFiles, WhatIsData) {
    struct Case {
        std::string_view path;
        std::optional<DataFileKind> kind;
    };
    const Case cases[] = {
        {"Magazzino.pro", DataFileKind::Products},
        {"2026.odc", DataFileKind::GoodsIn},
        {"2026.ods", DataFileKind::GoodsOut},
        {"Listino estate.lis", DataFileKind::PriceList},
        {"17.jpg", DataFileKind::ProductPhoto},
        {"unins000.dll", DataFileKind::Settings},
        {"Documenti_Allegati/fattura perché.pdf", DataFileKind::Attachment},
        {"Documenti_Allegati/a/b/c.txt", DataFileKind::Attachment},
        {"Foto_Listino/Estate_Foto_A_1.jpg", DataFileKind::PriceListPhoto},
        {"scortavia", std::nullopt},
        {"Guida.pdf", std::nullopt},
        {"Magazzino.xls", std::nullopt},
        {"foto.jpg", std::nullopt},
        {".odc", std::nullopt},
        {".Magazzino.pro.ab12cd", std::nullopt},
        {".Magazzino.pro.rewrite", std::nullopt},
        {"Documenti_Allegati/.nascosto", std::nullopt},
        {"Altro/Magazzino.pro", std::nullopt},
        {"../Magazzino.pro", std::nullopt},
        {"/etc/Magazzino.pro", std::nullopt},
        {"Documenti_Allegati/../../x", std::nullopt},
        {"Documenti_Allegati//x", std::nullopt},
        {"Documenti_Allegati\\x", std::nullopt},
        {"Documenti_Allegati/a\nb", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(dataFileKind(c.path), c.kind) << c.path;
}

TEST(BackupFiles, ZipNamesAreUtf8AndStandForOnePathEach) {
    struct Case {
        std::string_view path;
        std::string_view zipName;
    };
    const Case cases[] = {
        {"Magazzino.pro", "Magazzino.pro"},
        {"Documenti_Allegati/perché.pdf", "Documenti_Allegati/perché.pdf"},
        {"Documenti_Allegati/sconto 10%.pdf", "Documenti_Allegati/sconto 10%25.pdf"},
        {"Documenti_Allegati/perch\xE9.pdf", "Documenti_Allegati/perch%E9.pdf"},
        {"Documenti_Allegati/\xC3\xA9\xC3.txt", "Documenti_Allegati/é%C3.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zipNameOf(c.path), c.zipName) << c.path;
        EXPECT_EQ(pathOfZipName(c.zipName), std::string(c.path)) << c.zipName;
    }
    // Escapes zipNameOf never writes would give a second spelling, or a way out of the folder.
    for (std::string_view name : {"Documenti_Allegati/%2E%2E%2Fx", "Documenti_Allegati/%C3%A9.txt",
                                  "Documenti_Allegati/%e9.txt", "Documenti_Allegati/%E", "a%"}) {
        EXPECT_FALSE(pathOfZipName(name)) << name;
    }
}

TEST(BackupFiles, ListsDataOnlyAndCountsRecords) {
    Shop shop;
    auto files = listDataFiles(shop.folder.path());
    ASSERT_TRUE(files) << files.error();
    std::vector<std::string> listed;
    for (const DataFile& file : *files) listed.push_back(file.path);
    std::vector<std::string> expected;
    for (const auto& [path, bytes] : shopData(1)) expected.push_back(path);
    EXPECT_EQ(listed, expected);  // no link, no program file, no hidden leftover
    const DataCounts counts = countRecords(*files);
    EXPECT_EQ(counts.products, 3u);
    EXPECT_EQ(counts.movements, 6u);
    EXPECT_EQ(counts.pages, 2u);
}

TEST(BackupManifest, ReadsBackWhatItWritesAndNothingElse) {
    Manifest manifest;
    manifest.kind = BackupKind::Automatic;
    manifest.created = "2026-12-10 15:30:00";
    manifest.counts = {3, 6, 2};
    manifest.files = {{"Documenti_Allegati/perché.pdf", 1024, {}}, {"Magazzino.pro", 7776, {}}};
    manifest.files[1].sha256[0] = 0xAB;
    const std::string text = writeManifest(manifest);
    const auto read = parseManifest(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(writeManifest(*read), text);

    const auto replaced = [&](std::string_view from, std::string_view to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    const std::string refused[] = {
        "",
        "PK\x03\x04",
        replaced("versione 1", "versione 2"),
        replaced("automatica", "settimanale"),
        replaced("file: 2", "file: 3"),
        replaced("file: 2", "file: 999999999999"),
        replaced("Magazzino.pro", "../Magazzino.pro"),
        replaced("Magazzino.pro", "scortavia"),
        replaced("Magazzino.pro", "Documenti_Allegati/perché.pdf"),  // twice
        replaced(" 7776 ", " -1 "),
        replaced("ab", "zz"),
    };
    for (const std::string& bad : refused) EXPECT_FALSE(parseManifest(bad)) << bad;
}

TEST(BackupRoundTrip, EveryFileComesBackByteForByte) {
    Shop shop;
    const fs::path file = shop.backup();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.parent_path(), shop.copies.path());

    auto info = verifyBackup(file);
    ASSERT_TRUE(info) << info.error();
    EXPECT_EQ(info->fileCount, shopData(1).size());
    EXPECT_EQ(info->counts.products, 3u);
    EXPECT_EQ(info->counts.movements, 6u);
    EXPECT_EQ(info->counts.pages, 2u);
    EXPECT_EQ(info->kind, BackupKind::Manual);
    auto listed = readBackupInfo(file);
    ASSERT_TRUE(listed) << listed.error();
    EXPECT_EQ(listed->fileCount, info->fileCount);
    EXPECT_EQ(listed->created, "2026-12-10 15:30:00");

    test::TempFolder fresh;
    test::TempFolder copies;
    auto restored = restoreBackup(fresh.path(), file, copies.path() / "prima.zip", "2026-12-10 15:31:00");
    ASSERT_TRUE(restored) << restored.error();
    EXPECT_EQ(snapshot(fresh.path()), shopData(1));
    EXPECT_TRUE(fs::exists(copies.path() / "prima.zip"));
    EXPECT_FALSE(fs::exists(fresh.path() / kRestoreFolderName));
}

TEST(BackupRestore, ReplacesTheDataWholeAndKeepsACopyOfWhatWasThere) {
    Shop shop;
    const fs::path monday = shop.backup();
    shop.becomeVariant(2);
    const fs::path before = shop.copies.path() / "prima.zip";
    auto restored = restoreBackup(shop.folder.path(), monday, before, "2026-12-11 09:00:00");
    ASSERT_TRUE(restored) << restored.error();
    EXPECT_EQ(dataOf(shop.folder.path()), shopData(1));  // 2027.odc, which the copy did not have, is gone
    for (const auto& [path, bytes] : kNotData) EXPECT_EQ(test::readBytes(shop.folder.file(path)), bytes) << path;
    EXPECT_TRUE(fs::is_symlink(shop.folder.file("9.jpg")));

    // Undoing it is restoring the copy made before it.
    EXPECT_EQ(restored->beforeRestore, before);
    auto undone = restoreBackup(shop.folder.path(), before, shop.copies.path() / "prima2.zip", "2026-12-11 09:05:00");
    ASSERT_TRUE(undone) << undone.error();
    EXPECT_EQ(dataOf(shop.folder.path()), shopData(2));
}

TEST(BackupCreate, CancelledOrFailedLeavesNoFile) {
    Shop shop;
    const fs::path target = shop.copies.path() / backupFileName(BackupKind::Manual, localNow());
    int calls = 0;
    auto cancelled = createBackup(shop.folder.path(), target, BackupKind::Manual, "x",
                                  [&](std::uint64_t, std::uint64_t) { return ++calls < 3; });
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.error(), kBackupCancelledText);
    EXPECT_TRUE(fs::is_empty(shop.copies.path()));

    auto nowhere = createBackup(shop.folder.path(), shop.copies.path() / "manca" / "x.zip", BackupKind::Manual, "x");
    ASSERT_FALSE(nowhere);
    EXPECT_TRUE(nowhere.error().starts_with("Non è stato possibile scrivere la copia")) << nowhere.error();
}

// ---- hostile files ----

struct Member {
    std::string name;
    std::string bytes;
    unsigned type = AE_IFREG;
    std::uint64_t zeros = 0;  // instead of `bytes`: this many zero bytes, size left out of the header
};

// The program reads and writes zip names in UTF-8 whatever its locale; so do these helpers.
struct Utf8Locale {
    locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{});
    locale_t previous = uselocale(utf8);
    Utf8Locale() = default;
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;
    ~Utf8Locale() {
        uselocale(previous);
        freelocale(utf8);
    }
};

std::vector<Member> membersOf(const fs::path& zip) {
    const Utf8Locale names;
    std::vector<Member> members;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    EXPECT_EQ(archive_read_open_filename(a, zip.c_str(), 65536), ARCHIVE_OK);
    archive_entry* entry = nullptr;
    while (archive_read_next_header(a, &entry) == ARCHIVE_OK) {
        const char* utf8 = archive_entry_pathname_utf8(entry);
        Member m{utf8 ? utf8 : archive_entry_pathname(entry), {}};
        char buffer[65536];
        for (la_ssize_t n; (n = archive_read_data(a, buffer, sizeof buffer)) > 0;)
            m.bytes.append(buffer, static_cast<std::size_t>(n));
        members.push_back(std::move(m));
    }
    archive_read_free(a);
    return members;
}

void writeZip(const fs::path& zip, const std::vector<Member>& members) {
    const Utf8Locale names;
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_format_option(a, "zip", "compression-level", "1");
    ASSERT_EQ(archive_write_open_filename(a, zip.c_str()), ARCHIVE_OK);
    for (const Member& m : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname_utf8(entry, m.name.c_str());
        archive_entry_set_filetype(entry, m.type);
        archive_entry_set_perm(entry, 0644);
        if (m.type == AE_IFLNK) archive_entry_set_symlink(entry, "/etc/passwd");
        if (m.zeros == 0 && m.type == AE_IFREG) archive_entry_set_size(entry, static_cast<la_int64_t>(m.bytes.size()));
        ASSERT_EQ(archive_write_header(a, entry), ARCHIVE_OK) << m.name;
        if (m.zeros > 0) {
            const std::string block(1 << 20, '\0');
            for (std::uint64_t done = 0; done < m.zeros; done += block.size())
                archive_write_data(a, block.data(), block.size());
        } else if (!m.bytes.empty()) {
            archive_write_data(a, m.bytes.data(), m.bytes.size());
        }
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// A backup of the shop rebuilt with `change` applied to its members (the manifest last among them).
fs::path altered(const Shop& shop, const fs::path& good, std::string_view name,
                 const std::function<void(std::vector<Member>&)>& change) {
    std::vector<Member> members = membersOf(good);
    change(members);
    const fs::path zip = shop.copies.path() / name;
    writeZip(zip, members);
    return zip;
}

Member& manifestOf(std::vector<Member>& members) { return members.back(); }

TEST(BackupRestore, RefusesDamagedForeignAndDangerousFilesAndChangesNothing) {
    Shop shop;
    const fs::path good = shop.backup();
    ASSERT_FALSE(good.empty());
    const std::string goodBytes = test::readBytes(good);

    struct Case {
        std::string label;
        std::function<fs::path()> make;
        std::string message;
    };
    const auto bytesFile = [&](std::string_view name, const std::string& bytes) {
        test::writeBytes(shop.copies.path() / name, bytes);
        return shop.copies.path() / name;
    };
    const std::vector<Case> cases = {
        {"truncated", [&] { return bytesFile("troncata.zip", goodBytes.substr(0, goodBytes.size() / 2)); },
         std::string(kUnreadableBackupText)},
        {"a flipped byte in a stored entry",
         [&] {
             std::string bytes = goodBytes;
             const std::size_t at = bytes.find("foto del prodotto 1");
             bytes[at + 5] ^= 0x20;
             return bytesFile("byte.zip", bytes);
         },
         backupText(kDamagedEntryText, "1.jpg")},
        {"a manifest that lies about a checksum",
         [&] {
             return altered(shop, good, "bugia.zip", [](std::vector<Member>& m) {
                 std::string& text = manifestOf(m).bytes;
                 const std::size_t line = text.rfind('\n', text.find(" Magazzino.pro")) + 1;
                 text[line] = text[line] == '0' ? '1' : '0';  // the first digit of its SHA-256
             });
         },
         backupText(kDamagedEntryText, "Magazzino.pro")},
        {"a manifest that lies about a size",
         [&] {
             return altered(shop, good, "misura.zip", [](std::vector<Member>& m) {
                 std::string& text = manifestOf(m).bytes;
                 const std::size_t at = text.find(" 7776 Magazzino.pro");
                 text.replace(at, 6, " 7777 ");
             });
         },
         backupText(kDamagedEntryText, "Magazzino.pro")},
        {"a file the manifest leaves out",
         [&] {
             return altered(shop, good, "manca.zip", [](std::vector<Member>& m) {
                 m.insert(m.begin(), Member{"2030.odc", "x"});
             });
         },
         std::string(kManifestMismatchText)},
        {"a file of the manifest missing",
         [&] { return altered(shop, good, "meno.zip", [](std::vector<Member>& m) { m.erase(m.begin()); }); },
         std::string(kManifestMismatchText)},
        {"../x",
         [&] {
             return altered(shop, good, "su.zip", [](std::vector<Member>& m) {
                 m.insert(m.begin(), Member{"../x", "x"});
             });
         },
         backupText(kUnsafeEntryText, "../x")},
        {"an escape that leads out",
         [&] {
             return altered(shop, good, "fuga.zip", [](std::vector<Member>& m) {
                 m.insert(m.begin(), Member{"Documenti_Allegati/%2E%2E%2F%2E%2E%2Fx", "x"});
             });
         },
         backupText(kUnsafeEntryText, "Documenti_Allegati/%2E%2E%2F%2E%2E%2Fx")},
        {"an absolute path",
         [&] {
             return altered(shop, good, "assoluto.zip", [](std::vector<Member>& m) {
                 m.insert(m.begin(), Member{"/tmp/x.odc", "x"});
             });
         },
         backupText(kUnsafeEntryText, "/tmp/x.odc")},
        {"a link",
         [&] {
             return altered(shop, good, "link.zip", [](std::vector<Member>& m) {
                 m.insert(m.begin(), Member{"Documenti_Allegati/collegamento", "", AE_IFLNK});
             });
         },
         backupText(kUnsafeEntryText, "Documenti_Allegati/collegamento")},
        {"a folder entry",
         [&] {
             return altered(shop, good, "cartella.zip", [](std::vector<Member>& m) {
                 m.insert(m.begin(), Member{"Documenti_Allegati/vuota/", "", AE_IFDIR});
             });
         },
         backupText(kUnsafeEntryText, "Documenti_Allegati/vuota/")},
        {"a device",
         [&] {
             // No zip writer makes one on purpose: the entry's Unix mode in the central directory is turned
             // into a character device's.
             std::string bytes = goodBytes;
             const std::string name = "2026.ods";
             std::size_t at = 0;
             while ((at = bytes.find("PK\x01\x02", at)) != std::string::npos &&
                    bytes.compare(at + 46, name.size(), name) != 0) {
                 ++at;
             }
             const std::uint32_t mode = (S_IFCHR | 0644u) << 16;
             for (int i = 0; i < 4; ++i)
                 bytes[at + 38 + static_cast<std::size_t>(i)] = static_cast<char>(mode >> (8 * i));
             return bytesFile("dispositivo.zip", bytes);
         },
         backupText(kUnsafeEntryText, "2026.ods")},
        {"a file that is not data",
         [&] {
             return altered(shop, good, "programma.zip", [](std::vector<Member>& m) {
                 m.insert(m.begin(), Member{"scortavia", "#!"});
             });
         },
         backupText(kUnsafeEntryText, "scortavia")},
        {"10,000 entries",
         [&] {
             return altered(shop, good, "diecimila.zip", [](std::vector<Member>& m) {
                 for (int i = 0; i < 10000; ++i)
                     m.insert(m.end() - 1, Member{"Documenti_Allegati/f" + std::to_string(i), "x"});
             });
         },
         std::string(kManifestMismatchText)},
        {"an entry that claims 1 KB and expands to 2 GB",
         [&] {
             return altered(shop, good, "bomba.zip", [](std::vector<Member>& m) {
                 for (Member& member : m) {
                     if (member.name == "Documenti_Allegati/fattura perché.pdf") member.zeros = std::uint64_t{2} << 30;
                 }
             });
         },
         backupText(kOversizedEntryText, "Documenti_Allegati/fattura perché.pdf")},
        {"a zip made by another program",
         [&] {
             const fs::path zip = shop.copies.path() / "altro.zip";
             writeZip(zip, {{"leggimi.txt", "ciao"}, {"foto/1.jpg", "jpeg"}});
             return zip;
         },
         std::string(kNotABackupText)},
        {"a manifest of another program",
         [&] {
             return altered(shop, good, "manifesto.zip",
                            [](std::vector<Member>& m) { manifestOf(m).bytes = "Manifest-Version: 1.0\n"; });
         },
         std::string(kNotABackupText)},
        {"not a zip at all", [&] { return bytesFile("testo.zip", "Scortavia_2026-12-10\n"); },
         std::string(kUnreadableBackupText)},
    };

    const Files before = snapshot(shop.folder.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const fs::path file = c.make();
        const auto checked = verifyBackup(file);
        ASSERT_FALSE(checked);
        EXPECT_EQ(checked.error(), c.message);
        const auto restored = restoreBackup(shop.folder.path(), file, shop.copies.path() / "prima.zip", "x");
        ASSERT_FALSE(restored);
        EXPECT_EQ(restored.error(), c.message);
        EXPECT_EQ(snapshot(shop.folder.path()), before);
        EXPECT_FALSE(fs::exists(shop.copies.path() / "prima.zip"));
        fs::remove(file);
    }
}

// ---- names and keeping ----

TEST(BackupSchedule, NamesReadBack) {
    const LocalMinute when{std::chrono::year(2026) / 12 / 10, 15, 30, 12};
    struct Case {
        BackupKind kind;
        int serial;
        std::string_view name;
    };
    const Case cases[] = {{BackupKind::Manual, 1, "Scortavia_2026-12-10_15-30.zip"},
                          {BackupKind::Automatic, 1, "Scortavia_2026-12-10_15-30_automatica.zip"},
                          {BackupKind::BeforeRestore, 1, "Scortavia_2026-12-10_15-30_prima-del-ripristino.zip"},
                          {BackupKind::Manual, 2, "Scortavia_2026-12-10_15-30-2.zip"}};
    for (const Case& c : cases) {
        EXPECT_EQ(backupFileName(c.kind, when, c.serial), c.name);
        const auto parsed = parseBackupFileName(c.name);
        ASSERT_TRUE(parsed) << c.name;
        EXPECT_EQ(parsed->kind, c.kind);
        EXPECT_EQ(parsed->serial, c.serial);
        EXPECT_EQ(parsed->when.day, when.day);
        EXPECT_EQ(parsed->when.minute, 30);
    }
    for (std::string_view other :
         {"Scortavia_2026-13-10_15-30.zip", "Scortavia_2026-12-10_15-30.zip.abc", "Scortavia_2026-12-10_25-30.zip",
          "Scortavia_2026-12-10_15-30_altro.zip", "Scortavia_2026-12-10_15-30-1.zip", "Copia.zip"}) {
        EXPECT_FALSE(parseBackupFileName(other)) << other;
    }
}

TEST(BackupSchedule, KeepsSevenDaysAndFourWeeksOfAutomaticCopiesOnly) {
    // Every day of five weeks has an automatic copy, a day has two, and a copy by hand is old.
    std::vector<fs::path> names;
    const std::chrono::sys_days last = std::chrono::sys_days(std::chrono::year(2026) / 12 / 10);  // a Thursday
    for (int back = 0; back < 35; ++back) {
        names.emplace_back(backupFileName(BackupKind::Automatic, {last - std::chrono::days(back), 18, 0, 0}));
    }
    names.emplace_back(backupFileName(BackupKind::Automatic, {last, 9, 0, 0}));
    names.emplace_back(backupFileName(BackupKind::Manual, {last - std::chrono::days(60), 9, 0, 0}));
    names.emplace_back(backupFileName(BackupKind::BeforeRestore, {last - std::chrono::days(60), 9, 5, 0}));

    const auto doomed = automaticBackupsToDelete(names);
    std::vector<fs::path> kept;
    for (const fs::path& name : names) {
        if (std::find(doomed.begin(), doomed.end(), name) == doomed.end()) kept.push_back(name);
    }
    const auto day = [&](int back, int hour = 18) {
        return fs::path(backupFileName(BackupKind::Automatic, {last - std::chrono::days(back), hour, 0, 0}));
    };
    // The 7 latest days (10 to 4 December), and the newest of each of the 4 latest weeks: 10/12 and 6/12
    // are among the days already, then Sundays 29/11 and 22/11. A day's earlier copy goes.
    std::vector<fs::path> expected{day(0), day(1), day(2), day(3), day(4), day(5), day(6), day(11), day(18)};
    expected.push_back(names[names.size() - 2]);
    expected.push_back(names.back());
    std::sort(kept.begin(), kept.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(kept, expected);
    EXPECT_TRUE(hasAutomaticBackupOn(names, std::chrono::year(2026) / 12 / 10));
    EXPECT_FALSE(hasAutomaticBackupOn(names, std::chrono::year(2026) / 12 / 11));
}

TEST(BackupSchedule, ListsNewestFirstAndNeverAHalfWrittenCopy) {
    test::TempFolder copies;
    const std::chrono::year_month_day day = std::chrono::year(2026) / 12 / 10;
    for (const auto& name :
         {backupFileName(BackupKind::Manual, {day, 9, 0, 0}), backupFileName(BackupKind::Automatic, {day, 18, 0, 0}),
          backupFileName(BackupKind::Manual, {day, 9, 0, 0}, 2)}) {
        test::writeBytes(copies.path() / name, "zip");
    }
    test::writeBytes(copies.path() / ".Scortavia_2026-12-10_19-00.zip.Ab12Cd", "mezza");
    test::writeBytes(copies.path() / "Appunti.zip", "altro");
    const auto listed = listBackups(copies.path());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].filename(), backupFileName(BackupKind::Automatic, {day, 18, 0, 0}));
    EXPECT_EQ(listed[1].filename(), backupFileName(BackupKind::Manual, {day, 9, 0, 0}, 2));
    EXPECT_EQ(newBackupPath(copies.path(), BackupKind::Manual, {day, 9, 0, 0}).filename(),
              backupFileName(BackupKind::Manual, {day, 9, 0, 0}, 3));
}

// ---- copies of the program killed, or working at the same time ----

int killAt = 0;
int stepsSeen = 0;
void countOrDie(std::string_view) {
    if (++stepsSeen == killAt) raise(SIGKILL);
}

TEST(BackupKilled, AtAnyStepOfABackupNoCopyIsListedAndTheDataStay) {
    Shop shop;
    const Files before = snapshot(shop.folder.path());
    for (killAt = 1;; ++killAt) {
        SCOPED_TRACE(killAt);
        test::Child child([&] {
            stepsSeen = 0;
            setBackupStepHookForTesting(countOrDie);
            (void)shop.backup();
            return 0;
        });
        const int code = child.wait();
        if (code == 0) break;  // past the last step: this one finished
        EXPECT_EQ(code, 100 + SIGKILL);
        EXPECT_TRUE(listBackups(shop.copies.path()).empty());
        EXPECT_EQ(snapshot(shop.folder.path()), before);
        ASSERT_LT(killAt, 100);
    }
    EXPECT_GT(killAt, static_cast<int>(shopData(1).size()));  // it died after each entry and before the rename
    EXPECT_EQ(listBackups(shop.copies.path()).size(), 1u);
}

TEST(BackupKilled, AtAnyStepOfARestoreTheNextStartLeavesOldDataOrNew) {
    Shop shop;
    const fs::path monday = shop.backup();
    const std::string mondayBytes = test::readBytes(monday);
    bool sawOld = false, sawNew = false;
    for (killAt = 1;; ++killAt) {
        SCOPED_TRACE(killAt);
        shop.becomeVariant(2);
        test::writeBytes(monday, mondayBytes);
        test::Child child([&] {
            stepsSeen = 0;
            setBackupStepHookForTesting(countOrDie);
            setRestoreStepHookForTesting(countOrDie);
            return restoreBackup(shop.folder.path(), monday, shop.copies.path() / "prima.zip", "x") ? 0 : 1;
        });
        const int code = child.wait();
        const bool unfinished = restoreLeftUnfinished(shop.folder.path());
        // The next start, as the folder lock runs it.
        auto lock = FolderLock::hold(shop.folder.path());
        ASSERT_TRUE(lock);
        EXPECT_FALSE(fs::exists(shop.folder.path() / kRestoreFolderName));
        EXPECT_FALSE(restoreLeftUnfinished(shop.folder.path()));
        const Files data = dataOf(shop.folder.path());
        if (unfinished) {
            EXPECT_EQ(data, shopData(1));  // a written plan is carried to its end
        }
        if (data == shopData(1)) {
            sawNew = true;
        } else {
            EXPECT_EQ(data, shopData(2));
            sawOld = true;
        }
        fs::remove(shop.copies.path() / "prima.zip");
        if (code == 0) break;
        EXPECT_EQ(code, 100 + SIGKILL);
        ASSERT_LT(killAt, 200);
    }
    EXPECT_TRUE(sawOld);
    EXPECT_TRUE(sawNew);
    for (const auto& [path, bytes] : kNotData) EXPECT_EQ(test::readBytes(shop.folder.file(path)), bytes) << path;
}

TEST(BackupConcurrency, ACopyWhileAnotherCopySavesHoldsWholeRecords) {
    Shop shop;
    const fs::path archive = shop.folder.file("Magazzino.pro");
    test::writeBytes(archive, std::string(20 * ProductRecord::kSize, 'a'));
    // The other copy rewrites and appends cards, each record all one letter, in small pieces as a slow
    // disk takes them, so a record caught half written would hold two letters.
    test::Child saver([&] {
        ArchiveFile::setRewritePiecesForTesting(97, [](ArchiveFile::RewriteStep, int) { usleep(50); });
        std::string record(ProductRecord::kSize, 'a');
        const auto bytes = [&] {
            return std::span(reinterpret_cast<const std::uint8_t*>(record.data()), record.size());
        };
        for (int round = 0;; ++round) {
            record.assign(record.size(), static_cast<char>('a' + round % 26));
            auto file = ArchiveFile::openOrCreate(archive, ProductRecord::kSize);
            if (!file) return 1;
            if (!file->writeAt(round % 20, bytes())) return 1;
            if (round % 10 == 0 && !file->append(bytes())) return 1;
        }
    });
    for (int copy = 0; copy < 8; ++copy) {
        const fs::path file = shop.backup();
        ASSERT_FALSE(file.empty());
        test::TempFolder out;
        ASSERT_TRUE(extractBackup(file, out.path()));
        const std::string copied = test::readBytes(out.file("Magazzino.pro"));
        ASSERT_EQ(copied.size() % ProductRecord::kSize, 0u);
        for (std::size_t at = 0; at < copied.size(); at += ProductRecord::kSize) {
            const std::string_view record(copied.data() + at, ProductRecord::kSize);
            EXPECT_EQ(record.find_first_not_of(record[0]), std::string_view::npos)
                << "record " << at / ProductRecord::kSize;
        }
        fs::remove(file);
    }
    EXPECT_FALSE(saver.ended());
}

TEST(FolderLockTest, ARestoreWaitsForEveryOtherCopyToEnd) {
    test::TempFolder folder;
    auto mine = FolderLock::hold(folder.path());
    ASSERT_TRUE(mine);
    EXPECT_TRUE(mine->tryExclusive());
    mine->share();
    test::StopPoint running;
    test::Child other([&] {
        auto theirs = FolderLock::hold(folder.path());
        running.stopHere();
        return theirs ? 0 : 1;
    });
    ASSERT_TRUE(running.reached());
    EXPECT_FALSE(mine->tryExclusive());
    running.letGo();
    EXPECT_EQ(other.wait(), 0);
    EXPECT_TRUE(mine->tryExclusive());
}

TEST(FolderLockTest, ARunMarkLeftByACopyThatDiedIsFoundOnce) {
    test::TempFolder folder;
    bool died = true;
    auto first = RunMark::place(folder.path(), died);
    ASSERT_TRUE(first);
    EXPECT_FALSE(died);
    {
        test::StopPoint running;
        test::Child alive([&] {
            bool ignored = false;
            auto mark = RunMark::place(folder.path(), ignored);
            running.stopHere();
            mark->remove();
            return 0;
        });
        ASSERT_TRUE(running.reached());
        auto second = RunMark::place(folder.path(), died);
        EXPECT_FALSE(died);  // a copy still running is no death
        second->remove();
        running.letGo();
        EXPECT_EQ(alive.wait(), 0);
    }
    test::Child dies([&] {
        bool ignored = false;
        auto mark = RunMark::place(folder.path(), ignored);
        raise(SIGKILL);
        return 0;
    });
    dies.wait();
    auto third = RunMark::place(folder.path(), died);
    EXPECT_TRUE(died);
    third->remove();
    auto fourth = RunMark::place(folder.path(), died);
    EXPECT_FALSE(died);
    fourth->remove();
    first->remove();
}

}  // namespace
}  // namespace scortavia
