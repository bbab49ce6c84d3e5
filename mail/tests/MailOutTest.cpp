// The sending window run in this process on the offscreen platform, against a real aiosmtpd in a
// private network namespace: what the log shows, what the server received, the result record.

#include "MailOut.h"

#include "Funkcje_ERR.h"
#include "support/PrivateProgramFolder.h"

#include <SmtpServer.h>
#include <TestSupport.h>
#include <runtime/Cp1250.h>
#include <vcl/Application.h>
#include <vcl/testing/MessageBoxResponder.h>
#include <vcl/testing/UserInput.h>
#include <windows/Windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using namespace VL_PAK32;
using rtl::operator""_w;

namespace {

vlpak32test::PrivateProgramFolder* programFolder = nullptr;

const std::string kTytul = "Transakcje sklepu 7";
const std::string kDo = "centrala@example.com";
const std::string kOd = "sklep7@example.com";

std::string Ini(const std::string& wysylka, const std::string& smtp) {
    std::string t = "[Eksport_TRN]\r\nTytul_Wiadomosci=" + kTytul + "\r\n";
    if (!wysylka.empty())
        t += "Katalog_Wysylka=" + wysylka + "\r\n";
    t += "Mail_Do=" + kDo + "\r\nMail_Od=" + kOd + "\r\nUzytkownik=" + "Sklep Łódź"_w + "\r\nSMTP=" + smtp +
         "\r\n[Error]\r\nNr=5\r\nMsg=stare\r\n";
    return t;
}

std::vector<std::string> Linie(const TForm1& f) {
    std::vector<std::string> linie;
    for (int i = 0; i < f.LB1->Items().Count(); ++i)
        linie.push_back(f.LB1->Items()[i]);
    return linie;
}

class MailOutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        ZerujBlad();
        wysylka = win::WindowsPath(dir.Path());
    }
    void TearDown() override { std::filesystem::remove(programFolder->IniFile()); }

    void Paczka(const std::string& nazwa, const std::string& tresc) {
        vltest::WriteFile(dir.File(nazwa), tresc);
    }
    void Atrybut(const std::string& nazwa, win::DWORD atrybut) {
        const std::string p = wysylka + "\\" + nazwa;
        ASSERT_TRUE(win::SetFileAttributesA(p.c_str(), atrybut)) << nazwa;
    }
    void UstawIni(const std::string& smtp, const std::string& katalog) {
        vltest::WriteFile(programFolder->IniFile(), Ini(katalog, smtp));
    }
    std::string Rekord() const { return vltest::ReadFile(programFolder->IniFile()); }

    // Shows the window, lets its first activation do the run, and waits for the close button.
    void Uruchom() {
        form = std::make_unique<TForm1>(nullptr);
        form->AfterConstruction();
        ASSERT_TRUE(vcl::testing::ShowAndWait(*form, 10000));
        ASSERT_TRUE(vcl::testing::WaitFor([&] { return form->ButZamknij->Visible(); }, 60000));
    }

    vltest::TempDir dir{"vlpak32wys"};
    std::string wysylka;
    vcl::testing::MessageBoxResponder okna{win::IDOK};
    std::unique_ptr<TForm1> form;
};

TEST(MailOutLogika, EndLineAndFirstVisibleLine) {
    EXPECT_EQ(LiniaKoncowa(0, "cokolwiek"), "Gotowe ....");
    EXPECT_EQ(LiniaKoncowa(11001, "Nie znaleziono Hosta"_w), "Błąd : (11001) Nie znaleziono Hosta"_w);
    EXPECT_EQ(LiniaKoncowa(-1, "a, b"), "Błąd : (-1) a, b"_w);
    EXPECT_EQ(LiniaKoncowa(-1, ""), "Błąd : (-1) "_w);
    const int oczekiwane[] = {0, 0, 0, 0, 0, 1, 2, 3, 4};
    for (int n = 0; n <= 8; ++n)
        EXPECT_EQ(PierwszaWidocznaLinia(n), oczekiwane[n]) << n;
    EXPECT_EQ(SciezkaPaczki("C:\\wys", "A.ZIP"), "C:\\wys\\A.ZIP");
    EXPECT_EQ(SciezkaPaczki("C:\\", "A.ZIP"), "C:\\A.ZIP");
    EXPECT_EQ(SciezkaPaczki("/tmp/w", "b.zip"), "/tmp/w\\b.zip");
    EXPECT_EQ(SciezkaPaczki("/tmp/w/", "b.zip"), "/tmp/w/b.zip");
}

