// VL_PAK32 started with "2" and "3" as a host starts it: the program copied into a temporary
// folder with its VL_PAK32.INI, against a real dovecot on port 110 in a private network. What
// counts here is what the host sees afterwards: the result record, the incoming folder, and
// what the server served and kept.

#include "support/MailInPoczta.h"

#include "Pop3Server.h"
#include "TestSupport.h"

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include <sys/stat.h>

namespace {

using namespace mailin;

class MailInProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        const char* bin = std::getenv("VL_BIN_DIR");
        ASSERT_NE(bin, nullptr) << "VL_BIN_DIR names the folder of the built programs";
        program = dir.File("VL_PAK32");
        vltest::WriteFile(program, vltest::ReadFile(std::string(bin) + "/VL_PAK32"));
        ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
        serwer = std::make_unique<vltest::Pop3Server>();
        ASSERT_TRUE(serwer->Started()) << serwer->Log();
        trn = dir.File("TRN");
        ASSERT_EQ(::mkdir(trn.c_str(), 0755), 0);
        ustawienia = UstawieniaOdbioru(*serwer, trn);
        ustawienia["CzyUsuwac"] = "tak";
    }

    // Runs the program with `zadanie` until it has left its result record, then ends it as the
    // user would by closing it. Gives the INI file's text.
    std::string Uruchom(const char* zadanie) {
        vltest::WriteFile(dir.File("VL_PAK32.INI"), PlikINI(ustawienia));
        {
            vltest::ChildProcess p({program, zadanie}, dir.File("program.log"),
                                   {"QT_QPA_PLATFORM=offscreen"});
            auto rekord = [&] {
                return WartoscINI(vltest::ReadFile(dir.File("VL_PAK32.INI")), "Error", "Msg") != "<none>";
            };
            vltest::WaitUntil([&] { return rekord() || !p.Running(); }, 60000, 50);
            if (!rekord())
                ADD_FAILURE() << "no result record; program log:\n"
                              << vltest::ReadFile(dir.File("program.log"));
        }
        return vltest::ReadFile(dir.File("VL_PAK32.INI"));
    }

    std::vector<vltest::Pop3Session> Sesje() {
        EXPECT_TRUE(serwer->WaitForSessions(1, 10000)) << serwer->Log();
        return serwer->Sessions();
    }

    vltest::TempDir dir{"mailinprog"};
    std::string program, trn;
    std::unique_ptr<vltest::Pop3Server> serwer;
    std::map<std::string, std::string> ustawienia;
};

TEST_F(MailInProgramTest, EmptyMailbox) {
    const std::string ini = Uruchom("2");
    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "0");
    EXPECT_EQ(WartoscINI(ini, "Error", "Msg"), "");
    EXPECT_TRUE(vltest::ListFolder(trn).empty());
    const auto s = Sesje();
    EXPECT_EQ(s[0].top, 0);
    EXPECT_EQ(s[0].retr, 0);
}

