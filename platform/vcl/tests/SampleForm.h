#pragma once

// A window built like the mail program's sending window, with every control of the toolkit,
// that counts what its handlers saw.

#include <vcl/Vcl.h>

#include <string>
#include <vector>

class TSampleForm : public vcl::TForm {
  public:
    explicit TSampleForm(vcl::TComponent* owner);

    vcl::TListBox* LB1;
    vcl::TFileListBox* FileListBox1;
    vcl::TGauge* Gauge1;
    vcl::TPanel* Pan1;
    vcl::TListView* LV1;
    vcl::TButton* ButZamknij;

    int activations = 0;
    int clicks = 0;
    std::vector<std::string> log; // handler events in order
    std::vector<vcl::WORD> formKeys, listKeys;
    vcl::WORD consumeOnForm = 0; // a key the form's handler sets to 0
};
