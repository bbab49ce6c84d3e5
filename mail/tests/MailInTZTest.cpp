// The Talvik receiving window on the offscreen platform against a real dovecot: the mailbox list,
// the log, the gauge and the result record, and what the server saw and kept.

#include "MailInTZ.h"

#include "support/MailInOkno.h"

#include <vcl/Colors.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace mailin;
using VL_PAK32::TForm2;

class MailInTZTest : public OknoOdbioruTest {
  protected:
    void TearDown() override { okno.reset(); }

    Wynik Uruchom() { return OknoOdbioruTest::Uruchom(okno); }

    std::unique_ptr<TForm2> okno;
};

TEST_F(MailInTZTest, WindowLayout) {
    okno = std::make_unique<TForm2>(nullptr);
    okno->AfterConstruction();
    EXPECT_EQ(okno->Caption(), "Odbieranie poczty - Talvik");
    EXPECT_EQ(okno->ClientWidth(), 510);
    EXPECT_EQ(okno->ClientHeight(), 297);
    EXPECT_EQ(okno->BorderStyle(), vcl::bsSingle);
    EXPECT_EQ(okno->BorderIcons(), vcl::TBorderIcons{vcl::biSystemMenu});
    EXPECT_EQ(okno->Position(), vcl::poScreenCenter);
    ASSERT_EQ(okno->LV1->Columns().Count(), 4);
    const std::pair<const char*, int> kolumny[] = {
        {"Temat", 200}, {"Od", 150}, {"Data", 80}, {"Rozmiar", 60}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(okno->LV1->Columns()[i]->Caption(), kolumny[i].first);
        EXPECT_EQ(okno->LV1->Columns()[i]->Width(), kolumny[i].second);
    }
    EXPECT_EQ(okno->LV1->ViewStyle(), vcl::vsReport);
    EXPECT_TRUE(okno->LV1->ReadOnly());
    EXPECT_TRUE(okno->LV1->RowSelect());
    EXPECT_EQ(okno->LV1->Color(), vcl::clCream);
    EXPECT_EQ(okno->LV1->Width(), 510);
    EXPECT_EQ(okno->LV1->Height(), 205);
    EXPECT_EQ(okno->Gauge1->Top(), 205);
    EXPECT_EQ(okno->Gauge1->Height(), 22);
    EXPECT_EQ(okno->Gauge1->BackColor(), vcl::clSkyBlue);
    EXPECT_EQ(okno->Gauge1->ForeColor(), vcl::clBlue);
    EXPECT_EQ(okno->Gauge1->Progress(), 0);
    EXPECT_EQ(okno->LB1->Top(), 227);
    EXPECT_EQ(okno->LB1->Height(), 70);
    EXPECT_EQ(okno->LB1->Color(), vcl::clMoneyGreen);
    EXPECT_EQ(okno->ButZamknij->Caption(), "Za&mknij");
    EXPECT_EQ(okno->ButZamknij->Left(), 410);
    EXPECT_EQ(okno->ButZamknij->Top(), 249);
    EXPECT_EQ(okno->ButZamknij->Width(), 75);
    EXPECT_EQ(okno->ButZamknij->Height(), 25);
    EXPECT_TRUE(okno->ButZamknij->Default());
    EXPECT_FALSE(okno->ButZamknij->Visible());
    EXPECT_EQ(okno->POP->Port(), 110);
    EXPECT_EQ(okno->POP->ReadTimeout(), 0);
    EXPECT_FALSE(okno->IdAntiFreeze1->OnlyWhenIdle());
}

TEST_F(MailInTZTest, EmptyMailbox) {
    const Wynik w = Uruchom();
    EXPECT_EQ(w.log, (std::vector<std::string>{L("Łączenie się z serwerem, proszę czekać ..."),
                                               L("Sprawdzanie czy są nowe wiadomości ..."),
                                               L("Brak nowych wiadomości."), L("Rozłączono z serwerem."),
                                               L("Gotowe ...."), L("Naciśnij klawisz \"Zamknij\".")}));
    EXPECT_TRUE(w.lista.empty());
    EXPECT_EQ(w.gaugePostep, 0);
    EXPECT_TRUE(OstatnieCzteryWidoczne(w)) << w.logGora;
    EXPECT_TRUE(w.przyciskWidoczny);
    EXPECT_TRUE(w.okna.empty());
    EXPECT_EQ(w.nr, "0");
    EXPECT_EQ(w.msg, "");
}

