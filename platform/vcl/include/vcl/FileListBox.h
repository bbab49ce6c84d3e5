#pragma once

// A list box of the file names (names only) in one folder that match a mask, kept sorted
// with letter case ignored. The entries come from the Windows layer's attribute-filtered
// search; with the default FileType {ftNormal} it lists plain files, read-only and archived
// ones included, and leaves out folders, hidden files, system files and volume labels.
// It starts in the process's current folder.
//
// Notifications, as the platform's file list gives them: OnClick on every click on an entry
// (also the one already selected) and when a navigation key selects one; OnChange after it
// whenever the selection differs from the one last notified, so a new selection by the user
// raises both. Every new listing (folder, mask or file type changed, Update, the list first
// shown) raises OnChange with nothing selected. A selection the program makes raises OnChange.

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

    // File icons beside the names.
    bool ShowGlyphs() const { return m_showGlyphs; }
    void SetShowGlyphs(bool value);

    // The selected entry's full path (folder, backslash unless the folder ends in one, name),
    // or "" when nothing is selected.
    std::string FileName() const;

    // Lists the folder again.
    void Update();

    TNotifyEvent OnChange;

  protected:
    void SelectionChanged() override;
    void ItemClick() override;
    // Raises OnChange and remembers the selection it told of.
    virtual void Change();

  private:
    bool fill(const std::string& folder);

    std::string m_directory;
    std::string m_mask = "*.*";
    TFileType m_fileType{ftNormal};
    bool m_showGlyphs = false;
    int m_lastSelection = -1;
};

} // namespace vcl