TEST(MailOutLayout, WindowAsDesigned) {
    TForm1 f(nullptr);
    EXPECT_EQ(f.Caption(), "Wysyłanie danych"_w);
    EXPECT_EQ(f.ClientWidth(), 350);
    EXPECT_EQ(f.ClientHeight(), 123);
    EXPECT_EQ(f.BorderStyle(), vcl::bsSingle);
    EXPECT_EQ(f.BorderIcons(), vcl::TBorderIcons({vcl::biSystemMenu}));
    EXPECT_EQ(f.Position(), vcl::poScreenCenter);
    EXPECT_EQ(f.Font().Name(), "MS Sans Serif");
    EXPECT_EQ(f.Font().Size(), 8);

    EXPECT_EQ(f.LB1->Align(), vcl::alBottom);
    EXPECT_EQ(f.LB1->Top(), 53);
    EXPECT_EQ(f.LB1->Height(), 70);
    EXPECT_EQ(f.LB1->Width(), 350);
    EXPECT_EQ(f.LB1->Color(), vcl::clMoneyGreen);
    EXPECT_EQ(f.LB1->Items().Count(), 0);

    EXPECT_EQ(f.Gauge1->Top(), 31);
    EXPECT_EQ(f.Gauge1->Height(), 22);
    EXPECT_EQ(f.Gauge1->BackColor(), vcl::clSkyBlue);
    EXPECT_EQ(f.Gauge1->ForeColor(), vcl::clBlue);
    EXPECT_EQ(f.Gauge1->Progress(), 0);

    EXPECT_EQ(f.Pan1->Top(), 0);
    EXPECT_EQ(f.Pan1->Height(), 31);
    EXPECT_EQ(f.Pan1->Caption(), "Wysyłka"_w);
    EXPECT_EQ(f.Pan1->Color(), vcl::clCream);
    EXPECT_EQ(f.Pan1->Font().Height(), -19);
    EXPECT_TRUE(f.Pan1->Font().Style().Contains(vcl::fsBold));

    EXPECT_EQ(f.FileListBox1->Left(), 484);
    EXPECT_FALSE(f.FileListBox1->Enabled());
    EXPECT_EQ(f.FileListBox1->Font().Name(), "Courier New");

    EXPECT_EQ(f.ButZamknij->Caption(), "Za&mknij");
    EXPECT_TRUE(f.ButZamknij->Default());
    EXPECT_FALSE(f.ButZamknij->Visible());
    EXPECT_EQ(f.ButZamknij->Left(), 250);
    EXPECT_EQ(f.ButZamknij->Top(), 75);
    EXPECT_EQ(f.ButZamknij->Width(), 75);
    EXPECT_EQ(f.ButZamknij->Height(), 25);

    EXPECT_EQ(f.SMTP->Port(), 25);
    EXPECT_EQ(f.SMTP->AuthenticationType(), net::atNone);
    EXPECT_EQ(f.SMTP->ReadTimeout(), 0);
    EXPECT_EQ(f.SMTP->MaxLineAction(), net::maException);
    EXPECT_EQ(f.IdMessage1->Encoding(), net::meMIME);
    EXPECT_EQ(f.IdMessage1->AttachmentEncoding(), "MIME");
    EXPECT_FALSE(f.IdAntiFreeze1->OnlyWhenIdle());
}

