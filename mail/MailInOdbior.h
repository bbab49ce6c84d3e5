#pragma once

// The run that both receiving windows (Talvik and Orvena) make in their activation handler:
// log in over POP3, list every message by its header and size, fetch the messages whose subject
// is the title, save their attachments into the incoming folder, mark them deleted when told
// to, log out and leave the result record. The windows differ only in where they keep the
// settings and in the Orvena window's NIP test, so they hand both in here.

#include <net/IdMessage.h>
#include <net/IdPOP3.h>
#include <vcl/Button.h>
#include <vcl/Form.h>
#include <vcl/Gauge.h>
#include <vcl/ListBox.h>
#include <vcl/ListView.h>

#include <optional>
#include <string>
#include <string_view>

namespace VL_PAK32 {

// What the run needs of the settings (Windows-1250 texts; the password already unscrambled).
struct UstawieniaOdbioru {
    std::string TytulWiadomosci; // Tytul_Wiadomosci: the exact subject of a package message
    std::string KatalogOdbioru;  // Katalog_TRN: where the attachments go
    std::string NazwaUzytkownika;
    std::string SerwerPOP3;
    std::string HasloPOP3;
    std::string UsuwacZSerwera; // CzyUsuwac, raw
    // Orvena only: an attachment is saved only when its name begins with the NIP.
    std::optional<std::string> NIP;
};

// The window's parts that the run works with.
struct OknoOdbioru {
    vcl::TForm& Okno;
    net::TIdPOP3& POP;
    net::TIdMessage& Wiadomosc;
    vcl::TListView& LV1;
    vcl::TListBox& LB1;
    vcl::TGauge& Gauge1;
    vcl::TButton& ButZamknij;
};

// Lays out the window and its controls as both variants share them (client 510 x 297: the
// mailbox list above the gauge and the log, the hidden close button over the log's right end)
// and sets the POP3 client and the message up. The caller sets caption, button place and the
// anti-freeze.
void UrzadzOknoOdbioru(OknoOdbioru okno);

// Appends a line to the log and repaints the window at once.
void Loguj(OknoOdbioru okno, const std::string& tekst);

// The run from the login to the closing lines; KatalogProgramu must already be set. A failure is
// recorded through ObsluzBlad; only a failure of ObsluzBlad itself leaves this function.
void OdbierzPoczte(OknoOdbioru okno, const UstawieniaOdbioru& u);

// Saves one received attachment part (a TIdAttachment) as katalog + "\" + the safe form of its name,
// replacing an older file. Gives false (and writes nothing) when the part is passed over: its name leaves
// nothing usable, or the NIP test (when given) fails. Raises as the attachment's save does.
bool ZapiszZalacznik(const net::TIdMessagePart& czesc, std::string_view katalog,
                     const std::optional<std::string>& nip);

} // namespace VL_PAK32
