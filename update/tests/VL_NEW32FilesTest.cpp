// The news files as a user meets them: a news file missing on the server (its status text, the
// default error dialog, the older local copy untouched, the session still open), and the
// "VELT Test" button on the local copies with and without them, no network involved.

#include "support/New32Program.h"

#include <FtpServer.h>
#include <TestSupport.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace {

using new32test::New32Program;
using vltest::AccessibleNode;

const std::string kNoUpdate = "Aktualizacja niepotrzebna";
const char* kTal = "[Program]\r\nWersja=8.10\r\nWydanie=2\r\nLastUpd=2003/05/12\r\n";
const std::string kInstalled = "\nTwój program:\n wersja: 8.10 , wyd. 2, 12/05/03";

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    }

    std::string start(const std::string& settings) {
        program.Write("tal.ini", kTal);
        program.Write("vl_new32.ini", settings);
        EXPECT_TRUE(program.Start());
        const std::string w = program.ReadyWindow("Wykryj nowości: Talvik 8");
        EXPECT_NE(w, "") << program.Log();
        return w;
    }

    // What the control with this hint shows now (its name, or its text for the news view).
    std::string shownBy(const std::string& hint) {
        for (const auto& n : program.Tree())
            if (n.description == hint)
                return n.role == "text" ? n.text : n.name;
        return "(no control with the hint " + hint + ")";
    }
    bool waitShown(const std::string& hint, const std::string& text) {
        return vltest::WaitUntil([&] { return shownBy(hint) == text; }, 10000, 200);
    }

    New32Program program;
};

const std::string kProgramHint = "Szczegóły dotyczące wersji i wdania programu";
const std::string kVerdictHint = "Komunikat, sugerujący sposob postępowania";
const std::string kNewsHint = "Dodatkowe informacje o aktualizacji na serwerze";

TEST_F(FilesTest, ANewsFileMissingOnTheServerLeavesTheOlderCopy) {
    vltest::FtpServer server;
    ASSERT_TRUE(server.Started());
    const std::string older = "[Program]\r\nWersja=8.00\r\nLastUpd=2002/01/01\r\n";
    program.Write("tz8_news.inf", older);
    const std::string w = start("[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Nie\r\n");
    ASSERT_NE(w, "");
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    std::string why;
    EXPECT_TRUE(program.ConfirmBox("VL_NEW32", "550 Failed to open file.", &why)) << why;
    EXPECT_EQ(program.StatusText(), "Błąd pobierania pliku");
    EXPECT_TRUE(server.WaitForCount("FAIL DOWNLOAD", 1));
    EXPECT_EQ(vltest::ReadFile(program.File("tz8_news.inf")), older);
    EXPECT_FALSE(vltest::PathExists(program.File("tz8_news.rtf"))) << "the news text is not asked for";
    EXPECT_EQ(server.Count("RETR pub/news/tz8_news.rtf"), 0);
    // No verdict and the installed version alone.
    EXPECT_EQ(shownBy(kProgramHint), kInstalled);
    EXPECT_EQ(shownBy(kVerdictHint), "");

    // Once the file is there, the next check fetches it in the same session.
    server.AddFile("pub/news/tz8_news.inf", "[Program]\r\nWersja=8.10\r\nLastUpd=2003/05/12\r\n");
    server.AddFile("pub/news/tz8_news.rtf", "{\\rtf1\\ansi Bez zmian\\par}");
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    EXPECT_TRUE(server.WaitForCount("OK DOWNLOAD", 2, 20000)) << server.Log();
    EXPECT_TRUE(program.WaitForNamed("label", kNoUpdate));
    EXPECT_EQ(server.Logins(), 1);
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
}

struct LocalCase {
    const char* what;
    const char* inf; // nullptr: no local copy
    const char* rtf;
    std::string error;   // the file-open error's start, "" when none
    std::string verdict; // "" when none
    std::string
        news; // the published record's line in TextProgram, "" when TextProgram keeps the installed alone
    std::string richText; // "" when the view stays empty
};

void PrintTo(const LocalCase& c, std::ostream* os) {
    *os << c.what;
}

class TestButtonTest : public FilesTest, public ::testing::WithParamInterface<LocalCase> {};

TEST_P(TestButtonTest, ShowsTheLocalCopies) {
    const LocalCase& lc = GetParam();
    if (lc.inf)
        program.Write("tz8_news.inf", lc.inf);
    if (lc.rtf)
        program.Write("tz8_news.rtf", lc.rtf);
    // A host no one can reach: the button must not need it.
    const std::string w = start("[FTP]\r\nHost=127.0.0.1\r\nHostPort=2999\r\nUseProxy=Nie\r\nVelt=tak\r\n");
    ASSERT_NE(w, "");
    AccessibleNode button;
    ASSERT_TRUE(program.WaitForNamed("push button", "VELT Test", &button));
    ASSERT_TRUE(button.showing);
    ASSERT_TRUE(program.Display().Click(w, button));
    if (!lc.error.empty()) {
        AccessibleNode label;
        ASSERT_TRUE(program.WaitForNode("label", lc.error, &label));
        EXPECT_NE(label.name.find("tz8_news.rtf"), std::string::npos) << label.name;
        EXPECT_TRUE(program.ConfirmBox("VL_NEW32", label.name));
    }
    EXPECT_TRUE(program.WaitForStatus("Pobieranie zakończone"));
    EXPECT_TRUE(waitShown(kVerdictHint, lc.verdict)) << shownBy(kVerdictHint);
    EXPECT_TRUE(waitShown(
        kProgramHint, lc.verdict.empty() ? kInstalled : kInstalled + "\n\n\n Aktualny program:\n " + lc.news))
        << shownBy(kProgramHint);
    EXPECT_TRUE(waitShown(kNewsHint, lc.richText)) << shownBy(kNewsHint);
    EXPECT_FALSE(vltest::PathExists(program.File("tz8_news.inf")) && !lc.inf) << "nothing was fetched";
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
}

INSTANTIATE_TEST_SUITE_P(
    LocalCopies, TestButtonTest,
    ::testing::Values(
        LocalCase{"both_copies", "[Program]\r\nWersja=8.20\r\nWydanie=1\r\nLastUpd=2003/06/01\r\n",
                  "{\\rtf1\\ansi\\ansicpg1250 Zmiany w ksi\\'eadze\\par}", "",
                  "\nZaktualizuj program!\nInformacje o aktualizacji znajdziesz w internecie:\n\n"
                  "www.velt.example/serwis/",
                  "wersja: 8.20 , wyd. 1, 01/06/03", "Zmiany w księdze"},
        LocalCase{"news_text_only", nullptr, "{\\rtf1\\ansi Tylko tekst\\par}", "", kNoUpdate,
                  "wersja:  , wyd. , ?", "Tylko tekst"},
        LocalCase{"no_copies", nullptr, nullptr, "Cannot open file", "", "", ""}),
    [](const ::testing::TestParamInfo<LocalCase>& info) { return std::string(info.param.what); });

} // namespace