TEST_F(MailInTZTest, NoTitledMessageIsFetchedWhole) {
    // The title differs by letter case, by a trailing blank, and not at all in the middle message's
    // sender only.
    const std::string m1 = Wiadomosc("przesyłka TRN", {{"a.zip", "AAAA"}});
    const std::string m2 = Wiadomosc("Przesyłka TRN ", {{"b.zip", "BBBB"}},
                                     "Anna Kowalska <anna@example.com>", "Fri, 31 Jan 2025 10:15:00 +0100");
    const std::string m3 = Wiadomosc("Faktura", {}, "<biuro@example.com>");
    for (const auto& m : {m1, m2, m3})
        serwer->AddMessage(m);
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log,
              (std::vector<std::string>{L("Łączenie się z serwerem, proszę czekać ..."),
                                        L("Sprawdzanie czy są nowe wiadomości ..."), L("Pobieranie poczty."),
                                        L("Brak przesyłek."), L("Rozłączono z serwerem."), L("Gotowe ...."),
                                        L("Naciśnij klawisz \"Zamknij\".")}));
    ASSERT_EQ(w.lista.size(), 3u);
    EXPECT_EQ(w.lista[0], (std::vector<std::string>{L("przesyłka TRN"), "Jan Nowak <jan@example.com>",
                                                    "05.03.2024", std::to_string(RozmiarPOP3(m1))}));
    EXPECT_EQ(w.lista[1], (std::vector<std::string>{L("Przesyłka TRN "), "Anna Kowalska <anna@example.com>",
                                                    "31.01.2025", std::to_string(RozmiarPOP3(m2))}));
    EXPECT_EQ(w.lista[2], (std::vector<std::string>{"Faktura", "biuro@example.com", "05.03.2024",
                                                    std::to_string(RozmiarPOP3(m3))}));
    EXPECT_EQ(w.gaugeMax, 3);
    EXPECT_EQ(w.gaugePostep, 3);
    EXPECT_TRUE(OstatnieCzteryWidoczne(w)) << w.logGora;
    EXPECT_TRUE(Pliki().empty());
    EXPECT_EQ(w.nr, "0");
    EXPECT_EQ(w.msg, "");
    const auto sesje = Sesje();
    ASSERT_EQ(sesje.size(), 1u);
    EXPECT_EQ(sesje[0].top, 3);
    EXPECT_EQ(sesje[0].retr, 0);
    EXPECT_EQ(sesje[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 3u);
}

