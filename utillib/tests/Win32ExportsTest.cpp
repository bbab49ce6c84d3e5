#include "HostLibrary.h"
#include "TestSupport.h"

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <vector>

using namespace hosttest;
using rtl::operator""_w;
namespace fs = std::filesystem;

namespace {

// ---- Random numbers and names ----

class RandomExports : public ::testing::Test {
  protected:
    HostLibrary library;
    decltype(&::DeGetRandomNum) deGetRandomNum = library.Export<decltype(::DeGetRandomNum)>("DeGetRandomNum");
    decltype(&::DeGetHexRandomName) deGetHexRandomName =
        library.Export<decltype(::DeGetHexRandomName)>("DeGetHexRandomName");
    decltype(&::VbGetHexRandomName) vbGetHexRandomName =
        library.Export<decltype(::VbGetHexRandomName)>("VbGetHexRandomName");
};

// Four digits 0-9/A-F naming a number from 0 to 9998.
void ExpectName(std::string_view name) {
    ASSERT_EQ(name.size(), 4u) << name;
    for (char c : name)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << name;
    EXPECT_LE(std::stoi(std::string(name), nullptr, 16), 9998) << name;
}

TEST_F(RandomExports, NumbersStayBelow9999) {
    std::set<std::int32_t> seen;
    for (int i = 0; i < 20000; ++i) {
        const std::int32_t n = deGetRandomNum();
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 9998);
        seen.insert(n);
    }
    // Reseeded from the running counter on every call, so the draws vary.
    EXPECT_GT(seen.size(), 100u);
}

TEST_F(RandomExports, NamesAreFourUpperCaseDigits) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        HostVariable name;
        deGetHexRandomName(&name.value);
        ASSERT_NE(name.value, nullptr);
        EXPECT_EQ(Count(name.value), 1);
        ExpectName(name.View());
        const char* text = vbGetHexRandomName();
        ASSERT_NE(text, nullptr);
        ExpectName(text);
        seen.insert(text);
    }
    EXPECT_GT(seen.size(), 10u);
}

TEST_F(RandomExports, NameReplacesTheVariablesOldString) {
    char* old = HostString("held before");
    std::int32_t two = 2;
    std::memcpy(old - 8, &two, 4);
    char* variable = old;
    deGetHexRandomName(&variable);
    EXPECT_EQ(Count(old), 1);
    EXPECT_EQ(View(old), "held before");
    ExpectName(View(variable));
    HostRelease(variable);
    HostRelease(old);
}

TEST_F(RandomExports, VbNameStaysUntilTheNextCall) {
    const char* first = vbGetHexRandomName();
    const std::string copy = first;
    deGetRandomNum(); // another export does not touch it
    EXPECT_EQ(std::string(first), copy);
}

// ---- Windows NT test ----

TEST(UsingWinNT, BothFormsFollowThePlatformIdentifier) {
    HostLibrary library;
    // Declared here as a host that reads the full 32-bit register would.
    auto deUsingWinNT = library.Export<std::uint32_t()>("DeUsingWinNT");
    auto vbUsingWinNT = library.Export<std::int32_t()>("VbUsingWinNT");
    win::OSVERSIONINFOA info;
    ASSERT_TRUE(win::GetVersionExA(&info));
    const bool nt = info.dwPlatformId == win::VER_PLATFORM_WIN32_NT;
    EXPECT_EQ(deUsingWinNT() & 0xFF, nt ? 1u : 0u);
    EXPECT_EQ(vbUsingWinNT(), nt ? 1 : 0);                    // all 32 bits
    EXPECT_EQ(info.dwPlatformId, win::VER_PLATFORM_WIN32_NT); // what the layer reports on Linux
}

// ---- Registry reads ----

