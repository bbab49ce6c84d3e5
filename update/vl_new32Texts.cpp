#include "vl_new32Texts.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>

#include <algorithm>

using rtl::operator""_w;

namespace VL_NEW32 {

namespace {

constexpr const char* kOperations[] = {"ChangeDir", "MakeDir", "Delete",        "RemoveDir",
                                       "List",      "Rename",  "UploadRestore", "DownloadRestore",
                                       "Download",  "Upload",  "UploadAppend",  "ReInit",
                                       "Allocate",  "NList",   "DoCommand"};
constexpr int kDownload = 8;

} // namespace

std::optional<std::string> OperationText(int transType, TOutcome outcome) {
    if (transType < 0 || transType > 14)
        return std::nullopt;
    if (transType == kDownload && outcome == TOutcome::Success)
        return "Zakończono pobieranie"_w;
    if (transType == kDownload && outcome == TOutcome::Failure)
        return "Błąd pobierania pliku"_w;
    const std::string name = kOperations[transType];
    switch (outcome) {
    case TOutcome::Success:
        return name + " success";
    case TOutcome::Failure:
        return name + " failure";
    case TOutcome::Unsupported:
        break;
    }
    return name + " unsupported";
}

std::string ProgressText(std::int64_t count, std::int64_t total) {
    return rtl::IntToStr(count) + " z " + rtl::IntToStr(total);
}

std::string ErrorBoxText(std::uint16_t errorNumber, const std::string& message) {
    std::string text = "Error " + rtl::IntToStr(errorNumber) + ": " + message;
    if (text.size() > 255)
        text.resize(255);
    return text;
}

std::string HostProgramCaption(const std::string& hostDescription) {
    return "\nTwój program:\n "_w + hostDescription;
}

std::string ProgramsCaption(const std::string& hostDescription, const std::string& newsDescription) {
    return "\nTwój program:\n "_w + hostDescription + "\n" + "\n" + "\n" + " Aktualny program:" + "\n" + " " +
           newsDescription;
}

std::string UpdateAdvice() {
    return "\nZaktualizuj program!\nInformacje o aktualizacji znajdziesz w internecie:\n\n" +
           std::string(kWebHost) + "/serwis/";
}

std::string NoUpdateNeeded() {
    return "Aktualizacja niepotrzebna";
}

} // namespace VL_NEW32
