#pragma once

// Unit MailInOX: the receiving window of job "3", for an Orvena host. Like the Talvik window,
// but it saves only the attachments whose name begins with the firm's NIP, keeps the settings
// in its handler's own strings (the shared ones stay empty), and its close button ends the
// program at once.

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

class TForm3 : public vcl::TForm {
  public:
    explicit TForm3(vcl::TComponent* owner);
    ~TForm3() override;

    std::unique_ptr<net::TIdMessage> Wiadomosc;
    vcl::TListView* LV1;
    std::unique_ptr<net::TIdPOP3> POP;
    vcl::TListBox* LB1;
    vcl::TGauge* Gauge1;
    vcl::TButton* ButZamknij;
    std::unique_ptr<net::TIdAntiFreeze> IdAntiFreeze1;

    // The whole run: settings with the NIP, login, listing, saving, logout, result record.
    void FormActivate(vcl::TObject* Sender);
    void POPDisconnected(vcl::TObject* Sender);
    // Ends the program at once.
    void ButZamknijClick(vcl::TObject* Sender);
};

extern TForm3* Form3;

} // namespace VL_PAK32
