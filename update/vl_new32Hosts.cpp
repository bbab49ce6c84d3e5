#include "vl_new32Hosts.h"

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <string_view>

using rtl::operator""_wv;

namespace VL_NEW32 {

namespace {

// Probe order from top to bottom; of the two rows of a file the first that fits is taken.
struct Row {
    THostProduct product;
    bool (*fits)(const std::string& upper);
};

bool editionSix(const std::string& upper) {
    return !upper.empty() && upper[0] == '6';
}

bool typeSt(const std::string& upper) {
    return upper == "ST";
}

bool anyValue(const std::string&) {
    return true;
}

const Row kRows[] = {
    {{"orv.ini", "Wersja", "ox6_news.inf", "ox6_news.rtf", "Wykryj nowości: Orvena 6"_wv}, editionSix},
    {{"orv.ini", "Wersja", "ox8_news.inf", "ox8_news.rtf", "Wykryj nowości: Orvena 8"_wv}, anyValue},
    {{"tal.ini", "Wersja", "tz6_news.inf", "tz6_news.rtf", "Wykryj nowości: Talvik 6"_wv}, editionSix},
    {{"tal.ini", "Wersja", "tz8_news.inf", "tz8_news.rtf", "Wykryj nowości: Talvik 8"_wv}, anyValue},
    {{"corvale.ini", "Typ", "kq_news.inf", "kq_news.rtf", "Wykryj nowości: Kestrin"_wv}, typeSt},
    {{"corvale.ini", "Typ", "pq_news.inf", "pq_news.rtf", "Wykryj nowości: Pelano"_wv}, anyValue},
};

} // namespace

const THostProduct* HostProductFor(const std::string& iniName, const std::string& upperValue) {
    for (const Row& row : kRows)
        if (iniName == row.product.IniName && row.fits(upperValue))
            return &row.product;
    return nullptr;
}

std::string ProgramFolder() {
    const std::string longPath = win::ProgramPath();
    char buf[win::MAX_PATH] = {};
    const win::DWORD n = win::GetShortPathNameA(longPath.c_str(), buf, sizeof buf);
    const std::string path = n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
    const auto end = path.find_last_of("\\:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

} // namespace VL_NEW32
