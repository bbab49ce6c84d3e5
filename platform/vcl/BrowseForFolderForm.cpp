#include <vcl/BrowseForFolderForm.h>

#include <vcl/Button.h>
#include <vcl/FolderTreeView.h>
#include <vcl/Label.h>

namespace vcl {

TBrowseForFolderForm::TBrowseForFolderForm(TComponent* owner, const std::string& text, const std::string& root)
    : TForm(owner) {
    SetCaption("Browse for Folder");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(310);
    SetClientHeight(297);

    TextLabel = new TLabel(this);
    TextLabel->SetParent(this);
    TextLabel->SetName("TextLabel");
    TextLabel->SetAutoSize(false);
    TextLabel->SetWordWrap(true);
    TextLabel->SetShowAccelChar(false);
    TextLabel->SetBounds(12, 10, 286, 28);
    TextLabel->SetCaption(text);

    Tree = new TFolderTreeView(this);
    Tree->SetParent(this);
    Tree->SetName("Tree");
    Tree->SetBounds(12, 44, 286, 206);
    Tree->SetRoot(root);

    OkButton = new TButton(this);
    OkButton->SetParent(this);
    OkButton->SetName("OkButton");
    OkButton->SetCaption("OK");
    OkButton->SetBounds(142, 262, 75, 23);
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrOk);

    CancelButton = new TButton(this);
    CancelButton->SetParent(this);
    CancelButton->SetName("CancelButton");
    CancelButton->SetCaption("Cancel");
    CancelButton->SetBounds(223, 262, 75, 23);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);

    Tree->OnChange = [this](TObject* s) { TreeChange(s); };
    TreeChange(Tree);
    OnShow = [this](TObject*) { Tree->SetFocus(); };
    AfterConstruction();
}

std::string TBrowseForFolderForm::Folder() const {
    return Tree->SelectedFolder();
}

void TBrowseForFolderForm::TreeChange(TObject*) {
    OkButton->SetEnabled(!Tree->SelectedFolder().empty());
}

} // namespace vcl
