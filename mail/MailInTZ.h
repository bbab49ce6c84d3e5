#pragma once

// Unit MailInTZ: the receiving window of job "2", for a Talvik host. On its first activation it
// fetches the package messages over POP3 into the incoming folder (MailInOdbior) and then waits
// for "Za&mknij". It keeps the settings in the shared strings of Funkcje_ERR.

#include <net/IdAntiFreeze.h>
#include <net/IdMessage.h>
#include <net/IdPOP3.h>
#include <vcl/Button.h>
#include <vcl/Form.h>
#include <vcl/Gauge.h>
#include <vcl/ListBox.h>
#include <vcl/ListView.h>

#include <memory>

namespace VL_PAK32 {

class TForm2 : public vcl::TForm {
  public:
    explicit TForm2(vcl::TComponent* owner);
    ~TForm2() override;

    std::unique_ptr<net::TIdMessage> Wiadomosc;
    std::unique_ptr<net::TIdAntiFreeze> IdAntiFreeze1;
    vcl::TListView* LV1;
    std::unique_ptr<net::TIdPOP3> POP;
    vcl::TListBox* LB1;
    vcl::TGauge* Gauge1;
    vcl::TButton* ButZamknij;

    // The whole run: settings, login, listing, saving, logout, result record, closing lines.
    void FormActivate(vcl::TObject* Sender);
    void POPDisconnected(vcl::TObject* Sender);
    // Closes the window, which ends the program.
    void ButZamknijClick(vcl::TObject* Sender);
};

extern TForm2* Form2;

} // namespace VL_PAK32
