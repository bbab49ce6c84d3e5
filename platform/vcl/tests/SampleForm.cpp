#include "SampleForm.h"

#include <runtime/Cp1250.h>

using namespace vcl;
using rtl::operator""_w;

TSampleForm::TSampleForm(TComponent* owner) : TForm(owner) {
    SetCaption("Wysyłanie danych"_w);
    SetClientWidth(350);
    SetClientHeight(123);
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    Font().SetName("MS Sans Serif");
    Font().SetSize(8);

    LB1 = new TListBox(this);
    LB1->SetName("LB1");
    LB1->SetHeight(70);
    LB1->SetAlign(alBottom);
    LB1->SetColor(clMoneyGreen);

    FileListBox1 = new TFileListBox(this);
    FileListBox1->SetBounds(484, 8, 145, 97);
    FileListBox1->SetEnabled(false);
    FileListBox1->Font().SetName("Courier New");

    Gauge1 = new TGauge(this);
    Gauge1->SetHeight(22);
    Gauge1->SetAlign(alBottom);
    Gauge1->SetBackColor(clSkyBlue);
    Gauge1->SetForeColor(clBlue);
    Gauge1->SetProgress(0);

    Pan1 = new TPanel(this);
    Pan1->SetAlign(alClient);
    Pan1->SetCaption("Wysyłka"_w);
    Pan1->SetColor(clCream);
    Pan1->Font().SetHeight(-19);
    Pan1->Font().SetStyle({fsBold});

    LV1 = new TListView(this);
    LV1->SetBounds(500, 0, 300, 100);
    LV1->SetViewStyle(vsReport);
    LV1->SetReadOnly(true);
    LV1->SetRowSelect(true);
    LV1->SetFlatScrollBars(true);
    LV1->SetColor(clCream);

    ButZamknij = new TButton(this);
    ButZamknij->SetCaption("Za&mknij"_w);
    ButZamknij->SetDefault(true);
    ButZamknij->SetVisible(false);
    ButZamknij->SetBounds(250, 75, 75, 25);
    ButZamknij->OnClick = [this](TObject*) {
        ++clicks;
        log.push_back("click");
    };

    OnActivate = [this](TObject*) {
        ++activations;
        log.push_back("activate");
    };
    OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        formKeys.push_back(key);
        if (key == consumeOnForm)
            key = 0;
    };
    LB1->OnKeyDown = [this](TObject*, WORD& key, TShiftState) { listKeys.push_back(key); };
}
