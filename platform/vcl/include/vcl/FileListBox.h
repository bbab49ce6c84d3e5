#pragma once

// A list box of the file names (names only) in one folder that match a mask, kept sorted
// with letter case ignored. The entries come from the Windows layer's attribute-filtered
// search; with the default FileType {ftNormal} it lists plain files, read-only and archived
// ones included, and leaves out folders, hidden files, system files and volume labels.
// It starts in the process's current folder.

#include <vcl/ListBox.h>

#include <string>

namespace vcl {

class TFileListBox : public TListBox {
  public:
    explicit TFileListBox(TComponent* owner);

    // The folder listed, in Windows form.
    const std::string& Directory() const { return m_directory; }
    // Lists `folder`. A folder that cannot be entered (missing, not a folder, no access)
    // leaves Directory and the list as they were and gives false.
    bool SetDirectory(const std::string& folder);

    // One mask or several joined by ";" ("*.bmp;*.jpg"); DOS wildcards, letter case ignored.
    const std::string& Mask() const { return m_mask; }
    void SetMask(const std::string& mask);

    TFileType FileType() const { return m_fileType; }
    void SetFileType(TFileType type);

    // The selected entry's full path (folder, backslash unless the folder ends in one, name),
    // or "" when nothing is selected.
    std::string FileName() const;

    // Lists the folder again.
    void Update();

    // Raised when the selected entry changes (by the user, by code or by a new listing).
    TNotifyEvent OnChange;

  protected:
    void SelectionChanged() override;

  private:
    bool fill(const std::string& folder);

    std::string m_directory;
    std::string m_mask = "*.*";
    TFileType m_fileType{ftNormal};
};

} // namespace vcl
