// Version query and clocks.

#include "WinInternal.h"

#include <cstring>
#include <ctime>

namespace win {

// The layer offers the services of the NT family (Unicode-capable file system names, sharing
// modes, the registry's NT layout), so it answers as an NT system: Windows XP, 5.1 build 2600.
BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (!info)
        return detail::fail(ERROR_INVALID_PARAMETER, FALSE);
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return detail::fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL QueryPerformanceFrequency(std::int64_t* frequency) {
    if (!frequency)
        return detail::fail(ERROR_INVALID_PARAMETER, FALSE);
    *frequency = 1000000000;
    return TRUE;
}

BOOL QueryPerformanceCounter(std::int64_t* count) {
    if (!count)
        return detail::fail(ERROR_INVALID_PARAMETER, FALSE);
    timespec ts;
    if (::clock_gettime(CLOCK_MONOTONIC, &ts) != 0)
        return detail::fail(ERROR_INVALID_FUNCTION, FALSE);
    *count = static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    return TRUE;
}

DWORD GetTickCount() {
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000 + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000;
    return static_cast<DWORD>(ms);
}

} // namespace win
