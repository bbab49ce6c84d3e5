// The VL_PAK32 program as a host runs it: a copy of the executable with its INI in a folder of its
// own, started with its argument, its window driven with keys under a virtual X display with a
// window manager, a real aiosmtpd in a private network namespace; then the record and the mail.

#include <VirtualDisplay.h>

#include <SmtpServer.h>
#include <TestSupport.h>
#include <runtime/Cp1250.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>

using rtl::operator""_w;
namespace fs = std::filesystem;

namespace {

const std::string kIniPoprzedni = "[Eksport_TRN]\r\nTytul_Wiadomosci=Paczki\r\nMail_Do=do@example.com\r\n"
                                  "Mail_Od=od@example.com\r\nUzytkownik=Sklep\r\nSMTP=localhost\r\n"
                                  "[Error]\r\nNr=5\r\nMsg=stare\r\n";

std::string BinDir() {
    const char* d = std::getenv("VL_BIN_DIR");
    return d ? d : "";
}

// The program copied into a folder of its own, as a host installs it beside its INI file.
class Instalacja {
  public:
    Instalacja() {
        fs::copy_file(fs::path(BinDir()) / "VL_PAK32", Program());
        ::chmod(Program().c_str(), 0755);
        fs::create_directory(Wysylka());
    }
    std::string Program() const { return dir.File("VL_PAK32"); }
    std::string Ini() const { return dir.File("VL_PAK32.INI"); }
    std::string Wysylka() const { return dir.File("wysylka"); }
    void UstawIni(const std::string& smtp) {
        vltest::WriteFile(Ini(),
                          "[Eksport_TRN]\r\nTytul_Wiadomosci=Paczki\r\nKatalog_Wysylka=" + Wysylka() +
                              "\r\nMail_Do=do@example.com\r\nMail_Od=od@example.com\r\nUzytkownik=Sklep\r\n"
                              "SMTP=" +
                              smtp + "\r\n[Error]\r\nNr=5\r\nMsg=stare\r\n");
    }

    vltest::TempDir dir{"vlpak32inst"};
};

// Waits up to timeoutMs for the program to end; false when it is still running.
bool CzekajNaKoniec(vltest::ChildProcess& p, int timeoutMs) {
    return vltest::WaitUntil([&] { return !p.Running(); }, timeoutMs, 50);
}

std::string OknoBledu(int kod) {
    return rtl::cp1250ToUtf8("Błąd "_w + std::to_string(kod));
}

// Arguments that select no job end the program at once, with no window and no write.
class BezZadaniaTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BezZadaniaTest, EndsAtOnceAndLeavesTheIniAlone) {
    Instalacja inst;
    vltest::WriteFile(inst.Ini(), kIniPoprzedni);
    vltest::WriteFile(inst.Wysylka() + "/a.zip", "a");
    struct stat przed {};
    ASSERT_EQ(::stat(inst.Ini().c_str(), &przed), 0);
    std::vector<std::string> argv = {"/usr/bin/timeout", "30", inst.Program()};
    argv.insert(argv.end(), GetParam().begin(), GetParam().end());
    // No display at all: a program that tried to open a window would fail, not end cleanly.
    const int status = vltest::RunProgram(argv, nullptr, {"QT_QPA_PLATFORM=xcb", "DISPLAY="});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vltest::ReadFile(inst.Ini()), kIniPoprzedni);
    struct stat po {};
    ASSERT_EQ(::stat(inst.Ini().c_str(), &po), 0);
    EXPECT_EQ(po.st_mtim.tv_sec, przed.st_mtim.tv_sec);
    EXPECT_EQ(po.st_mtim.tv_nsec, przed.st_mtim.tv_nsec);
}

