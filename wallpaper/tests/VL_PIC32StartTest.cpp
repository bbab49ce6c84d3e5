// VL_PIC32 started as a user starts it, on a virtual display with a window manager: the folder
// the lists start in (told by the first file the file list offers), and the caption and the
// empty thumbnail right after start.

#include "support/Pic32Program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pic32test::Pic32Program;

struct StartCase {
    const char* name;
    std::vector<std::string> folders; // in the program's folder
    std::vector<std::string> files;   // plain files in the program's folder, not pictures
    std::string firstPicture;         // the first entry of the file list at start
};

class StartFolderTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartFolderTest, TheListsStartInTheRightFolder) {
    const StartCase& c = GetParam();
    Pic32Program program;
    ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    // One picture in every place the lists could start in, named after its place.
    program.Picture("w-programie.bmp", "-size 12x10 xc:gray");
    for (const std::string& folder : c.folders) {
        program.MakeFolder(folder);
        program.Picture(folder + "/w-" + folder + ".bmp", "-size 12x10 xc:gray");
    }
    for (const std::string& file : c.files)
        program.Write(file, "nie katalog");

    ASSERT_TRUE(program.Start()) << program.Log();
    EXPECT_EQ(program.Caption(), "VELT: ...");

    // The folder list has the focus; the file list is next in the tab order.
    ASSERT_TRUE(program.Press({"Tab", "Down"}));
    EXPECT_TRUE(program.WaitForCaption("VELT: " + c.firstPicture + " (12 x 10) - 24bit color"))
        << program.Caption();
}

INSTANTIATE_TEST_SUITE_P(
    Places, StartFolderTest,
    ::testing::Values(StartCase{"TapetyBeforeInne", {"Tapety", "Inne"}, {}, "w-Tapety.bmp"},
                      StartCase{"OnlyInne", {"Inne"}, {}, "w-Inne.bmp"},
                      StartCase{"Neither", {"Obrazy"}, {}, "w-programie.bmp"},
                      StartCase{"AFileNamedTapety", {}, {"Tapety"}, "w-programie.bmp"},
                      StartCase{"AFileNamedTapetyAndInne", {"Inne"}, {"Tapety"}, "w-Inne.bmp"}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST(StartTest, RightAfterStartTheThumbnailIsEmpty) {
    Pic32Program program;
    ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    program.MakeFolder("Tapety");
    program.Picture("Tapety/czerwony.bmp", "-size 40x30 xc:red");
    ASSERT_TRUE(program.Start()) << program.Log();
    // The middle of the thumbnail, below the menu bar, once the window has painted: the
    // panel's face, no picture; after a selection, the picture.
    const std::string shot = pic32test::ScreenshotFolder() + "/start.png";
    auto thumbnailIs = [&](long colour) {
        return vltest::WaitUntil(
            [&] {
                return program.Display().Screenshot(program.MainWindow(), shot) &&
                       pic32test::PixelAt(shot, 401, 95) == colour;
            },
            10000, 100);
    };
    EXPECT_TRUE(thumbnailIs(0xD4D0C8)) << std::hex << pic32test::PixelAt(shot, 401, 95);
    ASSERT_TRUE(program.Press({"Tab", "Down"}));
    ASSERT_TRUE(program.WaitForCaption("VELT: czerwony.bmp (40 x 30) - 24bit color"));
    EXPECT_TRUE(thumbnailIs(0xFF0000)) << std::hex << pic32test::PixelAt(shot, 401, 95);
}

} // namespace
