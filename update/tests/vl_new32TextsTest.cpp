// The status and box texts of a check, and the version display.

#include "vl_new32Texts.h"

#include <runtime/Cp1250.h>

#include <gtest/gtest.h>

using rtl::operator""_w;

namespace {

using namespace VL_NEW32;

TEST(OperationText, EveryCodeAndOutcome) {
    struct Case {
        int code;
        std::string success, failure, unsupported;
    } cases[] = {
        {0, "ChangeDir success", "ChangeDir failure", "ChangeDir unsupported"},
        {1, "MakeDir success", "MakeDir failure", "MakeDir unsupported"},
        {2, "Delete success", "Delete failure", "Delete unsupported"},
        {3, "RemoveDir success", "RemoveDir failure", "RemoveDir unsupported"},
        {4, "List success", "List failure", "List unsupported"},
        {5, "Rename success", "Rename failure", "Rename unsupported"},
        {6, "UploadRestore success", "UploadRestore failure", "UploadRestore unsupported"},
        {7, "DownloadRestore success", "DownloadRestore failure", "DownloadRestore unsupported"},
        {8, "Zakończono pobieranie"_w, "Błąd pobierania pliku"_w, "Download unsupported"},
        {9, "Upload success", "Upload failure", "Upload unsupported"},
        {10, "UploadAppend success", "UploadAppend failure", "UploadAppend unsupported"},
        {11, "ReInit success", "ReInit failure", "ReInit unsupported"},
        {12, "Allocate success", "Allocate failure", "Allocate unsupported"},
        {13, "NList success", "NList failure", "NList unsupported"},
        {14, "DoCommand success", "DoCommand failure", "DoCommand unsupported"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(OperationText(c.code, TOutcome::Success), c.success);
        EXPECT_EQ(OperationText(c.code, TOutcome::Failure), c.failure);
        EXPECT_EQ(OperationText(c.code, TOutcome::Unsupported), c.unsupported);
    }
    for (int code : {15, 255, -1})
        for (TOutcome o : {TOutcome::Success, TOutcome::Failure, TOutcome::Unsupported})
            EXPECT_FALSE(OperationText(code, o).has_value()) << code;
}

TEST(ProgressAndErrorTexts, PlainDigitsAndTheBoxBuffer) {
    EXPECT_EQ(ProgressText(2048, 10240), "2048 z 10240");
    EXPECT_EQ(ProgressText(1234567, 0), "1234567 z 0");
    EXPECT_EQ(ErrorBoxText(10060, "Connection timed out"), "Error 10060: Connection timed out");
    EXPECT_EQ(ErrorBoxText(65535, "x"), "Error 65535: x");
    const std::string longText(300, 'e');
    const std::string box = ErrorBoxText(10061, longText);
    ASSERT_EQ(box.size(), 255u);
    EXPECT_EQ(box, "Error 10061: " + std::string(255 - 13, 'e'));
}

TEST(VersionDisplay, CaptionsAndVerdicts) {
    EXPECT_EQ(HostProgramCaption("wersja: 8.10 , wyd. 3a, 12/05/03"),
              "\nTwój program:\n wersja: 8.10 , wyd. 3a, 12/05/03"_w);
    EXPECT_EQ(ProgramsCaption("A", "B"), "\nTwój program:\n A\n\n\n Aktualny program:\n B"_w);
    EXPECT_EQ(UpdateAdvice(), "\nZaktualizuj program!\nInformacje o aktualizacji znajdziesz w internecie:\n\n"
                              "www.velt.example/serwis/");
    EXPECT_EQ(NoUpdateNeeded(), "Aktualizacja niepotrzebna");
}

} // namespace
