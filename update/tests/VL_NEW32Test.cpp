// VL_NEW32 started as a user starts it, beside a host product's INI file, under a virtual
// display with a window manager: the caption it picks, the version it shows, the settings it
// reads from and writes to vl_new32.ini, the boxes of start-up, and screenshots of both tabs.

#include "support/New32Program.h"

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using new32test::New32Program;

const char* kOrv = "[Program]\r\nWersja=8.10\r\nWydanie=3\r\nWydanie_Dod=a\r\nLastUpd=2003/05/12\r\n";

class StartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    }
    // Starts and waits for the main window with the given title.
    std::string startAndWait(const std::string& title) {
        EXPECT_TRUE(program.Start());
        const std::string w = program.ReadyWindow(title);
        EXPECT_NE(w, "") << program.Log();
        return w;
    }
    void closeWith(const std::string& window, const std::string& key) {
        ASSERT_TRUE(program.Display().PressKey(window, key));
        ASSERT_TRUE(program.WaitForEnd()) << key << " closes the program";
    }

    New32Program program;
};

struct ProductCase {
    std::vector<std::pair<std::string, std::string>> files;
    std::string title;
};

class ProductTableTest : public StartTest, public ::testing::WithParamInterface<ProductCase> {};

TEST_P(ProductTableTest, TheProductFileGivesTheCaption) {
    for (const auto& [name, content] : GetParam().files)
        program.Write(name, content);
    const std::string w = startAndWait(GetParam().title);
    ASSERT_NE(w, "");
    closeWith(w, "alt+k");
}

INSTANTIATE_TEST_SUITE_P(
    Products, ProductTableTest,
    ::testing::Values(ProductCase{{{"orv.ini", "[Program]\r\nWersja=6.10\r\n"}}, "Wykryj nowości: Orvena 6"},
                      ProductCase{{{"orv.ini", "[Program]\r\nWersja=61\r\n"}}, "Wykryj nowości: Orvena 6"},
                      ProductCase{{{"orv.ini", "[Program]\r\nWersja=8.1\r\n"}}, "Wykryj nowości: Orvena 8"},
                      ProductCase{{{"orv.ini", "[Program]\r\nWersja=V6\r\n"}}, "Wykryj nowości: Orvena 8"},
                      ProductCase{{{"orv.ini", "[Program]\r\nWersja=\r\n"}}, "Wykryj nowości: Orvena 8"},
                      ProductCase{{{"tal.ini", "[Program]\r\nWersja=6\r\n"}}, "Wykryj nowości: Talvik 6"},
                      ProductCase{{{"corvale.ini", "[Program]\r\nTyp=st\r\n"}}, "Wykryj nowości: Kestrin"},
                      ProductCase{{{"corvale.ini", "[Program]\r\nTyp=STOMA\r\n"}}, "Wykryj nowości: Pelano"},
                      ProductCase{{{"corvale.ini", "[Program]\r\nTyp=\r\n"}}, "Wykryj nowości: Pelano"},
                      ProductCase{{{"orv.ini", "[Program]\r\nWersja=6\r\n"},
                                   {"tal.ini", "[Program]\r\nWersja=8\r\n"}},
                                  "Wykryj nowości: Orvena 6"}));

