// The update check as a user runs it: "&Sprawdź" by Alt+S or by a click against a real vsftpd
// in a private network namespace; the news files land in the product folder and the window
// shows both versions, the verdict in its colours and font, and the news text, all read
// through the accessibility tree and checked on screenshots of the verdicts.

#include "support/New32Program.h"

#include <FtpServer.h>
#include <TestSupport.h>

#include <vcl/Colors.h>

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace {

using new32test::New32Program;
using vltest::AccessibleNode;

const std::string kUpdate = "\nZaktualizuj program!\nInformacje o aktualizacji znajdziesz w internecie:\n\n"
                            "www.velt.example/serwis/";
const std::string kNoUpdate = "Aktualizacja niepotrzebna";
const char* kSettings = "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Nie\r\n";
const char* kRtf = "{\\rtf1\\ansi\\ansicpg1250 Nowo\\'9cci w wersji\\par}";

// "r,g,b" of a toolkit colour, as AT-SPI gives colours.
std::string atspiColor(vcl::TColor c) {
    const std::uint32_t v = vcl::ColorToRGB(c);
    return std::to_string(vcl::GetRValue(v)) + "," + std::to_string(vcl::GetGValue(v)) + "," +
           std::to_string(vcl::GetBValue(v));
}

class CheckTest : public ::testing::Test {
  protected:
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        if (!server)
            server = std::make_unique<vltest::FtpServer>();
        ASSERT_TRUE(server->Started());
        ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
        server->AddFile("pub/news/ox8_news.rtf", kRtf);
    }

    // Starts the program for an Orvena 8 installed with `lastUpd` and waits for its window.
    std::string start(const std::string& lastUpd) {
        program.Write("orv.ini", "[Program]\r\nWersja=8.10\r\nWydanie=3\r\nLastUpd=" + lastUpd + "\r\n");
        program.Write("vl_new32.ini", kSettings);
        EXPECT_TRUE(program.Start());
        const std::string w = program.ReadyWindow("Wykryj nowości: Orvena 8");
        EXPECT_NE(w, "") << program.Log();
        return w;
    }

    // Runs the check by Alt+S or by a click on "Sprawdź" and waits until it has ended.
    void check(const std::string& w, bool byClick, int downloadsBefore) {
        if (byClick) {
            AccessibleNode button;
            ASSERT_TRUE(program.WaitForNamed("push button", "Sprawdź", &button));
            ASSERT_TRUE(program.Display().Click(w, button));
        } else {
            ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
        }
        EXPECT_TRUE(server->WaitForCount("OK DOWNLOAD", downloadsBefore + 2, 20000)) << server->Log();
        EXPECT_TRUE(program.WaitForStatus("Zakończono pobieranie")) << program.StatusText();
    }

    // The verdict's static text, found by its text.
    AccessibleNode verdict(const std::string& text) {
        AccessibleNode n;
        EXPECT_TRUE(program.WaitForNamed("label", text, &n)) << "verdict " << text;
        return n;
    }

    bool iconShowing(const std::string& hint) {
        for (const auto& n : program.Tree())
            if (n.role == "push button" && n.description == hint)
                return n.showing;
        return false;
    }

    // Saves a screenshot of the window for the record and gives the colour drawn a few pixels
    // inside the top left corner of `node`.
    QColor shotAndPixel(const std::string& w, const std::string& name, const AccessibleNode& node) {
        const std::string file = new32test::ScreenshotFile(name);
        EXPECT_TRUE(program.Display().Screenshot(w, file));
        QImage shot(QString::fromStdString(file));
        AccessibleNode frame;
        for (const auto& n : program.Tree())
            if (n.depth == 1 && n.showing && n.name == program.Display().WindowName(w))
                frame = n;
        return shot.pixelColor(node.x - frame.x + 2, node.y - frame.y + 2);
    }

    static std::unique_ptr<vltest::FtpServer> server;
    New32Program program;
};

std::unique_ptr<vltest::FtpServer> CheckTest::server;

struct VerdictCase {
    const char* what;
    std::string installed; // LastUpd of the installed product
    std::string published; // the news information file on the server
    bool byClick;
    bool update;
    std::string newsLine; // the published record as TextProgram shows it
};

void PrintTo(const VerdictCase& c, std::ostream* os) {
    *os << c.what;
}

class VerdictTest : public CheckTest, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(VerdictTest, TheVerdictFollowsTheDates) {
    const VerdictCase& vc = GetParam();
    server->AddFile("pub/news/ox8_news.inf", vc.published);
    const int logins = server->Logins(), downloads = server->Downloads();
    const std::string w = start(vc.installed);
    ASSERT_NE(w, "");
    check(w, vc.byClick, downloads);
    EXPECT_EQ(vltest::ReadFile(program.File("ox8_news.inf")), vc.published);
    EXPECT_TRUE(program.WaitForNode("text", "Nowości w wersji"));

