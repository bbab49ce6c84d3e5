// The read-only registry over export files in both formats.

#include <windows/Windows.h>

#include "TestSupport.h"
#include <runtime/Cp1250.h>

#include <filesystem>
#include <gtest/gtest.h>

using vltest::ScopedEnv;
using vltest::TempDir;

using namespace rtl;

namespace {

using win::DWORD;
using win::HKEY;
using win::LONG;

// UTF-16LE with a byte order mark, as the platform's registry editor writes its exports.
std::string utf16le(std::string_view utf8) {
    std::string out = "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += 1 + extra;
        auto unit = [&](char32_t u) {
            out += static_cast<char>(u & 0xFF);
            out += static_cast<char>(u >> 8);
        };
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

const std::string kRegedit4 = "REGEDIT4\r\n"
                              "\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Velt\\VL_PAK32]\r\n"
                              "@=\"" +
                              "domyślny"_w +
                              "\"\r\n"
                              "\"Katalog\"=\"C:\\\\Program Files\\\\VELT\"\r\n"
                              "\"Cytat\"=\"" +
                              "powiedział"_w +
                              " \\\"tak\\\"\"\r\n"
                              "\"ExpandPath\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,78,00\r\n"
                              "\"Licznik\"=dword:0000002a\r\n"
                              "\"Dane\"=hex:01,02,03,\\\r\n"
                              "  04,05\r\n"
                              "\"ZeroInside\"=hex(1):61,62,00,63,64,00\r\n"
                              "\"Lista\"=hex(7):61,00,62,00,00\r\n"
                              "\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Velt\\Deep\\Deeper]\r\n"
                              "\"x\"=\"y\"\r\n"
                              "\r\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
                              "\"wrong\"=\"root\"\r\n";

const std::string kVersion5 =
    utf16le("Windows Registry Editor Version 5.00\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velt]\r\n"
            "@=\"Zażółć\"\r\n"
            "\"Nazwa\"=\"Łódź \\\"cytat\\\"\"\r\n"
            "\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,42,01,\\\r\n"
            "  00,00\r\n"
            "\"Japanese\"=\"日本\"\r\n"
            "\"Num\"=dword:00000001\r\n"
            "\"Bin\"=hex:ff,00\r\n");

class Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("HKEY_CURRENT_USER.reg", kRegedit4);
        dir.Write("HKEY_LOCAL_MACHINE.reg", kVersion5);
    }
    TempDir dir;
    ScopedEnv folder{"VL_REGISTRY", dir.Path()};

    struct Read {
        LONG result;
        DWORD type;
        std::string data;
    };
    Read read(HKEY root, const char* path, const char* name) {
        HKEY key = 0;
        LONG r = win::RegOpenKeyExA(root, path, 0, win::KEY_READ, &key);
        if (r != win::ERROR_SUCCESS)
            return {r, win::REG_NONE, {}};
        DWORD type = 99, size = 0;
        r = win::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
        std::string data(size, '\x7F');
        if (r == win::ERROR_SUCCESS && size > 0) {
            DWORD size2 = size;
            r = win::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<win::BYTE*>(data.data()),
                                      &size2);
            EXPECT_EQ(size2, size);
        }
        EXPECT_EQ(win::RegCloseKey(key), win::ERROR_SUCCESS);
        return {r, type, data};
    }
    std::string listing() {
        std::string all;
        for (auto& e : std::filesystem::directory_iterator(dir.Path()))
            all += e.path().filename().string() + "=" + dir.Read(e.path().filename().string()) + ";";
        return all;
    }
};

struct ValueCase {
    HKEY root;
    const char* path;
    const char* name;
    LONG result;
    DWORD type;
    std::string data;
};

class RegistryValue : public Registry, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValue, ReadsAsThePlatformGivesIt) {
    const ValueCase& c = GetParam();
    Read r = read(c.root, c.path, c.name);
    EXPECT_EQ(r.result, c.result);
    if (c.result == win::ERROR_SUCCESS) {
        EXPECT_EQ(r.type, c.type);
        EXPECT_EQ(r.data, c.data);
    }
}

