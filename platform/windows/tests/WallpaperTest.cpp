// The wallpaper call: the path stored in the user's registry export file in the file's own
// format with everything else kept, and handed to a GNOME-family desktop through GSettings.

#include <windows/Windows.h>

#include <runtime/Cp1250.h>

#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

using vltest::ScopedEnv;
using vltest::TempDir;

using namespace rtl;

namespace {

std::string utf16le(std::string_view utf8) {
    std::string out = "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += 1 + extra;
        out += static_cast<char>(cp & 0xFF);
        out += static_cast<char>(cp >> 8);
    }
    return out;
}

class Wallpaper : public ::testing::Test {
  protected:
    // SystemParametersInfoA as the wallpaper program calls it.
    win::BOOL set(const std::string& path) {
        std::string buffer = path;
        return win::SystemParametersInfoA(win::SPI_SETDESKWALLPAPER, 0, buffer.data(),
                                          win::SPIF_UPDATEINIFILE);
    }
    std::string hive() const { return dir.Read("registry/HKEY_CURRENT_USER.reg"); }
    void putHive(const std::string& bytes) const { dir.Write("registry/HKEY_CURRENT_USER.reg", bytes); }
    // The stored value as the registry reads it back.
    std::string stored() const {
        win::HKEY key = 0;
        if (win::RegOpenKeyExA(win::HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, win::KEY_READ, &key) !=
            win::ERROR_SUCCESS)
            return "<no key>";
        char buf[1024] = {};
        win::DWORD size = sizeof buf, type = 0;
        const win::LONG rc =
            win::RegQueryValueExA(key, "Wallpaper", nullptr, &type, reinterpret_cast<win::BYTE*>(buf), &size);
        win::RegCloseKey(key);
        if (rc != win::ERROR_SUCCESS || type != win::REG_SZ)
            return "<no value>";
        return std::string(buf, size - 1);
    }

    TempDir dir;
    ScopedEnv registry{"VL_REGISTRY", dir.File("registry")};
    ScopedEnv noDesktop{"XDG_CURRENT_DESKTOP", std::nullopt};
};

} // namespace

TEST_F(Wallpaper, AMissingFileIsCreatedAsRegedit4) {
    ASSERT_EQ(set("C:\\Tapety\\las.bmp"), win::TRUE);
    EXPECT_EQ(hive(), "REGEDIT4\r\n"
                      "\r\n"
                      "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                      "\"Wallpaper\"=\"C:\\\\Tapety\\\\las.bmp\"\r\n"
                      "\r\n");
    EXPECT_EQ(stored(), "C:\\Tapety\\las.bmp");
    // A second call replaces the value; nothing is added.
    ASSERT_EQ(set("C:\\Inne\\morze.jpg"), win::TRUE);
    EXPECT_EQ(stored(), "C:\\Inne\\morze.jpg");
    EXPECT_EQ(hive().find("las.bmp"), std::string::npos);
    EXPECT_EQ(std::filesystem::directory_iterator(dir.File("registry"))->path().filename(),
              "HKEY_CURRENT_USER.reg");
}

TEST_F(Wallpaper, InARegedit4FileOnlyTheValueChanges) {
    const std::string before = "REGEDIT4\r\n\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Velt]\r\n\"Wallpaper\"=\"not this one\"\r\n\r\n"
                               "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                               "\"TileWallpaper\"=\"0\"\r\n"
                               "\"WALLPAPER\"=hex(2):43,00,3a,00,5c,00,\\\r\n  61,00,00,00\r\n"
                               "\"WallpaperStyle\"=\"2\"\r\n"
                               "\r\n"
                               "[HKEY_CURRENT_USER\\Control Panel\\Mouse]\r\n\"Speed\"=\"1\"\r\n";
    putHive(before);
    const std::string path = "C:\\Moje \"tapety\"\\"_w + "łąka"_w + ".bmp";
    ASSERT_EQ(set(path), win::TRUE);
    const std::string after = "REGEDIT4\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Velt]\r\n\"Wallpaper\"=\"not this one\"\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                              "\"TileWallpaper\"=\"0\"\r\n"
                              "\"Wallpaper\"=\"C:\\\\Moje \\\"tapety\\\"\\\\" +
                              "łąka"_w +
                              ".bmp\"\r\n"
                              "\"WallpaperStyle\"=\"2\"\r\n"
                              "\r\n"
                              "[HKEY_CURRENT_USER\\Control Panel\\Mouse]\r\n\"Speed\"=\"1\"\r\n";
    EXPECT_EQ(hive(), after);
    EXPECT_EQ(stored(), path);
}