TEST_F(MailInTZTest, TwoTitledMessagesSavedAndDeleted) {
    serwer->AddMessage(
        Wiadomosc("Przesyłka TRN", {{"PAK_001.ZIP", std::string("PK\x03\x04 one\0\xff", 10)}}));
    serwer->AddMessage(Wiadomosc("Inna", {{"inna.zip", "nie"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK_002.ZIP", "PK\x03\x04 two"}}));
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_TRUE(OstatnieCzteryWidoczne(w)) << w.logGora;
    EXPECT_EQ(w.gaugeMax, 2);
    EXPECT_EQ(w.gaugePostep, 2);
    EXPECT_TRUE(w.okna.empty());
    EXPECT_EQ(Pliki(), (std::vector<std::string>{"PAK_001.ZIP", "PAK_002.ZIP"}));
    EXPECT_EQ(Plik("PAK_001.ZIP"), std::string("PK\x03\x04 one\0\xff", 10));
    EXPECT_EQ(Plik("PAK_002.ZIP"), "PK\x03\x04 two");
    // The Talvik window keeps its settings in the shared strings.
    EXPECT_EQ(VL_PAK32::TytulWiadomosci, L("Przesyłka TRN"));
    EXPECT_EQ(VL_PAK32::KatalogOdbioru, win::WindowsPath(trn));
    EXPECT_EQ(VL_PAK32::HasloPOP3, "tajne");
    EXPECT_EQ(VL_PAK32::UsuwacZSerwera, "tak");
    EXPECT_EQ(VL_PAK32::KatalogProgramu, win::WindowsPath(FolderProgramu()->Path()));
    EXPECT_EQ(w.nr, "0");
    EXPECT_EQ(w.msg, "");
    const auto sesje = Sesje();
    ASSERT_EQ(sesje.size(), 1u);
    EXPECT_EQ(sesje[0].top, 3);
    EXPECT_EQ(sesje[0].retr, 2);
    EXPECT_EQ(sesje[0].del, 2);
    const auto zostaly = serwer->Messages();
    ASSERT_EQ(zostaly.size(), 1u);
    EXPECT_NE(zostaly[0].find("Subject: Inna"), std::string::npos);
}

TEST_F(MailInTZTest, TwoAttachmentsOneDeletion) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"a.zip", "pierwszy"}, {"b.zip", "drugi"}}));
    ustawienia["CzyUsuwac"] = "TAK";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_EQ(Pliki(), (std::vector<std::string>{"a.zip", "b.zip"}));
    EXPECT_EQ(Plik("a.zip"), "pierwszy");
    EXPECT_EQ(Plik("b.zip"), "drugi");
    const auto sesje = Sesje();
    ASSERT_EQ(sesje.size(), 1u);
    EXPECT_EQ(sesje[0].retr, 1);
    EXPECT_EQ(sesje[0].del, 1);
    EXPECT_TRUE(serwer->Messages().empty());
    EXPECT_EQ(w.nr, "0");
}

TEST_F(MailInTZTest, TitledMessageWithoutAttachmentsStays) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN"));
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_EQ(w.gaugeMax, 1);
    EXPECT_EQ(w.gaugePostep, 1);
    EXPECT_TRUE(Pliki().empty());
    const auto sesje = Sesje();
    EXPECT_EQ(sesje[0].retr, 1);
    EXPECT_EQ(sesje[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

TEST_F(MailInTZTest, ExistingFileReplacedAndMessageKeptWithoutCzyUsuwac) {
    vltest::WriteFile(trn + "/PAK.ZIP", "stara zawartosc, dluzsza od nowej");
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK.ZIP", "nowa"}}));
    ustawienia.erase("CzyUsuwac");

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_EQ(Pliki(), std::vector<std::string>{"PAK.ZIP"});
    EXPECT_EQ(Plik("PAK.ZIP"), "nowa");
    const auto sesje = Sesje();
    EXPECT_EQ(sesje[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

TEST_F(MailInTZTest, NamesNeverLeaveTheIncomingFolder) {
    // The incoming folder lies two levels down, so that "..\..\" would reach the temporary folder.
    const std::string gleboko = trn + "/a/b";
    ASSERT_TRUE(win::ForceDirectories(win::WindowsPath(gleboko)));
    ustawienia["Katalog_TRN"] = win::WindowsPath(gleboko);
    // A folder that the absolute name points into.
    const std::string obcy = dir.File("obcy");
    ASSERT_EQ(::mkdir(obcy.c_str(), 0755), 0);
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"..\\..\\x.zip", "x"},
                                                   {"../y.zip", "y"},
                                                   {obcy + "/z.zip", "z"},
                                                   {"C:\\Windows\\w.zip", "w"},
                                                   {"..", "kropki"},
                                                   {"a/.", "kropka"}}));
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_TRUE(w.okna.empty());
    EXPECT_EQ(vltest::ListFolder(gleboko), (std::vector<std::string>{"w.zip", "x.zip", "y.zip", "z.zip"}));
    EXPECT_EQ(vltest::ReadFile(gleboko + "/x.zip"), "x");
    EXPECT_EQ(vltest::ReadFile(gleboko + "/z.zip"), "z");
    EXPECT_EQ(vltest::ListFolder(trn), std::vector<std::string>{"a"});
    EXPECT_EQ(vltest::ListFolder(trn + "/a"), std::vector<std::string>{"b"});
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (std::vector<std::string>{"TRN", "obcy"}));
    EXPECT_TRUE(vltest::ListFolder(obcy).empty());
    EXPECT_EQ(w.nr, "0");
    EXPECT_EQ(Sesje()[0].del, 1);
}

