#pragma once

// The shell's folder browser, "Browse for Folder": a text above a folder tree, "OK" (only
// while a folder is selected) and "Cancel" (also Esc and the close box). Shown with ShowModal:
//
//     TBrowseForFolderForm browser(nullptr, "Choose the data folder", "C:\\Data");
//     if (browser.ShowModal() == mrOk)
//         use(browser.Folder());

#include <vcl/Form.h>

#include <string>

namespace vcl {

class TButton;
class TFolderTreeView;
class TLabel;

class TBrowseForFolderForm : public TForm {
  public:
    // `text` stands above the tree; `root` as TFolderTreeView::SetRoot takes it (the drives of
    // the drive table when it is empty or names no folder).
    TBrowseForFolderForm(TComponent* owner, const std::string& text, const std::string& root);

    // The folder chosen (the selected one), in Windows form; "" when none is selected.
    std::string Folder() const;

    TLabel* TextLabel;
    TFolderTreeView* Tree;
    TButton* OkButton;
    TButton* CancelButton;

  private:
    void TreeChange(TObject* Sender);
};

} // namespace vcl
