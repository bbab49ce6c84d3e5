#pragma once

// Helpers of the receiving-window tests: package messages as a mail program writes them, the
// settings file a host prepares, and the expected log lines.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vltest {
class Pop3Server;
}

namespace mailin {

struct Zalacznik {
    std::string nazwa; // UTF-8, as the sender's mail program names the file
    std::string dane;  // the file's bytes
};

// A raw message (LF line breaks): the subject (UTF-8; RFC 2047 when not plain ASCII), a short
// text part, then one base64 part per attachment (RFC 2231 filename* when the name is not
// plain). Without attachments it is a single text part.
std::string Wiadomosc(std::string_view tematUtf8, const std::vector<Zalacznik>& zalaczniki = {},
                      std::string_view od = "Jan Nowak <jan@example.com>",
                      std::string_view data = "Tue, 05 Mar 2024 12:00:00 +0000");

// The size a POP3 server reports for a raw message with LF line breaks (each LF counts as CR LF).
long long RozmiarPOP3(std::string_view raw);

// VL_PAK32.INI with section Eksport_TRN holding the keys given (values already Windows-1250).
std::string PlikINI(const std::map<std::string, std::string>& klucze);

// Every byte complemented, as the host stores Haslo.
std::string Odwroc(std::string_view tekst);

// The Eksport_TRN keys a host sets for receiving from `serwer` into the folder `trn` (host
// path): title "Przesyłka TRN", user, 127.0.0.1 and the scrambled password.
std::map<std::string, std::string> UstawieniaOdbioru(const vltest::Pop3Server& serwer,
                                                     const std::string& trn);

// The value of a key in a section of an INI text, or "<none>" when it is missing.
std::string WartoscINI(std::string_view ini, std::string_view sekcja, std::string_view klucz);

} // namespace mailin
