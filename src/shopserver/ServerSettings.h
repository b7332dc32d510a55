#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/Result.h"
#include "server/ServerEngine.h"

// Where the archives of a program folder are kept: the [Server] section of its settings file names the
// server and the shop on it; without it (or with no address) the folder keeps its archives itself.
// The password is kept scrambled as the access password is.
namespace scortavia {

inline constexpr std::string_view kServerSection = "Server";
inline constexpr std::string_view kServerAddressKey = "Indirizzo";
inline constexpr std::string_view kServerPortKey = "Porta";
inline constexpr std::string_view kServerDatabaseKey = "Database";
inline constexpr std::string_view kServerUserKey = "Utente";
inline constexpr std::string_view kServerPasswordKey = "Password";
inline constexpr std::string_view kServerShopKey = "Negozio";

// The shop the settings name; nothing when the folder keeps its archives. An unreadable settings file
// or a password that cannot be unscrambled is a failure.
Result<std::optional<ServerShop>> readServerSettings(const std::filesystem::path& programFolder);

// Names the shop in the settings; each key is written all or nothing, the address last, so that a
// write cut short never points the folder at a half-named server.
Status writeServerSettings(const std::filesystem::path& programFolder, const ServerShop& shop);

// Gives the archives back to the folder: the address is emptied, the rest kept for the next time.
Status forgetServer(const std::filesystem::path& programFolder);

// What is wrong with the settings typed on the screen, in Italian; nothing when they can be used.
std::optional<std::string> serverSettingsProblem(const ServerShop& shop);

}  // namespace scortavia
