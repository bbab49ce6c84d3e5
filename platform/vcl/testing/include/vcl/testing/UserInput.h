#pragma once

// Test support: input sent to controls as a user gives it (key press and release through
// Qt's event delivery, shortcuts and mnemonics included; mouse press and release at a point),
// waiting for the window system, and screenshots.

#include <vcl/Form.h>
#include <vcl/ListBox.h>
#include <vcl/Types.h>

#include <functional>
#include <string>
#include <vector>

namespace vcl::testing {

// Presses and releases `key` (a virtual-key code) on the control, with the modifiers held.
void PressKey(TWinControl& control, WORD key, TShiftState shift = {});
// The same on whatever has the focus in the form (the form itself when nothing has).
void PressKeyOn(TForm& form, WORD key, TShiftState shift = {});
// Types Windows-1250 text into the focused control of the form.
void TypeText(TForm& form, const std::string& text);

// Left mouse click at the control's centre, or at (x, y) in its client coordinates.
void ClickControl(TControl& control);
void ClickAt(TControl& control, int x, int y);
// Clicks the middle of line `row` of a list, as the user does.
void ClickListLine(TListBox& list, int row);
// The lines of a list, in the order shown.
std::vector<std::string> ListLines(const TListBox& list);
// The close box of a form's title bar (the window manager's close request).
void ClickCloseBox(TForm& form);

// Processes messages until `done` holds or `timeoutMs` passed; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Processes messages for `ms` milliseconds.
void ProcessMessagesFor(int ms);
// Shows the form and waits until the window system reports it exposed and active.
bool ShowAndWait(TForm& form, int timeoutMs = 5000);

// Saves a picture of the control (a form: its client area with every child) as a PNG file at
// the host path; false when it could not be written.
bool SaveScreenshot(TControl& control, const std::string& hostPath);

} // namespace vcl::testing
