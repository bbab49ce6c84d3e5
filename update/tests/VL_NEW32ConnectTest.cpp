// Getting to the server as a user meets it: the boxes of a failed connection attempt in their
// order, a port that is no number, and the proxy settings (through Debian's ftp-proxy, with the
// box unchecked after a failed proxy attempt, with the box checked but no proxy named); the
// server's log tells whether an attempt reached it.

#include "support/New32Program.h"

#include <FtpServer.h>
#include <TestSupport.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using new32test::New32Program;
using vltest::AccessibleNode;

const std::string kNoServer = "Nie znaleziono serwera.\nSprawdź adres FTP, modem, itp.";
const std::string kNoConnection = "Nie mogę połączyć się z serwerem.\nSprawdź adres FTP, modem, itp.";
const char* kNews = "[Program]\r\nWersja=8.20\r\nLastUpd=2003/06/01\r\n";

class ConnectTest : public ::testing::Test {
  protected:
    static void TearDownTestSuite() {
        proxy.reset();
        server.reset();
    }

    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        if (!server) {
            server = std::make_unique<vltest::FtpServer>();
            proxy = std::make_unique<vltest::FtpProxy>();
        }
        ASSERT_TRUE(server->Started());
        ASSERT_TRUE(proxy->Started());
        server->AddFile("pub/news/ox8_news.inf", kNews);
        server->AddFile("pub/news/ox8_news.rtf", "{\\rtf1\\ansi Nowa wersja\\par}");
        ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    }

    std::string start(const std::string& settings) {
        program.Write("orv.ini", "[Program]\r\nWersja=8.10\r\nLastUpd=2003/05/12\r\n");
        program.Write("vl_new32.ini", settings);
        EXPECT_TRUE(program.Start());
        const std::string w = program.ReadyWindow("Wykryj nowości: Orvena 8");
        EXPECT_NE(w, "") << program.Log();
        return w;
    }

    void clickNode(const std::string& w, const std::string& role, const std::string& name) {
        AccessibleNode n;
        ASSERT_TRUE(program.WaitForNamed(role, name, &n)) << name;
        ASSERT_TRUE(program.Display().Click(w, n)) << name;
    }

    // The check that ends in the update verdict, the news files fetched through the session.
    void expectVerdict(int downloadsBefore) {
        EXPECT_TRUE(server->WaitForCount("OK DOWNLOAD", downloadsBefore + 2, 20000)) << server->Log();
        EXPECT_TRUE(program.WaitForNamed("label",
                                         "\nZaktualizuj program!\nInformacje o aktualizacji znajdziesz w "
                                         "internecie:\n\nwww.velt.example/serwis/"));
        EXPECT_EQ(vltest::ReadFile(program.File("ox8_news.inf")), kNews);
    }

    static std::unique_ptr<vltest::FtpServer> server;
    static std::unique_ptr<vltest::FtpProxy> proxy;
    New32Program program;
};

std::unique_ptr<vltest::FtpServer> ConnectTest::server;
std::unique_ptr<vltest::FtpProxy> ConnectTest::proxy;

struct FailedCase {
    const char* what;
    std::string settings;
    std::vector<std::pair<std::string, std::string>> boxes; // title, text (UTF-8), in order
};

void PrintTo(const FailedCase& c, std::ostream* os) {
    *os << c.what;
}

class FailedAttemptTest : public ConnectTest, public ::testing::WithParamInterface<FailedCase> {};

