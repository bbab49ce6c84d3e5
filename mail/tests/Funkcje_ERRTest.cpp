// The password, yes/no, program-folder and error-text rules of Funkcje_ERR.

#include "Funkcje_ERR.h"

#include <runtime/Cp1250.h>

#include <gtest/gtest.h>

#include <string>

using namespace VL_PAK32;
using rtl::operator""_w;

namespace {

std::string Bajty(std::initializer_list<unsigned char> b) {
    return std::string(b.begin(), b.end());
}

struct HasloCase {
    std::string wejscie;
    std::string wyjscie;
};

class OdwrocHasloTest : public ::testing::TestWithParam<HasloCase> {};

TEST_P(OdwrocHasloTest, ComplementsEveryByte) {
    EXPECT_EQ(OdwrocHaslo(GetParam().wejscie), GetParam().wyjscie);
    EXPECT_EQ(OdwrocHaslo(GetParam().wyjscie), GetParam().wejscie);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OdwrocHasloTest,
    ::testing::Values(HasloCase{"abc", Bajty({0x9E, 0x9D, 0x9C})},
                      HasloCase{"brak", Bajty({0x9D, 0x8D, 0x9E, 0x94})}, HasloCase{"", ""},
                      HasloCase{std::string("\0\xFF", 2), std::string("\xFF\0", 2)},
                      HasloCase{"zle-haslo", Bajty({0x85, 0x93, 0x9A, 0xD2, 0x97, 0x9E, 0x8C, 0x93, 0x90})}));

TEST(OdwrocHaslo, RoundTripsEveryByteValue) {
    std::string wszystkie;
    for (int b = 0; b < 256; ++b)
        wszystkie += static_cast<char>(b);
    const std::string odwrocone = OdwrocHaslo(wszystkie);
    ASSERT_EQ(odwrocone.size(), 256u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(odwrocone[b]), 255 - b);
    EXPECT_EQ(OdwrocHaslo(odwrocone), wszystkie);
}

struct TakCase {
    std::string wartosc;
    bool tak;
};

class CzyTakTest : public ::testing::TestWithParam<TakCase> {};

TEST_P(CzyTakTest, UpperCaseMustBeTak) {
    EXPECT_EQ(CzyTak(GetParam().wartosc), GetParam().tak) << GetParam().wartosc;
}

INSTANTIATE_TEST_SUITE_P(Table, CzyTakTest,
                         ::testing::Values(TakCase{"TAK", true}, TakCase{"tak", true}, TakCase{"Tak", true},
                                           TakCase{"tAk", true}, TakCase{" TAK", false},
                                           TakCase{"TAK ", false}, TakCase{"brak", false}, TakCase{"", false},
                                           TakCase{"TAKK", false}, TakCase{"NIE", false},
                                           TakCase{"T", false}));

struct KatalogCase {
    std::string sciezka;
    std::string katalog;
};

class KatalogZeSciezkiTest : public ::testing::TestWithParam<KatalogCase> {};

TEST_P(KatalogZeSciezkiTest, FolderPart) {
    EXPECT_EQ(KatalogZeSciezki(GetParam().sciezka), GetParam().katalog);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KatalogZeSciezkiTest,
    ::testing::Values(KatalogCase{"C:\\work\\main\\build\\bin\\VL_PAK32", "C:\\work\\main\\build\\bin"},
                      KatalogCase{"C:\\VL_PAK32", "C:\\"}, KatalogCase{"C:VL_PAK32", "C:"},
                      KatalogCase{"\\VL_PAK32", "\\"},
                      KatalogCase{"\\\\serwer\\udzial\\VL_PAK32", "\\\\serwer\\udzial"},
                      KatalogCase{"D:\\Żółć\\VL_PAK32.EXE"_w, "D:\\Żółć"_w}, KatalogCase{"VL_PAK32", ""}));

struct TekstCase {
    std::string wejscie;
    std::string wyjscie;
};

class TekstBleduTest : public ::testing::TestWithParam<TekstCase> {};

TEST_P(TekstBleduTest, CrLfAndTrim) {
    EXPECT_EQ(TekstBledu(GetParam().wejscie), GetParam().wyjscie);
}

INSTANTIATE_TEST_SUITE_P(Table, TekstBleduTest,
                         ::testing::Values(TekstCase{"  a\r\nb  ", "a, b"}, TekstCase{"\r\n", ","},
                                           TekstCase{"a\rb", "a\rb"}, TekstCase{"a\nb", "a\nb"},
                                           TekstCase{"a\n\rb", "a\n\rb"},
                                           TekstCase{"Socket Error # 10061\r\nConnection refused.",
                                                     "Socket Error # 10061, Connection refused."},
                                           TekstCase{std::string("\0\x01\x1F x \x20\t", 7), "x"},
                                           TekstCase{"", ""}, TekstCase{"a\r\n\r\nb", "a, , b"},
                                           TekstCase{"\r\nx\r\n", ", x,"},
                                           TekstCase{"\xA0x\xA0", "\xA0x\xA0"}));

TEST(StalyTekstBledu, FourCodesHaveFixedPolishTexts) {
    EXPECT_EQ(StalyTekstBledu(10039), "Niezbędny adres docelowy"_w);
    EXPECT_EQ(StalyTekstBledu(10093), "Nie załadowany Winsock"_w);
    EXPECT_EQ(StalyTekstBledu(11001), "Nie znaleziono Hosta"_w);
    EXPECT_EQ(StalyTekstBledu(2), "Niepoprawna autoryzacja (złe hasło lub użytkownik)."_w);
    for (int kod : {-1, 0, 1, 3, 10061, 10060, 11004, -2})
        EXPECT_FALSE(StalyTekstBledu(kod).has_value()) << kod;
}

} // namespace

namespace {

TEST(TekstRekordu, KeepsTheRecordOnOneLine) {
    EXPECT_EQ(TekstRekordu("a\rb\nc"), "a b c");
    EXPECT_EQ(TekstRekordu("a, b"), "a, b");
    EXPECT_EQ(TekstRekordu(""), "");
    EXPECT_EQ(TekstRekordu("\n"), " ");
}

} // namespace
