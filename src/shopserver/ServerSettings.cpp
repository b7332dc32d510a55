#include "shopserver/ServerSettings.h"

#include "common/Scramble.h"
#include "common/TextRules.h"
#include "storage/ArchivePaths.h"
#include "storage/SettingsFile.h"

namespace scortavia {
namespace {

// A schema name the server takes as it is (63 bytes at most), with room for a transfer's staging name.
constexpr std::size_t kMaxShopName = 40;

bool isShopName(std::string_view name) {
    if (name.empty() || name.size() > kMaxShopName) return false;
    if (!(name[0] >= 'a' && name[0] <= 'z') && name[0] != '_') return false;
    for (char c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    }
    return !name.starts_with("pg_");
}

}  // namespace

Result<std::optional<ServerShop>> readServerSettings(const std::filesystem::path& programFolder) {
    const auto file = paths::settingsFile(programFolder);
    const auto read = [&](std::string_view key) { return readIniValue(file, kServerSection, key); };
    auto address = read(kServerAddressKey);
    if (!address) return address.status();
    if (trimBlanks(*address).empty()) return std::optional<ServerShop>();
    ServerShop shop;
    shop.address.host = std::string(trimBlanks(*address));
    for (auto [key, value] :
         {std::pair{kServerPortKey, &shop.address.port}, std::pair{kServerDatabaseKey, &shop.address.database},
          std::pair{kServerUserKey, &shop.address.user}, std::pair{kServerShopKey, &shop.schema}}) {
        auto text = read(key);
        if (!text) return text.status();
        *value = std::string(trimBlanks(*text));
    }
    auto scrambled = read(kServerPasswordKey);
    if (!scrambled) return scrambled.status();
    auto password = unscramblePassword(trimBlanks(*scrambled));
    if (!password) return password.status();
    shop.address.password = std::move(*password);
    return std::optional<ServerShop>(std::move(shop));
}

Status writeServerSettings(const std::filesystem::path& programFolder, const ServerShop& shop) {
    const auto file = paths::settingsFile(programFolder);
    for (auto [key, value] :
         {std::pair{kServerPortKey, shop.address.port}, std::pair{kServerDatabaseKey, shop.address.database},
          std::pair{kServerUserKey, shop.address.user},
          std::pair{kServerPasswordKey, scramblePassword(shop.address.password)},
          std::pair{kServerShopKey, shop.schema}, std::pair{kServerAddressKey, shop.address.host}}) {
        if (Status written = writeIniValue(file, kServerSection, key, value); !written) return written;
    }
    return Status::success();
}

Status forgetServer(const std::filesystem::path& programFolder) {
    return writeIniValue(paths::settingsFile(programFolder), kServerSection, kServerAddressKey, "");
}

std::optional<std::string> serverSettingsProblem(const ServerShop& shop) {
    if (trimBlanks(shop.address.host).empty()) return "Indicare l'indirizzo del server.";
    if (!shop.address.port.empty()) {
        const auto port = trimBlanks(shop.address.port);
        const bool digits =
            !port.empty() && port.size() <= 5 && port.find_first_not_of("0123456789") == std::string_view::npos;
        if (!digits || std::stoi(std::string(port)) < 1 || std::stoi(std::string(port)) > 65535)
            return "La porta del server è un numero da 1 a 65535 (di solito 5432), oppure si lascia vuota.";
    }
    if (trimBlanks(shop.address.database).empty()) return "Indicare il nome del database sul server.";
    if (trimBlanks(shop.address.user).empty()) return "Indicare l'utente con cui collegarsi al server.";
    if (shop.address.password.size() > kMaxScrambledBytes) return "La password può contenere al massimo 255 byte.";
    if (!isShopName(shop.schema)) {
        return "Il nome del negozio si scrive con lettere minuscole senza accenti, cifre e «_», comincia con una "
               "lettera e ha al massimo 40 caratteri (per esempio «negozio_centro»).";
    }
    return std::nullopt;
}

}  // namespace scortavia
