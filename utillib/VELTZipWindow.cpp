#include "VELTZipWindow.h"

#include "LibraryToolkit.h"
#include "VELTZipCode.h"

#include <runtime/Cp1250.h>


namespace VL_LIB32 {

using namespace vcl;
using rtl::operator""_w;

TVELTZipWindow::TVELTZipWindow(TComponent* owner) : TForm(owner) {
    SetName("VELTZipWindow");
    SetCaption("ZIP");
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetFormStyle(fsStayOnTop);
    SetClientWidth(292);
    SetClientHeight(46);
    SetColor(clBtnFace);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    SetKeyPreview(false);

    ProgressBar1 = new TProgressBar(this);
    ProgressBar1->SetName("ProgressBar1");
    ProgressBar1->SetBounds(0, 31, 292, 15);
    ProgressBar1->SetAlign(alBottom);
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(100);
    ProgressBar1->SetTabOrder(0);

    StaticText1 = new TStaticText(this);
    StaticText1->SetName("StaticText1");
    StaticText1->SetBounds(0, 2, 292, 25);
    StaticText1->SetAlignment(taCenter);
    StaticText1->SetAutoSize(false);
    StaticText1->SetCaption("StaticText1");
    StaticText1->SetTabOrder(1);

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
}

TVELTZipWindow::~TVELTZipWindow() {
    if (ZipWindow == this)
        ZipWindow = nullptr;
}

TVELTZipWindow* TVELTZipWindow::Open(const std::string& caption) {
    if (!ToolkitReady())
        return nullptr;
    auto* window = new TVELTZipWindow(nullptr);
    window->AfterConstruction();
    window->SetCaption(caption);
    window->Show();
    window->Repaint();
    return window;
}

void TVELTZipWindow::FormCreate(TObject*) {
    SetLeft(2);
    SetTop(2);
    // The bar's range is a 32-bit signed number; a total of 2 GiB or more is shown halved.
    const auto total = static_cast<std::uint32_t>(TotalBytes);
    m_barShift = total > 0x7FFFFFFFu ? 1 : 0;
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(static_cast<int>(total >> m_barShift));
    setBar(BytesDone);
    StaticText1->SetCaption("Wykonano: "_w);
}

void TVELTZipWindow::setBar(std::int32_t position) {
    ProgressBar1->SetPosition(static_cast<int>(static_cast<std::uint32_t>(position) >> m_barShift));
}

void TVELTZipWindow::ShowProgress(std::int32_t bytesDone, const std::string& text) {
    setBar(bytesDone);
    StaticText1->SetCaption(text);
    // No message is processed during the work: the changes are painted as they are made.
    ProgressBar1->Repaint();
    StaticText1->Repaint();
}

void TVELTZipWindow::ShowEnd(std::int32_t bytesDone, const std::string& text) {
    ShowProgress(bytesDone, text);
}

void TVELTZipWindow::FormKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key != VK_ESCAPE)
        return;
    Key = 0;
    Close();
    // Destroyed once this key has been handled, not while its handler still runs.
    Release();
}

} // namespace VL_LIB32
