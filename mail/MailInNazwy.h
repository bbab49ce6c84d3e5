#pragma once

// What the receiving windows decide about a received attachment's name and a listed message's
// columns, kept apart from the windows so that it can be checked without a server.

#include <runtime/DateTime.h>

#include <string>
#include <string_view>

namespace VL_PAK32 {

// The name under which an attachment is saved in the incoming folder: the last component of the
// name the message gives (split at "\" and "/"), without a drive prefix such as "C:". Empty when
// nothing usable is left ("", "." or ".."): such a part is passed over, so no file is ever
// written outside the incoming folder.
std::string NazwaZalacznika(std::string_view nazwaWWiadomosci);

// True when a saved attachment of this name would land on one of the program's own files when
// the incoming folder is the program's folder: its settings file VL_PAK32.INI or the program
// itself (`sciezkaProgramu`, Windows form). Letter case and the full stops and blanks that the
// platform drops at a name's end do not count.
bool NazwaPlikuProgramu(std::string_view nazwa, std::string_view sciezkaProgramu);

// True when the first ten characters of the file name (the whole name when shorter) equal the
// NIP exactly, letter case counting and nothing trimmed.
bool ZgodnyZNIP(std::string_view nazwaPliku, std::string_view nip);

// The listing's date column in the short date form of the user's locale (LC_TIME), or
// "dd.mm.yyyy" when the locale has none (the C locale, or one that cannot be loaded), for a
// date as the message component gives it (days since 30 December 1899, local time). Empty for
// 0, which stands for a message without a readable date.
std::string DataKrotka(rtl::TDateTime data);

// The listing's size column: the size in plain decimal digits, "-1" when the server gave none.
std::string RozmiarTekst(long long rozmiar);

} // namespace VL_PAK32
