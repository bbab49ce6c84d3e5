// The receiving windows' decisions about attachment names and the listing's columns.

#include "MailInNazwy.h"

#include <gtest/gtest.h>

namespace {

using VL_PAK32::DataKrotka;
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

TEST(DataKrotkaTest, DayMonthFullYear) {
    EXPECT_EQ(DataKrotka(45356.75), "05.03.2024"); // 5 March 2024, 18:00
    EXPECT_EQ(DataKrotka(45292.0), "01.01.2024");
    EXPECT_EQ(DataKrotka(45291.999), "31.12.2023");
    EXPECT_EQ(DataKrotka(25569.5), "01.01.1970");
    EXPECT_EQ(DataKrotka(36526.0), "01.01.2000");
    EXPECT_EQ(DataKrotka(1.0), "31.12.1899");
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
