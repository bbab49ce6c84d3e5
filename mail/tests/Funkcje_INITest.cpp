// CzytajINI / ZapiszINI over the Windows profile functions, the settings the jobs read, the
// result record and the error routine, against real INI files in temporary folders.

#include "Funkcje_INI.h"
#include "Funkcje_ERR.h"

#include <TestSupport.h>
#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>
#include <vcl/testing/MessageBoxResponder.h>
#include <windows/Windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace VL_PAK32;
using rtl::operator""_w;

namespace {

class IniTest : public ::testing::Test {
  protected:
    void SetUp() override {
        katalog = win::WindowsPath(dir.Path());
        KatalogProgramu = katalog;
        ZerujBlad();
    }
    std::string Plik() const { return dir.File("VL_PAK32.INI"); }
    std::string Tekst() const { return vltest::ReadFile(Plik()); }

    vltest::TempDir dir{"vlpak32ini"};
    std::string katalog;
};

TEST_F(IniTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(CzytajINI("Eksport_TRN", "SMTP", "brak", katalog, "VL_PAK32.INI"), "brak");
    EXPECT_FALSE(vltest::PathExists(Plik())) << "a read must not create the file";
    vltest::WriteFile(Plik(), "[Inna]\r\nSMTP=x\r\n[Eksport_TRN]\r\nPOP3=pop.example\r\n");
    EXPECT_EQ(CzytajINI("Eksport_TRN", "SMTP", "brak", katalog, "VL_PAK32.INI"), "brak");
    EXPECT_EQ(CzytajINI("Brak_Sekcji", "POP3", "brak", katalog, "VL_PAK32.INI"), "brak");
    EXPECT_EQ(CzytajINI("Eksport_TRN", "POP3", "brak", katalog, "VL_PAK32.INI"), "pop.example");
}

TEST_F(IniTest, ValuesTravelAsWindows1250Bytes) {
    const std::string haslo = OdwrocHaslo("zle-haslo"); // ends in 0x90, undefined in the code page
    vltest::WriteFile(Plik(), "[Eksport_TRN]\r\nTytul_Wiadomosci="_w + "Paczka Żółć"_w +
                                  "\r\nHaslo=" + haslo + "\r\n");
    EXPECT_EQ(CzytajINI("Eksport_TRN", "Tytul_Wiadomosci", "brak", katalog, "VL_PAK32.INI"), "Paczka Żółć"_w);
    EXPECT_EQ(CzytajINI("Eksport_TRN", "Haslo", "brak", katalog, "VL_PAK32.INI"), haslo);
}

TEST_F(IniTest, LongValueIsCutAt2047Characters) {
    std::string dluga;
    for (int i = 0; i < 3000; ++i)
        dluga += static_cast<char>('a' + i % 26);
    vltest::WriteFile(Plik(), "[Eksport_TRN]\r\nTytul_Wiadomosci=" + dluga + "\r\nSMTP=s\r\n");
    const std::string w = CzytajINI("Eksport_TRN", "Tytul_Wiadomosci", "brak", katalog, "VL_PAK32.INI");
    EXPECT_EQ(w, dluga.substr(0, 2047));
    EXPECT_EQ(CzytajINI("Eksport_TRN", "SMTP", "brak", katalog, "VL_PAK32.INI"), "s");
}

TEST_F(IniTest, WriteIsInTheFileWhenTheCallReturns) {
    ZapiszINI("Error", "Nr", "0", katalog, "VL_PAK32.INI");
    EXPECT_NE(Tekst().find("[Error]"), std::string::npos) << Tekst();
    EXPECT_NE(Tekst().find("Nr=0"), std::string::npos) << Tekst();
    ZapiszINI("Error", "Nr", "-1", katalog, "VL_PAK32.INI");
    EXPECT_EQ(Tekst().find("Nr=0"), std::string::npos) << Tekst();
    EXPECT_NE(Tekst().find("Nr=-1"), std::string::npos) << Tekst();
    EXPECT_EQ(CzytajINI("Error", "Nr", "brak", katalog, "VL_PAK32.INI"), "-1");
}

TEST_F(IniTest, WriteKeepsTheHostsSettings) {
    vltest::WriteFile(Plik(), "[Eksport_TRN]\r\nSMTP=smtp.example\r\n");
    ZapiszWynik(0, "");
    EXPECT_EQ(CzytajINI("Eksport_TRN", "SMTP", "brak", katalog, "VL_PAK32.INI"), "smtp.example");
}

TEST_F(IniTest, ResultRecordWritesNrThenAnEmptyMsg) {
    ZapiszWynik(0, "");
    const std::string t = Tekst();
    const auto nr = t.find("Nr=0");
    const auto msg = t.find("Msg=");
    ASSERT_NE(nr, std::string::npos) << t;
    ASSERT_NE(msg, std::string::npos) << "an empty Msg is written, not removed: " << t;
    EXPECT_LT(nr, msg);
    EXPECT_EQ(CzytajINI("Error", "Msg", "brak", katalog, "VL_PAK32.INI"), "");
}

TEST_F(IniTest, RefusedWriteRaisesUnableToWriteWithThePath) {
    vltest::WriteFile(Plik(), "[Error]\r\nNr=5\r\nMsg=stare\r\n");
    const std::string sciezka = katalog + "\\VL_PAK32.INI";
    ASSERT_TRUE(win::SetFileAttributesA(sciezka.c_str(), win::FILE_ATTRIBUTE_READONLY));
    try {
        ZapiszINI("Error", "Nr", "0", katalog, "VL_PAK32.INI");
        FAIL() << "a read-only INI file must refuse the write";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + sciezka);
    }
    EXPECT_EQ(Tekst(), "[Error]\r\nNr=5\r\nMsg=stare\r\n");
}