    AccessibleNode text;
    ASSERT_TRUE(program.WaitForNode("label", "Aktualny program:", &text));
    EXPECT_EQ(text.name.substr(text.name.rfind('\n') + 1), vc.newsLine);
    const AccessibleNode v = verdict(vc.update ? kUpdate : kNoUpdate);
    EXPECT_EQ(v.attributes.at("family-name"), "Arial");
    EXPECT_EQ(v.attributes.at("size"), "10");
    EXPECT_EQ(v.attributes.at("fg-color"), atspiColor(vcl::clWindowText));
    const vcl::TColor background = vc.update ? vcl::clInfoBk : vcl::clBtnFace;
    EXPECT_EQ(v.attributes.at("bg-color"), atspiColor(background));
    EXPECT_EQ(v.attributes.count("underline") == 1, !vc.update);
    EXPECT_EQ(iconShowing("Powinieneś zaktualizować program"), vc.update);
    EXPECT_EQ(iconShowing("Program nie wymaga aktualizacji"), !vc.update);

    const QColor drawn = shotAndPixel(w, std::string("verdict-") + vc.what, v);
    const std::uint32_t want = vcl::ColorToRGB(background);
    EXPECT_EQ(drawn, QColor(vcl::GetRValue(want), vcl::GetGValue(want), vcl::GetBValue(want)));
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
    EXPECT_EQ(server->Logins(), logins + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, VerdictTest,
    ::testing::Values(
        VerdictCase{"one-day-later", "2003/05/12",
                    "[Program]\r\nWersja=8.20\r\nWydanie=1\r\nLastUpd=2003/05/13\r\n", true, true,
                    " wersja: 8.20 , wyd. 1, 13/05/03"},
        VerdictCase{"equal", "2003/05/13", "[Program]\r\nWersja=8.20\r\nWydanie=1\r\nLastUpd=2003/05/13\r\n",
                    false, false, " wersja: 8.20 , wyd. 1, 13/05/03"},
        VerdictCase{"no-lastupd-installed-earlier", "1999/12/31", "[Program]\r\nWersja=8.20\r\nWydanie=1\r\n",
                    false, true, " wersja: 8.20 , wyd. 1, ?"},
        VerdictCase{"no-lastupd-installed-later", "2000/01/02", "[Program]\r\nWersja=8.20\r\nWydanie=1\r\n",
                    true, false, " wersja: 8.20 , wyd. 1, ?"},
        VerdictCase{"no-lastupd-installed-same-day", "2000/01/01", "[Program]\r\nWersja=8.20\r\n", false,
                    false, " wersja: 8.20 , wyd. , ?"}),
    [](const ::testing::TestParamInfo<VerdictCase>& info) {
        std::string n;
        for (const char* p = info.param.what; *p; ++p)
            n += *p == '-' ? '_' : *p;
        return n;
    });

TEST_F(CheckTest, EqualDatesNeedNoUpdateAndASecondCheckLogsInOnce) {
    server->AddFile("pub/news/ox8_news.inf",
                    "[Program]\r\nWersja=8.10\r\nWydanie=4\r\nLastUpd=2003/05/12\r\n");
    const int logins = server->Logins(), downloads = server->Downloads();
    const std::string w = start("2003/05/12");
    ASSERT_NE(w, "");
    check(w, false, downloads);
    EXPECT_EQ(vltest::ReadFile(program.File("ox8_news.inf")),
              "[Program]\r\nWersja=8.10\r\nWydanie=4\r\nLastUpd=2003/05/12\r\n");
    EXPECT_TRUE(program.WaitForNode("text", "Nowości"));
    verdict(kNoUpdate);
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    EXPECT_TRUE(server->WaitForCount("OK DOWNLOAD", downloads + 4, 15000));
    EXPECT_EQ(server->Logins(), logins + 1);
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
}

TEST_F(CheckTest, AnUpdateAfterNoUpdateKeepsTheUnderlineAndBothIcons) {
    server->AddFile("pub/news/ox8_news.inf", "[Program]\r\nWersja=8.10\r\nLastUpd=2003/05/12\r\n");
    const int logins = server->Logins(), downloads = server->Downloads();
    const std::string w = start("2003/05/12");
    ASSERT_NE(w, "");
    check(w, true, downloads);
    AccessibleNode first = verdict(kNoUpdate);
    EXPECT_EQ(first.attributes.count("underline"), 1u);
    EXPECT_TRUE(iconShowing("Program nie wymaga aktualizacji"));
    EXPECT_FALSE(iconShowing("Powinieneś zaktualizować program"));

    // The maker publishes a later release while the window stays open.
    server->AddFile("pub/news/ox8_news.inf", "[Program]\r\nWersja=8.20\r\nLastUpd=2003/06/01\r\n");
    check(w, false, downloads + 2);
    const AccessibleNode second = verdict(kUpdate);
    EXPECT_EQ(second.attributes.count("underline"), 1u) << "the underline of the first verdict stays";
    EXPECT_EQ(second.attributes.at("bg-color"), atspiColor(vcl::clInfoBk));
    EXPECT_TRUE(iconShowing("Program nie wymaga aktualizacji"));
    EXPECT_TRUE(iconShowing("Powinieneś zaktualizować program"));
    EXPECT_TRUE(program.WaitForNode("label", " wersja: 8.20 , wyd. , 01/06/03"));
    EXPECT_EQ(server->Logins(), logins + 1);
    shotAndPixel(w, "verdict-update-after-no-update", second);

    // Closing after the check saves the settings as they stand.
    vltest::WriteFile(program.File("vl_new32.ini"), "");
    ASSERT_TRUE(program.Display().PressKey(w, "alt+F4"));
    EXPECT_TRUE(program.WaitForEnd());
    EXPECT_EQ(vltest::ReadFile(program.File("vl_new32.ini")),
              "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
}

} // namespace
