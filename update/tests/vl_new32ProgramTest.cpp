// The version record read from real INI files, and the date rules of its LastUpd.

#include "vl_new32Program.h"

#include <TestSupport.h>

#include <runtime/DateTime.h>
#include <runtime/Exceptions.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using VL_NEW32::TIniFile;
using VL_NEW32::TProgram;

class ReadInfoTest : public ::testing::Test {
  protected:
    vltest::TempDir dir{"vlnew32-info"};
    TIniFile ini;

    void useFile(const std::string& content) {
        vltest::WriteFile(dir.File("orv.ini"), content);
        ini.MyFile->SetPath(dir.Path(), "orv.ini");
    }
};

TEST_F(ReadInfoTest, BuildsTheDescriptionAndTheDate) {
    useFile("[Program]\nWersja=8.10\nWydanie=3\nWydanie_Dod=a\nLastUpd=2003/05/12\n");
    TProgram p;
    EXPECT_EQ(p.ReadInfo(ini), "wersja: 8.10 , wyd. 3a, 12/05/03");
    EXPECT_EQ(p.Description, "wersja: 8.10 , wyd. 3a, 12/05/03");
    EXPECT_EQ(p.LastUpd, "12/05/03");
    EXPECT_EQ(p.Date, rtl::EncodeDate(2003, 5, 12));
}

TEST_F(ReadInfoTest, AFileWithoutSectionProgramGivesEmptyPartsAndTheYear2000) {
    useFile("[Inne]\nWersja=8.10\nLastUpd=2003/05/12\n");
    TProgram p;
    EXPECT_EQ(p.ReadInfo(ini), "wersja:  , wyd. , ?");
    EXPECT_EQ(p.LastUpd, "?");
    EXPECT_EQ(p.Date, rtl::EncodeDate(2000, 1, 1));
    // A missing file reads the same.
    ini.MyFile->SetPath(dir.Path(), "brak.ini");
    TProgram q;
    EXPECT_EQ(q.ReadInfo(ini), "wersja:  , wyd. , ?");
}

TEST_F(ReadInfoTest, EachCallReplacesTheRecord) {
    TProgram p;
    useFile("[Program]\nWersja=8.10\nWydanie=3\nLastUpd=2003/05/12\n");
    p.ReadInfo(ini);
    useFile("[Program]\nWersja=6.1\nWydanie=2\nWydanie_Dod=b\n");
    EXPECT_EQ(p.ReadInfo(ini), "wersja: 6.1 , wyd. 2b, ?");
    EXPECT_EQ(p.Description, "wersja: 6.1 , wyd. 2b, ?");
    EXPECT_EQ(p.Date, rtl::EncodeDate(2000, 1, 1));
    useFile("[Program]\nWersja=6.1\nWydanie=2\nWydanie_Dod=b\nLastUpd=2004/1/2\n");
    EXPECT_EQ(p.ReadInfo(ini), "wersja: 6.1 , wyd. 2b, 02/01/04");
    EXPECT_EQ(p.ReadInfo(ini), "wersja: 6.1 , wyd. 2b, 02/01/04");
}

TEST_F(ReadInfoTest, ABadDateStopsTheReadWithTheConversionError) {
    TProgram p;
    useFile("[Program]\nLastUpd=2003/05/12\n");
    p.ReadInfo(ini);
    useFile("[Program]\nWersja=8.10\nWydanie=3\nWydanie_Dod=a\nLastUpd=12.05.2003\n");
    try {
        p.ReadInfo(ini);
        FAIL() << "no error";
    } catch (const rtl::EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12.05.2003' is not a valid date");
    }
    EXPECT_EQ(p.Description, "wersja: 8.10 , wyd. 3a");
    EXPECT_EQ(p.LastUpd, "12.05.2003");
    EXPECT_EQ(p.Date, rtl::EncodeDate(2003, 5, 12));
}

// LastUpd as the published and installed records carry it, shown as dd/mm/yy.
TEST(ParseLastUpd, TheDateTable) {
    const int year = rtl::CurrentYear();
    const std::string yy = rtl::FormatDateTime("yy", rtl::EncodeDate(year, 1, 1));
    // A two-digit year lies in the hundred years from 50 years back.
    const int eighty = 1980 + (1980 < year - 50 ? 100 : 0);
    struct Case {
        std::string text;
        bool valid;
        rtl::TDateTime date;
        std::string shown;
    } cases[] = {
        {"2003/5/7", true, rtl::EncodeDate(2003, 5, 7), "07/05/03"},
        {"03/05/12", true, rtl::EncodeDate(2003, 5, 12), "12/05/03"},
        {"5/12", true, rtl::EncodeDate(year, 5, 12), "12/05/" + yy},
        {" 2003 / 5 / 7 ", true, rtl::EncodeDate(2003, 5, 7), "07/05/03"},
        {"2003/5/7/", true, rtl::EncodeDate(2003, 5, 7), "07/05/03"},
        {"80/1/1", true, rtl::EncodeDate(eighty, 1, 1), "01/01/80"},
        {"12.05.2003", false, 0, ""},
        {"2003/02/30", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("LastUpd \"" + c.text + "\"");
        TProgram p;
        p.Date = 1;
        p.LastUpd = c.text;
        if (c.valid) {
            p.ParseLastUpd();
            EXPECT_EQ(p.Date, c.date);
            EXPECT_EQ(p.LastUpd, c.shown);
        } else {
            EXPECT_THROW(p.ParseLastUpd(), rtl::EConvertError);
            EXPECT_EQ(p.LastUpd, c.text);
            EXPECT_EQ(p.Date, 1);
        }
    }
}

} // namespace
