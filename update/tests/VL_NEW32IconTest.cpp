// VL_NEW32's window carries the program's icon: the window manager gets the 32 by 32 picture
// built into the program, as the X server holds it for the window.

#include "support/New32Program.h"

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using new32test::New32Program;

TEST(IconTest, TheWindowCarriesTheProgramsIcon) {
    VLTEST_PRIVATE_NETWORK();
    New32Program program;
    ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    program.Write("orv.ini", "[Program]\r\nWersja=8.10\r\nWydanie=3\r\nLastUpd=2003/05/12\r\n");
    ASSERT_TRUE(program.Start());
    const std::string w = program.Window("Wykryj nowości: Orvena 8");
    ASSERT_NE(w, "") << program.Log();

    std::string icon;
    const bool given = vltest::WaitUntil(
        [&] {
            icon.clear();
            return vltest::RunProgram({"/usr/bin/xprop", "-id", w, "_NET_WM_ICON"}, &icon,
                                      {"DISPLAY=" + program.Display().Name()}) == 0 &&
                   icon.find("Icon (32 x 32)") != std::string::npos;
        },
        10000, 100);
    EXPECT_TRUE(given) << icon;

    ASSERT_TRUE(program.Display().PressKey(w, "alt+F4"));
    EXPECT_TRUE(program.WaitForEnd());
}

} // namespace
