#include <vcl/SaveDialog.h>

#include <vcl/FileDialogTexts.h>

namespace vcl {

const char* TSaveDialog::DefaultTitle() const {
    return FileDialogTexts::SaveTitle;
}

} // namespace vcl
