#include "vl_pic32View.h"

#include <runtime/Cp1250.h>

using namespace vcl;

namespace vl_pic32 {

TViewForm* ViewForm = nullptr;

TViewForm::TViewForm(TComponent* owner) : TForm(owner) {
    SetName("ViewForm");
    SetCaption("VELT");
    SetBorderStyle(bsNone);
    SetBounds(100, 100, 292, 273);
    SetPosition(poDefault);
    SetColor(clBtnFace);
    SetKeyPreview(false);
    OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { MyKeyDown(s, key, shift); };

    Image1 = new TImage(this);
    Image1->SetName("Image1");
    Image1->SetAlign(alClient);
    Image1->OnClick = [this](TObject* s) { ImageClick(s); };
}

void TViewForm::MyKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_ESCAPE) {
        Close();
        Key = 0;
    }
}

void TViewForm::ImageClick(TObject*) {
    Close();
}

} // namespace vl_pic32
