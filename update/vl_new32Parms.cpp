#include "vl_new32Parms.h"

#include <runtime/SysUtils.h>
#include <windows/Windows.h>

namespace VL_NEW32 {

namespace {

bool isTak(const std::string& value) {
    return rtl::UpperCase(value) == "TAK";
}

} // namespace

const THostProduct* DetectHostProduct(TIniFile& ini, const std::string& programFolder) {
    for (const char* name : kHostIniNames) {
        TMyFile probe;
        probe.SetPath(programFolder, name);
        if (!win::FileExists(probe.FileName))
            continue;
        ini.MyFile->SetPath(programFolder, name);
        const THostProduct* any = HostProductFor(name, "");
        const std::string value = rtl::UpperCase(ini.ReadString("Program", any->Key));
        return HostProductFor(name, value);
    }
    return nullptr;
}

void ReadFTPParms(TIniFile& ini, TFTPParms& parms) {
    parms.Host = ini.ReadString("FTP", "Host");
    parms.HostPort = ini.ReadString("FTP", "HostPort");
    parms.UseProxy = isTak(ini.ReadString("FTP", "UseProxy"));
    if (parms.UseProxy) {
        parms.Proxy = ini.ReadString("FTP", "Proxy");
        parms.ProxyPort = ini.ReadString("FTP", "ProxyPort");
    }
    parms.Velt = isTak(ini.ReadString("FTP", "Velt"));
}

void SaveFTPParms(TIniFile& ini, const TFTPParms& parms) {
    ini.WriteString("FTP", "Host", parms.Host);
    ini.WriteString("FTP", "HostPort", parms.HostPort);
    if (parms.UseProxy) {
        ini.WriteString("FTP", "UseProxy", "Tak");
        ini.WriteString("FTP", "Proxy", parms.Proxy);
        ini.WriteString("FTP", "ProxyPort", parms.ProxyPort);
    } else {
        ini.WriteString("FTP", "UseProxy", "Nie");
        ini.WriteString("FTP", "Proxy", "");
        ini.WriteString("FTP", "ProxyPort", "");
    }
}

} // namespace VL_NEW32
