// The update check as a user runs it: "&Sprawdź" by Alt+S against a real vsftpd in a private
// network namespace; the news files land in the product folder and the window shows the verdict.

#include "support/New32Program.h"

#include <FtpServer.h>
#include <TestSupport.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(CheckTest, EqualDatesNeedNoUpdateAndASecondCheckLogsInOnce) {
    VLTEST_PRIVATE_NETWORK();
    vltest::FtpServer ftp;
    ASSERT_TRUE(ftp.Started());
    ftp.AddFile("pub/news/ox8_news.inf", "[Program]\r\nWersja=8.10\r\nWydanie=4\r\nLastUpd=2003/05/12\r\n");
    ftp.AddFile("pub/news/ox8_news.rtf", "{\\rtf1\\ansi\\ansicpg1250 Nowo\\'9cci\\par}");
    new32test::New32Program program;
    ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    program.Write("orv.ini", "[Program]\r\nWersja=8.10\r\nWydanie=3\r\nLastUpd=2003/05/12\r\n");
    program.Write("vl_new32.ini", "[FTP]\r\nHost=127.0.0.1\r\nHostPort=21\r\nUseProxy=Nie\r\n");
    ASSERT_TRUE(program.Start());
    const std::string w = program.Window("Wykryj nowości: Orvena 8");
    ASSERT_NE(w, "") << program.Log();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    ASSERT_TRUE(
        vltest::WaitUntil([&] { return vltest::PathExists(program.File("ox8_news.rtf")); }, 20000, 100))
        << ftp.Log();
    EXPECT_EQ(vltest::ReadFile(program.File("ox8_news.inf")),
              "[Program]\r\nWersja=8.10\r\nWydanie=4\r\nLastUpd=2003/05/12\r\n");
    EXPECT_TRUE(program.WaitForNode("text", "Nowości"));
    EXPECT_TRUE(ftp.WaitForCount("OK DOWNLOAD", 2));
    program.Display().Screenshot(w, program.File("bez-aktualizacji.png"));
    ASSERT_TRUE(program.Display().PressKey(w, "alt+s"));
    EXPECT_TRUE(ftp.WaitForCount("OK DOWNLOAD", 4, 15000));
    EXPECT_EQ(ftp.Logins(), 1);
    ASSERT_TRUE(program.Display().PressKey(w, "alt+k"));
    EXPECT_TRUE(program.WaitForEnd());
}

} // namespace
