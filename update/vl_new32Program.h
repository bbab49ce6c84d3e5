#pragma once

// The version record of one product (the installed one, or the one the news information file
// publishes), read from section Program of an INI-form file. Part of the main window's module.

#include "vl_fls32.h"

#include <runtime/DateTime.h>

#include <string>

namespace VL_NEW32 {

class TProgram {
  public:
    // Reads Wersja, Wydanie, Wydanie_Dod and LastUpd from section Program and builds
    // "wersja: <Wersja> , wyd. <Wydanie><Wydanie_Dod>, <LastUpd as dd/mm/yy>" (or "?" with the
    // date 1 January 2000 when LastUpd is empty). A LastUpd that is no date raises the
    // runtime's conversion error; Description then lacks the date part.
    std::string ReadInfo(TIniFile& ini);
    // LastUpd, read by the fixed pattern "yy/mm/dd", into Date; LastUpd becomes "dd/mm/yy".
    void ParseLastUpd();

    std::string Description;
    std::string LastUpd;
    rtl::TDateTime Date = 0;
};

} // namespace VL_NEW32
