#include <vcl/FileDialogForm.h>

#include <vcl/Button.h>
#include <vcl/CheckBox.h>
#include <vcl/DirectoryListBox.h>
#include <vcl/DriveComboBox.h>
#include <vcl/Edit.h>
#include <vcl/FileDialogTexts.h>
#include <vcl/FileListBox.h>
#include <vcl/FilterComboBox.h>
#include <vcl/Label.h>
#include <vcl/MessageBox.h>

#include <windows/Windows.h>

#include <cctype>
#include <utility>
#include <vector>

namespace vcl {

namespace Texts = FileDialogTexts;

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool hasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

bool isUnc(const std::string& path) {
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}

// The root of a full path ("C:\", "\\server\share\") and the rest after it.
std::pair<std::string, std::string> splitRoot(const std::string& path) {
    if (hasDrive(path)) {
        std::size_t rest = 2;
        while (rest < path.size() && isSeparator(path[rest]))
            ++rest;
        return {std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) + ":\\",
                path.substr(rest)};
    }
    if (isUnc(path)) {
        // Server and share make the root.
        std::size_t at = 2;
        for (int part = 0; part < 2; ++part) {
            while (at < path.size() && !isSeparator(path[at]))
                ++at;
            if (part == 0 && at < path.size())
                ++at;
        }
        std::string root = "\\\\" + path.substr(2, at - 2);
        for (char& c : root)
            if (c == '/')
                c = '\\';
        return {root + "\\", at < path.size() ? path.substr(at + 1) : std::string()};
    }
    return {"", path};
}

bool hasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The part after the last separator or drive colon.
std::string lastComponent(const std::string& path) {
    const std::size_t at = path.find_last_of("\\/:");
    return at == std::string::npos ? path : path.substr(at + 1);
}

} // namespace

std::string FileDialogFullPath(const std::string& typed, const std::string& folder) {
    const std::string base = folder.empty() ? win::GetCurrentDirectory() : folder;
    const auto baseRoot = splitRoot(base).first;
    auto below = [&](const std::string& text) {
        return base + (isSeparator(base.back()) ? "" : "\\") + text;
    };
    std::string combined;
    if (isUnc(typed) || (hasDrive(typed) && typed.size() > 2 && isSeparator(typed[2])))
        combined = typed;
    else if (!typed.empty() && isSeparator(typed[0]))
        combined = baseRoot + typed.substr(1);
    else if (hasDrive(typed)) {
        const bool sameDrive =
            !baseRoot.empty() && std::toupper(static_cast<unsigned char>(typed[0])) == baseRoot[0];
        combined = sameDrive ? below(typed.substr(2)) : typed.substr(0, 2) + "\\" + typed.substr(2);
    } else
        combined = below(typed);

    const auto [root, rest] = splitRoot(combined);
    std::vector<std::string> parts;
    std::string part;
    auto take = [&] {
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".")
            parts.push_back(part);
        part.clear();
    };
    for (char c : rest) {
        if (isSeparator(c))
            take();
        else
            part += c;
    }
    take();
    std::string full = root;
    for (std::size_t i = 0; i < parts.size(); ++i)
        full += (i ? "\\" : "") + parts[i];
    return full;
}

TFileDialogForm::TFileDialogForm(TComponent* owner, TKind kind) : TForm(owner), m_kind(kind) {
    SetName("FileDialogForm");
    SetCaption(kind == TKind::Save ? Texts::SaveTitle : Texts::OpenTitle);
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(392);
    SetClientHeight(216);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);

    FileNameEdit = new TEdit(this);
    FileNameEdit->SetName("FileNameEdit");
    FileNameEdit->SetBounds(8, 24, 132, 21);
    FileNameEdit->SetTabOrder(0);
    FileNameLabel = new TLabel(this);
    FileNameLabel->SetName("FileNameLabel");
    FileNameLabel->SetCaption(Texts::FileName);
    FileNameLabel->SetBounds(8, 8, 132, 13);
    FileNameLabel->SetFocusControl(FileNameEdit);

    FileList = new TFileListBox(this);
    FileList->SetName("FileList");
    FileList->SetBounds(8, 50, 132, 112);
    FileList->SetTabOrder(1);

    DirList = new TDirectoryListBox(this);
    DirList->SetName("DirList");
    DirList->SetBounds(152, 50, 140, 112);
    DirList->SetTabOrder(2);
    FoldersLabel = new TLabel(this);
    FoldersLabel->SetName("FoldersLabel");
    FoldersLabel->SetCaption(Texts::Folders);
    FoldersLabel->SetBounds(152, 8, 140, 13);
    FoldersLabel->SetFocusControl(DirList);
    FolderLabel = new TLabel(this);
    FolderLabel->SetName("FolderLabel");
    FolderLabel->SetAutoSize(false);
    FolderLabel->SetShowAccelChar(false);
    FolderLabel->SetBounds(152, 28, 140, 13);

    FilterCombo = new TFilterComboBox(this);
    FilterCombo->SetName("FilterCombo");
    FilterCombo->SetBounds(8, 184, 132, 21);
    FilterCombo->SetTabOrder(3);
    TypeLabel = new TLabel(this);
    TypeLabel->SetName("TypeLabel");
    TypeLabel->SetCaption(kind == TKind::Save ? Texts::SaveFileAsType : Texts::ListFilesOfType);
    TypeLabel->SetBounds(8, 168, 132, 13);
    TypeLabel->SetFocusControl(FilterCombo);

    DriveCombo = new TDriveComboBox(this);
    DriveCombo->SetName("DriveCombo");
    DriveCombo->SetBounds(152, 184, 140, 21);
    DriveCombo->SetTabOrder(4);
    DrivesLabel = new TLabel(this);
    DrivesLabel->SetName("DrivesLabel");
    DrivesLabel->SetCaption(Texts::Drives);
    DrivesLabel->SetBounds(152, 168, 140, 13);
    DrivesLabel->SetFocusControl(DriveCombo);

    OKButton = new TButton(this);
    OKButton->SetName("OKButton");
    OKButton->SetCaption(Texts::OK);
    OKButton->SetBounds(304, 8, 80, 23);
    OKButton->SetDefault(true);
    OKButton->SetTabOrder(5);
    CancelButton = new TButton(this);
    CancelButton->SetName("CancelButton");
    CancelButton->SetCaption(Texts::Cancel);
    CancelButton->SetBounds(304, 37, 80, 23);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);
    CancelButton->SetTabOrder(6);
    ReadOnlyCheck = new TCheckBox(this);
    ReadOnlyCheck->SetName("ReadOnlyCheck");
    ReadOnlyCheck->SetCaption(Texts::ReadOnly);
    ReadOnlyCheck->SetBounds(304, 112, 84, 17);
    ReadOnlyCheck->SetTabOrder(7);

    // The drive box opens drives in the folder list, which lists its folder in the file list
    // and that list takes the filter's mask.
    DriveCombo->SetDirList(DirList);
    DirList->SetFileList(FileList);
    FilterCombo->SetFileList(FileList);
    FolderLabel->SetCaption(DirList->Directory());

    OKButton->OnClick = [this](TObject* s) { OKButtonClick(s); };
    FileList->OnChange = [this](TObject* s) { FileListChange(s); };
    FileList->OnDblClick = [this](TObject* s) { FileListDblClick(s); };
    DirList->OnChange = [this](TObject* s) { DirListChange(s); };
    FilterCombo->OnChange = [this](TObject* s) { FilterComboChange(s); };
    showMask();
}

