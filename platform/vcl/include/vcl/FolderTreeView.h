#pragma once

// The shell's folder tree: one top item for the root folder, or one per drive of the Windows
// layer's drive table when there is no root, each opening onto its subfolders (read when the
// item is first opened). Only file-system folders are listed: files, hidden and system folders
// are left out. Paths are in Windows form, through the Windows layer.

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TFolderTreeView : public TWinControl {
  public:
    explicit TFolderTreeView(TComponent* owner);

    // The root folder, or "" while the tree shows the drives.
    const std::string& Root() const { return m_root; }
    // Makes the existing folder named by a full path ("C:\Data", "C:\", "C:") the one top
    // item, opened and selected. An empty text, a relative path or one that names no folder
    // shows the drives instead, nothing selected, and gives false (unless it was empty).
    bool SetRoot(const std::string& folder);

    // The selected item's folder, or "" when nothing is selected.
    std::string SelectedFolder() const;
    // Selects the item of `folder`, opening the items above it; false when the folder is
    // missing or lies outside the tree.
    bool SelectFolder(const std::string& folder);

    // The top items and their texts (a drive shows as its host folder's name and the letter,
    // "/ (C:)"; a folder as its name).
    int TopCount() const;
    std::string TopText(int index) const;

    // Raised when the selection changes.
    TNotifyEvent OnChange;

  private:
    void fillTop();
    std::string m_root;
};

} // namespace vcl
