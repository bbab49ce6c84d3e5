#pragma once

// The full-screen preview window: the chosen picture at natural size from the top-left corner
// on the button-face colour, no border, no title bar; Esc or a click hides it.

#include <vcl/Form.h>
#include <vcl/Image.h>

namespace vl_pic32 {

class TViewForm : public vcl::TForm {
  public:
    explicit TViewForm(vcl::TComponent* owner);

    vcl::TImage* Image1;

    void MyKeyDown(vcl::TObject* Sender, vcl::WORD& Key, vcl::TShiftState Shift);
    void ImageClick(vcl::TObject* Sender);
};

extern TViewForm* ViewForm;

} // namespace vl_pic32
