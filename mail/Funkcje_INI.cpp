#include "Funkcje_INI.h"

#include <runtime/Exceptions.h>
#include <runtime/SysUtils.h>
#include <windows/Windows.h>

#include <vector>

namespace VL_PAK32 {

namespace {

// One access to the file, then the flush the system's INI object makes when it is freed: a
// profile write without section, key or value drops any cached copy of that file.
void ZwolnijINI(const std::string& sciezka) {
    win::WritePrivateProfileStringA(nullptr, nullptr, nullptr, sciezka.c_str());
}

} // namespace

std::string SciezkaINI(std::string_view katalog, std::string_view plik) {
    std::string sciezka(katalog);
    sciezka += '\\';
    sciezka += plik;
    return sciezka;
}

std::string CzytajINI(std::string_view sekcja, std::string_view klucz, std::string_view domyslna,
                      std::string_view katalog, std::string_view plik) {
    const std::string sciezka = SciezkaINI(katalog, plik);
    const std::string s(sekcja), k(klucz), d(domyslna);
    std::vector<char> bufor(MaksDlugoscWartosci + 1, '\0');
    const win::DWORD n =
        win::GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), bufor.data(),
                                      static_cast<win::DWORD>(bufor.size()), sciezka.c_str());
    std::string wartosc(bufor.data(), n); // the profile function cuts at the buffer less one
    ZwolnijINI(sciezka);
    return wartosc;
}

void ZapiszINI(std::string_view sekcja, std::string_view klucz, std::string_view wartosc,
               std::string_view katalog, std::string_view plik) {
    const std::string sciezka = SciezkaINI(katalog, plik);
    const std::string s(sekcja), k(klucz), w(wartosc);
    const bool zapisano =
        win::WritePrivateProfileStringA(s.c_str(), k.c_str(), w.c_str(), sciezka.c_str()) != 0;
    ZwolnijINI(sciezka);
    if (!zapisano)
        throw rtl::Exception(rtl::Format("Unable to write to %s", {sciezka}));
}

} // namespace VL_PAK32
