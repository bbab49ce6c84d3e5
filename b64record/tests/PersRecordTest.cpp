#include "PersData.h"

#include <runtime/Cp1250.h>

#include <gtest/gtest.h>

#include <string>

using Velt_b64::PickPersDataField;

namespace {

using namespace std::string_literals;
using rtl::operator""_w;

struct SplitCase {
    const char* name;
    std::string record;
    int index;
    const char* separator;
    int status;
    std::string field;
};

class PickPersDataFieldTable : public testing::TestWithParam<SplitCase> {};

TEST_P(PickPersDataFieldTable, PicksExactly) {
    const SplitCase& c = GetParam();
    std::string field = "left over";
    EXPECT_EQ(PickPersDataField(c.record, static_cast<std::uint8_t>(c.index), c.separator, field), c.status);
    EXPECT_EQ(field, c.field);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PickPersDataFieldTable,
    testing::Values(SplitCase{"First", "A;B;C;D;E;F;G;", 1, ";", 0, "A"},
                    SplitCase{"Seventh", "A;B;C;D;E;F;G;", 7, ";", 0, "G"},
                    SplitCase{"LongFields", "Kowalski|Jan|ul. Polna 1|00-950|Warszawa|PL|x|", 5, "|", 0,
                              "Warszawa"},
                    SplitCase{"TailIgnored", "A;B;C;D;E;F;G;tail", 7, ";", 0, "G"},
                    SplitCase{"EmptyFirst", ";B;C;D;E;F;G;", 1, ";", 0, ""},
                    SplitCase{"EmptyFourth", "A;B;C;;E;F;G;", 4, ";", 0, ""},
                    SplitCase{"AfterEmpty", "A;B;C;;E;F;G;", 5, ";", 0, "E"},
                    SplitCase{"AllEmpty", ";;;;;;;", 6, ";", 0, ""},
                    SplitCase{"SeparatorInTail", "A;B;C;D;E;F;G;tail;", 2, ";", 5, ""},
                    SplitCase{"NoSeparator", "ABCDEFG", 1, ";", 5, ""},
                    SplitCase{"TwoCharSeparator", "A;;B;;C;;D;;E;;F;;G;;", 1, ";;", 5, ""},
                    SplitCase{"EmptySeparator", "A;B;C;D;E;F;G;", 1, "", 5, ""},
                    SplitCase{"NullSeparator", "A;B;C;D;E;F;G;", 1, nullptr, 8, ""},
                    SplitCase{"IndexZero", "A;B;C;D;E;F;G;", 0, ";", 1, ""},
                    SplitCase{"NulSeparatorChar", "A\0B\0C\0D\0E\0F\0G\0"s, 2, "", 5, ""},
                    SplitCase{"NulInsideField", "A\0x;B;C;D;E;F;G;"s, 1, ";", 0, "A\0x"s},
                    SplitCase{"Windows1250", "Łódź;Gdańsk;Kraków;Wrocław;Poznań;Żagań;Świdnica;"_w, 7, ";", 0,
                              "Świdnica"_w},
                    SplitCase{"HighByteSeparator",
                              "A\xA7"
                              "B\xA7"
                              "C\xA7"
                              "D\xA7"
                              "E\xA7"
                              "F\xA7"
                              "G\xA7",
                              4, "\xA7", 0, "D"}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

// Separators past the first 64 KiB still split the record where they are.
TEST(PickPersDataField, SeparatorsBeyond65535) {
    const std::string big(70000, 'x');
    const std::string record = big + ";B;C;D;" + big + "y;F;G;";
    std::string field;
    ASSERT_EQ(PickPersDataField(record, 1, ";", field), 0);
    EXPECT_EQ(field, big);
    ASSERT_EQ(PickPersDataField(record, 2, ";", field), 0);
    EXPECT_EQ(field, "B");
    ASSERT_EQ(PickPersDataField(record, 5, ";", field), 0);
    EXPECT_EQ(field, big + "y");
    ASSERT_EQ(PickPersDataField(record, 7, ";", field), 0);
    EXPECT_EQ(field, "G");
}

} // namespace