TEST_F(MailOutTest, SendsThePackagesInNameOrderAndRecordsSuccess) {
    vltest::SmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    Paczka("b.zip", "PK-b");
    Paczka("A.ZIP", "PK-A-dluzsza");
    Paczka("c.Zip", std::string(100000, 'c'));
    Paczka("coop.zip", "PK-coop");
    Paczka("co-op.zip", "PK-co-op");
    Paczka("co.zip", "PK-co");
    Paczka("r.zip", "tylko-do-odczytu");
    Paczka("x.zip", "ukryta");
    Paczka("s.zip", "systemowa");
    Paczka("inne.txt", "nie");
    Paczka("d.zip.bak", "nie");
    std::filesystem::create_directory(dir.File("y.zip"));
    Atrybut("r.zip", win::FILE_ATTRIBUTE_READONLY);
    Atrybut("x.zip", win::FILE_ATTRIBUTE_HIDDEN);
    Atrybut("s.zip", win::FILE_ATTRIBUTE_SYSTEM);
    UstawIni("localhost", wysylka);

    Uruchom();

    EXPECT_EQ(okna.Count(), 0);
    const std::vector<std::string> oczekiwane = {"Sprawdzam połączenie z internetem, proszę czekać ..."_w,
                                                 "Łączenie się z serwerem poczty, proszę czekać ..."_w,
                                                 "Połączono z serwerem."_w,
                                                 "Wysyłanie danych."_w,
                                                 "Rozłączono z serwerem."_w,
                                                 "Gotowe ....",
                                                 "Naciśnij klawisz \"Zamknij\"."_w};
    EXPECT_EQ(Linie(*form), oczekiwane);
    // The fourth line from the end is asked for the top; the log shows five lines, so the list
    // stops at the third, the last line at the bottom edge.
    EXPECT_EQ(form->LB1->TopIndex(), 2);
    EXPECT_EQ(form->Pan1->Caption(), "Eksport transakcji."_w);
    EXPECT_EQ(BladNr, 0);
    EXPECT_EQ(KatalogProgramu, win::WindowsPath(programFolder->Path()));

    ASSERT_TRUE(smtp.WaitForMessages(1, 5000));
    const auto maile = smtp.Messages();
    ASSERT_EQ(maile.size(), 1u);
    const auto& m = maile[0];
    EXPECT_EQ(m.mailFrom, kOd);
    EXPECT_EQ(m.rcptTos, std::vector<std::string>{kDo});
    EXPECT_EQ(m.parsed.subject, kTytul);
    EXPECT_NE(m.parsed.from.find(kOd), std::string::npos) << m.parsed.from;
    EXPECT_NE(m.parsed.from.find("Sklep Łódź"), std::string::npos) << m.parsed.from;
    EXPECT_NE(m.parsed.to.find(kDo), std::string::npos) << m.parsed.to;
    EXPECT_NE(m.parsed.replyTo.find(kDo), std::string::npos) << m.parsed.replyTo;
    EXPECT_TRUE(m.parsed.defects.empty());
    // In the platform's word sort: the hyphen counts only between names otherwise equal.
    const std::vector<std::pair<std::string, std::string>> pliki = {
        {"A.ZIP", "PK-A-dluzsza"},    {"b.zip", "PK-b"},         {"c.Zip", std::string(100000, 'c')},
        {"co.zip", "PK-co"},          {"co-op.zip", "PK-co-op"}, {"coop.zip", "PK-coop"},
        {"r.zip", "tylko-do-odczytu"}};
    ASSERT_EQ(m.parsed.attachments.size(), pliki.size());
    for (std::size_t i = 0; i < pliki.size(); ++i) {
        EXPECT_EQ(m.parsed.attachments[i].fileName, pliki[i].first);
        EXPECT_EQ(m.parsed.attachments[i].size, static_cast<std::int64_t>(pliki[i].second.size()));
        EXPECT_EQ(m.parsed.attachments[i].sha256, vltest::Sha256Hex(pliki[i].second));
    }

    const std::string r = Rekord();
    EXPECT_NE(r.find("Nr=0"), std::string::npos) << r;
    EXPECT_NE(r.find("Msg=\r\n"), std::string::npos) << r;
    EXPECT_EQ(r.find("stare"), std::string::npos) << r;
    EXPECT_LT(r.find("Nr=0"), r.find("Msg="));
    EXPECT_TRUE(vltest::PathExists(dir.File("b.zip"))) << "sent packages stay where they are";

    // Alt+M presses "Za&mknij", which closes the window.
    vcl::testing::PressKeyOn(*form, 'M', {vcl::ssAlt});
    EXPECT_TRUE(vcl::testing::WaitFor([&] { return !form->Visible(); }, 5000));
}