TEST_P(FailedAttemptTest, BoxesInOrderAndNothingFetched) {
    const FailedCase& fc = GetParam();
    const int connects = server->Count("CONNECT"), logins = server->Logins();
    const std::string w = start(fc.settings);
    ASSERT_NE(w, "");
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    for (const auto& [title, text] : fc.boxes) {
        std::string why;
        EXPECT_TRUE(program.ConfirmBox(title, text, &why)) << text << ": " << why;
    }
    // No more boxes: the window is alone again, no verdict, nothing fetched.
    EXPECT_TRUE(vltest::WaitUntil([&] { return program.OnlyWindow(w); }, 5000, 100));
    AccessibleNode komunikat;
    EXPECT_FALSE(program.WaitForNode("label", "Zaktualizuj", &komunikat, 500));
    EXPECT_FALSE(vltest::PathExists(program.File("ox8_news.inf")));
    EXPECT_EQ(server->Logins(), logins);
    if (fc.boxes.front().first == "VL_NEW32") {
        EXPECT_EQ(server->Count("CONNECT"), connects) << "no attempt was made";
    }
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, FailedAttemptTest,
    ::testing::Values(
        FailedCase{"unresolvable_host",
                   "[FTP]\r\nHost=nie-ma-takiego-serwera.example\r\nHostPort=21\r\n",
                   {{"Błąd", kNoServer}, {"Błąd", kNoConnection}}},
        FailedCase{"refused_connection",
                   "[FTP]\r\nHost=127.0.0.1\r\nHostPort=2999\r\n",
                   {{"Błąd", kNoConnection}, {"Błąd", kNoConnection}}},
        FailedCase{"port_out_of_range",
                   "[FTP]\r\nHost=127.0.0.1\r\nHostPort=70000\r\n",
                   {{"Błąd", kNoConnection}, {"Błąd", kNoConnection}}},
        FailedCase{"port_not_a_number",
                   "[FTP]\r\nHost=127.0.0.1\r\nHostPort=dwa\r\n",
                   {{"VL_NEW32", "'dwa' is not a valid integer value."}}},
        FailedCase{
            "proxy_port_not_a_number",
            "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=127.0.0.1\r\nProxyPort=\r\n",
            {{"VL_NEW32", "'' is not a valid integer value."}}}),
    [](const ::testing::TestParamInfo<FailedCase>& info) { return std::string(info.param.what); });

TEST_F(ConnectTest, ThroughTheProxyTheProxyLogsInToTheServer) {
    const int logins = server->Logins(), downloads = server->Downloads();
    const std::string w = start(
        "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=127.0.0.1\r\nProxyPort=2121\r\n");
    ASSERT_NE(w, "");
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    expectVerdict(downloads);
    EXPECT_EQ(server->Logins(), logins + 1);
    // The proxy took the login "anonymous@127.0.0.1" and passed it on to the server's port 21.
    EXPECT_NE(proxy->Log().find("'USER anonymous' dest 127.0.0.1:21"), std::string::npos) << proxy->Log();
    EXPECT_NE(proxy->Log().find("completed: RETR 'pub/news/ox8_news.rtf'"), std::string::npos)
        << proxy->Log();
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
}

TEST_F(ConnectTest, UncheckingTheProxyAfterAFailedProxyAttemptGoesStraightToTheHost) {
    const int logins = server->Logins(), downloads = server->Downloads();
    const std::string proxyLog = proxy->Log();
    const std::string w = start(
        "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=127.0.0.1\r\nProxyPort=2999\r\n");
    ASSERT_NE(w, "");
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    EXPECT_TRUE(program.ConfirmBox("Błąd", kNoConnection));
    EXPECT_TRUE(program.ConfirmBox("Błąd", kNoConnection));
    EXPECT_EQ(server->Logins(), logins);

    clickNode(w, "page tab", "Parametry");
    AccessibleNode box;
    ASSERT_TRUE(program.WaitForNamed("check box", "Użyj Proxy", &box));
    ASSERT_TRUE(box.showing);
    ASSERT_TRUE(program.Display().Click(w, box));
    clickNode(w, "page tab", "Co nowego");
    clickNode(w, "push button", "Sprawdź");
    expectVerdict(downloads);
    EXPECT_EQ(server->Logins(), logins + 1);
    EXPECT_EQ(proxy->Log(), proxyLog) << "nothing went through the proxy";

    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
    EXPECT_EQ(vltest::ReadFile(program.File("vl_new32.ini")),
              "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
}

TEST_F(ConnectTest, AnEmptyProxyWithTheBoxCheckedGoesStraightToTheHost) {
    const int logins = server->Logins(), downloads = server->Downloads();
    const std::string proxyLog = proxy->Log();
    const std::string w =
        start("[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=\r\nProxyPort=2121\r\n");
    ASSERT_NE(w, "");
    clickNode(w, "push button", "Sprawdź");
    expectVerdict(downloads);
    EXPECT_EQ(server->Logins(), logins + 1);
    EXPECT_EQ(proxy->Log(), proxyLog) << "nothing went through the proxy";
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
    EXPECT_EQ(vltest::ReadFile(program.File("vl_new32.ini")),
              "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Tak\r\nProxy=\r\nProxyPort=2121\r\n");
}

} // namespace
