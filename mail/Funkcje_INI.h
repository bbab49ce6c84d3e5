#pragma once

// Unit Funkcje_INI: the settings file VL_PAK32.INI, read and written one key at a time through
// the Windows profile functions. Every call opens, accesses and flushes the file on its own, so
// nothing is cached and a written value is in the file when the call returns.

#include <cstddef>
#include <string>
#include <string_view>

namespace VL_PAK32 {

// The settings file beside the program and its two sections.
inline constexpr std::string_view PlikINI = "VL_PAK32.INI";
inline constexpr std::string_view SekcjaUstawien = "Eksport_TRN"; // written by the host, only read here
inline constexpr std::string_view SekcjaBledu = "Error";          // the result record: Nr, Msg
// What every setting reads as when the file, the section or the key is missing.
inline constexpr std::string_view BrakWartosci = "brak";
// The longest value a read returns; a longer one is cut there.
inline constexpr std::size_t MaksDlugoscWartosci = 2047;

// The file path: folder + "\" + file name, joined exactly as given (a drive root "C:\" gives
// "C:\\VL_PAK32.INI", which the profile functions accept).
std::string SciezkaINI(std::string_view katalog, std::string_view plik);

// The value of `klucz` in `sekcja` of katalog\plik, or `domyslna` when the file, section or key
// is missing. Reports no failure.
std::string CzytajINI(std::string_view sekcja, std::string_view klucz, std::string_view domyslna,
                      std::string_view katalog, std::string_view plik);

// Writes `wartosc` under `klucz` in `sekcja` of katalog\plik, creating what is missing.
// Throws rtl::Exception "Unable to write to <path>" when the system refuses the write.
void ZapiszINI(std::string_view sekcja, std::string_view klucz, std::string_view wartosc,
               std::string_view katalog, std::string_view plik);

} // namespace VL_PAK32
