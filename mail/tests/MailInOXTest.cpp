// The Orvena receiving window on the offscreen platform against a real dovecot: the NIP test on
// the attachments' names and what it means for the messages on the server.

#include "MailInOX.h"

#include "support/MailInOkno.h"

#include <gtest/gtest.h>

namespace {

using namespace mailin;
using VL_PAK32::TForm3;

class MailInOXTest : public OknoOdbioruTest {
  protected:
    void SetUp() override {
        OknoOdbioruTest::SetUp();
        ustawienia["NIP"] = "1234567890";
        ustawienia["CzyUsuwac"] = "TAK";
    }
    void TearDown() override { okno.reset(); }

    Wynik Uruchom() { return OknoOdbioruTest::Uruchom(okno); }

    std::unique_ptr<TForm3> okno;
};

TEST_F(MailInOXTest, WindowLayout) {
    okno = std::make_unique<TForm3>(nullptr);
    okno->AfterConstruction();
    EXPECT_EQ(okno->Caption(), "Odbieranie poczty - Orvena");
    EXPECT_EQ(okno->ClientWidth(), 510);
    EXPECT_EQ(okno->ClientHeight(), 297);
    EXPECT_EQ(okno->ButZamknij->Left(), 414);
    EXPECT_EQ(okno->ButZamknij->Top(), 248);
    EXPECT_EQ(okno->ButZamknij->Caption(), "Za&mknij");
    EXPECT_TRUE(okno->ButZamknij->Default());
    EXPECT_FALSE(okno->ButZamknij->Visible());
    EXPECT_TRUE(okno->IdAntiFreeze1->OnlyWhenIdle());
    EXPECT_EQ(okno->LV1->Columns().Count(), 4);
    EXPECT_EQ(okno->POP->Port(), 110);
}

TEST_F(MailInOXTest, TenDigitNipSavesOnlyItsPackages) {
    serwer->AddMessage(
        Wiadomosc("Przesyłka TRN", {{"1234567890_1.zip", "moja"}, {"9876543210_1.zip", "obca"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"9876543210_2.zip", "tylko obca"}}));
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"1234567890_2.zip", "druga moja"}}));

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_EQ(w.gaugeMax, 3);
    EXPECT_EQ(w.gaugePostep, 3);
    EXPECT_EQ(Pliki(), (std::vector<std::string>{"1234567890_1.zip", "1234567890_2.zip"}));
    EXPECT_EQ(Plik("1234567890_1.zip"), "moja");
    EXPECT_EQ(Plik("1234567890_2.zip"), "druga moja");
    // The Orvena window keeps its own copies: the shared strings stay empty.
    for (const std::string* s :
         {&VL_PAK32::TytulWiadomosci, &VL_PAK32::KatalogWysylki, &VL_PAK32::KatalogOdbioru,
          &VL_PAK32::AdresDo, &VL_PAK32::AdresOd, &VL_PAK32::NazwaUzytkownika, &VL_PAK32::SerwerSMTP,
          &VL_PAK32::SerwerPOP3, &VL_PAK32::HasloPOP3, &VL_PAK32::UsuwacZSerwera})
        EXPECT_EQ(*s, "");
    EXPECT_EQ(VL_PAK32::KatalogProgramu, win::WindowsPath(FolderProgramu()->Path()));
    EXPECT_EQ(w.nr, "0");
    const auto sesje = Sesje();
    EXPECT_EQ(sesje[0].retr, 3);
    EXPECT_EQ(sesje[0].del, 2);
    // The message whose only package is another firm's stays, even with CzyUsuwac "TAK".
    const auto zostaly = serwer->Messages();
    ASSERT_EQ(zostaly.size(), 1u);
    EXPECT_NE(zostaly[0].find("9876543210_2.zip"), std::string::npos);
}

struct NipCase {
    const char* nip;
    std::vector<std::string> zapisane;
};

class MailInOXNipTest : public MailInOXTest, public ::testing::WithParamInterface<NipCase> {};

TEST_P(MailInOXNipTest, NipLength) {
    ustawienia["NIP"] = GetParam().nip;
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"12345", "a"},
                                                   {"12345.zip", "b"},
                                                   {"1234567890", "c"},
                                                   {"12345678901", "d"},
                                                   {"12345678901_1.zip", "e"}}));

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_EQ(Pliki(), GetParam().zapisane);
    EXPECT_EQ(Sesje()[0].del, GetParam().zapisane.empty() ? 0 : 1);
    EXPECT_EQ(serwer->Messages().size(), GetParam().zapisane.empty() ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Nip, MailInOXNipTest,
                         ::testing::Values(NipCase{"12345", {"12345"}},
                                           NipCase{"1234567890",
                                                   {"1234567890", "12345678901", "12345678901_1.zip"}},
                                           NipCase{"12345678901", {}}, NipCase{"brak", {}}));

TEST_F(MailInOXTest, NipTestUsesTheSafeName) {
    serwer->AddMessage(Wiadomosc("Przesyłka TRN", {{"..\\..\\1234567890_9.zip", "bezpieczna"}}));

    const Wynik w = Uruchom();

    EXPECT_EQ(w.log, kKoniecPoZapisie);
    EXPECT_EQ(Pliki(), std::vector<std::string>{"1234567890_9.zip"});
    EXPECT_EQ(vltest::ListFolder(dir.Path()), std::vector<std::string>{"TRN"});
}

TEST_F(MailInOXTest, FailureRecordGoesBesideTheProgram) {
    ustawienia["Uzytkownik"] = "nieznany";

    const Wynik w = Uruchom();

    EXPECT_EQ(w.nr, "2");
    EXPECT_EQ(w.msg, L("Niepoprawna autoryzacja (złe hasło lub użytkownik)."));
    EXPECT_EQ(w.log[1], L("Rozłączono z serwerem."));
}

} // namespace

int main(int argc, char** argv) {
    return mailin::UruchomTesty(argc, argv);
}
