// VL_PIC32's keyboard commands pressed by a user, on a virtual display with a window manager
// that leaves Alt+Esc to the program: the notice when nothing is loaded, the disabled
// shortcuts, Enter with each set of modifiers in the file list, Alt+Esc, and Shift+Esc ending
// the program. One program start serves the table.
//
// A key that must do nothing is followed by one that changes the caption; once that change
// shows, the program has handled the first key, and its accessibility tree tells whether a
// preview window came of it.

#include "support/Pic32Program.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pic32test::Pic32Program;

constexpr const char* kLas = "VELT: las.bmp (800 x 600) - 24bit color";
constexpr const char* kMorze = "VELT: morze.jpg";

class KeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
        program.MakeFolder("Tapety");
        program.Picture("Tapety/las.bmp", "-size 800x600 xc:navy");
        program.Picture("Tapety/morze.jpg", "-size 300x200 xc:lime");
        ASSERT_TRUE(program.Start()) << program.Log();
    }

    // Moves the file list's selection to the other picture and waits for its caption.
    void toggleSelection() {
        const bool onLas = program.Caption() == kLas;
        ASSERT_TRUE(program.Press({onLas ? "Down" : "Up"}));
        ASSERT_TRUE(program.WaitForCaption(onLas ? kMorze : kLas)) << program.Caption();
    }

    Pic32Program program{vltest::VirtualDisplay::Options{.freeAltEscape = true}};
};

struct KeyCase {
    const char* key;
    bool opensPreview;
};

TEST_F(KeysTest, TheKeyTableInTheFileList) {
    // Nothing selected yet: Enter tells the user to choose a file, under "Uwaga".
    ASSERT_TRUE(program.Press({"Tab", "Return"}));
    const std::string notice = program.WaitForBox("Uwaga");
    ASSERT_NE(notice, "") << program.Log();
    EXPECT_TRUE(program.WaitForLabel("Najpierw wybierz tapetę (plik)"));
    ASSERT_TRUE(program.Display().PressKey(notice, "Return"));
    ASSERT_TRUE(program.WaitForOnlyMainWindow());

    // Ctrl+G and Ctrl+U belong to disabled items: nothing opens, nothing is stored.
    ASSERT_TRUE(program.Press({"ctrl+g", "ctrl+u", "Down"}));
    ASSERT_TRUE(program.WaitForCaption(kLas)) << program.Caption();
    EXPECT_EQ(program.ShowingWindows(), 1);
    EXPECT_FALSE(vltest::PathExists(program.RegistryFile()));

    const KeyCase cases[] = {
        {"shift+Return", false}, {"ctrl+Return", false}, {"alt+Return", false},
        {"alt+Escape", false},   {"Return", true},       {"shift+ctrl+Return", true},
        {"ctrl+g", true},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(program.Press({c.key}));
        if (c.opensPreview) {
            const std::string preview = program.WaitForPreview();
            ASSERT_NE(preview, "");
            ASSERT_TRUE(program.Display().PressKey(preview, "Escape"));
            ASSERT_TRUE(program.WaitForOnlyMainWindow());
        } else {
            toggleSelection();
            EXPECT_EQ(program.ShowingWindows(), 1);
        }
    }
    EXPECT_FALSE(vltest::PathExists(program.RegistryFile()));

    // Shift+Esc ends the program, as Esc does.
    ASSERT_TRUE(program.Press({"shift+Escape"}));
    ASSERT_TRUE(program.WaitForEnd()) << "Shift+Esc ends the program";
    EXPECT_EQ(program.ExitCode(), 0) << program.Log();
}

} // namespace
