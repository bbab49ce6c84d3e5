#pragma once

// The save dialog: the open dialog's window for a file to write ("Save As", "Save file as
// type:"). Nothing is written; with ofOverwritePrompt an existing file is chosen only after
// the user answers "Yes" to the toolkit's message box.

#include <vcl/OpenDialog.h>

namespace vcl {

class TSaveDialog : public TOpenDialog {
  public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

  protected:
    bool SaveKind() const override { return true; }
    const char* DefaultTitle() const override;
};

} // namespace vcl
