// VL_PIC32 as a user walks a folder of wallpapers with the keyboard, on a virtual display with
// a window manager: the caption of each kind of file, the thumbnail in screenshots, a failed
// load in the default error dialog, the filter for all files, and a folder opened by Enter.
// One program start serves the whole walk, as the window serves a user.

#include "support/Pic32Program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using pic32test::Pic32Program;
using pic32test::PixelAt;

constexpr const char* kLas = "VELT: las.bmp (800 x 600) - 24bit color";

class PicturesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
        program.MakeFolder("Tapety/DUZE");
        program.Picture("Tapety/las.bmp", "-size 800x600 xc:navy");
        program.Picture("Tapety/DUZE/LAS.BMP", "-size 800x600 xc:navy");
        program.Picture("Tapety/bf32.bmp", "-size 64x48 xc:blue -alpha set");
        program.Picture("Tapety/morze.jpg", "-size 300x200 xc:white"); // a JPEG keeps white exact
        std::filesystem::copy_file(program.File("Tapety/las.bmp"), program.File("Tapety/m.bmpx"));
        program.Picture("Tapety/morze.jpeg", "-size 20x20 xc:red");
        program.Write("Tapety/notatka.txt", "nie obraz\r\n");
        ASSERT_TRUE(program.Start()) << program.Log();
    }

    // Keys on the browsing window, then the caption they lead to.
    void expect(const std::vector<std::string>& keys, const std::string& caption) {
        ASSERT_TRUE(program.Press(keys));
        if (!program.WaitForCaption(caption)) {
            const std::string shot = pic32test::ScreenshotFolder() + "/nie-tak-" + keys.back() + ".png";
            program.Display().Screenshot("root", shot);
            ADD_FAILURE() << "after " << keys.back() << ": " << program.Caption() << " (screen: " << shot << ")";
        }
    }
    // The middle of the thumbnail in a screenshot of the browsing window, once it is `colour`
    // (the window paints after its caption changes).
    bool thumbnailIs(long colour, const std::string& shotName) {
        const std::string shot = pic32test::ScreenshotFolder() + "/" + shotName;
        last = -1;
        return vltest::WaitUntil(
            [&] {
                last = program.Display().Screenshot(program.MainWindow(), shot) ? PixelAt(shot, 401, 95) : -1;
                return last == colour;
            },
            10000, 100);
    }

    Pic32Program program;
    long last = -1;
};

TEST_F(PicturesTest, WalkingTheFolderWithTheKeyboard) {
    // The file list, first with the picture filter: bf32.bmp, las.bmp, morze.jpg.
    expect({"Tab", "Down"}, "VELT: bf32.bmp (64 x 48)(custom color)");
    expect({"Down"}, kLas);
    EXPECT_TRUE(thumbnailIs(0x000080, "las.png")) << std::hex << last;
    expect({"Down"}, "VELT: morze.jpg");

    // "All files (*.*)" lists every file again, with nothing selected: bf32.bmp, las.bmp,
    // m.bmpx, morze.jpeg, morze.jpg, notatka.txt. The first key that moves in the list
    // selects its first line.
    expect({"Tab", "Tab", "Down"}, "VELT: ...");
    EXPECT_TRUE(thumbnailIs(0xD4D0C8, "po-zmianie-filtra.png")) << std::hex << last;
    expect({"shift+Tab", "shift+Tab", "Down"}, "VELT: bf32.bmp (64 x 48)(custom color)");
    expect({"Down"}, kLas);

    // m.bmpx passes for a picture by its first four letters and fails to load; the message ends
    // in ")", so no full stop is added. The selection runs the handler twice (click, change).
    ASSERT_TRUE(program.Press({"Down"}));
    for (int box = 1; box <= 2; ++box) {
        const std::string error = program.WaitForBox("vl_pic32");
        ASSERT_NE(error, "") << "box " << box;
        EXPECT_TRUE(program.WaitForLabel("Unknown picture file extension (.bmpx)")) << "box " << box;
        ASSERT_TRUE(program.Display().PressKey(error, "Return"));
        ASSERT_TRUE(program.WaitForWindowGone(error)) << "box " << box;
    }
    ASSERT_TRUE(program.WaitForOnlyMainWindow());
    EXPECT_EQ(program.Caption(), kLas) << "the window keeps the picture it had";
    EXPECT_TRUE(thumbnailIs(0x000080, "po-bledzie.png")) << std::hex << last;

    // A .jpeg file is no picture, nor is a text file: the thumbnail is cleared.
    expect({"Down"}, "VELT: ...");
    EXPECT_TRUE(thumbnailIs(0xD4D0C8, "jpeg.png")) << std::hex << last;
    expect({"Down"}, "VELT: morze.jpg");
    EXPECT_TRUE(thumbnailIs(0xFFFFFF, "jpg.png")) << std::hex << last;
    expect({"Down"}, "VELT: ...");
    EXPECT_TRUE(thumbnailIs(0xD4D0C8, "tekst.png")) << std::hex << last;
    expect({"Home"}, "VELT: bf32.bmp (64 x 48)(custom color)");

    // Enter in the folder list opens the folder under it (DUZE, the last line) and no preview.
    expect({"shift+Tab", "End", "Return"}, "VELT: ...");
    EXPECT_EQ(program.ShowingWindows(), 1);
    // An upper-case name is read like a lower-case one.
    expect({"Tab", "Down"}, "VELT: LAS.BMP (800 x 600) - 24bit color");
    EXPECT_TRUE(thumbnailIs(0x000080, "duze-litery.png")) << std::hex << last;
}

} // namespace
