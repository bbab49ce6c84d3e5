#pragma once

// The folder list: the drive root, the folders down to the open folder (each a level further
// in, shown open) and the open folder's subfolders (shown closed), hidden and system folders
// left out. Enter or a double click opens the selected line's folder. Opening a folder makes
// it the process's current folder, lists it in the linked file list and shows its drive in the
// linked drive selector. It starts in the process's current folder.

#include <vcl/ListBox.h>

#include <string>
#include <vector>

namespace vcl {

class TDriveComboBox;
class TFileListBox;

class TDirectoryListBox : public TListBox {
  public:
    explicit TDirectoryListBox(TComponent* owner);
    ~TDirectoryListBox() override;

    // The open folder, in Windows form ("C:\Dane\Tapety"; a drive root keeps its backslash).
    const std::string& Directory() const { return m_directory; }
    // Opens `folder`. One that cannot be entered leaves everything as it was and gives false.
    bool SetDirectory(const std::string& folder);

    // The open folder's drive letter, 0 when the drive table names none of it.
    char Drive() const;
    // Opens the root of the drive (the layer keeps no current folder per drive); false when
    // it cannot be opened.
    bool SetDrive(char letter);

    // The folder a line stands for.
    std::string GetItemPath(int index) const;
    // Opens the selected line's folder.
    void OpenCurrent();
    // Lists the open folder again.
    void Update();

    // Enter opens a folder; it does not press the form's default button.
    bool WantsKey(WORD key, TShiftState shift) const override;

    TFileListBox* FileList() const { return m_fileList; }
    void SetFileList(TFileListBox* list);

    // Raised when another folder opens.
    TNotifyEvent OnChange;

  private:
    friend class TDriveComboBox;
    bool open(const std::string& folder, bool notify);

    std::string m_directory;
    std::vector<std::string> m_paths; // the folder of each line
    TFileListBox* m_fileList = nullptr;
    TDriveComboBox* m_driveCombo = nullptr;
};

} // namespace vcl
