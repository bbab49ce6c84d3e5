#pragma once

// The platform's message box, shown as a real modal Qt dialog. Texts are Windows-1250.
// Test support installs a hook that records each box and answers it in place of the user.

#include <cstdint>
#include <functional>

namespace win {

using HWND = std::uintptr_t;
using UINT = std::uint32_t;

inline constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
                      MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
                      MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
                      MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// Shows `text` under `caption` with the buttons and icon of `type`; returns the button pressed.
// An owner of 0 gives a box without owner window.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// While set, every box (MessageBoxA, Application->MessageBox, the default error dialog) is
// handed to the hook instead of being shown, and the hook's answer is returned.
using MessageBoxHook = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
// Installs `hook` (an empty one shows boxes again) and returns the hook it replaces.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

} // namespace win
