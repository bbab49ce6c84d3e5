#pragma once

// Unit Funkcje_ERR: the process-wide settings and error state of VL_PAK32, the password
// unscrambling, the error routine with its Polish texts, and the result record in section Error
// of VL_PAK32.INI. All texts are Windows-1250 bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace VL_PAK32 {

// The program folder; every window sets it before its first INI access.
extern std::string KatalogProgramu;
// Settings of section Eksport_TRN (keys in brackets).
extern std::string TytulWiadomosci;  // Tytul_Wiadomosci
extern std::string KatalogWysylki;   // Katalog_Wysylka
extern std::string KatalogOdbioru;   // Katalog_TRN
extern std::string AdresDo;          // Mail_Do
extern std::string AdresOd;          // Mail_Od
extern std::string NazwaUzytkownika; // Uzytkownik
extern std::string SerwerSMTP;       // SMTP
extern std::string SerwerPOP3;       // POP3
extern std::string HasloPOP3;        // Haslo, already unscrambled
extern std::string UsuwacZSerwera;   // CzyUsuwac, raw text: test it with CzyTak
// The last failure: 0 and empty mean none.
extern std::int32_t BladNr;
extern std::string BladMsg;

// No failure recorded: BladNr 0, BladMsg empty.
void ZerujBlad();
// Every string above empty and no failure, as a new process starts.
void ZerujStan();

// The folder part of a program path in Windows form, without a trailing backslash except at a
// drive root: "C:\a\VL_PAK32" gives "C:\a", "C:\VL_PAK32" gives "C:\".
std::string KatalogZeSciezki(std::string_view sciezka);
// The folder of the running program (from win::ProgramPath()).
std::string KatalogProgramuBiezacego();

// The yes/no rule: yes when the upper-case form (Windows-1250 locale rules, nothing trimmed)
// is "TAK".
bool CzyTak(std::string_view wartosc);

// The stored password is kept with every byte complemented; complementing again gives it back.
std::string OdwrocHaslo(std::string_view tekst);

// The nine settings every job reads, in the order the host's table lists them.
struct Ustawienia {
    std::string TytulWiadomosci, KatalogWysylki, KatalogOdbioru, AdresDo, AdresOd, NazwaUzytkownika,
        SerwerSMTP, SerwerPOP3, HasloPOP3;
};
// Reads Tytul_Wiadomosci .. Haslo from section Eksport_TRN of VL_PAK32.INI in `katalog`, one key
// after another in that order, each with the default "brak"; the password comes unscrambled.
Ustawienia CzytajUstawienia(std::string_view katalog);
// Puts them into the shared strings above (the sending and the Talvik window keep them there).
void ZapamietajUstawienia(const Ustawienia& u);

// The error text as the log and the record show it: every CR LF made ", ", then the characters
// 0..32 trimmed from both ends. A lone CR or LF stays.
std::string TekstBledu(std::string_view tekst);
// The fixed Polish text that replaces the error text for 10039, 10093, 11001 and 2; these codes
// show no message box. Empty for every other code.
std::optional<std::string> StalyTekstBledu(std::int32_t kod);

// The text as the record keeps it: on one line, a lone CR or LF left in the error text made a
// blank, so that no text can break the record or add lines to the file.
std::string TekstRekordu(std::string_view msg);

// Writes the result record into section Error of VL_PAK32.INI in KatalogProgramu: Nr first,
// then Msg (as TekstRekordu gives it), by two writes. Throws as ZapiszINI does; a refused Nr
// leaves Msg unwritten.
void ZapiszWynik(std::int32_t nr, std::string_view msg);

// The log line that ends a run: "Gotowe ...." or "Błąd : (<nr>) <msg>".
std::string LiniaKoncowa(std::int32_t nr, std::string_view msg);
// The log's first visible line after a run: the fourth from the end.
int PierwszaWidocznaLinia(int liczbaLinii);

// Records a failure: sets BladNr and BladMsg, shows "Błąd <code>" with the text (OK only, no
// owner, no icon) for codes without a fixed text and waits for it to close, then writes the
// result record. A refused write ends the routine there and its error goes to the caller.
void ObsluzBlad(std::int32_t kod, std::string_view tekst);

} // namespace VL_PAK32
