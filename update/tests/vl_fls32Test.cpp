// The file objects against real files: paths, the INI reader's limits and the writer's results.

#include "vl_fls32.h"

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using VL_NEW32::TFile;
using VL_NEW32::TInfFile;
using VL_NEW32::TIniFile;
using VL_NEW32::TMyFile;
using VL_NEW32::TRtfFile;

struct PathCase {
    const char* folder;
    const char* name;
    const char* path;
};

class SetPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SetPathTest, JoinsFolderAndName) {
    const PathCase& c = GetParam();
    TMyFile f;
    f.SetPath(c.folder, c.name);
    EXPECT_EQ(f.FileName, c.path);
    EXPECT_STREQ(f.FileNameBuf, c.path);
}

INSTANTIATE_TEST_SUITE_P(Paths, SetPathTest,
                         ::testing::Values(PathCase{"pub/news/", "ox6_news.inf", "pub/news/ox6_news.inf"},
                                           PathCase{"C:\\ORV", "orv.ini", "C:\\ORV\\orv.ini"},
                                           PathCase{"C:\\ORV\\", "orv.ini", "C:\\ORV\\orv.ini"},
                                           PathCase{"a/b", "x", "a/b\\x"},
                                           PathCase{"pub/news/", "x", "pub/news/x"}, PathCase{"", "x", "\\x"},
                                           PathCase{"a/b", "", "a/b\\"}, PathCase{"a/b/", "", "a/b/"},
                                           PathCase{"C:\\ORV\\", "", "C:\\ORV\\"}, PathCase{"", "", "\\"},
                                           PathCase{"D:", "orv.ini", "D:\\orv.ini"}));

TEST(TMyFile, StartsEmptyAndEachSetPathReplacesThePath) {
    TMyFile f;
    EXPECT_EQ(f.FileName, "");
    EXPECT_EQ(f.FileNameBuf[0], '\0');
    f.SetPath("C:\\ORVENA\\PROGRAM", "orv.ini");
    f.SetPath("D:", "x");
    EXPECT_EQ(f.FileName, "D:\\x");
    EXPECT_STREQ(f.FileNameBuf, "D:\\x");
}

TEST(TMyFile, APathLongerThanTheBufferIsCutTo255Characters) {
    TMyFile f;
    const std::string folder(250, 'a');
    f.SetPath(folder, "0123456789");
    ASSERT_EQ(f.FileName.size(), 255u);
    EXPECT_EQ(f.FileName, folder + "\\0123");
    EXPECT_EQ(std::strlen(f.FileNameBuf), 255u);
    EXPECT_EQ(f.FileName, std::string(f.FileNameBuf));
}

TEST(FileObjects, CreateMakesTheInnerObjects) {
    TFile file;
    TIniFile ini;
    TInfFile inf;
    TRtfFile rtf;
    ASSERT_TRUE(file.MyFile && ini.MyFile);
    ASSERT_TRUE(inf.Local && inf.Remote && inf.Local->MyFile && inf.Remote->MyFile);
    ASSERT_TRUE(rtf.Local && rtf.Remote && rtf.Local->MyFile && rtf.Remote->MyFile);
    EXPECT_EQ(inf.Kind, 0);
    EXPECT_EQ(rtf.Kind, 0);
    EXPECT_NE(inf.Local.get(), inf.Remote.get());
    EXPECT_EQ(ini.SectionBuf[0] | ini.KeyBuf[0] | ini.ValueBuf[0], 0);
}

class IniFileTest : public ::testing::Test {
  protected:
    vltest::TempDir dir{"vlnew32-ini"};
    TIniFile ini;

    void pointAt(const std::string& name) { ini.MyFile->SetPath(dir.Path(), name); }
};