TEST_F(MailOutTest, RunsOnlyOnTheFirstActivation) {
    vltest::SmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    Paczka("a.zip", "a");
    UstawIni("localhost", wysylka);
    Uruchom();
    ASSERT_TRUE(smtp.WaitForMessages(1, 5000));

    // Another window of the program takes the focus and gives it back.
    vcl::TForm inna(nullptr);
    inna.AfterConstruction();
    ASSERT_TRUE(vcl::testing::ShowAndWait(inna));
    form->BringToFront();
    vcl::testing::ProcessMessagesFor(300);
    inna.Close();
    vcl::testing::ProcessMessagesFor(300);
    EXPECT_EQ(form->LB1->Items().Count(), 7);
    EXPECT_EQ(smtp.MessageCount(), 1u);
}

// Shipments with nothing to send: the box, two lines, no record, the title unchanged.
class PustaWysylkaTest : public MailOutTest, public ::testing::WithParamInterface<int> {};

TEST_P(PustaWysylkaTest, ShowsBrakWysylkiAndSendsNothing) {
    vltest::SmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    // A package in the working folder must never be taken for the shipment.
    vltest::TempDir roboczy{"vlpak32cwd"};
    vltest::WriteFile(roboczy.File("obcy.zip"), "nie moj");
    const std::string poprzedni = std::filesystem::current_path();
    ASSERT_EQ(::chdir(roboczy.Path().c_str()), 0);
    Paczka("x.zip", "ukryta");
    Atrybut("x.zip", win::FILE_ATTRIBUTE_HIDDEN);
    Paczka("opis.txt", "nie");
    switch (GetParam()) {
    case 0:
        UstawIni("localhost", wysylka);
        break; // nothing but a hidden package
    case 1:
        UstawIni("localhost", "");
        break; // key missing: "brak"
    case 2:
        UstawIni("localhost", wysylka + "\\nie_ma_takiego");
        break; // a folder that does not exist
    }
    const std::string przed = Rekord();

    Uruchom();
    ASSERT_EQ(::chdir(poprzedni.c_str()), 0);

    ASSERT_EQ(okna.Count(), 1);
    EXPECT_EQ(okna[0].text, "Brak wysylki");
    EXPECT_EQ(okna[0].caption, "Błąd"_w);
    EXPECT_EQ(okna[0].owner, 0u);
    EXPECT_EQ(okna[0].type, win::MB_OK);
    EXPECT_EQ(Linie(*form), (std::vector<std::string>{"Gotowe ....", "Naciśnij klawisz \"Zamknij\"."_w}));
    EXPECT_EQ(form->LB1->TopIndex(), 0);
    EXPECT_EQ(form->Pan1->Caption(), "Wysyłka"_w);
    EXPECT_EQ(Rekord(), przed) << "no record is written";
    vcl::testing::ProcessMessagesFor(200);
    EXPECT_EQ(smtp.MessageCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, PustaWysylkaTest, ::testing::Values(0, 1, 2));

TEST_F(MailOutTest, UnresolvableHostIs11001WithoutABox) {
    Paczka("a.zip", "a");
    UstawIni("nie-ma-takiego-hosta.invalid", wysylka);
    Uruchom();
    EXPECT_EQ(okna.Count(), 0);
    EXPECT_EQ(Linie(*form), (std::vector<std::string>{
                                "Sprawdzam połączenie z internetem, proszę czekać ..."_w,
                                "Łączenie się z serwerem poczty, proszę czekać ..."_w,
                                "Błąd : (11001) Nie znaleziono Hosta"_w, "Naciśnij klawisz \"Zamknij\"."_w}));
    EXPECT_EQ(BladNr, 11001);
    const std::string r = Rekord();
    EXPECT_NE(r.find("Nr=11001\r\nMsg="_w + "Nie znaleziono Hosta"_w), std::string::npos) << r;
}

TEST_F(MailOutTest, RefusedConnectionIs10061WithABox) {
    Paczka("a.zip", "a");
    UstawIni("127.0.0.1", wysylka); // nothing listens on port 25
    Uruchom();
    const std::string tekst = "Socket Error # 10061, Connection refused.";
    ASSERT_EQ(okna.Count(), 1);
    EXPECT_EQ(okna[0].caption, "Błąd 10061"_w);
    EXPECT_EQ(okna[0].text, tekst);
    EXPECT_EQ(Linie(*form),
              (std::vector<std::string>{"Sprawdzam połączenie z internetem, proszę czekać ..."_w,
                                        "Łączenie się z serwerem poczty, proszę czekać ..."_w,
                                        "Błąd : (10061) "_w + tekst, "Naciśnij klawisz \"Zamknij\"."_w}));
    const std::string r = Rekord();
    EXPECT_NE(r.find("Nr=10061\r\nMsg=" + tekst + "\r\n"), std::string::npos) << r;
}

TEST_F(MailOutTest, RefusedRecipientIsMinusOneWithTheServersText) {
    vltest::SmtpServerOptions opcje;
    opcje.refuseRecipients[kDo] = "550 5.1.1 User unknown";
    vltest::SmtpServer smtp(opcje);
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    Paczka("a.zip", "a");
    UstawIni("localhost", wysylka);
    Uruchom();
    ASSERT_EQ(okna.Count(), 1);
    EXPECT_EQ(okna[0].caption, "Błąd -1"_w);
    EXPECT_EQ(okna[0].text, "5.1.1 User unknown");
    EXPECT_EQ(Linie(*form), (std::vector<std::string>{
                                "Sprawdzam połączenie z internetem, proszę czekać ..."_w,
                                "Łączenie się z serwerem poczty, proszę czekać ..."_w,
                                "Błąd : (-1) 5.1.1 User unknown"_w, "Naciśnij klawisz \"Zamknij\"."_w}));
    EXPECT_NE(Rekord().find("Nr=-1\r\nMsg=5.1.1 User unknown\r\n"), std::string::npos) << Rekord();
    EXPECT_EQ(smtp.MessageCount(), 0u);
}

TEST_F(MailOutTest, RefusedHelloIsReportedAfterTheClientDisconnected) {
    vltest::SmtpServerOptions opcje;
    opcje.refuseHello = "554 5.7.1 Go away";
    vltest::SmtpServer smtp(opcje);
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    Paczka("a.zip", "a");
    UstawIni("localhost", wysylka);
    Uruchom();
    const auto linie = Linie(*form);
    ASSERT_EQ(linie.size(), 5u);
    EXPECT_EQ(linie[2], "Rozłączono z serwerem."_w);
    EXPECT_EQ(linie[3], "Błąd : (-1) 5.7.1 Go away"_w);
    EXPECT_EQ(form->LB1->TopIndex(), 0) << "five lines fit the log";
    EXPECT_EQ(okna.Count(), 1);
}

TEST_F(MailOutTest, RefusedRecordWriteStopsTheRunAtTheDefaultErrorDialog) {
    vltest::SmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    Paczka("a.zip", "a");
    UstawIni("localhost", wysylka);
    const std::string ini = win::WindowsPath(programFolder->IniFile());
    ASSERT_TRUE(win::SetFileAttributesA(ini.c_str(), win::FILE_ATTRIBUTE_READONLY));
    form = std::make_unique<TForm1>(nullptr);
    form->AfterConstruction();
    ASSERT_TRUE(vcl::testing::ShowAndWait(*form, 10000));
    ASSERT_TRUE(vcl::testing::WaitFor([&] { return okna.Count() >= 2; }, 60000));
    win::SetFileAttributesA(ini.c_str(), win::FILE_ATTRIBUTE_NORMAL);

    const std::string tekst = "Unable to write to " + ini;
    EXPECT_EQ(okna[0].caption, "Błąd -1"_w);
    EXPECT_EQ(okna[0].text, tekst);
    EXPECT_EQ(okna[1].text, tekst + ".") << "the toolkit's error dialog adds the full stop";
    EXPECT_EQ(form->LB1->Items().Count(), 5) << "no end lines";
    EXPECT_FALSE(form->ButZamknij->Visible());
    EXPECT_EQ(smtp.MessageCount(), 1u);
}

} // namespace

int main(int argc, char** argv) {
    vlpak32test::PrivateProgramFolder folder(argc, argv);
    programFolder = &folder;
    if (vltest::RunningAsRoot())
        vltest::EnterPrivateNetwork(); // before Qt starts any thread
    ::testing::InitGoogleTest(&argc, argv);
    vcl::Application->Initialize(argc, argv);
    const int rc = RUN_ALL_TESTS();
    vcl::Application->ShutdownForTesting();
    return rc;
}