TEST_F(MailInTZTest, MessageWithOnlyUnusableNamesSavesNothingAndStays) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"..", "a"}, {"x\\", "b"}, {"C:", "c"}}));
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_TRUE(Pliki().empty());
    EXPECT_EQ(vltest::ListFolder(dir.Path()), std::vector<std::string>{"TRN"});
    EXPECT_EQ(Sesje()[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

TEST_F(MailInTZTest, RefusedLogin) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"a.zip", "a"}}));
    ustawienia["Haslo"] = Odwroc("zle-haslo");

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, (std::vector<std::string>{
                         L("Łączenie się z serwerem, proszę czekać ..."), L("Rozłączono z serwerem."),
                         L("Błąd : (2) Niepoprawna autoryzacja (złe hasło lub użytkownik)."),
                         L("Naciśnij klawisz \"Zamknij\".")}));
    EXPECT_EQ(w.logGora, 0);
    EXPECT_TRUE(w.okna.empty());
    EXPECT_TRUE(w.przyciskWidoczny);
    EXPECT_EQ(w.nr, "2");
    EXPECT_EQ(w.msg, L("Niepoprawna autoryzacja (złe hasło lub użytkownik)."));
    EXPECT_TRUE(Pliki().empty());
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

TEST_F(MailInTZTest, FailureMidRunLeavesEveryMessageOnTheServer) {
    // The second package cannot be saved: a folder holds its name.
    ASSERT_EQ(::mkdir((trn + "/PAK_002.ZIP").c_str(), 0755), 0);
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK_001.ZIP", "jeden"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK_002.ZIP", "dwa"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"PAK_003.ZIP", "trzy"}}));
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, (std::vector<std::string>{L("Łączenie się z serwerem, proszę czekać ..."),
                                               L("Sprawdzanie czy są nowe wiadomości ..."),
                                               L("Pobieranie poczty."), L("Zapisywanie załączników."),
                                               L("Błąd : (-1) Error saving attachment."),
                                               L("Naciśnij klawisz \"Zamknij\".")}));
    ASSERT_EQ(w.okna.size(), 1u);
    EXPECT_EQ(w.okna[0].caption, L("Błąd -1"));
    EXPECT_EQ(w.okna[0].text, "Error saving attachment.");
    EXPECT_EQ(w.okna[0].owner, 0u);
    EXPECT_EQ(w.okna[0].type, win::MB_OK);
    EXPECT_EQ(w.nr, "-1");
    EXPECT_EQ(w.msg, "Error saving attachment.");
    EXPECT_EQ(w.gaugePostep, 1);
    EXPECT_EQ(Pliki(), (std::vector<std::string>{"PAK_001.ZIP", "PAK_002.ZIP"}));
    EXPECT_EQ(Plik("PAK_001.ZIP"), "jeden");
    // The connection goes without QUIT when the window goes: nothing marked is removed.
    okno.reset();
    const auto sesje = Sesje();
    ASSERT_EQ(sesje.size(), 1u);
    EXPECT_EQ(sesje[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 3u);
}