INSTANTIATE_TEST_SUITE_P(Arguments, BezZadaniaTest,
                         ::testing::Values(std::vector<std::string>{"1 "}, std::vector<std::string>{"01"},
                                           std::vector<std::string>{"a"}, std::vector<std::string>{},
                                           std::vector<std::string>{""}, std::vector<std::string>{" 1"}));

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        ASSERT_TRUE(ekran.Started()) << ekran.Why();
    }
    std::unique_ptr<vltest::ChildProcess> Uruchom(const std::vector<std::string>& argumenty) {
        std::vector<std::string> argv = {inst.Program()};
        argv.insert(argv.end(), argumenty.begin(), argumenty.end());
        return std::make_unique<vltest::ChildProcess>(argv, inst.dir.File("program.log"),
                                                      ekran.ProgramEnvironment());
    }

    // Waits until the window shows its close button, so that a key press reaches it. The bound
    // is generous: under load one look into the accessibility tree can take seconds.
    bool PrzyciskWidoczny(vltest::ChildProcess& program) {
        return vltest::WaitUntil(
            [&] {
                for (const auto& n : ekran.AccessibleTree(program.Pid()))
                    if (n.role == "push button" && n.showing && n.name == "Zamknij")
                        return true;
                return false;
            },
            30000, 100);
    }

    Instalacja inst;
    vltest::VirtualDisplay ekran;
};

TEST_F(ProgramTest, SendsThePackagesAndClosesWithAltM) {
    vltest::SmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    vltest::WriteFile(inst.Wysylka() + "/b.zip", "bbbb");
    vltest::WriteFile(inst.Wysylka() + "/A.ZIP", "AAAAAAAA");
    vltest::WriteFile(inst.Wysylka() + "/c.Zip", "cc");
    vltest::WriteFile(inst.Wysylka() + "/lista.txt", "nie");
    inst.UstawIni("localhost");

    // Only the first argument counts.
    auto program = Uruchom({"1", "2"});
    const std::string okno = ekran.WaitForWindow(program->Pid(), "Wysyłanie danych", 20000);
    ASSERT_NE(okno, "") << vltest::ReadFile(inst.dir.File("program.log"));
    ASSERT_TRUE(smtp.WaitForMessages(1, 30000));
    // The record is written after the disconnect; wait for it before pressing the button.
    ASSERT_TRUE(vltest::WaitUntil(
        [&] { return vltest::ReadFile(inst.Ini()).find("Nr=0") != std::string::npos; }, 10000, 100));
    ASSERT_TRUE(PrzyciskWidoczny(*program));
    ASSERT_TRUE(ekran.PressKey(okno, "alt+m"));
    ASSERT_TRUE(CzekajNaKoniec(*program, 10000)) << "Za&mknij ends the program";

    const std::string ini = vltest::ReadFile(inst.Ini());
    EXPECT_NE(ini.find("[Error]\r\nNr=0\r\nMsg=\r\n"), std::string::npos) << ini;
    const auto maile = smtp.Messages();
    ASSERT_EQ(maile.size(), 1u);
    EXPECT_EQ(maile[0].parsed.subject, "Paczki");
    EXPECT_EQ(maile[0].rcptTos, std::vector<std::string>{"do@example.com"});
    ASSERT_EQ(maile[0].parsed.attachments.size(), 3u);
    EXPECT_EQ(maile[0].parsed.attachments[0].fileName, "A.ZIP");
    EXPECT_EQ(maile[0].parsed.attachments[0].size, 8);
    EXPECT_EQ(maile[0].parsed.attachments[1].fileName, "b.zip");
    EXPECT_EQ(maile[0].parsed.attachments[1].size, 4);
    EXPECT_EQ(maile[0].parsed.attachments[2].fileName, "c.Zip");
    EXPECT_EQ(maile[0].parsed.attachments[2].size, 2);
}

TEST_F(ProgramTest, EmptyShipmentShowsTheBoxAndWritesNoRecord) {
    vltest::SmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    inst.UstawIni("localhost");
    const std::string przed = vltest::ReadFile(inst.Ini());

    auto program = Uruchom({"1"});
    const std::string pudelko = ekran.WaitForWindow(program->Pid(), "Błąd", 20000);
    ASSERT_NE(pudelko, "") << vltest::ReadFile(inst.dir.File("program.log"));
    // The box's text as the accessibility tree shows it.
    bool tekst = vltest::WaitUntil(
        [&] {
            for (const auto& n : ekran.AccessibleTree(program->Pid()))
                if (n.role == "label" && n.showing && n.name == "Brak wysylki")
                    return true;
            return false;
        },
        30000, 200);
    EXPECT_TRUE(tekst);
    ASSERT_TRUE(ekran.PressKey(pudelko, "Return"));
    const std::string okno = ekran.WaitForWindow(program->Pid(), "Wysyłanie danych", 10000);
    ASSERT_NE(okno, "");
    ASSERT_TRUE(PrzyciskWidoczny(*program));
    // Enter presses the default button once it is shown.
    ASSERT_TRUE(ekran.PressKey(okno, "Return"));
    ASSERT_TRUE(CzekajNaKoniec(*program, 10000));
    EXPECT_EQ(vltest::ReadFile(inst.Ini()), przed);
    EXPECT_EQ(smtp.MessageCount(), 0u);
}

