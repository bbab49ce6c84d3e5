#pragma once

// The open dialog: a modal window of the toolkit's own controls (TFileDialogForm) that asks
// for one file. Execute shows it and returns true when the user chose a file; FileName is
// then its full path in Windows form, at most 259 characters.
//
//     TOpenDialog dialog(nullptr);
//     dialog.SetTitle("Wczytaj"_w);
//     dialog.SetFilter("Teksty (*.txt)|*.txt|Wszystkie|*.*"_w);
//     if (dialog.Execute()) use(dialog.FileName());
//
// The process's current folder follows the folder list while the window is open and is the
// chosen file's folder after OK, unless ofNoChangeDir puts the earlier one back.

#include <vcl/Component.h>
#include <vcl/Types.h>

#include <string>

namespace vcl {

class TFileDialogForm;

enum TOpenOption {
    ofReadOnly,        // the read-only check box is (was) ticked
    ofOverwritePrompt, // an existing file is chosen only after "Yes"
    ofHideReadOnly,    // no read-only check box
    ofNoChangeDir,     // the current folder is put back when the dialog closes
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
  public:
    explicit TOpenDialog(TComponent* owner);
    ~TOpenDialog() override;

    // The window title; empty gives the platform's own ("Open", "Save As").
    const std::string& Title() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }
    // "Description|mask|..." with ";" between the masks of one entry (TFilterComboBox).
    const std::string& Filter() const { return m_filter; }
    void SetFilter(const std::string& filter) { m_filter = filter; }
    // The entry selected when the window opens, counted from 1.
    int FilterIndex() const { return m_filterIndex; }
    void SetFilterIndex(int index) { m_filterIndex = index; }
    // The folder the window opens in; empty or one that cannot be opened: the current folder.
    const std::string& InitialDir() const { return m_initialDir; }
    void SetInitialDir(const std::string& folder) { m_initialDir = folder; }
    // Before Execute the proposed name, after it the chosen file's full path.
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& name) { m_fileName = name; }
    TOpenOptions Options() const { return m_options; }
    void SetOptions(TOpenOptions options) { m_options = options; }

    // Shows the window modally; true when the user chose a file.
    virtual bool Execute();

    // The window while Execute runs, else nullptr (for handlers and tests).
    TFileDialogForm* Form() const { return m_form; }

    // Raised when the window has opened, before the user acts.
    TNotifyEvent OnShow;
    // Raised after the window has closed.
    TNotifyEvent OnClose;

  protected:
    // Which window this dialog shows.
    virtual bool SaveKind() const { return false; }
    virtual const char* DefaultTitle() const;
    // Adds what a derived dialog shows beside the file controls.
    virtual void ExtendForm(TFileDialogForm& form);
    // The window is about to be taken down.
    virtual void FormClosing(TFileDialogForm& form);

  private:
    std::string m_title, m_filter, m_initialDir, m_fileName;
    int m_filterIndex = 1;
    TOpenOptions m_options{ofHideReadOnly};
    TFileDialogForm* m_form = nullptr;
};

} // namespace vcl
