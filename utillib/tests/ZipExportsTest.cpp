// VELTZip, VELTUnZip and VELTNoFilesInZip as a host calls them, checked with Python's zipfile
// and Info-ZIP.

#include "HostLibrary.h"

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <TestSupport.h>
#include <ZipTool.h>

#include <algorithm>
#include <filesystem>

namespace {

using hosttest::HostLibrary;
using rtl::operator""_w;

using ZipFn = std::int32_t VL_LIB32_CALL(const char*, const char*, const char*, std::int32_t, std::int32_t,
                                         std::int32_t, std::int32_t, std::int32_t*);
using UnZipFn = std::int32_t VL_LIB32_CALL(const char*, const char*, std::int32_t, std::int32_t, std::int32_t,
                                           std::int32_t, std::int32_t*);
using CountFn = std::int32_t VL_LIB32_CALL(const char*);

class ZipExports : public ::testing::Test {
  protected:
    vltest::TempDir dir{"vlzipx"};
    vltest::ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};
    HostLibrary lib;
    ZipFn* VELTZip = lib.Export<ZipFn>("VELTZip");
    UnZipFn* VELTUnZip = lib.Export<UnZipFn>("VELTUnZip");
    CountFn* VELTNoFilesInZip = lib.Export<CountFn>("VELTNoFilesInZip");

    std::string host(const std::string& name) const { return dir.File(name); }
    void put(const std::string& name, const std::string& bytes, win::DWORD attributes = win::FILE_ATTRIBUTE_ARCHIVE) {
        std::filesystem::create_directories(std::filesystem::path(host(name)).parent_path());
        vltest::WriteFile(host(name), bytes);
        std::string windowsName = "C:\\" + rtl::utf8ToCp1250(name);
        std::replace(windowsName.begin(), windowsName.end(), '/', '\\');
        ASSERT_TRUE(win::SetFileAttributesA(windowsName.c_str(), attributes)) << name;
    }
    std::vector<std::string> names(const std::string& archive) {
        std::vector<std::string> out;
        for (const vltest::ZipEntryInfo& e : vltest::ListZip(host(archive)).entries)
            out.push_back(e.name);
        return out;
    }
};

// The selection over one folder that holds every mix of attributes the letters decide on.
TEST_F(ZipExports, LettersSelectTheFilesToPack) {
    constexpr win::DWORD R = win::FILE_ATTRIBUTE_READONLY, H = win::FILE_ATTRIBUTE_HIDDEN,
                         S = win::FILE_ATTRIBUTE_SYSTEM, A = win::FILE_ATTRIBUTE_ARCHIVE;
    const std::pair<const char*, win::DWORD> files[] = {
        {"a_arch.txt", A},     {"b_ro.txt", R | A},     {"c_plain.txt", 0},       {"d_ro_plain.txt", R},
        {"e_hid.txt", H},      {"f_hid_ro.txt", H | R}, {"g_sys.txt", S},         {"h_hid_arch.txt", H | A},
        {"i_sys_arch.txt", S | A}, {"j_hid_sys.txt", H | S},
    };
    for (const auto& [name, attributes] : files)
        put(std::string("src/") + name, std::string("bytes of ") + name, attributes);
    std::filesystem::create_directories(host("src/k_folder.txt"));

    struct Case {
        const char* letters;
        std::vector<std::string> packed;
    } cases[] = {
        {"", {"a_arch.txt"}},
        {"xyz 12", {"a_arch.txt"}},
        {"R", {"a_arch.txt", "b_ro.txt"}},
        {"N", {"a_arch.txt", "c_plain.txt"}},
        {"RN", {"a_arch.txt", "b_ro.txt", "c_plain.txt", "d_ro_plain.txt"}},
        {"rn", {"a_arch.txt", "b_ro.txt", "c_plain.txt", "d_ro_plain.txt"}},
        {"NN", {"a_arch.txt", "c_plain.txt"}},
        {"H", {"a_arch.txt", "e_hid.txt"}},
        {"HR", {"a_arch.txt", "b_ro.txt", "e_hid.txt", "f_hid_ro.txt"}},
        {"S", {"a_arch.txt", "g_sys.txt"}},
        {"HS", {"a_arch.txt", "e_hid.txt", "g_sys.txt", "j_hid_sys.txt"}},
        {"sHnR", {"a_arch.txt", "b_ro.txt", "c_plain.txt", "d_ro_plain.txt", "e_hid.txt", "f_hid_ro.txt",
                  "g_sys.txt", "j_hid_sys.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("letters \"") + c.letters + "\"");
        std::int32_t window = 0;
        const std::int32_t r = VELTZip("C:\\src\\*.txt", "C:\\out\\pack.zip", c.letters, 6, 0, 0, 0, &window);
        ASSERT_EQ(r, 0);
        const vltest::ZipListing listing = vltest::ListZip(host("out/pack.zip"));
        EXPECT_EQ(listing.test, "ok");
        std::vector<std::string> packed;
        for (const vltest::ZipEntryInfo& e : listing.entries) {
            packed.push_back(e.name);
            EXPECT_EQ(e.sha256, vltest::Sha256Hex("bytes of " + e.name)) << e.name;
        }
        EXPECT_EQ(packed, c.packed);
        EXPECT_EQ(window, 0);
        std::string says;
        EXPECT_EQ(vltest::UnzipTest(host("out/pack.zip"), &says), 0) << says;
    }
}

