#include "MailInNazwy.h"

#include <runtime/DateTime.h>
#include <runtime/SysUtils.h>

#include <cctype>
#include <cmath>

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

std::string DataKrotka(rtl::TDateTime data) {
    if (data == 0 || !std::isfinite(data) || std::fabs(data) > 3e6)
        return {};
    return rtl::FormatDateTime("dd.mm.yyyy", data);
}

std::string RozmiarTekst(long long rozmiar) {
    return rtl::IntToStr(rozmiar);
}

} // namespace VL_PAK32