TEST_F(IniTest, DriveRootFolderGivesTwoBackslashesThatWork) {
    vltest::ScopedEnv drives("VL_DRIVES", "Q=" + dir.Path());
    EXPECT_EQ(KatalogZeSciezki("Q:\\VL_PAK32"), "Q:\\");
    EXPECT_EQ(SciezkaINI("Q:\\", "VL_PAK32.INI"), "Q:\\\\VL_PAK32.INI");
    ZapiszINI("Error", "Nr", "7", "Q:\\", "VL_PAK32.INI");
    EXPECT_EQ(CzytajINI("Error", "Nr", "brak", "Q:\\", "VL_PAK32.INI"), "7");
    EXPECT_NE(Tekst().find("Nr=7"), std::string::npos) << "written beside the root, in " << Plik();
}

TEST_F(IniTest, SettingsAreReadWithBrakAndThePasswordUnscrambled) {
    vltest::WriteFile(Plik(), "[Eksport_TRN]\r\nTytul_Wiadomosci=Transakcje\r\nKatalog_Wysylka=C:\\wys\r\n"
                              "Mail_Do=do@example.com\r\nSMTP=smtp.example\r\nHaslo=" +
                                  OdwrocHaslo("tajne") + "\r\n");
    const Ustawienia u = CzytajUstawienia(katalog);
    EXPECT_EQ(u.TytulWiadomosci, "Transakcje");
    EXPECT_EQ(u.KatalogWysylki, "C:\\wys");
    EXPECT_EQ(u.KatalogOdbioru, "brak");
    EXPECT_EQ(u.AdresDo, "do@example.com");
    EXPECT_EQ(u.AdresOd, "brak");
    EXPECT_EQ(u.NazwaUzytkownika, "brak");
    EXPECT_EQ(u.SerwerSMTP, "smtp.example");
    EXPECT_EQ(u.SerwerPOP3, "brak");
    EXPECT_EQ(u.HasloPOP3, "tajne");
    EXPECT_EQ(Tekst().find("[Error]"), std::string::npos) << "reading writes nothing";
}

TEST_F(IniTest, MissingAndEmptyPassword) {
    EXPECT_EQ(CzytajUstawienia(katalog).HasloPOP3, "\x9D\x8D\x9E\x94");
    vltest::WriteFile(Plik(), "[Eksport_TRN]\r\nHaslo=\r\n");
    EXPECT_EQ(CzytajUstawienia(katalog).HasloPOP3, "");
}

// The error routine: what it keeps, the box it shows (if any), and the record it writes.
struct BladCase {
    std::int32_t kod;
    std::string tekst;
    std::string msg;       // BladMsg and Msg
    std::string tytulOkna; // "" when no box
};

class ObsluzBladTest : public IniTest, public ::testing::WithParamInterface<BladCase> {};

