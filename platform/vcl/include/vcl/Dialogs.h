#pragma once

// The toolkit's simple message dialog: the text and an OK button, captioned with the
// application's title, waiting until the user closes it. (Message boxes with other buttons:
// win::MessageBoxA and Application->MessageBox.)

#include <string>

namespace vcl {

void ShowMessage(const std::string& message);

} // namespace vcl
