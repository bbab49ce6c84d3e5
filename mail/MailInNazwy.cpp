#include "MailInNazwy.h"

#include <runtime/SysUtils.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>

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

bool ZgodnyZNIP(std::string_view nazwaPliku, std::string_view nip) {
    return nazwaPliku.substr(0, 10) == nip;
}

std::string DataKrotka(double data) {
    if (data == 0 || !std::isfinite(data) || std::fabs(data) > 3e6)
        return {};
    using namespace std::chrono;
    const auto dzien = sys_days{1899y / December / 30} + days{static_cast<long>(std::trunc(data))};
    const year_month_day d{dzien};
    char tekst[32];
    std::snprintf(tekst, sizeof tekst, "%02u.%02u.%04d", static_cast<unsigned>(d.day()),
                  static_cast<unsigned>(d.month()), static_cast<int>(d.year()));
    return tekst;
}

std::string RozmiarTekst(long long rozmiar) {
    return rtl::IntToStr(rozmiar);
}

} // namespace VL_PAK32
