// The receiving windows' decisions about attachment names and the listing's columns.

#include "MailInNazwy.h"

#include <TestSupport.h>
#include <runtime/Cp1250.h>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using VL_PAK32::DataKrotka;
using VL_PAK32::NazwaPlikuProgramu;
using rtl::operator""_w;
using VL_PAK32::NazwaZalacznika;
using VL_PAK32::RozmiarTekst;
using VL_PAK32::ZgodnyZNIP;

struct NazwaCase {
    const char* wWiadomosci;
    const char* zapis; // "" = passed over
};

class NazwaZalacznikaTest : public ::testing::TestWithParam<NazwaCase> {};

TEST_P(NazwaZalacznikaTest, KeepsOnlyTheLastComponent) {
    EXPECT_EQ(NazwaZalacznika(GetParam().wWiadomosci), GetParam().zapis) << GetParam().wWiadomosci;
}

INSTANTIATE_TEST_SUITE_P(
    Names, NazwaZalacznikaTest,
    ::testing::Values(NazwaCase{"paczka.zip", "paczka.zip"}, NazwaCase{"PACZKA 1.ZIP", "PACZKA 1.ZIP"},
                      NazwaCase{"..\\..\\x.zip", "x.zip"}, NazwaCase{"../x.zip", "x.zip"},
                      NazwaCase{"/etc/passwd", "passwd"}, NazwaCase{"C:\\Windows\\x.zip", "x.zip"},
                      NazwaCase{"C:x.zip", "x.zip"}, NazwaCase{"c:", ""}, NazwaCase{"dir/", ""},
                      NazwaCase{"a\\b/c.zip", "c.zip"}, NazwaCase{"\\\\serwer\\udzial\\y.zip", "y.zip"},
                      NazwaCase{"", ""}, NazwaCase{".", ""}, NazwaCase{"..", ""}, NazwaCase{"x/..", ""},
                      NazwaCase{"x\\.", ""}, NazwaCase{"...", "..."}, NazwaCase{".zip", ".zip"},
                      NazwaCase{"1:x.zip", "1:x.zip"}, NazwaCase{"ab:x.zip", "ab:x.zip"}));

struct NipCase {
    const char* nazwa;
    const char* nip;
    bool zgodny;
};

class ZgodnyZNIPTest : public ::testing::TestWithParam<NipCase> {};

TEST_P(ZgodnyZNIPTest, ComparesTheFirstTenCharacters) {
    EXPECT_EQ(ZgodnyZNIP(GetParam().nazwa, GetParam().nip), GetParam().zgodny)
        << GetParam().nazwa << " / " << GetParam().nip;
}

INSTANTIATE_TEST_SUITE_P(
    Nip, ZgodnyZNIPTest,
    ::testing::Values(
        NipCase{"1234567890_1.zip", "1234567890", true}, NipCase{"1234567890", "1234567890", true},
        NipCase{"1234567891_1.zip", "1234567890", false}, NipCase{"123456789", "1234567890", false},
        NipCase{"abcdefghij_1.zip", "ABCDEFGHIJ", false}, NipCase{"ABCDEFGHIJ_1.zip", "ABCDEFGHIJ", true},
        NipCase{"12345", "12345", true}, NipCase{"12345_1.zip", "12345", false},
        NipCase{"12345678901.zip", "12345678901", false}, NipCase{"12345678901", "12345678901", false},
        NipCase{" 123456789_1.zip", "123456789", false}, NipCase{"", "", true}, NipCase{"x.zip", "", false}));

TEST(NazwaPlikuProgramuTest, TheSettingsFileAndTheProgramItself) {
    const char* program = "C:\\VL\\VL_PAK32";
    for (const char* nazwa : {"VL_PAK32.INI", "vl_pak32.ini", "VL_PAK32.INI. ", "VL_PAK32", "vl_pak32.."})
        EXPECT_TRUE(NazwaPlikuProgramu(nazwa, program)) << nazwa;
    for (const char* nazwa : {"VL_PAK32.ZIP", "VL_PAK32.INI.zip", "VL_PAK3", "VL", ""})
        EXPECT_FALSE(NazwaPlikuProgramu(nazwa, program)) << nazwa;
    EXPECT_TRUE(NazwaPlikuProgramu("VL_PAK32.INI", ""));
}