TEST_F(MailInProgramTest, TalvikTakesTitledMessagesOnly) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK_001.ZIP", "jeden"}}));
    serwer->AddMessage(Wiadomosc("PRZESYŁKA TRN", {{"obcy.zip", "x"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN ", {{"obcy2.zip", "x"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK_002.ZIP", "dwa"}, {"PAK_003.ZIP", "trzy"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN"));

    const std::string ini = Uruchom("2");

    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "0");
    EXPECT_EQ(WartoscINI(ini, "Error", "Msg"), "");
    EXPECT_EQ(vltest::ListFolder(trn),
              (std::vector<std::string>{"PAK_001.ZIP", "PAK_002.ZIP", "PAK_003.ZIP"}));
    EXPECT_EQ(vltest::ReadFile(trn + "/PAK_003.ZIP"), "trzy");
    const auto s = Sesje();
    EXPECT_EQ(s[0].top, 5);
    EXPECT_EQ(s[0].retr, 3);
    EXPECT_EQ(s[0].del, 2);
    EXPECT_EQ(serwer->Messages().size(), 3u);
}

TEST_F(MailInProgramTest, ExistingFileReplacedKeepingMessagesWithoutCzyUsuwac) {
    vltest::WriteFile(trn + "/PAK.ZIP", "stara, dluzsza zawartosc");
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK.ZIP", "nowa"}}));
    ustawienia.erase("CzyUsuwac");

    const std::string ini = Uruchom("2");

    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "0");
    EXPECT_EQ(vltest::ReadFile(trn + "/PAK.ZIP"), "nowa");
    EXPECT_EQ(Sesje()[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

TEST_F(MailInProgramTest, MaliciousNamesStayInTheIncomingFolder) {
    const std::string obcy = dir.File("obcy");
    ASSERT_EQ(::mkdir(obcy.c_str(), 0755), 0);
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"..\\..\\x.zip", "x"},
                                                   {"../USTAWIENIA.INI", "nadpisane"},
                                                   {obcy + "/z.zip", "z"},
                                                   {"..", "kropki"}}));

    const std::string ini = Uruchom("2");

    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "0");
    EXPECT_EQ(WartoscINI(ini, "Eksport_TRN", "POP3"), "127.0.0.1");
    EXPECT_EQ(vltest::ListFolder(trn), (std::vector<std::string>{"USTAWIENIA.INI", "x.zip", "z.zip"}));
    EXPECT_EQ(vltest::ReadFile(trn + "/USTAWIENIA.INI"), "nadpisane");
    EXPECT_TRUE(vltest::ListFolder(obcy).empty());
    EXPECT_EQ(vltest::ListFolder(dir.Path()),
              (std::vector<std::string>{"TRN", "VL_PAK32", "VL_PAK32.INI", "obcy", "program.log"}));
}

TEST_F(MailInProgramTest, RefusedLogin) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"a.zip", "a"}}));
    ustawienia["Haslo"] = Odwroc("zle-haslo");

    const std::string ini = Uruchom("2");

    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "2");
    EXPECT_EQ(WartoscINI(ini, "Error", "Msg"),
              rtl::utf8ToCp1250("Niepoprawna autoryzacja (złe hasło lub użytkownik)."));
    EXPECT_TRUE(vltest::ListFolder(trn).empty());
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

TEST_F(MailInProgramTest, OrvenaSavesOnlyItsNip) {
    ustawienia["NIP"] = "1234567890";
    serwer->AddMessage(
        Wiadomosc("Przesyłka TRN", {{"1234567890_1.zip", "moja"}, {"5555555555_1.zip", "obca"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"5555555555_2.zip", "obca"}}));

    const std::string ini = Uruchom("3");

    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "0");
    EXPECT_EQ(WartoscINI(ini, "Error", "Msg"), "");
    EXPECT_EQ(vltest::ListFolder(trn), std::vector<std::string>{"1234567890_1.zip"});
    const auto s = Sesje();
    EXPECT_EQ(s[0].retr, 2);
    EXPECT_EQ(s[0].del, 1);
    const auto zostaly = serwer->Messages();
    ASSERT_EQ(zostaly.size(), 1u);
    EXPECT_NE(zostaly[0].find("5555555555_2.zip"), std::string::npos);
}

TEST_F(MailInProgramTest, OrvenaShortAndLongNip) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"12345", "krotki"}, {"12345_1.zip", "x"}}));
    ustawienia["NIP"] = "12345";
    std::string ini = Uruchom("3");
    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "0");
    EXPECT_EQ(vltest::ListFolder(trn), std::vector<std::string>{"12345"});
    EXPECT_TRUE(serwer->Messages().empty());
}

TEST_F(MailInProgramTest, OrvenaLongNipSavesNothing) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"12345678901", "x"}, {"12345678901_1.zip", "y"}}));
    ustawienia["NIP"] = "12345678901";
    const std::string ini = Uruchom("3");
    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "0");
    EXPECT_TRUE(vltest::ListFolder(trn).empty());
    EXPECT_EQ(Sesje()[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

} // namespace
