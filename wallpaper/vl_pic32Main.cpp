#include "vl_pic32Main.h"

#include "vl_pic32Picture.h"
#include "vl_pic32View.h"

#include <vcl/Application.h>

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <QImage>
#include <QPainter>

#include <vector>

using namespace vcl;
using rtl::operator""_w;

namespace vl_pic32 {

TImageForm* ImageForm = nullptr;

namespace {

// The glyphs of the image list: 0 unused, 1 a framed picture (set as wallpaper), 2 a
// magnifying glass (preview).
QImage glyph(int which) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (which == 1) {
        p.fillRect(1, 2, 14, 12, QColor(0x80, 0x60, 0x20));
        p.fillRect(3, 4, 10, 8, QColor(0x40, 0xA0, 0xE0));
        p.fillRect(3, 9, 10, 3, QColor(0x30, 0x90, 0x30));
    } else if (which == 2) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(0xC0, 0xE0, 0xFF));
        p.drawEllipse(2, 2, 8, 8);
        p.drawLine(9, 9, 14, 14);
    }
    return image;
}

TMenuItem* item(TComponent* owner, const char* name, const std::string& caption, TShortCut shortCut,
                int imageIndex, TAction* action) {
    auto* m = new TMenuItem(owner);
    m->SetName(name);
    if (action)
        m->SetAction(action);
    m->SetCaption(caption);
    m->SetShortCut(shortCut);
    m->SetImageIndex(imageIndex);
    return m;
}

TAction* action(TComponent* owner, TActionList* list, const char* name, const char* caption, int imageIndex) {
    auto* a = new TAction(owner);
    a->SetName(name);
    a->SetActionList(list);
    a->SetCategory("File");
    a->SetCaption(caption);
    a->SetImageIndex(imageIndex);
    return a;
}

} // namespace

TImageForm::TImageForm(TComponent* owner) : TForm(owner) {
    SetName("ImageForm");
    SetCaption("VELT");
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu, biMinimize});
    SetPosition(poScreenCenter);
    SetKeyPreview(false);
    Font().SetName("MS Sans Serif");
    Font().SetSize(8);
    Font().SetStyle({fsBold});
    SetClientWidth(496);
    SetClientHeight(306);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { MyKeyDown(s, key, shift); };
    auto keys = [this](TObject* s, WORD& key, TShiftState shift) { MyKeyDown(s, key, shift); };

    TFont fileFont;
    fileFont.SetName("MS Sans Serif");
    fileFont.SetSize(8);

    ImageList1 = new TImageList(this);
    ImageList1->SetName("ImageList1");
    for (int i = 0; i < 3; ++i)
        ImageList1->Add(glyph(i));

    ActionList1 = new TActionList(this);
    ActionList1->SetName("ActionList1");
    ActionList1->SetImages(ImageList1);
    ActionImageView = action(this, ActionList1, "ActionImageView", "ImageView", 2);
    ActionImageSet = action(this, ActionList1, "ActionImageSet", "ImageSet", 1);
    ActionExit = action(this, ActionList1, "ActionExit", "Exit", -1);
    ActionImageView->OnExecute = [this](TObject* s) { ActionImageViewExecute(s); };
    ActionImageSet->OnExecute = [this](TObject* s) { ActionImageSetExecute(s); };
    ActionExit->OnExecute = [this](TObject* s) { ActionExitExecute(s); };

    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    MainMenu1->SetImages(ImageList1);
    Plik1 = item(this, "Plik1", "&Plik", scNone, -1, nullptr);
    Podglad1 = item(this, "Podglad1", "Pod&gląd"_w, ShortCut('G', {ssCtrl}), 2, ActionImageView);
    Ustaw1 = item(this, "Ustaw1", "&Ustaw jako tapetę"_w, ShortCut('U', {ssCtrl}), 1, ActionImageSet);
    N1 = item(this, "N1", "-", scNone, -1, nullptr);
    Koniec1 = item(this, "Koniec1", "&Koniec", scNone, -1, ActionExit);
    MainMenu1->Items()->Add(Plik1);
    for (TMenuItem* m : {Podglad1, Ustaw1, N1, Koniec1})
        Plik1->Add(m);
    SetMenu(MainMenu1);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    PopupMenu1->SetImages(ImageList1);
    Podglad2 = item(this, "Podglad2", "Pod&gląd"_w, scNone, 2, ActionImageView);
    Ustaw2 = item(this, "Ustaw2", "&Ustaw jako tapetę"_w, scNone, 1, ActionImageSet);
    PopupMenu1->Items()->Add(Podglad2);
    PopupMenu1->Items()->Add(Ustaw2);

    Bevel2 = new TBevel(this);
    Bevel2->SetName("Bevel2");
    Bevel2->SetShape(bsTopLine);
    Bevel2->SetBounds(0, 0, 496, 2);

    DirectoryListBox1 = new TDirectoryListBox(this);
    DirectoryListBox1->SetName("DirectoryListBox1");
    DirectoryListBox1->SetBounds(8, 12, 148, 260);
    DirectoryListBox1->SetFont(fileFont);
    DirectoryListBox1->OnKeyDown = keys;

    FileListBox1 = new TFileListBox(this);
    FileListBox1->SetName("FileListBox1");
    FileListBox1->SetBounds(166, 12, 139, 260);
    FileListBox1->SetFont(fileFont);
    FileListBox1->SetMask("*.bmp;*.jpg");
    FileListBox1->SetShowGlyphs(true);
    FileListBox1->SetHint("Enter - Podgląd"_w);
    FileListBox1->SetShowHint(true);
    FileListBox1->SetPopupMenu(PopupMenu1);
    FileListBox1->OnClick = [this](TObject* s) { FileListBox1Change(s); };
    FileListBox1->OnChange = [this](TObject* s) { FileListBox1Change(s); };
    FileListBox1->OnKeyDown = keys;

    DriveComboBox1 = new TDriveComboBox(this);
    DriveComboBox1->SetName("DriveComboBox1");
    DriveComboBox1->SetBounds(9, 278, 148, 21);
    DriveComboBox1->SetFont(fileFont);
    DriveComboBox1->OnKeyDown = keys;

    FilterComboBox1 = new TFilterComboBox(this);
    FilterComboBox1->SetName("FilterComboBox1");
    FilterComboBox1->SetBounds(166, 278, 140, 21);
    FilterComboBox1->SetFont(fileFont);
    FilterComboBox1->SetFilter("Pliki tapet (*.bmp;*.jpg)|*.bmp;*.jpg|All files (*.*)|*.*");
    FilterComboBox1->OnKeyDown = keys;

    Bevel1 = new TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetBounds(322, 12, 158, 118);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetBounds(325, 14, 153, 114);
    Panel1->SetBevelInner(bvLowered);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBevelWidth(2);

    Image1 = new TImage(this);
    Image1->SetName("Image1");
    Image1->SetParent(Panel1);
    Image1->SetBounds(2, 2, 149, 110);
    Image1->SetStretch(true);

    EmptyImage = new TImage(this);
    EmptyImage->SetName("EmptyImage");
    EmptyImage->SetVisible(false);

    DirectoryListBox1->SetTabOrder(0);
    FileListBox1->SetTabOrder(1);
    DriveComboBox1->SetTabOrder(2);
    FilterComboBox1->SetTabOrder(3);
    Panel1->SetTabOrder(4);
    DirectoryListBox1->SetFileList(FileListBox1);
    DriveComboBox1->SetDirList(DirectoryListBox1);
    FilterComboBox1->SetFileList(FileListBox1);
}

