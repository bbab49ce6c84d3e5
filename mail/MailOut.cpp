#include "MailOut.h"

#include "Funkcje_ERR.h"

#include <net/IdAttachment.h>
#include <net/IdException.h>
#include <runtime/Cp1250.h>
#include <vcl/MessageBox.h>

#include <exception>

namespace VL_PAK32 {

using namespace vcl;
using rtl::operator""_w;

TForm1* Form1 = nullptr;

std::string SciezkaPaczki(std::string_view katalog, std::string_view nazwa) {
    std::string sciezka(katalog);
    if (!sciezka.empty() && sciezka.back() != '\\' && sciezka.back() != '/')
        sciezka += '\\';
    sciezka += nazwa;
    return sciezka;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    SetName("Form1");
    SetCaption("Wysyłanie danych"_w);
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    Font().SetName("MS Sans Serif");
    Font().SetSize(8);
    SetClientWidth(350);
    SetClientHeight(123);

    LB1 = new TListBox(this);
    LB1->SetName("LB1");
    LB1->SetBounds(0, 53, 350, 70);
    LB1->SetAlign(alBottom);
    LB1->SetColor(clMoneyGreen);

    FileListBox1 = new TFileListBox(this);
    FileListBox1->SetName("FileListBox1");
    FileListBox1->SetBounds(484, 8, 145, 97);
    FileListBox1->SetEnabled(false);
    FileListBox1->Font().SetName("Courier New");

    Gauge1 = new TGauge(this);
    Gauge1->SetName("Gauge1");
    Gauge1->SetBounds(0, 31, 350, 22);
    Gauge1->SetAlign(alBottom);
    Gauge1->SetBackColor(clSkyBlue);
    Gauge1->SetForeColor(clBlue);
    Gauge1->SetProgress(0);

    Pan1 = new TPanel(this);
    Pan1->SetName("Pan1");
    Pan1->SetBounds(0, 0, 350, 31);
    Pan1->SetAlign(alClient);
    Pan1->SetCaption("Wysyłka"_w);
    Pan1->SetColor(clCream);
    Pan1->Font().SetName("MS Sans Serif");
    Pan1->Font().SetHeight(-19);
    Pan1->Font().SetStyle({fsBold});

    SMTP = std::make_unique<net::TIdSMTP>();
    SMTP->SetPort(25);
    SMTP->SetAuthenticationType(net::atNone);
    SMTP->SetReadTimeout(0);
    SMTP->SetMaxLineAction(net::maException);
    SMTP->OnWorkBegin = [this](void* s, net::TWorkMode m, std::int64_t n) { SMTPWorkBegin(s, m, n); };
    SMTP->OnDisconnected = [this](void* s) { SMTPDisconnected(s); };

    IdMessage1 = std::make_unique<net::TIdMessage>();
    IdMessage1->SetEncoding(net::meMIME);
    IdMessage1->SetAttachmentEncoding("MIME");

    IdAntiFreeze1 = std::make_unique<net::TIdAntiFreeze>();
    IdAntiFreeze1->SetOnlyWhenIdle(false);

    ButZamknij = new TButton(this);
    ButZamknij->SetName("ButZamknij");
    ButZamknij->SetBounds(250, 75, 75, 25);
    ButZamknij->SetCaption("Za&mknij");
    ButZamknij->SetDefault(true);
    ButZamknij->SetVisible(false);
    ButZamknij->OnClick = [this](TObject* s) { ButZamknijClick(s); };

    OnActivate = [this](TObject* s) { FormActivate(s); };
}

TForm1::~TForm1() = default;

void TForm1::Loguj(const std::string& linia) {
    LB1->Items().Add(linia);
    Repaint();
}

void TForm1::FormActivate(TObject*) {
    // The toolkit raises OnActivate again when another form of the program was active in
    // between (a message box or another program does not count); the run is once.
    if (m_uruchomiony)
        return;
    m_uruchomiony = true;

    KatalogProgramu = KatalogProgramuBiezacego();
    ZapamietajUstawienia(CzytajUstawienia(KatalogProgramu));

    FileListBox1->SetMask("*.ZIP");
    // A shipment folder that cannot be entered (or is not named) is an empty shipment, never
    // the folder the list happened to show before.
    if (KatalogWysylki.empty() || !FileListBox1->SetDirectory(KatalogWysylki))
        FileListBox1->Items().Clear();

    if (FileListBox1->Items().Count() == 0) {
        win::MessageBoxA(0, "Brak wysylki", "Błąd"_w.c_str(), win::MB_OK);
    } else {
        Loguj("Sprawdzam połączenie z internetem, proszę czekać ..."_w);
        Pan1->SetCaption("Eksport transakcji."_w);
        ZbudujWiadomosc();
        SMTP->SetHost(SerwerSMTP);
        Loguj("Łączenie się z serwerem poczty, proszę czekać ..."_w);
        ZerujBlad();
        WyslijWiadomosc();
    }

    LB1->Items().Add(LiniaKoncowa(BladNr, BladMsg));
    LB1->Items().Add("Naciśnij klawisz \"Zamknij\"."_w);
    LB1->SetTopIndex(PierwszaWidocznaLinia(LB1->Items().Count()));
    ButZamknij->Show();
}

void TForm1::ZbudujWiadomosc() {
    IdMessage1->SetSubject(TytulWiadomosci);
    IdMessage1->Recipients().Add().SetAddress(AdresDo);
    IdMessage1->ReplyTo().SetEMailAddresses(AdresDo);
    IdMessage1->From().SetAddress(AdresOd);
    IdMessage1->From().SetName(NazwaUzytkownika);
    const TStrings& paczki = FileListBox1->Items();
    for (int i = 0; i < paczki.Count(); ++i)
        net::TIdAttachment::Create(IdMessage1->MessageParts(), SciezkaPaczki(KatalogWysylki, paczki[i]));
}

void TForm1::WyslijWiadomosc() {
    try {
        SMTP->Connect();
        SMTP->Send(*IdMessage1);
        SMTP->Disconnect();
        ZapiszWynik(BladNr, BladMsg);
    } catch (const net::EIdSocketError& e) {
        ObsluzBlad(e.LastError(), e.Message());
    } catch (const rtl::Exception& e) {
        ObsluzBlad(-1, e.Message());
    } catch (const std::exception& e) {
        ObsluzBlad(-1, e.what());
    }
}

void TForm1::SMTPWorkBegin(void*, net::TWorkMode, std::int64_t) {
    Loguj("Połączono z serwerem."_w);
    Loguj("Wysyłanie danych."_w);
}

void TForm1::SMTPDisconnected(void*) {
    Loguj("Rozłączono z serwerem."_w);
}

void TForm1::ButZamknijClick(TObject*) {
    Close();
}

} // namespace VL_PAK32
