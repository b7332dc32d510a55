#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/Result.h"
#include "common/Scramble.h"

// The access password of the installation, kept scrambled as Valore of [Accesso] in the settings file.
// The scrambling only keeps the password from being read at a glance; it is no protection.
namespace scortavia {

inline constexpr std::string_view kAccessSection = "Accesso";
inline constexpr std::string_view kAccessKey = "Valore";

// The store holds one byte per character, at most 255 of them.
inline constexpr std::string_view kMsgPasswordUnstorable =
    "Attenzione: la nuova password può contenere al massimo 255 caratteri, scelti tra lettere, cifre e simboli "
    "dell'alfabeto latino. La password non è stata modificata.";

// Latin-1 holds exactly U+0000 to U+00FF: nullopt for any character above, or for malformed UTF-8.
std::optional<std::string> utf8ToLatin1(std::string_view utf8);
std::string latin1ToUtf8(std::string_view latin1);

// The form in which a password is stored and compared: a to z made uppercase, surrounding blanks removed.
std::string normalizePassword(std::string_view typedUtf8);

// Whether the typed text, once normalized, fits the store, so a screen can refuse it before writing.
bool isStorablePassword(std::string_view utf8);

// The stored password as UTF-8 without surrounding blanks; "" when the settings file or the key is
// missing. An unreadable file or a value that is not hex is a failure.
Result<std::string> readStoredPassword(const std::filesystem::path& programFolder);

// Normalizes and stores a new password. A password that does not fit fails with kMsgPasswordUnstorable,
// and an empty one fails too (nobody could log in again); in both cases nothing is written.
Status storePassword(const std::filesystem::path& programFolder, std::string_view newPasswordUtf8);

}  // namespace scortavia
