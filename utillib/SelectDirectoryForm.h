#pragma once

// The library's own directory dialog, "Select Directory": the folder's path in an edit above
// the folder list, the files of the folder in grey beside it, the drive box below them, and
// "OK" (default), "Cancel" and "&Help". Opening a folder in the list makes it the process's
// current folder at once; nothing puts the earlier one back. "OK" on a folder that does not
// exist asks "Confirm": "&No" keeps the dialog open.

#include <vcl/Button.h>
#include <vcl/DirectoryListBox.h>
#include <vcl/DriveComboBox.h>
#include <vcl/Edit.h>
#include <vcl/FileListBox.h>
#include <vcl/Form.h>
#include <vcl/Label.h>

#include <string>

namespace VL_LIB32 {

// The dialog's size at 96 dots per inch; at another density every length is scaled by it.
inline constexpr int SelectDirectoryWidth = 424, SelectDirectoryHeight = 255;
// The help topic "&Help" asks for.
inline constexpr int SelectDirectoryHelpTopic = 1000;

// A length designed at 96 dots per inch, at `dpi` (rounded to the nearest pixel).
int ScaledLength(int length, int dpi);
// `dir` as a full path against the current folder `current` ("C:\Work"): "C:\x" stays,
// "\x" takes the current drive, "D:x" lies in D:'s root unless D: is the current drive, and a
// relative path lies in `current`.
std::string FullFolderPath(const std::string& dir, const std::string& current);

class TSelectDirectoryForm : public vcl::TForm {
  public:
    explicit TSelectDirectoryForm(vcl::TComponent* owner);

    // Opens the start folder: `initialDir` expanded against the current folder, on its drive;
    // when that cannot be opened, the current folder as it is then. An empty text, or a path
    // without a drive letter, leaves the dialog at the current folder.
    void OpenStartFolder(const std::string& initialDir);
    // The text of the edit: the folder the user chose or typed.
    std::string Directory() const { return DirEdit->Text(); }

    vcl::TLabel* DirLabel;
    vcl::TEdit* DirEdit;
    vcl::TLabel* DirListLabel;
    vcl::TDirectoryListBox* DirList;
    vcl::TLabel* FileListLabel;
    vcl::TFileListBox* FileList;
    vcl::TLabel* DriveLabel;
    vcl::TDriveComboBox* DriveList;
    vcl::TButton* NetButton;
    vcl::TButton* OKButton;
    vcl::TButton* CancelButton;
    vcl::TButton* HelpButton;

    void DirListChange(vcl::TObject* Sender);
    void OKButtonClick(vcl::TObject* Sender);
    void HelpButtonClick(vcl::TObject* Sender);

  private:
    int m_dpi;
    int scaled(int length) const { return ScaledLength(length, m_dpi); }
    template <class C> C* place(C* control, const char* name, int left, int top, int width, int height);
};

} // namespace VL_LIB32
