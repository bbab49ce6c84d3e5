// VL_PIC32 setting the wallpaper as a user does it, on a virtual display with a window manager
// and a GNOME desktop's settings (GSettings' key file backend, Debian's schemas): Ctrl+U and
// the file list's context menu store the path in the user's registry file, every other line
// kept, and hand the picture to GSettings, both styles; "&Koniec" ends the program.

#include "support/Pic32Program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using pic32test::Pic32Program;

const std::string kRegistryBefore = "REGEDIT4\r\n"
                                    "\r\n"
                                    "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                                    "\"TileWallpaper\"=\"0\"\r\n"
                                    "\"Wallpaper\"=\"C:\\\\stara.bmp\"\r\n"
                                    "\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\Velt]\r\n"
                                    "\"Wersja\"=\"8\"\r\n";

// The registry file with the Wallpaper value set to `windowsPath`.
std::string registryWith(const std::string& windowsPath) {
    std::string escaped;
    for (char c : windowsPath) {
        if (c == '\\')
            escaped += '\\';
        escaped += c;
    }
    std::string after = kRegistryBefore;
    const std::string old = "\"C:\\\\stara.bmp\"";
    after.replace(after.find(old), old.size(), "\"" + escaped + "\"");
    return after;
}

// The host path as Windows names it on drive C:, the host's root.
std::string windowsPath(const std::string& hostPath) {
    std::string path = "C:" + hostPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

TEST(WallpaperTest, CtrlUAndTheContextMenuStoreThePictureAndTellGSettings) {
    if (!vltest::PathExists("/usr/share/glib-2.0/schemas/org.gnome.desktop.background.gschema.xml"))
        GTEST_SKIP() << "needs gsettings-desktop-schemas";
    Pic32Program program;
    ASSERT_TRUE(program.Display().Started()) << program.Display().Why();
    program.MakeFolder("Tapety");
    program.Picture("Tapety/las.bmp", "-size 800x600 xc:navy");
    program.Picture("Tapety/morze.jpg", "-size 300x200 xc:lime");
    // A name that makes the path as long as Windows allows (259 characters and the zero).
    const std::size_t prefix = windowsPath(program.File("Tapety/")).size();
    ASSERT_LT(prefix, 259u - 8);
    const std::string longName = std::string(259 - prefix - 4, 'p') + ".bmp";
    program.Picture("Tapety/" + longName, "-size 8x8 xc:navy");
    ASSERT_EQ(windowsPath(program.File("Tapety/" + longName)).size(), 259u);
    std::filesystem::create_directories(program.RegistryFolder());
    vltest::WriteFile(program.RegistryFile(), kRegistryBefore);
    ASSERT_TRUE(program.Start()) << program.Log();

    struct Step {
        std::vector<std::string> select;
        std::string shortcut, menuKey; // the shortcut, or the key that opens the file list's menu
        std::string caption, file;
    };
    const Step steps[] = {
        {{"Tab", "Down"}, "ctrl+u", "", "VELT: las.bmp (800 x 600) - 24bit color", "Tapety/las.bmp"},
        // The JPEG file goes as it is, through the file list's own menu.
        {{"Down"}, "", "Menu", "VELT: morze.jpg", "Tapety/morze.jpg"},
        // The longest path reaches the call whole.
        {{"Down"}, "ctrl+u", "", "VELT: " + longName + " (8 x 8) - 24bit color", "Tapety/" + longName},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.file);
        ASSERT_TRUE(program.Press(s.select));
        ASSERT_TRUE(program.WaitForCaption(s.caption)) << program.Caption();
        if (!s.shortcut.empty())
            ASSERT_TRUE(program.Press({s.shortcut}));
        else
            ASSERT_TRUE(program.ChooseFromMenu(s.menuKey, "u"));
        const std::string expected = registryWith(windowsPath(program.File(s.file)));
        EXPECT_TRUE(vltest::WaitUntil([&] { return vltest::ReadFile(program.RegistryFile()) == expected; }, 10000))
            << vltest::ReadFile(program.RegistryFile());
        const std::string uri = "'file://" + program.File(s.file) + "'";
        EXPECT_TRUE(vltest::WaitUntil(
            [&] {
                const std::string keyfile = vltest::ReadFile(program.GSettingsFile());
                return keyfile.find("[org/gnome/desktop/background]") != std::string::npos &&
                       keyfile.find("\npicture-uri=" + uri + "\n") != std::string::npos &&
                       keyfile.find("\npicture-uri-dark=" + uri + "\n") != std::string::npos;
            },
            10000))
            << vltest::ReadFile(program.GSettingsFile());
        // Nothing is shown either way.
        EXPECT_TRUE(program.WaitForOnlyMainWindow());
    }

    // "&Plik", "&Koniec" ends the program.
    ASSERT_TRUE(program.ChooseFromMenu("alt+p", "k"));
    ASSERT_TRUE(program.WaitForEnd());
    EXPECT_EQ(program.ExitCode(), 0) << program.Log();
}

} // namespace
