#include "MailInOdbior.h"

#include "Funkcje_ERR.h"
#include "Funkcje_INI.h"
#include "MailInNazwy.h"

#include <net/IdAttachment.h>
#include <net/IdException.h>
#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <exception>
#include <vector>

namespace VL_PAK32 {

using rtl::operator""_w;

void UrzadzOknoOdbioru(OknoOdbioru o) {
    o.Okno.SetClientWidth(510);
    o.Okno.SetClientHeight(297);
    o.Okno.SetBorderStyle(vcl::bsSingle);
    o.Okno.SetBorderIcons({vcl::biSystemMenu});
    o.Okno.SetPosition(vcl::poScreenCenter);

    // Bottom to top: the log, the gauge over it, the list in the rest.
    o.LB1.SetBounds(0, 227, 510, 70);
    o.LB1.SetAlign(vcl::alBottom);
    o.LB1.SetColor(vcl::clMoneyGreen);
    o.Gauge1.SetBounds(0, 205, 510, 22);
    o.Gauge1.SetAlign(vcl::alBottom);
    o.Gauge1.SetBackColor(vcl::clSkyBlue);
    o.Gauge1.SetForeColor(vcl::clBlue);
    o.Gauge1.SetProgress(0);
    o.LV1.SetBounds(0, 0, 510, 205);
    o.LV1.SetAlign(vcl::alClient);
    o.LV1.SetViewStyle(vcl::vsReport);
    o.LV1.SetReadOnly(true);
    o.LV1.SetRowSelect(true);
    o.LV1.SetFlatScrollBars(true);
    o.LV1.SetColor(vcl::clCream);
    const std::pair<std::string, int> kolumny[] = {
        {"Temat", 200}, {"Od", 150}, {"Data", 80}, {"Rozmiar", 60}};
    for (const auto& [naglowek, szerokosc] : kolumny) {
        vcl::TListColumn* kolumna = o.LV1.Columns().Add();
        kolumna->SetCaption(naglowek);
        kolumna->SetWidth(szerokosc);
    }

    o.ButZamknij.SetCaption("Za&mknij");
    o.ButZamknij.SetBounds(410, 249, 75, 25);
    o.ButZamknij.SetDefault(true);
    o.ButZamknij.SetVisible(false);

    o.POP.SetPort(110);
    o.POP.SetReadTimeout(0);
    o.POP.SetMaxLineAction(net::maException);
    o.Wiadomosc.SetEncoding(net::meMIME);
    o.Wiadomosc.SetAttachmentEncoding("MIME");
}

void Loguj(OknoOdbioru o, const std::string& tekst) {
    o.LB1.Items().Add(tekst);
    o.Okno.Repaint();
}

bool ZapiszZalacznik(const net::TIdMessagePart& czesc, std::string_view katalog,
                     const std::optional<std::string>& nip) {
    const auto* zalacznik = dynamic_cast<const net::TIdAttachment*>(&czesc);
    if (!zalacznik)
        return false;
    // Only the last component of the stated name counts, so that a name such as "..\..\x.zip"
    // or "C:\x.zip" can never put a file outside the incoming folder.
    const std::string nazwa = NazwaZalacznika(zalacznik->FileName());
    if (nazwa.empty())
        return false;
    if (nip && !ZgodnyZNIP(nazwa, *nip))
        return false;
    // Refused before the old file is deleted: an empty incoming folder would put the file at
    // the drive's root, and a name the platform cannot give a file, or one of the program's
    // own files, must not cost an existing file.
    if (katalog.empty() || !win::IsValidFileName(nazwa) || NazwaPlikuProgramu(nazwa, win::ProgramPath()))
        throw net::EIdException("Error saving attachment.");
    const std::string sciezka = std::string(katalog) + "\\" + nazwa;
    win::DeleteFileA(sciezka.c_str());
    // The component writes the whole file or, on failure, nothing under this path.
    zalacznik->SaveToFile(sciezka);
    return true;
}

namespace {

// Steps from the login to the success record; every failure leaves by an exception.
void Przebieg(OknoOdbioru o, const UstawieniaOdbioru& u) {
    o.POP.Connect();
    int zgodnych = 0;
    Loguj(o, "Sprawdzanie czy są nowe wiadomości ..."_w);
    const int n = o.POP.CheckMessages();
    if (n <= 0) {
        Loguj(o, "Brak nowych wiadomości."_w);
    } else {
        Loguj(o, "Pobieranie poczty."_w);
        o.Gauge1.SetMaxValue(n);
        o.Gauge1.SetProgress(0);
        // The subjects as listed: row k stands for message k + 1.
        std::vector<std::string> tematy;
        for (int i = 1; i <= n; ++i) {
            o.Wiadomosc.Clear();
            o.POP.RetrieveHeader(i, o.Wiadomosc);
            vcl::TListItem* wiersz = o.LV1.Items().Add();
            wiersz->SetCaption(o.Wiadomosc.Subject());
            wiersz->SubItems().Add(o.Wiadomosc.From().Text());
            wiersz->SubItems().Add(DataKrotka(o.Wiadomosc.Date()));
            wiersz->SubItems().Add(RozmiarTekst(o.POP.RetrieveMsgSize(i)));
            tematy.push_back(o.Wiadomosc.Subject());
            if (tematy.back() == u.TytulWiadomosci)
                ++zgodnych;
            o.Gauge1.SetProgress(i);
        }
        if (zgodnych == 0) {
            Loguj(o, "Brak przesyłek."_w);
        } else {
            o.LB1.Items().Add("Zapisywanie załączników."_w);
            o.Gauge1.SetMaxValue(zgodnych);
            o.Gauge1.SetProgress(0);
            o.Okno.Repaint();
            const bool usuwac = CzyTak(u.UsuwacZSerwera);
            const int wierszy = static_cast<int>(tematy.size());
            for (int k = 0; k < wierszy; ++k) {
                if (tematy[k] != u.TytulWiadomosci)
                    continue;
                o.Wiadomosc.Clear();
                o.POP.Retrieve(k + 1, o.Wiadomosc);
                bool oznaczona = false;
                const int czesci = o.Wiadomosc.MessageParts().Count();
                for (int c = 0; c < czesci; ++c) {
                    const net::TIdMessagePart& czesc = o.Wiadomosc.MessageParts().Items(c);
                    if (!czesc.IsAttachment())
                        continue;
                    if (!ZapiszZalacznik(czesc, u.KatalogOdbioru, u.NIP))
                        continue;
                    if (usuwac && !oznaczona) {
                        o.POP.Delete(k + 1);
                        oznaczona = true;
                    }
                }
                o.Gauge1.AddProgress(1);
            }
        }
    }
    o.POP.Disconnect();
    ZapiszWynik(0, "");
}

} // namespace

void OdbierzPoczte(OknoOdbioru o, const UstawieniaOdbioru& u) {
    o.POP.SetHost(u.SerwerPOP3);
    o.POP.SetUsername(u.NazwaUzytkownika);
    o.POP.SetPassword(u.HasloPOP3);
    Loguj(o, "Łączenie się z serwerem, proszę czekać ..."_w);
    // No QUIT after a failure: the server then keeps every message marked in this run.
    try {
        Przebieg(o, u);
    } catch (const net::EIdSocketError& e) {
        ObsluzBlad(e.LastError(), e.Message());
    } catch (const net::EIdProtocolReplyError& e) {
        ObsluzBlad(e.ReplyErrorCode(), e.Message());
    } catch (const rtl::Exception& e) {
        ObsluzBlad(-1, e.Message());
    } catch (const std::exception& e) {
        ObsluzBlad(-1, e.what());
    }

    o.LB1.Items().Add(LiniaKoncowa(BladNr, BladMsg));
    o.LB1.Items().Add("Naciśnij klawisz \"Zamknij\"."_w);
    o.LB1.SetTopIndex(PierwszaWidocznaLinia(o.LB1.Items().Count()));
    o.ButZamknij.SetVisible(true);
}

} // namespace VL_PAK32
