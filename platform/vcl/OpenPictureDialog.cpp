#include <vcl/OpenPictureDialog.h>

#include <vcl/FileDialogForm.h>
#include <vcl/PicturePreviewPanel.h>

namespace vcl {

void TOpenPictureDialog::ExtendForm(TFileDialogForm& form) {
    const int left = form.AddRoomRight(152);
    m_panel = new TPicturePreviewPanel(&form);
    m_panel->SetName("PreviewPanel");
    m_panel->SetBounds(left, 4, 144, form.ClientHeight() - 8);
    m_panel->SetTabOrder(8);
    form.OnSelectionChange = [this](const std::string& path) {
        if (m_panel)
            m_panel->ShowFile(path);
    };
}

void TOpenPictureDialog::FormClosing(TFileDialogForm& form) {
    form.OnSelectionChange = nullptr;
    m_panel = nullptr;
}

} // namespace vcl