// UTF-16LE bytes of a Windows-1250 text, as the platform's registry editor writes them.
std::string Utf16Le(std::string_view cp1250) {
    std::string out;
    for (char c : cp1250) {
        const char32_t u = rtl::cp1250ToUnicode(static_cast<unsigned char>(c));
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

// One file per root key, in the folder VL_REGISTRY names: the current user's in the old text
// format (Windows-1250), the local machine's in the new one (UTF-16LE with its byte-order mark).
class RegistryFiles : public ::testing::Environment {
  public:
    static inline std::string folder;

    void SetUp() override {
        dir.emplace("vl_registry");
        folder = dir->Path();
        std::ofstream(folder + "/HKEY_CURRENT_USER.reg", std::ios::binary)
            << "REGEDIT4\r\n"
               "\r\n"
               "[HKEY_CURRENT_USER\\Software\\Velt\\VL_LIB32]\r\n"
               "@=\"Domyślna wartość\"\r\n"_w
            << "\"Katalog\"=\"C:\\\\Velt\\\\Dane\"\r\n"
               "\"Zero\"=hex(1):61,62,63,00,64,65,66,00\r\n"
               "\"Rozwin\"=hex(2):25,54,45,4d,50,25,5c,76,6c,00\r\n"
               "\"Liczba\"=dword:0000002a\r\n"
               "\"Binarne\"=hex:01,02,03\r\n"
               "\"Lista\"=hex(7):61,00,62,00,00\r\n"
               "\"Puste\"=\"\"\r\n"
               "\r\n"
               "[HKEY_CURRENT_USER\\Software\\Velt\\VL_LIB32\\Podklucz]\r\n"
               "\"Nazwa\"=\"niżej\"\r\n"_w;
        const std::string machine = "Windows Registry Editor Version 5.00\r\n"
                                    "\r\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velt\\Produkty]\r\n"
                                    "@=\"Orvena\"\r\n"
                                    "\"Ścieżka\"=\"C:\\\\Program Files\\\\Orvena\"\r\n"
                                    "\"Rozwin\"=hex(2):25,00,57,00,49,00,4e,00,44,00,49,00,52,00,25,00,5c,00,"
                                    "76,00,00,00\r\n"
                                    "\"Zero\"=hex(1):78,00,00,00,79,00,00,00\r\n"_w;
        std::ofstream(folder + "/HKEY_LOCAL_MACHINE.reg", std::ios::binary) << "\xFF\xFE" << Utf16Le(machine);
        registry.emplace("VL_REGISTRY", folder);
    }
    void TearDown() override {
        registry.reset();
        dir.reset();
    }

  private:
    std::optional<vltest::TempDir> dir;
    std::optional<vltest::ScopedEnv> registry;
};

const auto* const registryFiles = ::testing::AddGlobalTestEnvironment(new RegistryFiles);

class RegistryExports : public ::testing::Test {
  protected:
    HostLibrary library;
    decltype(&::DeGetRegistryStrValue) deGetRegistryStrValue =
        library.Export<decltype(::DeGetRegistryStrValue)>("DeGetRegistryStrValue");
    decltype(&::VbGetRegistryStrValue) vbGetRegistryStrValue =
        library.Export<decltype(::VbGetRegistryStrValue)>("VbGetRegistryStrValue");

    std::string De(std::int32_t root, std::string_view key, std::string_view value) {
        HostVariable keyPath(key), valueName(value), result("previous");
        deGetRegistryStrValue(&result.value, root, keyPath.value, valueName.value);
        if (keyPath.value) {
            EXPECT_EQ(Count(keyPath.value), 1);
        }
        if (valueName.value) {
            EXPECT_EQ(Count(valueName.value), 1);
        }
        if (result.value) {
            EXPECT_EQ(Count(result.value), 1);
        }
        return std::string(result.View());
    }

    std::string Vb(std::int32_t root, const char* key, const char* value) {
        const char* text = vbGetRegistryStrValue(root, key, value);
        EXPECT_NE(text, nullptr);
        return text ? text : "(null)";
    }
};

struct RegistryCase {
    std::int32_t root;
    std::string key;
    std::string value;
    std::string expected;
};

TEST_F(RegistryExports, ReadsStringValues) {
    const std::string velt = "Software\\Velt\\VL_LIB32";
    const RegistryCase cases[] = {
        {1, velt, "", "Domyślna wartość"_w},                          // the default value
        {1, "\\" + velt, "Katalog", "C:\\Velt\\Dane"},                // leading backslash dropped
        {1, "software\\VELT\\vl_lib32", "katalog", "C:\\Velt\\Dane"}, // letter case ignored
        {1, velt, "Zero", "abc"},                                     // up to the 0 byte inside
        {1, velt, "Rozwin", "%TEMP%\\vl"},                            // not expanded
        {7, velt, "Katalog", "C:\\Velt\\Dane"},                       // unknown index: current user
        {-1, velt, "Katalog", "C:\\Velt\\Dane"},
        {1, velt + "\\Podklucz", "Nazwa", "niżej"_w},
        {2, "SOFTWARE\\Velt\\Produkty", "", "Orvena"}, // the UTF-16LE file
        {2, "\\SOFTWARE\\Velt\\Produkty", "Ścieżka"_w, "C:\\Program Files\\Orvena"},
        {2, "SOFTWARE\\Velt\\Produkty", "Rozwin", "%WINDIR%\\v"},
        {2, "SOFTWARE\\Velt\\Produkty", "Zero", "x"},
    };
    for (const RegistryCase& c : cases) {
        EXPECT_EQ(De(c.root, c.key, c.value), c.expected) << c.root << " " << c.key << " " << c.value;
        EXPECT_EQ(Vb(c.root, c.key.c_str(), c.value.c_str()), c.expected) << c.root << " " << c.key;
    }
}

// Two host threads reading different values at once each get their own text, and it stays
// theirs until their own next call.
TEST_F(RegistryExports, ThreadsKeepTheirOwnText) {
    const std::string velt = "Software\\Velt\\VL_LIB32";
    std::atomic<int> wrong{0};
    auto reader = [&](const char* value, const std::string& expected) {
        for (int i = 0; i < 2000; ++i) {
            const char* text = vbGetRegistryStrValue(1, velt.c_str(), value);
            if (!text || text != expected)
                ++wrong;
        }
    };
    std::thread a(reader, "Katalog", "C:\\Velt\\Dane");
    std::thread b(reader, "Zero", "abc");
    a.join();
    b.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(RegistryExports, NothingFoundOrNotAStringGivesTheEmptyText) {
    const std::string velt = "Software\\Velt\\VL_LIB32";
    const RegistryCase cases[] = {
        {1, velt, "Liczba", ""},  {1, velt, "Binarne", ""}, {1, velt, "Lista", ""},
        {1, velt, "Puste", ""},   {1, velt, "Brak", ""},    {1, "Software\\Velt\\Brak", "Katalog", ""},
        {2, velt, "Katalog", ""}, {0, velt, "Katalog", ""}, {3, "", "Katalog", ""},
    };
    for (const RegistryCase& c : cases) {
        EXPECT_EQ(De(c.root, c.key, c.value), "") << c.root << " " << c.key << " " << c.value;
        const char* text = vbGetRegistryStrValue(c.root, c.key.c_str(), c.value.c_str());
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "");
    }
    const char* text = vbGetRegistryStrValue(1, nullptr, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
}

TEST_F(RegistryExports, ReadingAMissingKeyCreatesNothing) {
    const auto before = fs::last_write_time(RegistryFiles::folder + "/HKEY_CURRENT_USER.reg");
    std::vector<std::string> namesBefore;
    for (const auto& entry : fs::directory_iterator(RegistryFiles::folder))
        namesBefore.push_back(entry.path().filename());
    EXPECT_EQ(De(1, "Software\\Velt\\Nowy\\Klucz", "Wartosc"), "");
    EXPECT_EQ(De(1, "Software\\Velt\\VL_LIB32", "Nowa"), "");
    EXPECT_EQ(De(5, "Software\\Velt", ""), ""); // a root without a file
    std::vector<std::string> namesAfter;
    for (const auto& entry : fs::directory_iterator(RegistryFiles::folder))
        namesAfter.push_back(entry.path().filename());
    std::sort(namesBefore.begin(), namesBefore.end());
    std::sort(namesAfter.begin(), namesAfter.end());
    EXPECT_EQ(namesAfter, namesBefore);
    EXPECT_EQ(fs::last_write_time(RegistryFiles::folder + "/HKEY_CURRENT_USER.reg"), before);
    win::HKEY key;
    EXPECT_NE(
        win::RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\Velt\\Nowy\\Klucz", 0, win::KEY_READ, &key),
        static_cast<win::LONG>(win::ERROR_SUCCESS));
}

} // namespace