void TFileDialogForm::ProposeName(const std::string& name) {
    FileNameEdit->SetText(name);
    FileNameEdit->SelectAll();
}

int TFileDialogForm::AddRoomRight(int width) {
    const int left = ClientWidth();
    SetClientWidth(left + width);
    return left;
}

void TFileDialogForm::showMask() {
    ProposeName(FileList->Mask());
}

void TFileDialogForm::OKButtonClick(TObject*) {
    if (accept(FileNameEdit->Text())) {
        SetModalResult(mrOk);
        return;
    }
    // Whatever kept the window open, the name is ready to be typed over.
    FileNameEdit->SetFocus();
    FileNameEdit->SelectAll();
}

void TFileDialogForm::FileListChange(TObject*) {
    const int index = FileList->ItemIndex();
    if (index >= 0)
        ProposeName(FileList->Items()[index]);
    if (OnSelectionChange)
        OnSelectionChange(FileList->FileName());
}

void TFileDialogForm::FileListDblClick(TObject* Sender) {
    if (FileList->ItemIndex() >= 0)
        OKButtonClick(Sender);
}

void TFileDialogForm::DirListChange(TObject*) {
    FolderLabel->SetCaption(DirList->Directory());
}

void TFileDialogForm::FilterComboChange(TObject*) {
    const std::string text = trimmed(FileNameEdit->Text());
    if (text.empty() || hasWildcard(text))
        showMask();
}

bool TFileDialogForm::accept(const std::string& typed) {
    const std::string text = trimmed(typed);
    if (text.empty())
        return false;
    const win::UINT warning = win::MB_OK | win::MB_ICONWARNING;
    if (hasWildcard(text)) {
        // A mask, perhaps after a folder: open the folder, then list by the mask.
        const std::string mask = lastComponent(text);
        const std::string folder = text.substr(0, text.size() - mask.size());
        if (!folder.empty() && !DirList->SetDirectory(FileDialogFullPath(folder, DirList->Directory()))) {
            const std::string message = folder + "\n" + win::SysErrorMessage(win::ERROR_PATH_NOT_FOUND);
            win::MessageBoxA(Handle(), message.c_str(), Caption().c_str(), warning);
            return false;
        }
        FileList->SetMask(mask);
        ProposeName(mask);
        return false;
    }
    const std::string full = FileDialogFullPath(text, DirList->Directory());
    if (win::DirectoryExists(full)) {
        if (DirList->SetDirectory(full))
            showMask();
        return false;
    }
    if (!win::IsValidFileName(lastComponent(full))) {
        const std::string message = text + "\n" + win::SysErrorMessage(win::ERROR_INVALID_NAME);
        win::MessageBoxA(Handle(), message.c_str(), Caption().c_str(), warning);
        return false;
    }
    // What the caller reads the name into holds 259 characters and the 0 byte.
    if (full.size() >= win::MAX_PATH) {
        const std::string message = text + "\n" + win::SysErrorMessage(win::ERROR_FILENAME_EXCED_RANGE);
        win::MessageBoxA(Handle(), message.c_str(), Caption().c_str(), warning);
        return false;
    }
    if (m_overwritePrompt && win::FileExists(full)) {
        const std::string question = full + Texts::AlreadyExists;
        if (win::MessageBoxA(Handle(), question.c_str(), Caption().c_str(),
                             win::MB_YESNO | win::MB_ICONWARNING) != win::IDYES)
            return false;
    }
    m_fileName = full;
    return true;
}

} // namespace vcl
