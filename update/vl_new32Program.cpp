#include "vl_new32Program.h"

namespace VL_NEW32 {

std::string TProgram::ReadInfo(TIniFile& ini) {
    const std::string wersja = ini.ReadString("Program", "Wersja");
    const std::string wydanie = ini.ReadString("Program", "Wydanie");
    const std::string wydanieDod = ini.ReadString("Program", "Wydanie_Dod");
    Description = "wersja: " + wersja + " , wyd. " + wydanie + wydanieDod;
    LastUpd = ini.ReadString("Program", "LastUpd");
    if (!LastUpd.empty()) {
        ParseLastUpd();
    } else {
        // A record without a date counts as published at the start of 2000.
        LastUpd = "2000/01/01";
        ParseLastUpd();
        LastUpd = "?";
    }
    Description += ", " + LastUpd;
    return Description;
}

void TProgram::ParseLastUpd() {
    Date = rtl::StrToDate(LastUpd, "yy/mm/dd", '/');
    LastUpd = rtl::FormatDateTime("dd/mm/yy", Date);
}

} // namespace VL_NEW32
