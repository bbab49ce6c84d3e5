// VL_PIC32's full-screen preview as a user opens and closes it, on a virtual display with a
// window manager: it covers the whole screen, shows the picture from the top-left corner cut
// at the edges (no scroll bars) or on the button face, follows the selection made behind it,
// and hides on Esc with any modifiers and on a click, leaving the program running.
// Screenshots of both windows stay in the build's screenshots folder.

#include "support/Pic32Program.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pic32test::Pic32Program;
using pic32test::PixelAt;

constexpr const char* kBig = "VELT: duzy.bmp (1300 x 1000) - 24bit color";
constexpr const char* kSmall = "VELT: maly.bmp (200 x 150) - 24bit color";
constexpr long kRed = 0xFF0000, kLime = 0x00FF00, kNavy = 0x000080, kButtonFace = 0xD4D0C8;

struct Point {
    int x, y;
    long colour;
};

class PreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
        program.MakeFolder("Tapety");
        // Larger than the screen: red, with a lime patch across the screen's bottom-right
        // corner that only a picture drawn from the top-left corner puts there.
        program.Picture("Tapety/duzy.bmp", "-size 1300x1000 xc:red -fill lime -draw 'rectangle 1000,700 1030,780' -alpha off -type TrueColor");
        program.Picture("Tapety/maly.bmp", "-size 200x150 xc:navy");
        ASSERT_TRUE(program.Start()) << program.Log();
        ASSERT_TRUE(program.Press({"Tab", "Down"}));
        ASSERT_TRUE(program.WaitForCaption(kBig)) << program.Caption();
    }

    // Opens the preview with Enter in the file list and waits until it covers the screen.
    std::string open() {
        EXPECT_TRUE(program.Press({"Return"}));
        const std::string preview = program.WaitForPreview();
        EXPECT_NE(preview, "");
        vltest::WindowGeometry g;
        const vltest::WindowGeometry screen{0, 0, 1024, 768};
        EXPECT_TRUE(vltest::WaitUntil([&] { return program.Display().Geometry(preview, &g) && g == screen; },
                                      10000, 50))
            << g.x << "," << g.y << " " << g.width << "x" << g.height;
        return preview;
    }
    // The screen shows these colours at these points (it may take a moment to paint).
    bool screenShows(const std::vector<Point>& points, const std::string& shotName) {
        const std::string shot = pic32test::ScreenshotFolder() + "/" + shotName;
        return vltest::WaitUntil(
            [&] {
                if (!program.Display().Screenshot("root", shot))
                    return false;
                for (const Point& p : points) {
                    if (PixelAt(shot, p.x, p.y) != p.colour) {
                        mismatch = std::to_string(p.x) + "," + std::to_string(p.y) + " is " +
                                   std::to_string(PixelAt(shot, p.x, p.y));
                        return false;
                    }
                }
                return true;
            },
            10000, 100);
    }

    Pic32Program program;
    std::string mismatch;
};

TEST_F(PreviewTest, ALargePictureFromTheTopLeftCutAtTheEdges) {
    const std::string preview = open();
    ASSERT_NE(preview, "");
    EXPECT_TRUE(screenShows({{0, 0, kRed}, {1023, 0, kRed}, {0, 767, kRed}, {1010, 740, kLime}, {1023, 767, kLime}},
                            "podglad-duzy.png"))
        << mismatch;
    // Keys other than Esc leave it open.
    for (const char* key : {"Return", "space", "a", "F4", "Down"})
        ASSERT_TRUE(program.Display().PressKey(preview, key));
    // A selection in the browsing window behind it replaces its picture and caption at once;
    // the browsing window comes up in the middle, the preview's corners stay in sight.
    ASSERT_TRUE(program.Press({"Down"}));
    ASSERT_TRUE(program.WaitForCaption(kSmall)) << program.Caption();
    EXPECT_EQ(program.ShowingWindows(), 2) << "the keys before did not close the preview";
    EXPECT_TRUE(vltest::WaitUntil([&] { return program.Display().WindowName(preview) == kSmall; }, 10000));
    EXPECT_TRUE(screenShows({{0, 0, kNavy}, {199, 149, kNavy}, {1023, 767, kButtonFace}}, "podglad-za-oknem.png"))
        << mismatch;
    ASSERT_TRUE(program.Display().Screenshot(program.MainWindow(), pic32test::ScreenshotFolder() + "/okno.png"));
    ASSERT_TRUE(program.Display().PressKey(preview, "Escape"));
    EXPECT_TRUE(program.WaitForOnlyMainWindow());
}

TEST_F(PreviewTest, ASmallPictureOnTheButtonFaceAndEveryWayToCloseIt) {
    ASSERT_TRUE(program.Press({"Down"}));
    ASSERT_TRUE(program.WaitForCaption(kSmall)) << program.Caption();
    struct Close {
        const char* how;
        const char* key; // or a click at (x, y) when null
        int x, y;
    };
    const Close closes[] = {
        {"Esc", "Escape", 0, 0},
        {"Shift+Esc", "shift+Escape", 0, 0},
        {"Ctrl+Esc", "ctrl+Escape", 0, 0},
        {"a click on the picture", nullptr, 20, 20},
        {"a click on the background", nullptr, 900, 700},
    };
    for (const Close& c : closes) {
        SCOPED_TRACE(c.how);
        const std::string preview = open();
        ASSERT_NE(preview, "");
        EXPECT_TRUE(screenShows({{0, 0, kNavy}, {199, 149, kNavy}, {200, 150, kButtonFace}, {1023, 767, kButtonFace}},
                                "podglad-maly.png"))
            << mismatch;
        if (c.key)
            ASSERT_TRUE(program.Display().PressKey(preview, c.key));
        else
            ASSERT_TRUE(program.Display().Click(preview, c.x, c.y));
        EXPECT_TRUE(program.WaitForOnlyMainWindow());
        EXPECT_EQ(program.Caption(), kSmall) << "the program goes on";
    }
}

} // namespace