void TImageForm::FormCreate(TObject*) {
    std::string folder = win::ProgramPath();
    folder = folder.substr(0, folder.find_last_of('\\') + 1);
    DirectoryListBox1->SetDirectory(StartFolder(folder));
    CaptionPrefix = "VELT: ";
    SetCaption(CaptionPrefix + "...");
}

void TImageForm::FileListBox1Change(TObject*) {
    const std::string path = FileListBox1->FileName();
    const std::string key = PictureKey(path);
    if (!IsPictureKey(key)) {
        Image1->Picture().Assign(&EmptyImage->Picture());
        SetCaption(CaptionPrefix + "...");
        showInPreview();
        MenuDisable();
        return;
    }
    Image1->Picture().LoadFromFile(path);
    SetCaption(PictureCaption(CaptionPrefix, path, key, Image1->Picture()));
    showInPreview();
    MenuEnable();
}

// The preview is made right after this window; a listing while this window is still being
// made finds none yet.
void TImageForm::showInPreview() {
    if (!ViewForm)
        return;
    ViewForm->Image1->Picture().Assign(&Image1->Picture());
    ViewForm->SetCaption(Caption());
}

void TImageForm::MenuDisable() {
    for (TMenuItem* m : {Podglad1, Ustaw1, Podglad2, Ustaw2})
        m->SetEnabled(false);
}

void TImageForm::MenuEnable() {
    for (TMenuItem* m : {Podglad1, Ustaw1, Podglad2, Ustaw2})
        m->SetEnabled(true);
}

void TImageForm::ViewWallPaper() {
    if (Image1->Picture().Width() <= 0) {
        Application->MessageBox("Najpierw wybierz tapetę (plik)"_w, "Uwaga", 0);
        return;
    }
    ViewForm->SetWindowState(wsMaximized);
    ViewForm->Show();
    ViewForm->BringToFront();
}

void TImageForm::SetWallpaper() {
    if (Image1->Picture().Width() <= 0) {
        Application->MessageBox("Najpierw wybierz tapetę (plik)"_w, "Uwaga", 0);
        return;
    }
    std::vector<char> buffer;
    const std::string path = FileListBox1->FileName();
    buffer.assign(path.begin(), path.end());
    buffer.push_back('\0');
    win::SystemParametersInfoA(win::SPI_SETDESKWALLPAPER, 0, buffer.data(), win::SPIF_UPDATEINIFILE);
}

void TImageForm::MyKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
    if (Shift == TShiftState{ssAlt})
        return;
    if (Key == VK_RETURN) {
        if (Sender == FileListBox1 && Shift != TShiftState{ssShift} && Shift != TShiftState{ssCtrl}) {
            ViewWallPaper();
            Key = 0;
        }
        return;
    }
    if (Key == VK_ESCAPE) {
        Close();
        Key = 0;
    }
}

void TImageForm::ActionImageViewExecute(TObject*) {
    ViewWallPaper();
}

void TImageForm::ActionImageSetExecute(TObject*) {
    SetWallpaper();
}

void TImageForm::ActionExitExecute(TObject*) {
    Close();
}

} // namespace vl_pic32
