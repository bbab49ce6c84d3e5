#pragma once

// The host products the detector knows, by the INI file each keeps in the program folder, and
// the program folder itself. Part of the main window's module.

#include <string>
#include <string_view>

namespace VL_NEW32 {

struct THostProduct {
    const char* IniName;      // the file probed in the program folder
    const char* Key;          // its key in section Program
    const char* InfName;      // the news information file on the server
    const char* RtfName;      // the news text file on the server
    std::string_view Caption; // the window's caption (Windows-1250)
};

// The row for a product INI file and the upper-cased value of its key; nullptr for a file name
// that belongs to no product. A file that exists always yields a product, whatever its key holds.
const THostProduct* HostProductFor(const std::string& iniName, const std::string& upperValue);
// The product INI files in the order they are probed.
inline constexpr const char* kHostIniNames[] = {"orv.ini", "tal.ini", "corvale.ini"};

// The folder of the running program, up to and including the last "\" or ":" of the short
// form of its path; computed afresh on each call.
std::string ProgramFolder();

} // namespace VL_NEW32
