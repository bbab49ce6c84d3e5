#pragma once

// The open dialog with a preview panel on its right (TPicturePreviewPanel): the file list's
// selected file shown as a picture when it loads as one.

#include <vcl/OpenDialog.h>

namespace vcl {

class TPicturePreviewPanel;

class TOpenPictureDialog : public TOpenDialog {
  public:
    explicit TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {}

    // The panel while Execute runs, else nullptr.
    TPicturePreviewPanel* PreviewPanel() const { return m_panel; }

  protected:
    void ExtendForm(TFileDialogForm& form) override;
    void FormClosing(TFileDialogForm& form) override;

  private:
    TPicturePreviewPanel* m_panel = nullptr;
};

} // namespace vcl