TEST_F(StartTest, ShowsTheInstalledVersionAndSavesTheDefaultsOnAltK) {
    program.Write("orv.ini", kOrv);
    const std::string w = startAndWait("Wykryj nowości: Orvena 8");
    ASSERT_NE(w, "");
    vltest::AccessibleNode host;
    ASSERT_TRUE(program.WaitForNode("text", "ftp.velt.example", &host));
    EXPECT_TRUE(program.WaitForNamed("label", "\nTwój program:\n wersja: 8.10 , wyd. 3a, 12/05/03"));
    EXPECT_TRUE(program.WaitForNode("text", "pub/news/ox8_news.rtf"));
    // "VELT Test" is there but hidden.
    vltest::AccessibleNode test;
    if (program.WaitForNode("push button", "VELT Test", &test, 2000)) {
        EXPECT_FALSE(test.showing);
    }
    EXPECT_TRUE(program.Display().Screenshot(w, new32test::ScreenshotFile("co-nowego")));
    ASSERT_FALSE(vltest::PathExists(program.File("vl_new32.ini")));
    closeWith(w, "alt+k");
    EXPECT_EQ(vltest::ReadFile(program.File("vl_new32.ini")),
              "[FTP]\r\nHost=ftp.velt.example\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
}

TEST_F(StartTest, ReadsTheSettingsAndWritesThemBackOnTheCloseBox) {
    program.Write("orv.ini", kOrv);
    program.Write("vl_new32.ini",
                  "[FTP]\r\nHost=ftp.inny.example\r\nHostPort=2121\r\nUseProxy=tak\r\nProxy=proxy.example\r\n"
                  "ProxyPort=8021\r\nVelt=tak\r\n");
    const std::string w = startAndWait("Wykryj nowości: Orvena 8");
    ASSERT_NE(w, "");
    vltest::AccessibleNode node;
    EXPECT_TRUE(program.WaitForNode("text", "ftp.inny.example"));
    EXPECT_TRUE(program.WaitForNode("text", "proxy.example"));
    EXPECT_TRUE(program.WaitForNode("text", "8021"));
    ASSERT_TRUE(program.WaitForNode("push button", "VELT Test", &node));
    EXPECT_TRUE(node.showing);
    // The close box: the window manager asks the window to close.
    closeWith(w, "alt+F4");
    EXPECT_EQ(vltest::ReadFile(program.File("vl_new32.ini")),
              "[FTP]\r\nHost=ftp.inny.example\r\nHostPort=2121\r\nUseProxy=Tak\r\nProxy=proxy.example\r\n"
              "ProxyPort=8021\r\nVelt=tak\r\n");
}

TEST_F(StartTest, WithoutTheProxyTheProxyKeysAreNotReadAndWrittenEmpty) {
    program.Write("tal.ini", "[Program]\r\nWersja=8\r\n");
    program.Write("vl_new32.ini", "[FTP]\r\nHost=h.example\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=proxy."
                                  "example\r\nProxyPort=8021\r\n");
    const std::string w = startAndWait("Wykryj nowości: Talvik 8");
    ASSERT_NE(w, "");
    EXPECT_TRUE(program.WaitForNode("text", "h.example"));
    EXPECT_FALSE(program.WaitForNode("text", "proxy.example", nullptr, 1000));
    closeWith(w, "alt+k");
    EXPECT_EQ(vltest::ReadFile(program.File("vl_new32.ini")),
              "[FTP]\r\nHost=h.example\r\nHostPort=21\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\n");
}

TEST_F(StartTest, WithoutAProductFileTheBoxComesFirstAndNothingIsWritten) {
    program.Write("vl_new32.ini", "[FTP]\r\nHost=zapisany.example\r\n");
    ASSERT_TRUE(program.Start());
    const std::string box = program.Window("Błąd");
    ASSERT_NE(box, "") << program.Log();
    EXPECT_TRUE(program.WaitForNode("label", "W katalogu programu nie ma odpowiedniego pliku INI\nNie mogę "
                                             "sprawdzić, czy należy zaktualizować program"));
    ASSERT_TRUE(program.Display().PressKey(box, "Return"));
    const std::string w = program.ReadyWindow("Wykryj Nowości, VELT");
    ASSERT_NE(w, "");
    // The defaults stay: vl_new32.ini is not read.
    EXPECT_TRUE(program.WaitForNode("text", "ftp.velt.example"));
    // The empty version record of no product.
    EXPECT_TRUE(program.WaitForNamed("label", "\nTwój program:\n wersja:  , wyd. , ?"));
    closeWith(w, "alt+k");
    EXPECT_EQ(vltest::ReadFile(program.File("vl_new32.ini")), "[FTP]\r\nHost=zapisany.example\r\n");
    EXPECT_EQ(vltest::ListFolder(program.Folder()),
              (std::vector<std::string>{"VL_NEW32", "program.log", "vl_new32.ini"}));
}

TEST_F(StartTest, ABadLastUpdReachesTheDefaultErrorDialog) {
    program.Write("orv.ini", "[Program]\r\nWersja=8\r\nLastUpd=12.05.2003\r\n");
    ASSERT_TRUE(program.Start());
    const std::string box = program.Window("VL_NEW32");
    ASSERT_NE(box, "") << program.Log();
    EXPECT_TRUE(program.WaitForNode("label", "'12.05.2003' is not a valid date."));
    ASSERT_TRUE(program.Display().PressKey(box, "Return"));
    const std::string w = program.ReadyWindow("Wykryj nowości: Orvena 8");
    ASSERT_NE(w, "");
    // The paths were all set before the failed read: the settings tab shows the server path.
    EXPECT_TRUE(program.WaitForNode("text", "pub/news/ox8_news.rtf"));
    // The steps after the failed read did not run: the design texts stay.
    EXPECT_TRUE(program.WaitForNamed("label", "Program"));
    EXPECT_TRUE(program.WaitForNamed("label", "TextKomunikat"));
    closeWith(w, "alt+k");
}

TEST_F(StartTest, ScreenshotOfTheSettingsTab) {
    program.Write("orv.ini", kOrv);
    const std::string w = startAndWait("Wykryj nowości: Orvena 8");
    ASSERT_NE(w, "");
    vltest::AccessibleNode tab;
    ASSERT_TRUE(program.WaitForNamed("page tab", "Parametry", &tab));
    ASSERT_TRUE(program.Display().Click(w, tab));
    ASSERT_TRUE(vltest::WaitUntil(
        [&] {
            auto box = program.Named("check box", "Użyj Proxy");
            return box && box->showing;
        },
        10000, 100));
    EXPECT_TRUE(program.Display().Screenshot(w, new32test::ScreenshotFile("parametry")));
    closeWith(w, "alt+F4");
}

} // namespace