// A record that cannot be written: the error routine's box, then its own write fails and the
// toolkit's error dialog ends the handler; no closing lines, the button stays hidden.
TEST_F(MailInTZTest, RefusedRecordWriteStopsTheRunAtTheDefaultErrorDialog) {
    vltest::WriteFile(FolderProgramu()->IniFile(), PlikINI(ustawienia));
    const std::string ini = win::WindowsPath(FolderProgramu()->IniFile());
    ASSERT_TRUE(win::SetFileAttributesA(ini.c_str(), win::FILE_ATTRIBUTE_READONLY));
    VL_PAK32::ZerujBlad();
    vcl::testing::MessageBoxResponder okna(win::IDOK);
    okno = std::make_unique<TForm2>(nullptr);
    okno->AfterConstruction();
    const bool pokazane = vcl::testing::ShowAndWait(*okno, 60000);
    const bool dwaOkna = vcl::testing::WaitFor([&] { return okna.Count() >= 2; }, 60000);
    vcl::testing::ProcessMessagesFor(200);
    win::SetFileAttributesA(ini.c_str(), win::FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(pokazane);
    ASSERT_TRUE(dwaOkna);

    const std::string tekst = "Unable to write to " + ini;
    ASSERT_EQ(okna.Count(), 2);
    EXPECT_EQ(okna[0].caption, L("Błąd -1"));
    EXPECT_EQ(okna[0].text, tekst);
    EXPECT_EQ(okna[0].type, win::MB_OK);
    EXPECT_EQ(okna[1].caption, vcl::Application->Title());
    EXPECT_EQ(okna[1].text, tekst + ".");
    EXPECT_EQ(okna[1].type, win::MB_OK | win::MB_ICONSTOP);
    std::vector<std::string> log;
    for (int i = 0; i < okno->LB1->Items().Count(); ++i)
        log.push_back(okno->LB1->Items()[i]);
    EXPECT_EQ(log, (std::vector<std::string>{L("Łączenie się z serwerem, proszę czekać ..."),
                                             L("Sprawdzanie czy są nowe wiadomości ..."),
                                             L("Brak nowych wiadomości."), L("Rozłączono z serwerem.")}));
    EXPECT_FALSE(okno->ButZamknij->Visible());
    EXPECT_EQ(VL_PAK32::BladNr, -1);
}

// A plain subject that differs from the title by one blank at its end or its start is not the
// title: the comparison sees the subject as the sender wrote it.
TEST_F(MailInTZTest, SubjectWithABlankMoreIsNotTaken) {
    ustawienia["Tytul_Wiadomosci"] = "Paczka";
    serwer->AddMessage(Wiadomosc("Paczka ", {{"a.zip", "a"}}));
    serwer->AddMessage(Wiadomosc(" Paczka", {{"b.zip", "b"}}));
    serwer->AddMessage(Wiadomosc("Paczka", {{"c.zip", "c"}}));

    const Wynik w = Uruchom();

    ASSERT_EQ(w.lista.size(), 3u);
    EXPECT_EQ(w.lista[0][0], "Paczka ");
    EXPECT_EQ(w.lista[1][0], " Paczka");
    EXPECT_EQ(w.lista[2][0], "Paczka");
    EXPECT_EQ(Pliki(), (std::vector<std::string>{"c.zip"}));
    EXPECT_EQ(w.nr, "0");
    EXPECT_EQ(Sesje()[0].retr, 1);
}

struct NiewaznaNazwa {
    const char* nazwa; // UTF-8, as the sender names the file
};

class MailInTZNiewazneNazwy : public MailInTZTest, public ::testing::WithParamInterface<NiewaznaNazwa> {};

// A name no file may have ends the run with "Error saving attachment.": nothing is saved under
// it, no older file is touched, and with no QUIT every message stays on the server. Names
// outside Windows-1250 come out as "?", which is such a name, so two packages can no longer
// overwrite each other under "??.zip".
TEST_P(MailInTZNiewazneNazwy, EndTheRunAndKeepEveryMessage) {
    vltest::WriteFile(trn + "/stary.zip", "stary");
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{GetParam().nazwa, "dane"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"dobry.zip", "dobry"}}));
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log.at(w.log.size() - 2), L("Błąd : (-1) Error saving attachment.")) << GetParam().nazwa;
    EXPECT_EQ(w.nr, "-1");
    EXPECT_EQ(Pliki(), (std::vector<std::string>{"stary.zip"}));
    okno.reset();
    EXPECT_EQ(Sesje()[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Nazwy, MailInTZNiewazneNazwy,
                         ::testing::Values(NiewaznaNazwa{"日本.zip"}, NiewaznaNazwa{"Ωμέγα.zip"},
                                           NiewaznaNazwa{"Привет.zip"}, NiewaznaNazwa{"ab:c.zip"},
                                           NiewaznaNazwa{"a*b.zip"}, NiewaznaNazwa{"a|b.zip"},
                                           NiewaznaNazwa{"a<b>.zip"}, NiewaznaNazwa{"a\"b.zip"},
                                           NiewaznaNazwa{"CON.zip"}, NiewaznaNazwa{"lpt1"},
                                           NiewaznaNazwa{"VL_PAK32.INI"}, NiewaznaNazwa{"vl_pak32.ini."},
                                           NiewaznaNazwa{"a\tb.zip"}));

// The program's own settings file cannot be replaced through a package even when the incoming
// folder is the program's folder.
TEST_F(MailInTZTest, PackageNamedLikeTheSettingsFileLeavesItAlone) {
    ustawienia["Katalog_TRN"] = win::WindowsPath(FolderProgramu()->Path());
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"VL_PAK32.INI", "[Eksport_TRN]\nSMTP=zly.example\n"}}));

    const Wynik w = Uruchom();

    EXPECT_EQ(w.nr, "-1");
    EXPECT_EQ(w.msg, "Error saving attachment.");
    EXPECT_EQ(vltest::ReadFile(FolderProgramu()->IniFile()).find("zly.example"), std::string::npos);
}

