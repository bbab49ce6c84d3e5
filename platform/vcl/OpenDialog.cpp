#include <vcl/OpenDialog.h>

#include <vcl/Application.h>
#include <vcl/CheckBox.h>
#include <vcl/DirectoryListBox.h>
#include <vcl/Edit.h>
#include <vcl/FileDialogForm.h>
#include <vcl/FileDialogTexts.h>
#include <vcl/FilterComboBox.h>

#include <windows/Windows.h>

#include <algorithm>
#include <memory>

namespace vcl {

namespace {

// The folder a chosen file lies in ("C:\" for a file in a drive's root).
std::string folderOf(const std::string& path) {
    const std::size_t at = path.find_last_of('\\');
    if (at == std::string::npos)
        return {};
    const bool root = at == 2 && path[1] == ':';
    return path.substr(0, root ? at + 1 : at);
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

TOpenDialog::~TOpenDialog() = default;

const char* TOpenDialog::DefaultTitle() const {
    return FileDialogTexts::OpenTitle;
}

void TOpenDialog::ExtendForm(TFileDialogForm&) {}

void TOpenDialog::FormClosing(TFileDialogForm&) {}

bool TOpenDialog::Execute() {
    const std::string before = win::GetCurrentDirectory();
    auto form = std::make_unique<TFileDialogForm>(nullptr, SaveKind() ? TFileDialogForm::TKind::Save
                                                                      : TFileDialogForm::TKind::Open);
    form->AfterConstruction();
    form->SetCaption(m_title.empty() ? DefaultTitle() : m_title);
    form->SetOverwritePrompt(m_options.Contains(ofOverwritePrompt));
    form->ReadOnlyCheck->SetVisible(!m_options.Contains(ofHideReadOnly));
    form->ReadOnlyCheck->SetChecked(m_options.Contains(ofReadOnly));
    form->FilterCombo->SetFilter(m_filter);
    form->FilterCombo->SetItemIndex(
        std::clamp(m_filterIndex - 1, 0, std::max(0, form->FilterCombo->Count() - 1)));
    if (!m_initialDir.empty())
        form->DirList->SetDirectory(FileDialogFullPath(m_initialDir, form->DirList->Directory()));
    // A proposed name with a folder opens that folder, as far as it exists.
    std::string proposed = m_fileName;
    if (const std::size_t at = proposed.find_last_of("\\/:"); at != std::string::npos) {
        const std::string folder = FileDialogFullPath(proposed.substr(0, at + 1), form->DirList->Directory());
        if (form->DirList->SetDirectory(folder))
            proposed = proposed.substr(at + 1);
    }
    if (!proposed.empty())
        form->ProposeName(proposed);
    ExtendForm(*form);
    TFileDialogForm* window = form.get();
    form->OnShow = [this, window](TObject*) {
        window->FileNameEdit->SetFocus();
        Fire(OnShow, this);
    };

    m_form = form.get();
    const bool chosen = form->ShowModal() == mrOk;
    FormClosing(*form);
    m_form = nullptr;
    if (chosen) {
        m_fileName = form->FileName();
        if (form->ReadOnlyCheck->Checked())
            m_options << ofReadOnly;
        else
            m_options >> ofReadOnly;
    }
    form.reset();
    if (m_options.Contains(ofNoChangeDir))
        win::SetCurrentDirectoryA(before.c_str());
    else if (chosen)
        win::SetCurrentDirectoryA(folderOf(m_fileName).c_str());
    Fire(OnClose, this);
    return chosen;
}

} // namespace vcl
