#pragma once

#include <string>
#include <string_view>

#include "common/Result.h"

// How the settings file keeps a password: scrambled, so that it is not read at a glance or found by a
// search for it; anyone with the program (or this code) can unscramble it, so it is no protection.
namespace scortavia {

// The most bytes a scrambled value keeps.
inline constexpr std::size_t kMaxScrambledBytes = 255;

// Bytes to uppercase hex, two digits a byte. Only the first (length modulo 256) bytes are scrambled.
std::string scramblePassword(std::string_view bytes);

// Hex back to bytes. Either case is accepted and an odd last digit is ignored; only the first
// (pair count modulo 256) pairs are read, and one of them that is not hex is a failure.
Result<std::string> unscramblePassword(std::string_view hex);

}  // namespace scortavia
