#include "MailInNazwy.h"

#include "Funkcje_INI.h"

#include <runtime/Cp1250.h>
#include <runtime/DateTime.h>
#include <runtime/SysUtils.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

namespace VL_PAK32 {

std::string NazwaZalacznika(std::string_view nazwa) {
    const auto slash = nazwa.find_last_of("\\/");
    if (slash != std::string_view::npos)
        nazwa.remove_prefix(slash + 1);
    // "C:x.zip" names a file relative to drive C's current folder: keep only "x.zip".
    if (nazwa.size() >= 2 && nazwa[1] == ':' && std::isalpha(static_cast<unsigned char>(nazwa[0])))
        nazwa.remove_prefix(2);
    if (nazwa.empty() || nazwa == "." || nazwa == "..")
        return {};
    return std::string(nazwa);
}

bool NazwaPlikuProgramu(std::string_view nazwa, std::string_view sciezkaProgramu) {
    nazwa = rtl::TrimRightOf(nazwa, ". ");
    const auto slash = sciezkaProgramu.find_last_of("\\/");
    const std::string_view program =
        slash == std::string_view::npos ? sciezkaProgramu : sciezkaProgramu.substr(slash + 1);
    return rtl::AnsiSameText(nazwa, PlikINI) || (!program.empty() && rtl::AnsiSameText(nazwa, program));
}

bool ZgodnyZNIP(std::string_view nazwaPliku, std::string_view nip) {
    return nazwaPliku.substr(0, 10) == nip;
}

namespace {

// The locale the user chose for dates (LC_ALL, LC_TIME, LANG, as the C library takes them), or
// nothing when that is the C locale, which has no date form of a user's own.
locale_t lokalCzasu() {
    for (const char* zmienna : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* nazwa = std::getenv(zmienna);
        if (!nazwa || !*nazwa)
            continue;
        const std::string_view n(nazwa);
        if (n == "C" || n == "POSIX" || n.starts_with("C."))
            return nullptr;
        return ::newlocale(LC_TIME_MASK, nazwa, nullptr);
    }
    return nullptr;
}

} // namespace

std::string DataKrotka(rtl::TDateTime data) {
    if (data == 0 || !std::isfinite(data) || std::fabs(data) > 3e6)
        return {};
    int rok = 0, miesiac = 0, dzien = 0;
    rtl::DecodeDate(data, rok, miesiac, dzien);
    if (locale_t lokal = lokalCzasu()) {
        std::tm tm{};
        tm.tm_year = rok - 1900;
        tm.tm_mon = miesiac - 1;
        tm.tm_mday = dzien;
        // Day 0, 30 December 1899, was a Saturday.
        tm.tm_wday = static_cast<int>((rtl::DayNumber(rok, miesiac, dzien) % 7 + 7 + 6) % 7);
        char tekst[128];
        const char* forma = ::nl_langinfo_l(D_FMT, lokal);
        const std::size_t n = forma && *forma ? ::strftime_l(tekst, sizeof tekst, forma, &tm, lokal) : 0;
        const bool utf8 = std::string_view(::nl_langinfo_l(CODESET, lokal)) == "UTF-8";
        ::freelocale(lokal);
        if (n > 0)
            return utf8 ? rtl::utf8ToCp1250(std::string_view(tekst, n)) : std::string(tekst, n);
    }
    return rtl::FormatDateTime("dd.mm.yyyy", data);
}

std::string RozmiarTekst(long long rozmiar) {
    return rtl::IntToStr(rozmiar);
}

} // namespace VL_PAK32
