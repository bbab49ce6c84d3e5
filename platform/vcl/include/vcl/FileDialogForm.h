#pragma once

// The window of the open and save dialogs: the file name edit over the file list, the open
// folder over the folder list, the file-type filter, the drive box, OK and Cancel and the
// read-only check box. Not resizable. Opening a folder makes it the process's current folder,
// as the folder list does. A typed name is taken against the open folder:
//   - a name with "*" or "?" becomes the file list's mask (a folder before it is opened first);
//   - the name of a folder opens that folder;
//   - anything else, once it passes the name checks, is the chosen file (it need not exist;
//     with the overwrite prompt an existing one is chosen only after "Yes").
// The dialog (TOpenDialog) builds this window, shows it modally and reads FileName after OK.

#include <vcl/Form.h>

#include <functional>
#include <string>

namespace vcl {

class TButton;
class TCheckBox;
class TDirectoryListBox;
class TDriveComboBox;
class TEdit;
class TFileListBox;
class TFilterComboBox;
class TLabel;

class TFileDialogForm : public TForm {
  public:
    enum class TKind { Open, Save };

    TFileDialogForm(TComponent* owner, TKind kind);

    TKind Kind() const { return m_kind; }

    // Asked before a chosen file that exists is taken ("Yes" takes it).
    bool OverwritePrompt() const { return m_overwritePrompt; }
    void SetOverwritePrompt(bool value) { m_overwritePrompt = value; }

    // The chosen file's full path in Windows form, once OK took it.
    const std::string& FileName() const { return m_fileName; }

    // Puts a name in the edit, selected, as the user sees it when the window opens.
    void ProposeName(const std::string& name);
    // Widens the window by `width` pixels to the right of the buttons, for a panel of the
    // dialog's own; returns the left edge of the room made.
    int AddRoomRight(int width);

    TLabel* FileNameLabel = nullptr;
    TEdit* FileNameEdit = nullptr;
    TFileListBox* FileList = nullptr;
    TLabel* FoldersLabel = nullptr;
    TLabel* FolderLabel = nullptr; // the open folder
    TDirectoryListBox* DirList = nullptr;
    TLabel* TypeLabel = nullptr;
    TFilterComboBox* FilterCombo = nullptr;
    TLabel* DrivesLabel = nullptr;
    TDriveComboBox* DriveCombo = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;
    TCheckBox* ReadOnlyCheck = nullptr;

    // Raised with the selected file's full path ("" when none) whenever the file list's
    // selection changes, a new listing included.
    std::function<void(const std::string& path)> OnSelectionChange;

    void OKButtonClick(TObject* Sender);
    void FileListChange(TObject* Sender);
    void FileListDblClick(TObject* Sender);
    void DirListChange(TObject* Sender);
    void FilterComboChange(TObject* Sender);

  private:
    // True when the typed text chose a file (m_fileName set); false keeps the window open.
    bool accept(const std::string& typed);
    void showMask();

    TKind m_kind;
    bool m_overwritePrompt = false;
    std::string m_fileName;
};

// The full path, in Windows form, of a name typed in a file dialog whose open folder is
// `folder`: a drive path and a UNC path as they are, a path from the root ("\x") on the
// folder's drive, a drive with a relative name ("D:x") from that drive's root (the folder
// itself on its own drive), anything else below the folder; "/" read as "\", "." and ".."
// resolved, never above a root.
std::string FileDialogFullPath(const std::string& typed, const std::string& folder);

} // namespace vcl
