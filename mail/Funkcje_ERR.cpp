#include "Funkcje_ERR.h"

#include "Funkcje_INI.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>
#include <vcl/MessageBox.h>
#include <windows/WinSock.h>
#include <windows/Windows.h>

#include <algorithm>

namespace VL_PAK32 {

using rtl::operator""_w;

std::string KatalogProgramu;
std::string TytulWiadomosci;
std::string KatalogWysylki;
std::string KatalogOdbioru;
std::string AdresDo;
std::string AdresOd;
std::string NazwaUzytkownika;
std::string SerwerSMTP;
std::string SerwerPOP3;
std::string HasloPOP3;
std::string UsuwacZSerwera;
std::int32_t BladNr = 0;
std::string BladMsg;

void ZerujBlad() {
    BladNr = 0;
    BladMsg.clear();
}

void ZerujStan() {
    for (std::string* s :
         {&KatalogProgramu, &TytulWiadomosci, &KatalogWysylki, &KatalogOdbioru, &AdresDo, &AdresOd,
          &NazwaUzytkownika, &SerwerSMTP, &SerwerPOP3, &HasloPOP3, &UsuwacZSerwera})
        s->clear();
    ZerujBlad();
}

std::string KatalogZeSciezki(std::string_view sciezka) {
    const std::size_t p = sciezka.find_last_of("\\:");
    if (p == std::string_view::npos)
        return {};
    std::size_t dlugosc = p + 1;
    // Drop the backslash that ends the folder, unless it belongs to a root ("C:\", "\").
    if (p > 0 && sciezka[p] == '\\' && sciezka[p - 1] != '\\' && sciezka[p - 1] != ':')
        dlugosc = p;
    return std::string(sciezka.substr(0, dlugosc));
}

std::string KatalogProgramuBiezacego() {
    return KatalogZeSciezki(win::ProgramPath());
}

bool CzyTak(std::string_view wartosc) {
    return rtl::AnsiUpperCase(wartosc) == "TAK";
}

std::string OdwrocHaslo(std::string_view tekst) {
    std::string wynik(tekst);
    for (char& c : wynik)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
    return wynik;
}

Ustawienia CzytajUstawienia(std::string_view katalog) {
    auto czytaj = [&](std::string_view klucz) {
        return CzytajINI(SekcjaUstawien, klucz, BrakWartosci, katalog, PlikINI);
    };
    Ustawienia u;
    u.TytulWiadomosci = czytaj("Tytul_Wiadomosci");
    u.KatalogWysylki = czytaj("Katalog_Wysylka");
    u.KatalogOdbioru = czytaj("Katalog_TRN");
    u.AdresDo = czytaj("Mail_Do");
    u.AdresOd = czytaj("Mail_Od");
    u.NazwaUzytkownika = czytaj("Uzytkownik");
    u.SerwerSMTP = czytaj("SMTP");
    u.SerwerPOP3 = czytaj("POP3");
    u.HasloPOP3 = OdwrocHaslo(czytaj("Haslo"));
    return u;
}

void ZapamietajUstawienia(const Ustawienia& u) {
    TytulWiadomosci = u.TytulWiadomosci;
    KatalogWysylki = u.KatalogWysylki;
    KatalogOdbioru = u.KatalogOdbioru;
    AdresDo = u.AdresDo;
    AdresOd = u.AdresOd;
    NazwaUzytkownika = u.NazwaUzytkownika;
    SerwerSMTP = u.SerwerSMTP;
    SerwerPOP3 = u.SerwerPOP3;
    HasloPOP3 = u.HasloPOP3;
}

std::string TekstBledu(std::string_view tekst) {
    return rtl::Trim(rtl::StringReplaceAll(tekst, "\r\n", ", "));
}

std::optional<std::string> StalyTekstBledu(std::int32_t kod) {
    switch (kod) {
    case win::WSAEDESTADDRREQ:
        return "Niezbędny adres docelowy"_w;
    case win::WSANOTINITIALISED:
        return "Nie załadowany Winsock"_w;
    case win::WSAHOST_NOT_FOUND:
        return "Nie znaleziono Hosta"_w;
    case 2:
        return "Niepoprawna autoryzacja (złe hasło lub użytkownik)."_w;
    default:
        return std::nullopt;
    }
}

std::string TekstRekordu(std::string_view msg) {
    std::string linia(msg);
    std::replace_if(
        linia.begin(), linia.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return linia;
}

std::string LiniaKoncowa(std::int32_t nr, std::string_view msg) {
    if (nr == 0)
        return "Gotowe ....";
    return "Błąd : ("_w + rtl::IntToStr(nr) + ") " + std::string(msg);
}

int PierwszaWidocznaLinia(int liczbaLinii) {
    return std::max(0, liczbaLinii - 4);
}

void ZapiszWynik(std::int32_t nr, std::string_view msg) {
    ZapiszINI(SekcjaBledu, "Nr", rtl::IntToStr(nr), KatalogProgramu, PlikINI);
    ZapiszINI(SekcjaBledu, "Msg", TekstRekordu(msg), KatalogProgramu, PlikINI);
}

void ObsluzBlad(std::int32_t kod, std::string_view tekst) {
    BladNr = kod;
    BladMsg = TekstBledu(tekst);
    if (auto staly = StalyTekstBledu(kod)) {
        BladMsg = *staly;
    } else {
        const std::string tytul = "Błąd "_w + rtl::IntToStr(kod);
        win::MessageBoxA(0, BladMsg.c_str(), tytul.c_str(), win::MB_OK);
    }
    ZapiszWynik(BladNr, BladMsg);
}

} // namespace VL_PAK32