TEST_F(Wallpaper, AVersion5FileStaysUtf16AndGainsTheValue) {
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                             "\"Pattern\"=\"Żółw\"\r\n";
    const std::string tail = "\r\n[HKEY_CURRENT_USER\\Software\\日本]\r\n\"x\"=dword:00000001\r\n";
    putHive(utf16le(head + tail));
    const std::string path = "D:\\Zdjęcia\\"_w + std::string(259 - 11, 'a');
    ASSERT_EQ(path.size(), 259u);
    ASSERT_EQ(set(path), win::TRUE);
    EXPECT_EQ(hive(),
              utf16le(head + "\"Wallpaper\"=\"D:\\\\Zdjęcia\\\\" + std::string(248, 'a') + "\"\r\n" + tail));
    EXPECT_EQ(stored(), path);
}

TEST_F(Wallpaper, AFileWithoutTheKeyGetsItAtTheEnd) {
    putHive("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Velt]\n\"a\"=\"b\"");
    ASSERT_EQ(set("C:\\x.bmp"), win::TRUE);
    EXPECT_EQ(hive(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Velt]\n\"a\"=\"b\"\n\n"
                      "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n\"Wallpaper\"=\"C:\\\\x.bmp\"\n\n");
    EXPECT_EQ(stored(), "C:\\x.bmp");
}

TEST_F(Wallpaper, OnlyTheWallpaperActionIsKnownAndWithoutTheFlagNothingIsStored) {
    win::SetLastError(0);
    EXPECT_EQ(win::SystemParametersInfoA(99, 0, nullptr, win::SPIF_UPDATEINIFILE), win::FALSE);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    std::string path = "C:\\a.bmp";
    EXPECT_EQ(win::SystemParametersInfoA(win::SPI_SETDESKWALLPAPER, 0, path.data(), 0), win::TRUE);
    EXPECT_FALSE(std::filesystem::exists(dir.File("registry/HKEY_CURRENT_USER.reg")));
}

// Runs last in this program: GSettings picks its backend once per process.
TEST_F(Wallpaper, GnomeDesktopsGetBothPicturesThroughGSettings) {
    if (!std::filesystem::exists("/usr/share/glib-2.0/schemas/org.gnome.desktop.background.gschema.xml"))
        GTEST_SKIP() << "needs gsettings-desktop-schemas";
    dir.Write("pics/las.bmp", "BM");
    const std::string config = dir.File("config");
    ScopedEnv backend("GSETTINGS_BACKEND", "keyfile");
    ScopedEnv configHome("XDG_CONFIG_HOME", config);
    const std::string keyfile = config + "/glib-2.0/settings/keyfile";

    std::optional<ScopedEnv> desktop(std::in_place, "XDG_CURRENT_DESKTOP", "KDE");
    ASSERT_EQ(set(dir.File("pics/las.bmp")), win::TRUE);
    EXPECT_FALSE(std::filesystem::exists(keyfile)) << "only stored on other desktops";

    desktop.emplace("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    ASSERT_EQ(set(dir.File("pics/las.bmp")), win::TRUE);
    const std::string text = vltest::ReadFile(keyfile);
    const std::string uri = "'file://" + dir.File("pics/las.bmp") + "'";
    EXPECT_NE(text.find("[org/gnome/desktop/background]"), std::string::npos) << text;
    EXPECT_NE(text.find("picture-uri=" + uri), std::string::npos) << text;
    EXPECT_NE(text.find("picture-uri-dark=" + uri), std::string::npos) << text;
    EXPECT_EQ(stored(), dir.File("pics/las.bmp"));
}