const HKEY CU = win::HKEY_CURRENT_USER;
const HKEY LM = win::HKEY_LOCAL_MACHINE;
const char* kPak = "Software\\Velt\\VL_PAK32";

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryValue,
    ::testing::Values(
        ValueCase{CU, kPak, "", win::ERROR_SUCCESS, win::REG_SZ, "domyślny"_w + '\0'},
        ValueCase{CU, kPak, nullptr, win::ERROR_SUCCESS, win::REG_SZ, "domyślny"_w + '\0'},
        ValueCase{CU, kPak, "katalog", win::ERROR_SUCCESS, win::REG_SZ,
                  std::string("C:\\Program Files\\VELT") + '\0'},
        ValueCase{CU, "software\\VELT\\vl_pak32", "Katalog", win::ERROR_SUCCESS, win::REG_SZ,
                  std::string("C:\\Program Files\\VELT") + '\0'},
        ValueCase{CU, "\\Software\\Velt\\VL_PAK32", "Katalog", win::ERROR_BAD_PATHNAME, win::REG_NONE, ""},
        ValueCase{CU, kPak, "Cytat", win::ERROR_SUCCESS, win::REG_SZ, "powiedział \"tak\""_w + '\0'},
        ValueCase{CU, kPak, "ExpandPath", win::ERROR_SUCCESS, win::REG_EXPAND_SZ,
                  std::string("%SystemRoot%\\x") + '\0'},
        ValueCase{CU, kPak, "Licznik", win::ERROR_SUCCESS, win::REG_DWORD, std::string("\x2A\0\0\0", 4)},
        ValueCase{CU, kPak, "Dane", win::ERROR_SUCCESS, win::REG_BINARY, std::string("\1\2\3\4\5", 5)},
        ValueCase{CU, kPak, "ZeroInside", win::ERROR_SUCCESS, win::REG_SZ, std::string("ab\0cd\0", 6)},
        ValueCase{CU, kPak, "Lista", win::ERROR_SUCCESS, win::REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
        ValueCase{CU, kPak, "Brak", win::ERROR_FILE_NOT_FOUND, win::REG_NONE, ""},
        ValueCase{CU, "Software\\Velt\\Deep", "x", win::ERROR_FILE_NOT_FOUND, win::REG_NONE, ""},
        ValueCase{CU, "Software\\Velt\\Deep\\DEEPER", "X", win::ERROR_SUCCESS, win::REG_SZ,
                  std::string("y") + '\0'},
        ValueCase{CU, "Software\\Velt\\Brak", "", win::ERROR_FILE_NOT_FOUND, win::REG_NONE, ""},
        ValueCase{CU, "Software\\Other", "wrong", win::ERROR_FILE_NOT_FOUND, win::REG_NONE, ""},
        ValueCase{LM, "Software\\Other", "wrong", win::ERROR_FILE_NOT_FOUND, win::REG_NONE, ""},
        ValueCase{LM, "software\\velt", "", win::ERROR_SUCCESS, win::REG_SZ, "Zażółć"_w + '\0'},
        ValueCase{LM, "SOFTWARE\\Velt", "nazwa", win::ERROR_SUCCESS, win::REG_SZ, "Łódź \"cytat\""_w + '\0'},
        ValueCase{LM, "SOFTWARE\\Velt", "Expand", win::ERROR_SUCCESS, win::REG_EXPAND_SZ,
                  "%TEMP%\\ł"_w + '\0'},
        ValueCase{LM, "SOFTWARE\\Velt", "Japanese", win::ERROR_SUCCESS, win::REG_SZ,
                  std::string("??") + '\0'},
        ValueCase{LM, "SOFTWARE\\Velt", "Num", win::ERROR_SUCCESS, win::REG_DWORD,
                  std::string("\1\0\0\0", 4)},
        ValueCase{LM, "SOFTWARE\\Velt", "Bin", win::ERROR_SUCCESS, win::REG_BINARY, std::string("\xFF\0", 2)},
        ValueCase{win::HKEY_USERS, "", "x", win::ERROR_FILE_NOT_FOUND, win::REG_NONE, ""}));

