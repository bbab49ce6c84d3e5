#pragma once

// Unit MailOut: the sending window of job "1". On its first activation it sends every *.ZIP
// package of the shipment folder as the attachments of one message over SMTP, leaves the
// result record for the host, logs each stage and waits for "Za&mknij".

#include <net/IdAntiFreeze.h>
#include <net/IdMessage.h>
#include <net/IdSMTP.h>
#include <vcl/Button.h>
#include <vcl/FileListBox.h>
#include <vcl/Form.h>
#include <vcl/Gauge.h>
#include <vcl/ListBox.h>
#include <vcl/Panel.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace VL_PAK32 {

class TForm1 : public vcl::TForm {
  public:
    explicit TForm1(vcl::TComponent* owner);
    ~TForm1() override;

    vcl::TListBox* LB1;
    vcl::TFileListBox* FileListBox1;
    vcl::TGauge* Gauge1;
    vcl::TPanel* Pan1;
    std::unique_ptr<net::TIdSMTP> SMTP;
    std::unique_ptr<net::TIdMessage> IdMessage1;
    std::unique_ptr<net::TIdAntiFreeze> IdAntiFreeze1;
    vcl::TButton* ButZamknij;

    void FormActivate(vcl::TObject* Sender);
    void SMTPWorkBegin(void* Sender, net::TWorkMode AWorkMode, std::int64_t AWorkCountMax);
    void SMTPDisconnected(void* Sender);
    void ButZamknijClick(vcl::TObject* Sender);

  private:
    // Adds a line to the log and paints the window before going on.
    void Loguj(const std::string& linia);
    // Subject, recipient, reply-to, sender and one attachment per listed package.
    void ZbudujWiadomosc();
    // Connects, sends, disconnects and writes the success record; a failure goes to ObsluzBlad.
    void WyslijWiadomosc();

    bool m_uruchomiony = false;
};

extern TForm1* Form1;

// The path of a package: the shipment folder and the name, one backslash between them.
std::string SciezkaPaczki(std::string_view katalog, std::string_view nazwa);

} // namespace VL_PAK32
