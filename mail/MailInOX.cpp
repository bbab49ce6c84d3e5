#include "MailInOX.h"

#include "Funkcje_ERR.h"
#include "Funkcje_INI.h"
#include "MailInOdbior.h"

#include <runtime/Cp1250.h>
#include <vcl/Application.h>

namespace VL_PAK32 {

using rtl::operator""_w;

TForm3* Form3 = nullptr;

TForm3::TForm3(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetCaption("Odbieranie poczty - Orvena");
    Wiadomosc = std::make_unique<net::TIdMessage>();
    LV1 = new vcl::TListView(this);
    POP = std::make_unique<net::TIdPOP3>();
    LB1 = new vcl::TListBox(this);
    Gauge1 = new vcl::TGauge(this);
    ButZamknij = new vcl::TButton(this);
    IdAntiFreeze1 = std::make_unique<net::TIdAntiFreeze>();
    IdAntiFreeze1->SetOnlyWhenIdle(true);
    UrzadzOknoOdbioru({*this, *POP, *Wiadomosc, *LV1, *LB1, *Gauge1, *ButZamknij});
    ButZamknij->SetBounds(414, 248, 75, 25);

    OnActivate = [this](vcl::TObject* s) { FormActivate(s); };
    POP->OnDisconnected = [this](void*) { POPDisconnected(this); };
    ButZamknij->OnClick = [this](vcl::TObject* s) { ButZamknijClick(s); };
}

TForm3::~TForm3() {
    POP->OnDisconnected = nullptr;
    DestroyComponents();
}

void TForm3::FormActivate(vcl::TObject*) {
    KatalogProgramu = KatalogProgramuBiezacego();
    const Ustawienia u = CzytajUstawienia(KatalogProgramu);
    const std::string CzyUsuwac =
        CzytajINI(SekcjaUstawien, "CzyUsuwac", BrakWartosci, KatalogProgramu, PlikINI);
    const std::string NIP = CzytajINI(SekcjaUstawien, "NIP", BrakWartosci, KatalogProgramu, PlikINI);
    OdbierzPoczte(
        {*this, *POP, *Wiadomosc, *LV1, *LB1, *Gauge1, *ButZamknij},
        {u.TytulWiadomosci, u.KatalogOdbioru, u.NazwaUzytkownika, u.SerwerPOP3, u.HasloPOP3, CzyUsuwac, NIP});
}

void TForm3::POPDisconnected(vcl::TObject*) {
    LB1->Items().Add("Rozłączono z serwerem."_w);
    Repaint();
}

void TForm3::ButZamknijClick(vcl::TObject*) {
    vcl::Application->Terminate();
}

} // namespace VL_PAK32
