#include "MailInPoczta.h"

#include "Base64Encode.h"
#include "Pop3Server.h"

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <algorithm>

namespace mailin {

namespace {

std::string Base64(std::string_view dane) {
    const std::string wynik = vltest::Base64Encode(dane);
    std::string linie;
    for (std::size_t p = 0; p < wynik.size(); p += 76)
        linie += wynik.substr(p, 76) + "\n";
    return linie;
}

bool Zwykly(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '_' || c == '-' || c == ' ';
    });
}

std::string Procentowo(std::string_view s) {
    static const char* hex = "0123456789ABCDEF";
    std::string wynik;
    for (char c : s) {
        const unsigned char b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '.' ||
            b == '_' || b == '-') {
            wynik += c;
        } else {
            wynik += '%';
            wynik += hex[b >> 4];
            wynik += hex[b & 15];
        }
    }
    return wynik;
}

std::string Temat(std::string_view t) {
    if (std::all_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(t);
    return "=?UTF-8?B?" + vltest::Base64Encode(t) + "?=";
}

} // namespace

std::string Wiadomosc(std::string_view temat, const std::vector<Zalacznik>& zalaczniki, std::string_view od,
                      std::string_view data) {
    std::string m;
    m += "From: " + std::string(od) + "\n";
    m += "To: odbior@example.com\n";
    m += "Subject: " + Temat(temat) + "\n";
    m += "Date: " + std::string(data) + "\n";
    m += "MIME-Version: 1.0\n";
    if (zalaczniki.empty()) {
        m += "Content-Type: text/plain; charset=us-ascii\n\nBez zalacznikow.\n";
        return m;
    }
    const std::string granica = "----=_granica_0123456789";
    m += "Content-Type: multipart/mixed; boundary=\"" + granica + "\"\n\n";
    m += "This is a multi-part message in MIME format.\n\n";
    m += "--" + granica + "\nContent-Type: text/plain; charset=us-ascii\n\nPaczki w zalacznikach.\n\n";
    for (const Zalacznik& z : zalaczniki) {
        m += "--" + granica + "\n";
        m += "Content-Type: application/x-zip-compressed\n";
        m += "Content-Transfer-Encoding: base64\n";
        if (Zwykly(z.nazwa))
            m += "Content-Disposition: attachment; filename=\"" + z.nazwa + "\"\n\n";
        else
            m += "Content-Disposition: attachment; filename*=UTF-8''" + Procentowo(z.nazwa) + "\n\n";
        m += Base64(z.dane) + "\n";
    }
    m += "--" + granica + "--\n";
    return m;
}

long long RozmiarPOP3(std::string_view raw) {
    return static_cast<long long>(raw.size() + std::count(raw.begin(), raw.end(), '\n'));
}

std::string PlikINI(const std::map<std::string, std::string>& klucze) {
    std::string t = "[Eksport_TRN]\r\n";
    for (const auto& [k, v] : klucze)
        t += k + "=" + v + "\r\n";
    return t;
}

std::string Odwroc(std::string_view tekst) {
    std::string w(tekst);
    for (char& c : w)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
    return w;
}

std::map<std::string, std::string> UstawieniaOdbioru(const vltest::Pop3Server& serwer,
                                                     const std::string& trn) {
    return {{"Tytul_Wiadomosci", rtl::utf8ToCp1250("Przesyłka TRN")},
            {"Katalog_TRN", win::WindowsPath(trn)},
            {"Uzytkownik", serwer.Options().user},
            {"POP3", "127.0.0.1"},
            {"Haslo", Odwroc(serwer.Options().password)}};
}

std::string WartoscINI(std::string_view ini, std::string_view sekcja, std::string_view klucz) {
    bool wSekcji = false;
    std::size_t p = 0;
    while (p < ini.size()) {
        std::size_t e = ini.find('\n', p);
        if (e == std::string_view::npos)
            e = ini.size();
        std::string_view linia = ini.substr(p, e - p);
        if (!linia.empty() && linia.back() == '\r')
            linia.remove_suffix(1);
        p = e + 1;
        if (!linia.empty() && linia.front() == '[') {
            wSekcji = linia == "[" + std::string(sekcja) + "]";
            continue;
        }
        const std::size_t r = linia.find('=');
        if (wSekcji && r != std::string_view::npos && linia.substr(0, r) == klucz)
            return std::string(linia.substr(r + 1));
    }
    return "<none>";
}

} // namespace mailin