TEST_P(ObsluzBladTest, KeepsShowsAndRecords) {
    const BladCase& c = GetParam();
    vcl::testing::MessageBoxResponder okna(win::IDOK);
    bool zapisanoPrzedOknem = false;
    okna.SetWhileOpen([&](const auto&) { zapisanoPrzedOknem = vltest::PathExists(Plik()); });
    ObsluzBlad(c.kod, c.tekst);
    EXPECT_EQ(BladNr, c.kod);
    EXPECT_EQ(BladMsg, c.msg);
    if (c.tytulOkna.empty()) {
        EXPECT_EQ(okna.Count(), 0);
    } else {
        ASSERT_EQ(okna.Count(), 1);
        EXPECT_EQ(okna[0].caption, c.tytulOkna);
        EXPECT_EQ(okna[0].text, c.msg);
        EXPECT_EQ(okna[0].owner, 0u);
        EXPECT_EQ(okna[0].type, win::MB_OK);
        EXPECT_FALSE(zapisanoPrzedOknem) << "the record comes after the box is closed";
    }
    EXPECT_EQ(CzytajINI("Error", "Nr", "brak", katalog, "VL_PAK32.INI"), std::to_string(c.kod));
    EXPECT_EQ(CzytajINI("Error", "Msg", "brak", katalog, "VL_PAK32.INI"), TekstRekordu(c.msg));
    EXPECT_LT(Tekst().find("Nr="), Tekst().find("Msg="));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ObsluzBladTest,
    ::testing::Values(BladCase{11001, "Socket Error # 11001\r\nHost not found.", "Nie znaleziono Hosta"_w,
                               ""},
                      BladCase{10039, "cokolwiek", "Niezbędny adres docelowy"_w, ""},
                      BladCase{10093, "", "Nie załadowany Winsock"_w, ""},
                      BladCase{2, "[AUTH] Authentication failed.",
                               "Niepoprawna autoryzacja (złe hasło lub użytkownik)."_w, ""},
                      BladCase{-1, "  a\r\nb  ", "a, b", "Błąd -1"_w}, BladCase{-1, "\r\n", ",", "Błąd -1"_w},
                      BladCase{-1, "a\rb\nc", "a\rb\nc", "Błąd -1"_w},
                      BladCase{10061, "Socket Error # 10061\r\nConnection refused.",
                               "Socket Error # 10061, Connection refused.", "Błąd 10061"_w},
                      BladCase{550, "5.1.1 User unknown", "5.1.1 User unknown", "Błąd 550"_w}));

TEST_F(IniTest, ErrorTextCannotAddLinesToTheRecord) {
    vcl::testing::MessageBoxResponder okna(win::IDOK);
    ObsluzBlad(-1, "x\n[Eksport_TRN]\nSMTP=obcy\rKatalog_Wysylka=C:\\");
    EXPECT_EQ(BladMsg, "x\n[Eksport_TRN]\nSMTP=obcy\rKatalog_Wysylka=C:\\")
        << "the log and the box keep the text";
    EXPECT_EQ(Tekst(), "[Error]\r\nNr=-1\r\nMsg=x [Eksport_TRN] SMTP=obcy Katalog_Wysylka=C:\\\r\n");
    EXPECT_EQ(CzytajINI("Eksport_TRN", "SMTP", "brak", katalog, "VL_PAK32.INI"), "brak");
}

TEST_F(IniTest, ErrorRoutineEndsAtARefusedWriteAfterItsBox) {
    vltest::WriteFile(Plik(), "[Error]\r\nNr=0\r\nMsg=\r\n");
    const std::string sciezka = katalog + "\\VL_PAK32.INI";
    ASSERT_TRUE(win::SetFileAttributesA(sciezka.c_str(), win::FILE_ATTRIBUTE_READONLY));
    vcl::testing::MessageBoxResponder okna(win::IDOK);
    try {
        ObsluzBlad(-1, "zle");
        FAIL() << "the refused write must reach the caller";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + sciezka);
    }
    ASSERT_EQ(okna.Count(), 1);
    EXPECT_EQ(okna[0].caption, "Błąd -1"_w);
    EXPECT_EQ(BladNr, -1);
    EXPECT_EQ(BladMsg, "zle");
    EXPECT_EQ(Tekst(), "[Error]\r\nNr=0\r\nMsg=\r\n");
}

} // namespace
