#include "MailInTZ.h"

#include "Funkcje_ERR.h"
#include "Funkcje_INI.h"
#include "MailInOdbior.h"

#include <runtime/Cp1250.h>

namespace VL_PAK32 {

using rtl::operator""_w;

TForm2* Form2 = nullptr;

TForm2::TForm2(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetCaption("Odbieranie poczty - Talvik");
    Wiadomosc = std::make_unique<net::TIdMessage>();
    IdAntiFreeze1 = std::make_unique<net::TIdAntiFreeze>();
    IdAntiFreeze1->SetOnlyWhenIdle(false);
    LV1 = new vcl::TListView(this);
    POP = std::make_unique<net::TIdPOP3>();
    LB1 = new vcl::TListBox(this);
    Gauge1 = new vcl::TGauge(this);
    ButZamknij = new vcl::TButton(this);
    UrzadzOknoOdbioru({*this, *POP, *Wiadomosc, *LV1, *LB1, *Gauge1, *ButZamknij});

    OnActivate = [this](vcl::TObject* s) { FormActivate(s); };
    POP->OnDisconnected = [this](void*) { POPDisconnected(this); };
    ButZamknij->OnClick = [this](vcl::TObject* s) { ButZamknijClick(s); };
}

TForm2::~TForm2() {
    // The client may still be connected after a failed run: it then closes without an event.
    POP->OnDisconnected = nullptr;
    DestroyComponents();
}

void TForm2::FormActivate(vcl::TObject*) {
    KatalogProgramu = KatalogProgramuBiezacego();
    ZapamietajUstawienia(CzytajUstawienia(KatalogProgramu));
    UsuwacZSerwera = CzytajINI(SekcjaUstawien, "CzyUsuwac", BrakWartosci, KatalogProgramu, PlikINI);
    OdbierzPoczte({*this, *POP, *Wiadomosc, *LV1, *LB1, *Gauge1, *ButZamknij},
                  {TytulWiadomosci, KatalogOdbioru, NazwaUzytkownika, SerwerPOP3, HasloPOP3, UsuwacZSerwera,
                   std::nullopt});
}

void TForm2::POPDisconnected(vcl::TObject*) {
    LB1->Items().Add("Rozłączono z serwerem."_w);
    Repaint();
}

void TForm2::ButZamknijClick(vcl::TObject*) {
    Close();
}

} // namespace VL_PAK32
