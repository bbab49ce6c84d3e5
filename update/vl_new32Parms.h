#pragma once

// What the window's settings tab holds, where it comes from and where it goes: the built-in
// FTP defaults, the product detection in the program folder and section FTP of vl_new32.ini.
// Part of the main window's module; the window moves these values into and out of its edits.

#include "vl_fls32.h"
#include "vl_new32Hosts.h"

#include <string>

namespace VL_NEW32 {

// The maker's FTP server and contact mailbox; both under the reserved .example domain, so no
// third party is ever contacted.
inline constexpr const char* kDefaultHost = "ftp.velt.example";
inline constexpr const char* kDefaultUser = "anonymous";
inline constexpr const char* kDefaultPassword = "biuro@velt.example";
inline constexpr const char* kDefaultPort = "21";
inline constexpr const char* kSettingsName = "vl_new32.ini";

struct TFTPParms {
    std::string Host = kDefaultHost;
    std::string HostPort = kDefaultPort;
    bool UseProxy = false;
    std::string Proxy;
    std::string ProxyPort;
    bool Velt = false; // "VELT Test" shown
};

// Probes orv.ini, tal.ini and corvale.ini in the program folder, in that order, pointing `ini`
// at each file that exists and reading its key; the first file found decides. nullptr (and
// `ini` untouched) when the folder holds none of them.
const THostProduct* DetectHostProduct(TIniFile& ini, const std::string& programFolder);

// Section FTP of the file `ini` names: Host, HostPort and UseProxy replace the values (a missing
// key reads as ""); Proxy and ProxyPort only when UseProxy is "TAK" in any letter case; Velt.
void ReadFTPParms(TIniFile& ini, TFTPParms& parms);

// Writes Host, HostPort, UseProxy ("Tak"/"Nie"), Proxy and ProxyPort (empty without a proxy)
// into section FTP, unchecked; Velt is never written. Results of the writes are not looked at:
// an object with no path writes nothing anywhere.
void SaveFTPParms(TIniFile& ini, const TFTPParms& parms);

} // namespace VL_NEW32
