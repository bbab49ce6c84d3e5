#pragma once

// The process's error mode: which system error boxes the platform may show for a failing
// device (an empty drive) or file. Linux shows no such boxes, so the mode changes nothing here;
// it is kept for the process so that code that sets it for a while and puts the old one back
// reads the mode it left.

#include <windows/Windows.h>

namespace win {

inline constexpr UINT SEM_FAILCRITICALERRORS = 0x0001, SEM_NOGPFAULTERRORBOX = 0x0002,
                      SEM_NOALIGNMENTFAULTEXCEPT = 0x0004, SEM_NOOPENFILEERRORBOX = 0x8000;

// Sets the process's error mode and returns the one it replaces.
UINT SetErrorMode(UINT mode);
// The process's error mode.
UINT GetErrorMode();

} // namespace win
