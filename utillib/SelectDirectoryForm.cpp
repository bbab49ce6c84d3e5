#include "SelectDirectoryForm.h"

#include "vl_lib32.h"

#include <vcl/Application.h>
#include <vcl/MessageBox.h>

#include <windows/Windows.h>

#include <QGuiApplication>
#include <QScreen>

#include <cctype>

namespace VL_LIB32 {

using namespace vcl;

namespace {

int screenDpi() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(screen->logicalDotsPerInch() + 0.5) : 96;
}

bool hasDriveLetter(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

int ScaledLength(int length, int dpi) {
    if (dpi <= 0)
        dpi = 96;
    return (length * dpi + 48) / 96;
}

std::string FullFolderPath(const std::string& dir, const std::string& current) {
    if (dir.empty())
        return current;
    const bool currentHasDrive = hasDriveLetter(current);
    auto inFolder = [](std::string folder, const std::string& rest) {
        if (!folder.empty() && !isSeparator(folder.back()))
            folder += '\\';
        return folder + rest;
    };
    if (hasDriveLetter(dir)) {
        if (dir.size() > 2 && isSeparator(dir[2]))
            return dir;
        const bool sameDrive =
            currentHasDrive && std::toupper(static_cast<unsigned char>(dir[0])) ==
                                   std::toupper(static_cast<unsigned char>(current[0]));
        return inFolder(sameDrive ? current : dir.substr(0, 2) + "\\", dir.substr(2));
    }
    if (isSeparator(dir[0])) {
        // "\\server\share" stays a network path; "\x" lies on the current drive.
        if (dir.size() > 1 && isSeparator(dir[1]))
            return dir;
        return currentHasDrive ? current.substr(0, 2) + dir : dir;
    }
    return inFolder(current, dir);
}

template <class C>
C* TSelectDirectoryForm::place(C* control, const char* name, int left, int top, int width, int height) {
    control->SetParent(this);
    control->SetName(name);
    control->SetBounds(scaled(left), scaled(top), scaled(width), scaled(height));
    return control;
}

TSelectDirectoryForm::TSelectDirectoryForm(TComponent* owner) : TForm(owner), m_dpi(screenDpi()) {
    SetName("SelectDirDlg");
    SetCaption("Select Directory");
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-scaled(11));
    SetClientWidth(scaled(SelectDirectoryWidth));
    SetClientHeight(scaled(SelectDirectoryHeight));

    DirLabel = place(new TLabel(this), "DirLabel", 8, 8, 90, 13);
    DirLabel->SetCaption("Directory &Name:");
    DirEdit = place(new TEdit(this), "DirEdit", 8, 24, 408, 21);

    DirListLabel = place(new TLabel(this), "DirListLabel", 8, 54, 70, 13);
    DirListLabel->SetCaption("&Directories:");
    DirList = place(new TDirectoryListBox(this), "DirList", 8, 70, 200, 148);

    FileListLabel = place(new TLabel(this), "FileListLabel", 216, 54, 70, 13);
    FileListLabel->SetCaption("&Files: (*.*)");
    FileList = place(new TFileListBox(this), "FileList", 216, 70, 200, 100);
    // The files are there to look at only: the list takes neither the focus nor a selection.
    FileList->SetEnabled(false);
    FileList->Font().SetColor(clGrayText);

    DriveLabel = place(new TLabel(this), "DriveLabel", 216, 178, 40, 13);
    DriveLabel->SetCaption("D&rives:");
    DriveList = place(new TDriveComboBox(this), "DriveList", 216, 194, 200, 21);

    auto button = [this](const char* name, const char* caption, int left) {
        auto* b = place(new TButton(this), name, left, 226, 75, 23);
        b->SetCaption(caption);
        return b;
    };
    // Linux offers no dialog for connecting network drives, so the button stays hidden.
    NetButton = button("NetButton", "Ne&twork...", 8);
    NetButton->SetVisible(false);
    OKButton = button("OKButton", "OK", 175);
    OKButton->SetDefault(true);
    OKButton->SetModalResult(mrOk);
    CancelButton = button("CancelButton", "Cancel", 258);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);
    HelpButton = button("HelpButton", "&Help", 341);

    DirLabel->SetFocusControl(DirEdit);
    DirListLabel->SetFocusControl(DirList);
    FileListLabel->SetFocusControl(FileList);
    DriveLabel->SetFocusControl(DriveList);
    DirEdit->SetTabOrder(0);
    DirList->SetTabOrder(1);
    DriveList->SetTabOrder(2);
    OKButton->SetTabOrder(3);
    CancelButton->SetTabOrder(4);
    HelpButton->SetTabOrder(5);

    DriveList->SetDirList(DirList);
    DirList->SetFileList(FileList);
    DirList->OnChange = [this](TObject* s) { DirListChange(s); };
    OKButton->OnClick = [this](TObject* s) { OKButtonClick(s); };
    HelpButton->OnClick = [this](TObject* s) { HelpButtonClick(s); };
    OnShow = [this](TObject*) { DirList->SetFocus(); };
    DirListChange(DirList);
    AfterConstruction();
}

void TSelectDirectoryForm::OpenStartFolder(const std::string& initialDir) {
    if (!initialDir.empty()) {
        const std::string path = FullFolderPath(initialDir, win::GetCurrentDirectory());
        if (hasDriveLetter(path) && DriveList->SetDrive(path[0]))
            DirList->SetDirectory(path);
    }
    // Whatever the attempt left as the current folder is where the dialog starts.
    DirList->SetDirectory(win::GetCurrentDirectory());
    DirListChange(DirList);
}

void TSelectDirectoryForm::DirListChange(TObject*) {
    DirEdit->SetText(DirList->Directory());
    DirEdit->SelectAll();
}

void TSelectDirectoryForm::OKButtonClick(TObject*) {
    const std::string dir = DirEdit->Text();
    if (!dir.empty() && win::DirectoryExists(dir))
        return;
    if (win::MessageBoxA(Handle(), "The specified directory does not exist. Create it?", "Confirm",
                         win::MB_YESNO | win::MB_ICONQUESTION) != win::IDYES)
        SetModalResult(mrNone);
}

void TSelectDirectoryForm::HelpButtonClick(TObject*) {
    Application->HelpContext(SelectDirectoryHelpTopic);
}

} // namespace VL_LIB32