TEST_F(ZipExports, NamesAndParametersReachTheArchive) {
    put("src/zażółć gęślą.txt", std::string(100'000, 'z'));
    put("src/raw.dat", std::string(50'000, 'r'));
    std::int32_t window = 2;
    // Param5 = 1 stores everything; Param4 = 0 stores too; Param6 = 1 stores each file.
    struct Case {
        std::int32_t level, storeAll, storeEach;
        int method;
    } cases[] = {{6, 0, 0, 8}, {9, 0, 0, 8}, {77, 0, 0, 8}, {0, 0, 0, 0}, {6, 1, 0, 0}, {6, 0, 1, 0}, {6, 2, 2, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.level << " " << c.storeAll << " " << c.storeEach);
        ASSERT_EQ(VELTZip("C:\\src\\*.*", "C:\\p.zip", "", c.level, c.storeAll, c.storeEach, 0, &window), 0);
        const vltest::ZipListing listing = vltest::ListZip(host("p.zip"));
        ASSERT_EQ(listing.entries.size(), 2u);
        EXPECT_EQ(listing.entries[0].name, "raw.dat");
        EXPECT_EQ(listing.entries[1].name, "zażółć gęślą.txt");
        EXPECT_EQ(listing.entries[1].flags & 0x800, 0x800);
        for (const vltest::ZipEntryInfo& e : listing.entries)
            EXPECT_EQ(e.method, c.method) << e.name;
    }
    EXPECT_EQ(window, 2);
}

TEST_F(ZipExports, NothingToSearchOrNoFolderGivesMinusOneAndTouchesNothing) {
    put("src/a.txt", "a");
    struct Case {
        const char* mask;
        const char* zipName;
    } cases[] = {
        {"C:\\src\\*.none", "C:\\out\\x.zip"},
        {"C:\\missing\\*.*", "C:\\out\\x.zip"},
        {"C:\\src\\*.*", "x.zip"},  // no folder part
        {"C:\\src\\*.*", ""},
        {nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask ? c.mask : "null");
        std::int32_t window = 1;
        EXPECT_EQ(VELTZip(c.mask, c.zipName, "RNHS", 6, 0, 0, 0, &window), -1);
        EXPECT_EQ(window, 1);
    }
    EXPECT_FALSE(vltest::PathExists(host("out/x.zip")));
    EXPECT_FALSE(vltest::PathExists(host("x.zip")));
}

class UnZipExports : public ZipExports {
  protected:
    void SetUp() override {
        ZipExports::SetUp();
        put("tree/top.txt", "top level");
        put("tree/sub/inner.txt", "inner file");
        put("tree/sub/deeper/x.bin", std::string(3000, 'x'));
        std::string says;
        ASSERT_EQ(vltest::RunProgram({"/bin/sh", "-c", "cd '" + host("tree") + "' && zip -r -q ../in.zip ."}, &says), 0)
            << says;
    }
};

TEST_F(UnZipExports, InfoZipArchiveUnpacksWithOrWithoutItsFolders) {
    struct Case {
        const char* destDir;
        std::int32_t junk;
        std::vector<std::string> top;
    } cases[] = {
        {"C:\\out\\a\\", 0, {"sub", "top.txt"}},
        {"C:\\out\\b", 0, {"sub", "top.txt"}},
        {"C:\\out\\c\\", 1, {"inner.txt", "top.txt", "x.bin"}},
        {"C:\\out\\d", 2, {"sub", "top.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destDir);
        std::int32_t window = 0;
        EXPECT_EQ(VELTUnZip("C:\\in.zip", c.destDir, 0, c.junk, 0, 0, &window), 0);
        std::string folder = std::string(c.destDir).substr(3);
        if (folder.back() == '\\')
            folder.pop_back();
        std::replace(folder.begin(), folder.end(), '\\', '/');
        EXPECT_EQ(vltest::ListFolder(host(folder)), c.top);
        EXPECT_EQ(vltest::ReadFile(host(folder + "/top.txt")), "top level");
        const std::string inner = c.junk == 1 ? "/inner.txt" : "/sub/inner.txt";
        EXPECT_EQ(vltest::ReadFile(host(folder + inner)), "inner file");
        EXPECT_EQ(window, 0);
    }
}

TEST_F(UnZipExports, ExistingFilesAreKeptOnlyWhenAsked) {
    for (std::int32_t keep : {1, 0}) {
        put("out/top.txt", "mine");
        EXPECT_EQ(VELTUnZip("C:\\in.zip", "C:\\out", 0, 0, keep, 0, nullptr), 0);
        EXPECT_EQ(vltest::ReadFile(host("out/top.txt")), keep ? "mine" : "top level");
    }
}

TEST_F(UnZipExports, FailuresGiveMinusOne) {
    put("note.txt", "not an archive");
    std::int32_t window = 1;
    EXPECT_EQ(VELTUnZip("C:\\in.zip", "", 0, 0, 0, 0, &window), -1);
    EXPECT_EQ(VELTUnZip("C:\\in.zip", "\\", 0, 0, 0, 0, &window), -1);
    EXPECT_EQ(VELTUnZip("C:\\note.txt", "C:\\made", 0, 0, 0, 0, &window), -1);
    EXPECT_EQ(VELTUnZip("C:\\missing.zip", "C:\\made2\\", 0, 0, 0, 0, &window), -1);
    EXPECT_EQ(window, 1);
    // The target folder is made before the archive is opened.
    EXPECT_TRUE(std::filesystem::is_directory(host("made")));
    EXPECT_TRUE(std::filesystem::is_directory(host("made2")));
}

TEST_F(UnZipExports, FilesInArchiveAreCounted) {
    EXPECT_EQ(VELTNoFilesInZip("C:\\in.zip"), 3);
    put("note.txt", "not an archive");
    EXPECT_EQ(VELTNoFilesInZip("C:\\note.txt"), -1);
    EXPECT_EQ(VELTNoFilesInZip("C:\\missing.zip"), -1);
    EXPECT_EQ(VELTNoFilesInZip(nullptr), -1);
    // An archive of our own counts the same way.
    ASSERT_EQ(VELTZip("C:\\tree\\*.txt", "C:\\own.zip", "", 6, 0, 0, 0, nullptr), 0);
    EXPECT_EQ(VELTNoFilesInZip("C:\\own.zip"), 1);
}

TEST_F(UnZipExports, EntriesNamedOutsideTheTargetAreNotWritten) {
    ASSERT_TRUE(vltest::MakeZip(host("hostile.zip"), {{"../evil", "x"},
                                                    {"/abs", "x"},
                                                    {"C:\\evil", "x"},
                                                    {"in\\..\\..\\evil2", "x"},
                                                    {"fine.txt", "fine"}}));
    EXPECT_EQ(VELTUnZip("C:\\hostile.zip", "C:\\box\\target\\", 0, 0, 0, 0, nullptr), 8);
    EXPECT_EQ(vltest::ListFolder(host("box/target")), (std::vector<std::string>{"fine.txt"}));
    EXPECT_EQ(vltest::ListFolder(host("box")), (std::vector<std::string>{"target"}));
    EXPECT_FALSE(vltest::PathExists(host("evil")));
    EXPECT_FALSE(vltest::PathExists("/abs"));
}

TEST_F(ZipExports, PackedFolderComesBackThroughUnZip) {
    put("src/one.txt", std::string(400'000, '1'));
    put("src/dwa.txt", "dwa");
    std::int32_t window = 0;
    ASSERT_EQ(VELTZip("C:\\src\\*.txt", "C:\\arch\\round.zip", "", 6, 0, 0, 0, &window), 0);
    ASSERT_EQ(VELTUnZip("C:\\arch\\round.zip", "C:\\back", 0, 0, 0, 0, &window), 0);
    EXPECT_EQ(vltest::ReadFile(host("back/one.txt")), std::string(400'000, '1'));
    EXPECT_EQ(vltest::ReadFile(host("back/dwa.txt")), "dwa");
}

TEST_F(ZipExports, WindowAskedForGivesItsHandle) {
    put("src/a.txt", "alpha");
    std::int32_t window = 1;
    ASSERT_EQ(VELTZip("C:\\src\\*.txt", "C:\\w.zip", "", 6, 0, 0, 0, &window), 0);
    EXPECT_NE(window, 0); // the platform's handle (offscreen numbers its windows from 1)
    std::int32_t second = 1;
    ASSERT_EQ(VELTUnZip("C:\\w.zip", "C:\\wout", 0, 0, 0, 0, &second), 0);
    EXPECT_NE(second, 0);
    EXPECT_NE(second, window); // a window of its own
}

} // namespace