// An empty incoming folder is no folder to write into (it would be the drive's root): the run
// ends with "Error saving attachment.", nothing saved and nothing deleted.
TEST_F(MailInTZTest, EmptyIncomingFolderSavesNothing) {
    ustawienia["Katalog_TRN"] = "";
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"pakiet.zip", "dane"}}));
    ustawienia["CzyUsuwac"] = "tak";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.nr, "-1");
    EXPECT_EQ(w.msg, "Error saving attachment.");
    EXPECT_FALSE(vltest::PathExists("/pakiet.zip"));
    okno.reset();
    EXPECT_EQ(Sesje()[0].del, 0);
    EXPECT_EQ(serwer->Messages().size(), 1u);
}

// Two minutes of silence end the run as a socket error (the limit is shortened here through
// the component's setting); the window is not left hanging and the host gets its record.
TEST_F(MailInTZTest, SilentServerEndsTheRunWithTheSocketTimeOut) {
    int sluchacz = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(1110);
    ASSERT_EQ(::bind(sluchacz, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(sluchacz, 1), 0); // accepted by the system, never answered
    vltest::WriteFile(FolderProgramu()->IniFile(), PlikINI(ustawienia));
    vcl::testing::MessageBoxResponder okna(win::IDOK);
    okno = std::make_unique<TForm2>(nullptr);
    okno->AfterConstruction();
    okno->POP->SetPort(1110);
    okno->POP->SetSilenceTimeout(500);
    ASSERT_TRUE(vcl::testing::ShowAndWait(*okno, 60000));
    ASSERT_TRUE(vcl::testing::WaitFor([&] { return okno->ButZamknij->Visible(); }, 20000));
    ::close(sluchacz);
    EXPECT_EQ(VL_PAK32::BladNr, 10060);
    const std::string ini = vltest::ReadFile(FolderProgramu()->IniFile());
    EXPECT_EQ(WartoscINI(ini, "Error", "Nr"), "10060");
    EXPECT_EQ(WartoscINI(ini, "Error", "Msg"), "Socket Error # 10060, Connection timed out.");
    ASSERT_EQ(okna.Count(), 1);
    EXPECT_EQ(okna[0].caption, L("Błąd 10060"));
}

TEST_F(MailInTZTest, CloseButtonClosesTheWindow) {
    Uruchom();
    ASSERT_TRUE(okno->Visible());
    ASSERT_TRUE(okno->ButZamknij->Visible());
    okno->ButZamknij->Click();
    vcl::Application->ProcessMessages();
    EXPECT_FALSE(okno->Visible());
}

} // namespace

int main(int argc, char** argv) {
    return mailin::UruchomTesty(argc, argv);
}
