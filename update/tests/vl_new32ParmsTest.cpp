// Product detection in a real program folder, and section FTP of vl_new32.ini read and written.

#include "vl_new32Parms.h"

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace VL_NEW32;

struct DetectCase {
    std::vector<std::pair<std::string, std::string>> files; // name, content
    const char* inf;                                        // "" = none found
    const char* probed;                                     // the file the object points at
};

class DetectTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectTest, TheFirstProductFileDecides) {
    const DetectCase& c = GetParam();
    vltest::TempDir dir("vlnew32-detect");
    for (const auto& [name, content] : c.files)
        vltest::WriteFile(dir.File(name), content);
    TIniFile ini;
    const std::string folder = dir.Path() + "/";
    const THostProduct* p = DetectHostProduct(ini, folder);
    if (*c.inf == '\0') {
        EXPECT_EQ(p, nullptr);
        EXPECT_EQ(ini.MyFile->FileName, "");
        return;
    }
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->InfName, c.inf);
    EXPECT_EQ(ini.MyFile->FileName, folder + c.probed);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DetectTest,
    ::testing::Values(DetectCase{{{"orv.ini", "[Program]\nWersja=6.10\n"}}, "ox6_news.inf", "orv.ini"},
                      DetectCase{{{"orv.ini", "[Program]\nWersja=v6\n"}}, "ox8_news.inf", "orv.ini"},
                      DetectCase{{{"orv.ini", "[Inne]\nWersja=6\n"}}, "ox8_news.inf", "orv.ini"},
                      DetectCase{
                          {{"orv.ini", ""}, {"tal.ini", "[Program]\nWersja=6\n"}}, "ox8_news.inf", "orv.ini"},
                      DetectCase{{{"tal.ini", "[Program]\nWersja=6\n"}}, "tz6_news.inf", "tal.ini"},
                      DetectCase{{{"corvale.ini", "[Program]\nTyp=st\n"}}, "kq_news.inf", "corvale.ini"},
                      DetectCase{{{"corvale.ini", "[Program]\nTyp=STOMA\n"}}, "pq_news.inf", "corvale.ini"},
                      DetectCase{{{"corvale.ini", "[Program]\nWersja=6\n"}}, "pq_news.inf", "corvale.ini"},
                      DetectCase{{{"ORV.INI", "[Program]\nWersja=6\n"}}, "ox6_news.inf", "orv.ini"},
                      DetectCase{{{"vl_new32.ini", "[FTP]\nHost=x\n"}}, "", ""}, DetectCase{{}, "", ""}));

TEST(DetectHostProduct, AFolderNamedLikeAProductFileIsNoProduct) {
    vltest::TempDir dir("vlnew32-detect");
    ASSERT_EQ(::mkdir(dir.File("orv.ini").c_str(), 0755), 0);
    vltest::WriteFile(dir.File("tal.ini"), "[Program]\nWersja=8\n");
    TIniFile ini;
    const THostProduct* p = DetectHostProduct(ini, dir.Path());
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->InfName, "tz8_news.inf");
}

struct ReadCase {
    const char* file; // nullptr: the defaults stay untouched (never read)
    TFTPParms expected;
};

TFTPParms parms(std::string host, std::string port, bool proxy, std::string p, std::string pp, bool velt) {
    TFTPParms r;
    r.Host = host, r.HostPort = port, r.UseProxy = proxy, r.Proxy = p, r.ProxyPort = pp, r.Velt = velt;
    return r;
}

TEST(FTPParms, DefaultsAreTheMakersServerAndMailbox) {
    const TFTPParms d;
    EXPECT_EQ(d.Host, "ftp.velt.example");
    EXPECT_EQ(d.HostPort, "21");
    EXPECT_FALSE(d.UseProxy);
    EXPECT_EQ(d.Proxy, "");
    EXPECT_FALSE(d.Velt);
    EXPECT_EQ(std::string(kDefaultPassword).size(), 18u);
}

TEST(FTPParms, ReadReplacesWhatTheFileHolds) {
    struct Case {
        std::string file;
        TFTPParms expected;
    } cases[] = {
        {"[FTP]\nHost=ftp.a.example\nHostPort=2121\nUseProxy=tak\nProxy=px\nProxyPort=8021\nVelt=tak\n",
         parms("ftp.a.example", "2121", true, "px", "8021", true)},
        {"[FTP]\nHost=h\nHostPort=21\nUseProxy=Nie\nProxy=px\nProxyPort=8021\n",
         parms("h", "21", false, "", "", false)},
        {"[FTP]\nUseProxy=TAK\n", parms("", "", true, "", "", false)},
        {"[FTP]\nUseProxy= tak x\nVelt=TAKI\n", parms("", "", false, "", "", false)},
        {"[Inne]\nHost=h\n", parms("", "", false, "", "", false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        vltest::TempDir dir("vlnew32-parms");
        vltest::WriteFile(dir.File("vl_new32.ini"), c.file);
        TIniFile ini;
        ini.MyFile->SetPath(dir.Path(), "vl_new32.ini");
        TFTPParms p;
        ReadFTPParms(ini, p);
        EXPECT_EQ(p.Host, c.expected.Host);
        EXPECT_EQ(p.HostPort, c.expected.HostPort);
        EXPECT_EQ(p.UseProxy, c.expected.UseProxy);
        EXPECT_EQ(p.Proxy, c.expected.Proxy);
        EXPECT_EQ(p.ProxyPort, c.expected.ProxyPort);
        EXPECT_EQ(p.Velt, c.expected.Velt);
    }
}

TEST(FTPParms, SaveWritesFiveKeysAndKeepsVelt) {
    vltest::TempDir dir("vlnew32-parms");
    TIniFile ini;
    ini.MyFile->SetPath(dir.Path(), "vl_new32.ini");
    SaveFTPParms(ini, parms("ftp.velt.example", "21", false, "stale", "1", true));
    EXPECT_EQ(vltest::ReadFile(dir.File("vl_new32.ini")),
              "[FTP]\r\nHost=ftp.velt.example\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
    vltest::WriteFile(dir.File("vl_new32.ini"), "[FTP]\r\nVelt=tak\r\nHost=old\r\n");
    SaveFTPParms(ini, parms("", "x21", true, "px", "", false));
    EXPECT_EQ(vltest::ReadFile(dir.File("vl_new32.ini")),
              "[FTP]\r\nVelt=tak\r\nHost=\r\nHostPort=x21\r\nUseProxy=Tak\r\nProxy=px\r\nProxyPort=\r\n");
}

TEST(FTPParms, SaveWithoutAPathWritesNothingAnywhere) {
    vltest::TempDir dir("vlnew32-parms");
    TIniFile ini; // never pointed at a file, as when no product was found
    SaveFTPParms(ini, TFTPParms{});
    EXPECT_TRUE(vltest::ListFolder(dir.Path()).empty());
    EXPECT_EQ(ini.MyFile->FileName, "");
}

} // namespace