TEST_F(Registry, MissingKeyCreatesNothing) {
    const std::string before = listing();
    HKEY key = 0;
    EXPECT_EQ(win::RegOpenKeyExA(CU, "Software\\Nowy\\Klucz", 0, win::KEY_READ, &key),
              win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(win::RegOpenKeyExA(win::HKEY_CLASSES_ROOT, "Nowy", 0, win::KEY_READ, &key),
              win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(listing(), before);
    // Nor can a key be opened for writing.
    EXPECT_EQ(win::RegOpenKeyExA(CU, kPak, 0, win::KEY_WRITE, &key), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(listing(), before);
}

TEST_F(Registry, LeadingOrDoubledBackslashIsABadPath) {
    HKEY key = 0;
    EXPECT_EQ(win::RegOpenKeyExA(CU, "\\Software\\Velt", 0, win::KEY_READ, &key), win::ERROR_BAD_PATHNAME);
    EXPECT_EQ(win::RegOpenKeyExA(CU, "Software\\\\Velt", 0, win::KEY_READ, &key), win::ERROR_BAD_PATHNAME);
    EXPECT_EQ(win::RegOpenKeyExA(CU, "Software\\Velt", 0, win::KEY_READ, &key), win::ERROR_SUCCESS);
    win::RegCloseKey(key);
}

TEST_F(Registry, BufferTooSmallAndRelativeOpen) {
    HKEY velt = 0, pak = 0;
    ASSERT_EQ(win::RegOpenKeyExA(CU, "Software\\Velt", 0, win::KEY_READ, &velt), win::ERROR_SUCCESS);
    ASSERT_EQ(win::RegOpenKeyExA(velt, "vl_pak32", 0, win::KEY_READ, &pak), win::ERROR_SUCCESS);
    char buf[4] = {'x', 'x', 'x', 'x'};
    DWORD size = 3, type = 0;
    EXPECT_EQ(win::RegQueryValueExA(pak, "Katalog", nullptr, &type, reinterpret_cast<win::BYTE*>(buf), &size),
              win::ERROR_MORE_DATA);
    EXPECT_EQ(size, 22u);
    EXPECT_EQ(type, win::REG_SZ);
    EXPECT_EQ(
        win::RegQueryValueExA(pak, "Katalog", nullptr, &type, reinterpret_cast<win::BYTE*>(buf), nullptr),
        win::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(win::RegCloseKey(pak), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegCloseKey(velt), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegCloseKey(velt), win::ERROR_INVALID_HANDLE);
    EXPECT_EQ(win::RegQueryValueExA(velt, "", nullptr, nullptr, nullptr, &size), win::ERROR_INVALID_HANDLE);
}

TEST(RegistryFolder, DefaultIsUnderTheHomeFolder) {
    TempDir home;
    home.Write(".config/vl-suite/registry/HKEY_CURRENT_USER.reg",
               "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"b\"=\"c\"\n");
    ScopedEnv noFolder{"VL_REGISTRY", ""};
    ScopedEnv homeEnv{"HOME", home.Path()};
    HKEY key = 0;
    ASSERT_EQ(win::RegOpenKeyExA(win::HKEY_CURRENT_USER, "a", 0, win::KEY_READ, &key), win::ERROR_SUCCESS);
    char buf[8] = {};
    DWORD size = sizeof buf;
    EXPECT_EQ(win::RegQueryValueExA(key, "B", nullptr, nullptr, reinterpret_cast<win::BYTE*>(buf), &size),
              win::ERROR_SUCCESS);
    EXPECT_EQ(std::string(buf, size), std::string("c\0", 2));
    win::RegCloseKey(key);
}

} // namespace