TEST_F(ProgramTest, RefusedConnectionShowsItsBoxAndRecordsIt) {
    vltest::WriteFile(inst.Wysylka() + "/a.zip", "a");
    inst.UstawIni("127.0.0.1");

    auto program = Uruchom({"1"});
    const std::string pudelko = ekran.WaitForWindow(program->Pid(), OknoBledu(10061), 30000);
    ASSERT_NE(pudelko, "") << vltest::ReadFile(inst.dir.File("program.log"));
    EXPECT_EQ(vltest::ReadFile(inst.Ini()).find("10061"), std::string::npos)
        << "recorded after the box closes";
    ASSERT_TRUE(ekran.PressKey(pudelko, "Return"));
    ASSERT_TRUE(vltest::WaitUntil(
        [&] { return vltest::ReadFile(inst.Ini()).find("Nr=10061") != std::string::npos; }, 10000, 100));
    const std::string okno = ekran.WaitForWindow(program->Pid(), "Wysyłanie danych", 10000);
    ASSERT_NE(okno, "");
    ASSERT_TRUE(PrzyciskWidoczny(*program));
    ASSERT_TRUE(ekran.PressKey(okno, "alt+m"));
    ASSERT_TRUE(CzekajNaKoniec(*program, 10000));
    EXPECT_NE(
        vltest::ReadFile(inst.Ini()).find("Nr=10061\r\nMsg=Socket Error # 10061, Connection refused.\r\n"),
        std::string::npos)
        << vltest::ReadFile(inst.Ini());
}

// Any other failure: the box "Błąd -1" with the server's text, the record once it is closed.
TEST_F(ProgramTest, RefusedRecipientShowsTheMinusOneBoxAndRecordsIt) {
    vltest::SmtpServerOptions opcje;
    opcje.refuseRecipients["do@example.com"] = "550 5.1.1 User unknown";
    vltest::SmtpServer smtp(opcje);
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    vltest::WriteFile(inst.Wysylka() + "/a.zip", "a");
    inst.UstawIni("localhost");

    auto program = Uruchom({"1"});
    const std::string pudelko = ekran.WaitForWindow(program->Pid(), OknoBledu(-1), 30000);
    ASSERT_NE(pudelko, "") << vltest::ReadFile(inst.dir.File("program.log"));
    bool tekst = vltest::WaitUntil(
        [&] {
            for (const auto& n : ekran.AccessibleTree(program->Pid()))
                if (n.role == "label" && n.showing && n.name == "5.1.1 User unknown")
                    return true;
            return false;
        },
        30000, 200);
    EXPECT_TRUE(tekst);
    // With its frame, to see the caption in the window manager's title bar.
    EXPECT_TRUE(ekran.Screenshot(pudelko, inst.dir.File("blad-1.png"), true));
    EXPECT_EQ(vltest::ReadFile(inst.Ini()).find("Nr=-1"), std::string::npos)
        << "recorded after the box closes";
    ASSERT_TRUE(ekran.PressKey(pudelko, "Return"));
    ASSERT_TRUE(vltest::WaitUntil(
        [&] {
            return vltest::ReadFile(inst.Ini()).find("Nr=-1\r\nMsg=5.1.1 User unknown\r\n") !=
                   std::string::npos;
        },
        10000, 100))
        << vltest::ReadFile(inst.Ini());
    const std::string okno = ekran.WaitForWindow(program->Pid(), "Wysyłanie danych", 10000);
    ASSERT_NE(okno, "");
    ASSERT_TRUE(PrzyciskWidoczny(*program));
    ASSERT_TRUE(ekran.PressKey(okno, "alt+m"));
    ASSERT_TRUE(CzekajNaKoniec(*program, 10000));
    EXPECT_EQ(smtp.MessageCount(), 0u);
}

} // namespace