// Without a locale of the user's own (C), the form of a Polish desktop.
TEST(DataKrotkaTest, DayMonthFullYear) {
    vltest::ScopedEnv all("LC_ALL", "C"), time("LC_TIME", std::nullopt);
    EXPECT_EQ(DataKrotka(45356.75), "05.03.2024"); // 5 March 2024, 18:00
    EXPECT_EQ(DataKrotka(45292.0), "01.01.2024");
    EXPECT_EQ(DataKrotka(45291.999), "31.12.2023");
    EXPECT_EQ(DataKrotka(25569.5), "01.01.1970");
    EXPECT_EQ(DataKrotka(36526.0), "01.01.2000");
    EXPECT_EQ(DataKrotka(1.0), "31.12.1899");
}

// The short date form of the locale that LC_TIME names, built here from the C library's
// sources so that the test does not depend on the locales a machine has installed.
TEST(DataKrotkaTest, FollowsTheUsersLocale) {
    vltest::TempDir locales;
    for (const char* nazwa : {"en_US", "de_DE", "pl_PL"}) {
        const std::string cel = locales.File(std::string(nazwa) + ".UTF-8");
        if (vltest::RunProgram({"/usr/bin/localedef", "-i", nazwa, "-f", "UTF-8", cel}) < 0 || !vltest::PathExists(cel))
            GTEST_SKIP() << "localedef cannot build " << nazwa;
    }
    struct Case {
        const char* lokal;
        std::string data;
    };
    const std::vector<Case> przypadki = {Case{"en_US.UTF-8", "03/05/2024"}, Case{"de_DE.UTF-8", "05.03.2024"},
                                         Case{"pl_PL.UTF-8", "05.03.2024"}, Case{"xx_YY.UTF-8", "05.03.2024"},
                                         Case{"C", "05.03.2024"}};
    // In a child that ends without the leak check: the C library keeps a few bytes for every
    // locale it looked up along LOCPATH, for good.
    int rura[2];
    ASSERT_EQ(::pipe(rura), 0);
    const pid_t dziecko = ::fork();
    ASSERT_GE(dziecko, 0);
    if (dziecko == 0) {
        ::close(rura[0]);
        ::setenv("LOCPATH", locales.Path().c_str(), 1);
        ::unsetenv("LC_ALL");
        ::setenv("LANG", "C.UTF-8", 1);
        std::string wynik;
        for (const Case& c : przypadki) {
            ::setenv("LC_TIME", c.lokal, 1);
            wynik += DataKrotka(45356.75) + "\n";
        }
        const bool zapisane = ::write(rura[1], wynik.data(), wynik.size()) == static_cast<ssize_t>(wynik.size());
        ::_exit(zapisane ? 0 : 1);
    }
    ::close(rura[1]);
    std::string wynik;
    char bufor[256];
    for (ssize_t n; (n = ::read(rura[0], bufor, sizeof bufor)) > 0;)
        wynik.append(bufor, static_cast<std::size_t>(n));
    ::close(rura[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(dziecko, &status, 0), dziecko);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::string oczekiwane;
    for (const Case& c : przypadki)
        oczekiwane += c.data + "\n";
    EXPECT_EQ(wynik, oczekiwane);
}

TEST(DataKrotkaTest, NoDateGivesAnEmptyColumn) {
    EXPECT_EQ(DataKrotka(0.0), "");
}

TEST(RozmiarTekstTest, PlainDecimalDigits) {
    EXPECT_EQ(RozmiarTekst(0), "0");
    EXPECT_EQ(RozmiarTekst(1234567), "1234567");
    EXPECT_EQ(RozmiarTekst(-1), "-1");
}

} // namespace