TEST_F(IniFileTest, ReadStringOfWhatIsMissingIsEmpty) {
    pointAt("missing.ini");
    EXPECT_EQ(ini.ReadString("Program", "Wersja"), "");
    vltest::WriteFile(dir.File("orv.ini"), "[Program]\r\nWersja=6.10\r\nPusty=\r\n");
    pointAt("orv.ini");
    EXPECT_EQ(ini.ReadString("Program", "Wersja"), "6.10");
    EXPECT_EQ(ini.ReadString("Program", "Pusty"), "");
    EXPECT_EQ(ini.ReadString("Program", "Typ"), "");
    EXPECT_EQ(ini.ReadString("FTP", "Wersja"), "");
    // A folder in place of the file, as when no product INI was found.
    ini.MyFile->SetPath(dir.Path(), "");
    EXPECT_EQ(ini.ReadString("Program", "Wersja"), "");
    // An object never pointed anywhere.
    TIniFile fresh;
    EXPECT_EQ(fresh.ReadString("Program", "Wersja"), "");
}

TEST_F(IniFileTest, ReadStringCutsALongValueTo127Characters) {
    std::string value;
    for (int i = 0; i < 200; ++i)
        value += static_cast<char>('a' + i % 26);
    vltest::WriteFile(dir.File("long.ini"), "[FTP]\nHost=" + value + "\n");
    pointAt("long.ini");
    EXPECT_EQ(ini.ReadString("FTP", "Host"), value.substr(0, 127));
}

TEST_F(IniFileTest, WriteStringCreatesTheFileAndKeepsAnEmptyKey) {
    pointAt("vl_new32.ini");
    EXPECT_TRUE(ini.WriteString("FTP", "Host", "ftp.velt.example"));
    EXPECT_TRUE(ini.WriteString("FTP", "Proxy", ""));
    EXPECT_EQ(vltest::ReadFile(dir.File("vl_new32.ini")), "[FTP]\r\nHost=ftp.velt.example\r\nProxy=\r\n");
    EXPECT_EQ(ini.ReadString("FTP", "Proxy"), "");
    EXPECT_TRUE(ini.WriteString("FTP", "Host", ""));
    EXPECT_EQ(vltest::ReadFile(dir.File("vl_new32.ini")), "[FTP]\r\nHost=\r\nProxy=\r\n");
}

TEST_F(IniFileTest, WriteStringReportsAFailedWrite) {
    ini.MyFile->SetPath(dir.File("no-such-folder"), "vl_new32.ini");
    EXPECT_FALSE(ini.WriteString("FTP", "Host", "x"));
    EXPECT_FALSE(vltest::PathExists(dir.File("no-such-folder")));
    // No path at all: nothing is written anywhere.
    TIniFile fresh;
    EXPECT_FALSE(fresh.WriteString("FTP", "Host", "x"));
    ini.MyFile->SetPath(dir.Path(), "");
    EXPECT_FALSE(ini.WriteString("FTP", "Host", "x"));
    EXPECT_TRUE(vltest::ListFolder(dir.Path()).empty());
}

TEST_F(IniFileTest, WriteStringCutsAValueLongerThanTheBuffer) {
    pointAt("vl_new32.ini");
    const std::string value(300, 'h');
    EXPECT_TRUE(ini.WriteString("FTP", "Host", value));
    EXPECT_EQ(vltest::ReadFile(dir.File("vl_new32.ini")), "[FTP]\r\nHost=" + std::string(255, 'h') + "\r\n");
}

TEST_F(IniFileTest, OneObjectReadsSeveralFilesInTurn) {
    vltest::WriteFile(dir.File("orv.ini"), "[Program]\nWersja=6\n");
    vltest::WriteFile(dir.File("tal.ini"), "[Program]\nWersja=8\n");
    pointAt("orv.ini");
    EXPECT_EQ(ini.ReadString("Program", "Wersja"), "6");
    pointAt("tal.ini");
    EXPECT_EQ(ini.ReadString("Program", "Wersja"), "8");
}

} // namespace
