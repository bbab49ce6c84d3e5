// The platform's rule for the name of a new file or folder.

#include "WinInternal.h"

#include <runtime/SysUtils.h>

#include <algorithm>
#include <array>

namespace win {

namespace {

// Names the platform keeps for its devices, with or without an extension.
bool isDeviceName(std::string_view name) {
    const std::string upper = rtl::UpperCase(rtl::TrimRightOf(name.substr(0, name.find('.')), " "));
    static constexpr std::array<std::string_view, 4> kFixed = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kFixed.begin(), kFixed.end(), upper) != kFixed.end())
        return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
           upper[3] <= '9';
}

} // namespace

namespace detail {

std::string_view lastComponent(std::string_view windowsPath) {
    const std::size_t cut = windowsPath.find_last_of("\\/");
    if (cut != std::string_view::npos)
        return windowsPath.substr(cut + 1);
    if (windowsPath.size() >= 2 && windowsPath[1] == ':')
        return windowsPath.substr(2);
    return windowsPath;
}

std::string_view withoutTrailingDotsAndBlanks(std::string_view name) {
    return rtl::TrimRightOf(name, ". ");
}

DWORD checkNewName(std::string_view windowsPath) {
    return IsValidFileName(lastComponent(windowsPath)) ? ERROR_SUCCESS : ERROR_INVALID_NAME;
}

} // namespace detail

bool IsValidFileName(std::string_view name) {
    name = detail::withoutTrailingDotsAndBlanks(name);
    if (name.empty())
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return false;
    return !isDeviceName(name);
}

std::string HostPathForNewFile(std::string_view windowsPath) {
    if (windowsPath.empty())
        return detail::fail(ERROR_PATH_NOT_FOUND, std::string());
    if (DWORD bad = detail::checkNewName(windowsPath))
        return detail::fail(bad, std::string());
    detail::Resolved r = detail::resolve(windowsPath);
    if (r.badPath)
        return detail::fail(r.badPath, std::string());
    SetLastError(ERROR_SUCCESS);
    return r.host;
}

} // namespace win
