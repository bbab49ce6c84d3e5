#pragma once

// The drive selector: the drives of the Windows layer's drive table ("c: [/]", the letter and
// the last part of its host folder), with an icon for the drive's kind. It starts on the
// current folder's drive. Linked to a folder list, it sets that list's drive and follows the
// list when the list moves to another drive.

#include <vcl/CustomComboBox.h>

#include <string>
#include <vector>

namespace vcl {

class TDirectoryListBox;

class TDriveComboBox : public TCustomComboBox {
  public:
    explicit TDriveComboBox(TComponent* owner);
    ~TDriveComboBox() override;

    // The selected drive's letter (upper case), or 0 when the table names none of the folder.
    char Drive() const;
    // Selects the drive; the linked folder list opens it. A letter the table lacks, or a drive
    // the list cannot open, leaves the selection as it was and gives false.
    bool SetDrive(char letter);

    // The listed drives, in letter order, and the text each shows.
    const std::vector<char>& Drives() const { return m_drives; }
    std::string DriveText(int index) const;
    // Reads the drive table again.
    void Update();

    TDirectoryListBox* DirList() const { return m_dirList; }
    void SetDirList(TDirectoryListBox* list);

    // OnChange: raised when the selected drive changes.

  protected:
    void Picked(int index) override;

  private:
    friend class TDirectoryListBox;
    // The linked list moved to `letter`: show it without opening anything.
    void follow(char letter);
    void select(int index);

    std::vector<char> m_drives;
    char m_drive = 0; // the drive shown as chosen (the widget moves first when the user picks)
    TDirectoryListBox* m_dirList = nullptr;
};

} // namespace vcl
