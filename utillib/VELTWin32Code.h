#pragma once

// Random numbers and names, the Windows NT test and registry string reads.

#include <windows/Windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace VL_LIB32 {

// The library's random seed, set afresh by every random export.
extern std::uint32_t RandSeed;

// Seeds from the high-resolution counter (its low 32 bits), or the millisecond tick when the
// counter is not available.
void Randomize();
// Advances the seed and draws a number from 0 to range - 1.
std::int32_t Random(std::int32_t range);
// The number as four upper-case hexadecimal digits ("%4.4x").
std::string HexName(std::int32_t number);

// Whether the platform identifier the version query gave at load is the NT family's.
bool UsingWinNT();

// The root key a host's root index chooses; unknown indexes read below HKEY_CURRENT_USER.
win::HKEY RootKey(std::int32_t rootIndex);
// A string value below the root, up to its first 0 byte; empty when the key or value is missing,
// empty or not a string.
std::string ReadRegistryString(win::HKEY root, std::string_view keyPath, std::string_view valueName);

} // namespace VL_LIB32
