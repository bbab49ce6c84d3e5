// The zip library against other readers and writers: Python's zipfile and Info-ZIP.

#include <zip/ZipLibrary.h>

#include <runtime/Cp1250.h>

#include <TestSupport.h>
#include <ZipTool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

using namespace ziplib;
using rtl::operator""_w;

namespace {

std::string Text(std::size_t n, unsigned seed = 1) {
    static const char* words[] = {"paczka ", "wysyłka ", "faktura ", "2026 ", "kontrahent\n", "NIP ", "suma; "};
    std::mt19937 rng(seed);
    std::string out;
    while (out.size() < n)
        out += words[rng() % 7];
    out.resize(n);
    return out;
}

std::string Random(std::size_t n, unsigned seed = 2) {
    std::mt19937 rng(seed);
    std::string out(n, '\0');
    for (char& c : out)
        c = static_cast<char>(rng());
    return out;
}

class ZipLibrary : public ::testing::Test {
  protected:
    vltest::TempDir dir{"vlzip"};
    vltest::ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};

    void TearDown() override { zCloseZipFile(); }

    // A file under the temporary folder; `name` in host (UTF-8) form.
    void put(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(dir.File(name)).parent_path());
        vltest::WriteFile(dir.File(name), bytes);
    }
    std::string host(const std::string& name) const { return dir.File(name); }

    struct Queued {
        std::string hostName;  // under src/
        std::string entryName; // Windows-1250
        int storeOnly = 0;
    };
    int pack(const std::string& archive, const std::vector<Queued>& files, int level = 6, int threads = 0,
             bool storeAll = false) {
        zCreateNewZip(("C:\\" + archive).c_str());
        for (const Queued& f : files) {
            const std::string path = "C:\\src\\" + rtl::utf8ToCp1250(f.hostName);
            EXPECT_EQ(zOrderFile(path.c_str(), f.entryName.c_str(), f.storeOnly), ZIP_OK) << f.hostName;
        }
        const int r = zCompressFiles("", level, threads, storeAll, -1, "", nullptr);
        return r;
    }
    std::pair<int, int> counts() {
        std::int32_t files = -1, bytes = -1;
        zGetRunTimeInfo(&files, &bytes);
        return {files, bytes};
    }
};

TEST_F(ZipLibrary, PackedArchiveReadsBackInQueueOrderInPythonAndInfoZip) {
    struct File {
        std::string hostName;
        std::string data;
        int method;
        int flags;
    } files[] = {
        {"big.txt", Text(3'500'000), 8, 0},         // four parts, deflated
        {"a.txt", Text(10'000, 3), 8, 0},
        {"zażółć.txt", Text(5'000, 4), 8, 0x800},   // not ASCII: UTF-8 flag
        {"rand.bin", Random(100'000), 0, 0},        // deflate cannot shrink it: stored
        {"empty.dat", "", 0, 0},
        {"bigrand.bin", Random(2'200'000, 5), 8, 0}, // three parts, each deflated on its own
    };
    std::vector<Queued> queue;
    std::uint64_t total = 0;
    for (const File& f : files) {
        put("src/" + f.hostName, f.data);
        queue.push_back({f.hostName, rtl::utf8ToCp1250(f.hostName)});
        total += f.data.size();
    }
    ASSERT_EQ(pack("out.zip", queue), ZIP_OK);
    EXPECT_EQ(counts(), std::make_pair(6, static_cast<int>(total)));

    const vltest::ZipListing listing = vltest::ListZip(host("out.zip"));
    ASSERT_TRUE(listing.read);
    EXPECT_EQ(listing.test, "ok");
    EXPECT_FALSE(listing.zip64);
    ASSERT_EQ(listing.entries.size(), std::size(files));
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const vltest::ZipEntryInfo& e = listing.entries[i];
        EXPECT_EQ(e.name, files[i].hostName);
        EXPECT_EQ(e.method, files[i].method) << e.name;
        EXPECT_EQ(e.flags & 0x800, files[i].flags) << e.name;
        EXPECT_EQ(e.size, files[i].data.size()) << e.name;
        EXPECT_EQ(e.sha256, vltest::Sha256Hex(files[i].data)) << e.name;
    }
    std::string unzipSays;
    EXPECT_EQ(vltest::UnzipTest(host("out.zip"), &unzipSays), 0) << unzipSays;
    // Nothing but the archive and the sources: the temporary file took the archive's name.
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (std::vector<std::string>{"out.zip", "src"}));
}

TEST_F(ZipLibrary, LevelsAndStoringFollowTheirParameters) {
    put("src/a.txt", Text(200'000));
    put("src/b.txt", Text(200'000, 7));
    struct Case {
        int level;
        bool storeAll;
        int storeOnlyA;
        int methodA, methodB;
    } cases[] = {
        {6, false, 0, 8, 8}, {0, false, 0, 0, 0}, {9, false, 0, 8, 8}, {42, false, 0, 8, 8}, {-1, false, 0, 8, 8},
        {6, true, 0, 0, 0},  {6, false, 1, 0, 8}, {6, false, 2, 8, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " storeAll " << c.storeAll << " storeOnly "
                                        << c.storeOnlyA);
        ASSERT_EQ(pack("out.zip", {{"a.txt", "a.txt", c.storeOnlyA}, {"b.txt", "b.txt"}}, c.level, 0, c.storeAll),
                  ZIP_OK);
        const vltest::ZipListing listing = vltest::ListZip(host("out.zip"));
        ASSERT_EQ(listing.entries.size(), 2u);
        EXPECT_EQ(listing.entries[0].method, c.methodA);
        EXPECT_EQ(listing.entries[1].method, c.methodB);
        EXPECT_EQ(listing.test, "ok");
    }
    // A level out of range is level 6, byte for byte.
    ASSERT_EQ(pack("six.zip", {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}}, 6), ZIP_OK);
    ASSERT_EQ(pack("other.zip", {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}}, 10), ZIP_OK);
    EXPECT_EQ(vltest::ReadFile(host("six.zip")), vltest::ReadFile(host("other.zip")));
    ASSERT_EQ(pack("one.zip", {{"a.txt", "a.txt"}}, 1), ZIP_OK);
    ASSERT_EQ(pack("nine.zip", {{"a.txt", "a.txt"}}, 9), ZIP_OK);
    EXPECT_LT(vltest::ReadFile(host("nine.zip")).size(), vltest::ReadFile(host("one.zip")).size());
}

TEST_F(ZipLibrary, OneWorkerAndManyWriteTheSameArchive) {
    std::vector<Queued> queue;
    for (int i = 0; i < 12; ++i) {
        const std::string name = "f" + std::to_string(i) + ".dat";
        put("src/" + name, i % 3 ? Text(300'000 + i * 1000, i) : Random(1'500'000 + i, i));
        queue.push_back({name, name});
    }
    ASSERT_EQ(pack("one.zip", queue, 6, 1), ZIP_OK);
    ASSERT_EQ(pack("many.zip", queue, 6, 16), ZIP_OK);
    EXPECT_EQ(vltest::ReadFile(host("one.zip")), vltest::ReadFile(host("many.zip")));
    EXPECT_EQ(vltest::ListZip(host("many.zip")).test, "ok");
}

// What the callback saw, from the thread it ran on.
struct Observation {
    std::thread::id thread;
    std::int32_t files, bytes;
};
std::vector<Observation> g_seen;
void Observe() {
    std::int32_t files = 0, bytes = 0;
    zGetRunTimeInfo(&files, &bytes);
    g_seen.push_back({std::this_thread::get_id(), files, bytes});
}

TEST_F(ZipLibrary, ProgressIsReportedOnTheCallersThreadAndEndsAtTheTotals) {
    std::vector<Queued> queue;
    std::int64_t total = 0;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i);
        const std::string data = Text(150'000 + i * 5000, i);
        put("src/" + name, data);
        queue.push_back({name, name});
        total += static_cast<std::int64_t>(data.size());
    }
    for (bool unpacking : {false, true}) {
        SCOPED_TRACE(unpacking ? "unpacking" : "packing");
        g_seen.clear();
        if (!unpacking) {
            zCreateNewZip("C:\\out.zip");
            for (const Queued& f : queue)
                zOrderFile(("C:\\src\\" + f.hostName).c_str(), f.entryName.c_str(), 0);
            ASSERT_EQ(zCompressFiles("", 6, 4, false, -1, "", Observe), ZIP_OK);
        } else {
            ASSERT_EQ(zOpenZipFile("C:\\out.zip"), ZIP_OK);
            EXPECT_EQ(zGetTotalFiles(), 40);
            EXPECT_EQ(zGetTotalBytes(), total);
            ASSERT_EQ(zExtractAll("C:\\back\\", 0, false, false, false, false, Observe), ZIP_OK);
        }
        ASSERT_FALSE(g_seen.empty());
        for (std::size_t i = 0; i < g_seen.size(); ++i) {
            EXPECT_EQ(g_seen[i].thread, std::this_thread::get_id());
            if (i > 0) {
                EXPECT_GE(g_seen[i].files, g_seen[i - 1].files);
                EXPECT_GE(g_seen[i].bytes, g_seen[i - 1].bytes);
            }
        }
        EXPECT_EQ(g_seen.back().files, 40);
        EXPECT_EQ(g_seen.back().bytes, total);
        EXPECT_EQ(counts(), std::make_pair(40, static_cast<int>(total)));
        zCloseZipFile();
        // The counts of the last job outlive its archive.
        EXPECT_EQ(counts(), std::make_pair(40, static_cast<int>(total)));
    }
    for (const Queued& f : queue)
        EXPECT_EQ(vltest::ReadFile(host("back/" + f.hostName)), vltest::ReadFile(host("src/" + f.hostName)));
}

TEST_F(ZipLibrary, MoreThan65535EntriesGiveAZip64Archive) {
    put("src/tiny", "abc");
    zCreateNewZip("C:\\many.zip");
    constexpr int kEntries = 65'600;
    for (int i = 0; i < kEntries; ++i)
        ASSERT_EQ(zOrderFile("C:\\src\\tiny", ("e" + std::to_string(i)).c_str(), 0), ZIP_OK);
    ASSERT_EQ(zCompressFiles("", 6, 0, false, -1, "", nullptr), ZIP_OK);
    const vltest::ZipListing listing = vltest::ListZip(host("many.zip"));
    ASSERT_EQ(listing.entries.size(), static_cast<std::size_t>(kEntries));
    EXPECT_TRUE(listing.zip64);
    EXPECT_EQ(listing.test, "ok");
    EXPECT_EQ(listing.entries.back().name, "e65599");
    std::string unzipSays;
    EXPECT_EQ(vltest::UnzipTest(host("many.zip"), &unzipSays), 0) << unzipSays.substr(0, 500);
    ASSERT_EQ(zOpenZipFile("C:\\many.zip"), ZIP_OK);
    EXPECT_EQ(zGetTotalFiles(), kEntries);
    EXPECT_EQ(zGetTotalBytes(), 3 * kEntries);
}

TEST_F(ZipLibrary, FailedPackingWritesNothingAndKeepsTheOldArchive) {
    put("src/a.txt", "alpha");
    put("old.zip", "the archive of yesterday");

    zCreateNewZip("C:\\old.zip");
    ASSERT_EQ(zOrderFile("C:\\src\\a.txt", "a.txt", 0), ZIP_OK);
    ASSERT_EQ(zOrderFile("C:\\src\\gone.txt", "gone.txt", 0), ZIP_OK);
    EXPECT_EQ(zCompressFiles("", 6, 0, false, -1, "", nullptr), ZIP_READ_FAILED);
    EXPECT_EQ(vltest::ReadFile(host("old.zip")), "the archive of yesterday");

    zCreateNewZip("C:\\empty.zip");
    EXPECT_EQ(zCompressFiles("", 6, 0, false, -1, "", nullptr), ZIP_NOTHING_QUEUED);

    zCreateNewZip("C:\\no\\such\\folder\\x.zip");
    ASSERT_EQ(zOrderFile("C:\\src\\a.txt", "a.txt", 0), ZIP_OK);
    EXPECT_EQ(zCompressFiles("", 6, 0, false, -1, "", nullptr), ZIP_WRITE_FAILED);

    // A folder is not a file to pack.
    zCreateNewZip("C:\\dir.zip");
    ASSERT_EQ(zOrderFile("C:\\src", "src", 0), ZIP_OK);
    EXPECT_EQ(zCompressFiles("", 6, 0, false, -1, "", nullptr), ZIP_READ_FAILED);

    EXPECT_EQ(vltest::ListFolder(dir.Path()), (std::vector<std::string>{"old.zip", "src"}));
}

TEST_F(ZipLibrary, QueueRefusesWhatCannotBeAnEntry) {
    zCloseZipFile();
    EXPECT_EQ(zOrderFile("C:\\a", "a", 0), ZIP_NO_ARCHIVE);
    EXPECT_EQ(zCompressFiles("", 6, 0, false, -1, "", nullptr), ZIP_NO_ARCHIVE);
    EXPECT_EQ(zCreateNewZip(""), ZIP_BAD_NAME);
    EXPECT_EQ(zOrderFile("C:\\a", "a", 0), ZIP_NO_ARCHIVE);
    ASSERT_EQ(zCreateNewZip("C:\\x.zip"), ZIP_OK);
    EXPECT_EQ(zOrderFile("C:\\a", "a.txt", 0), ZIP_OK);
    EXPECT_EQ(zOrderFile("C:\\b", "A.TXT", 0), ZIP_BAD_NAME); // the same name to the platform
    EXPECT_EQ(zOrderFile("C:\\c", "", 0), ZIP_BAD_NAME);
    EXPECT_EQ(zOrderFile("", "c", 0), ZIP_BAD_NAME);
    EXPECT_EQ(zOrderFile(nullptr, nullptr, 0), ZIP_BAD_NAME);
    EXPECT_EQ(zOrderFile("C:\\d", "ż.txt"_w.c_str(), 0), ZIP_OK);
}

class Unpacking : public ZipLibrary {
  protected:
    // src/ as Info-ZIP packs it: a file at the top, a subfolder with a folder below it, an empty folder.
    void infoZipArchive() {
        put("tree/top.txt", "top level");
        put("tree/sub/inner.txt", Text(70'000));
        put("tree/sub/deeper/x.bin", Random(5000));
        std::filesystem::create_directories(host("tree/emptydir"));
        std::string says;
        ASSERT_EQ(vltest::RunProgram({"/bin/sh", "-c", "cd '" + host("tree") + "' && zip -r -q ../in.zip ."}, &says),
                  0)
            << says;
    }
    int unpack(const std::string& archive, const std::string& target, bool junk = false, bool keep = false) {
        if (int r = zOpenZipFile(archive.c_str()); r != ZIP_OK)
            return r;
        const int r = zExtractAll(target.c_str(), 0, junk, false, keep, false, nullptr);
        zCloseZipFile();
        return r;
    }
};

TEST_F(Unpacking, InfoZipArchiveWithFoldersLandsBelowTheTarget) {
    infoZipArchive();
    ASSERT_EQ(zOpenZipFile("C:\\in.zip"), ZIP_OK);
    EXPECT_EQ(zGetTotalFiles(), 3);
    EXPECT_EQ(zGetTotalBytes(), 9 + 70'000 + 5000);
    for (const char* target : {"C:\\out\\", "C:\\out2"}) {
        SCOPED_TRACE(target);
        ASSERT_EQ(zExtractAll(target, 0, false, false, false, false, nullptr), ZIP_OK);
        const std::string out = host(std::string(target).substr(3, 4) == "out2" ? "out2" : "out");
        EXPECT_EQ(vltest::ReadFile(out + "/top.txt"), "top level");
        EXPECT_EQ(vltest::ReadFile(out + "/sub/inner.txt"), Text(70'000));
        EXPECT_EQ(vltest::ReadFile(out + "/sub/deeper/x.bin"), Random(5000));
        EXPECT_TRUE(std::filesystem::is_directory(out + "/emptydir"));
        EXPECT_EQ(vltest::ListFolder(out), (std::vector<std::string>{"emptydir", "sub", "top.txt"}));
        EXPECT_EQ(counts(), std::make_pair(3, 9 + 70'000 + 5000));
    }
}

TEST_F(Unpacking, JunkedPathsPutEveryFileIntoTheTargetItself) {
    infoZipArchive();
    ASSERT_EQ(unpack("C:\\in.zip", "C:\\flat\\", true), ZIP_OK);
    EXPECT_EQ(vltest::ListFolder(host("flat")), (std::vector<std::string>{"inner.txt", "top.txt", "x.bin"}));
    EXPECT_EQ(vltest::ReadFile(host("flat/x.bin")), Random(5000));
}

TEST_F(Unpacking, ExistingFilesAreReplacedOrKept) {
    infoZipArchive();
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "keep" : "replace");
        put("out/top.txt", "old");
        ASSERT_EQ(unpack("C:\\in.zip", "C:\\out", false, keep), ZIP_OK);
        EXPECT_EQ(vltest::ReadFile(host("out/top.txt")), keep ? "old" : "top level");
        std::filesystem::remove_all(host("out"));
    }
}

TEST_F(Unpacking, NamesBecomeWindows1250) {
    struct Case {
        std::string name;    // as Python writes it (UTF-8 flag when not ASCII)
        std::string rawName; // bytes written with the flag clear (CP437)
        std::string local;   // the Windows-1250 name unpacked
    } cases[] = {
        {"zażółć.txt", "", "zażółć.txt"_w},
        {"", "\x82t\x82.txt", "été.txt"_w},  // CP437 0x82 is é
        {"snow☃.txt", "", "snow?.txt"},       // Windows-1250 has no snowman
        {"€uro.txt", "", "€uro.txt"_w},
        {"plain.txt", "", "plain.txt"},
    };
    std::vector<vltest::ZipRecipeEntry> recipe;
    for (const Case& c : cases)
        recipe.push_back(c.rawName.empty() ? vltest::ZipRecipeEntry(c.name, "x") : vltest::ZipRawName(c.rawName, "x"));
    ASSERT_TRUE(vltest::MakeZip(host("names.zip"), recipe));
    ASSERT_EQ(unpack("C:\\names.zip", "C:\\out\\"), ZIP_OK);
    std::vector<std::string> expected;
    for (const Case& c : cases)
        expected.push_back(rtl::cp1250ToUtf8(c.local));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(vltest::ListFolder(host("out")), expected);
}

TEST_F(Unpacking, NamesLeavingTheTargetAreSkipped) {
    ASSERT_TRUE(vltest::MakeZip(host("hostile.zip"), {
                                                      {"../evil1", "x"},
                                                      {"/abs/evil2", "x"},
                                                      {"C:\\evil3", "x"},
                                                      {"sub\\..\\..\\evil4", "x"},
                                                      {"ok/../../evil5", "x"},
                                                      {"\\evil6", "x"},
                                                      {"d:evil7", "x"},
                                                      {"good.txt", "fine"},
                                                      vltest::ZipFolder("sub/../../../evil8/"),
                                                  }));
    for (bool junk : {false, true}) {
        SCOPED_TRACE(junk ? "junk" : "paths");
        EXPECT_EQ(unpack("C:\\hostile.zip", "C:\\base\\target\\", junk), ZIP_UNSAFE_NAME);
        EXPECT_EQ(vltest::ListFolder(host("base/target")), (std::vector<std::string>{"good.txt"}));
        EXPECT_EQ(vltest::ListFolder(host("base")), (std::vector<std::string>{"target"}));
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
            EXPECT_EQ(e.path().filename().string().find("evil"), std::string::npos) << e.path();
        for (const char* outside : {"/abs", "/evil1", "/evil3"})
            EXPECT_FALSE(vltest::PathExists(outside));
        std::filesystem::remove_all(host("base"));
    }
}

TEST_F(Unpacking, DamagedEntryLeavesNoFileBehind) {
    for (bool stored : {true, false}) {
        SCOPED_TRACE(stored ? "stored" : "deflated");
        const std::string body = Text(50'000, 9);
        ASSERT_TRUE(vltest::MakeZip(host("bad.zip"), {{"a.txt", "good one", stored}, {"b.txt", body, stored}}));
        std::string bytes = vltest::ReadFile(host("bad.zip"));
        // The second entry's data begins after its local header (30 bytes and the name).
        const std::size_t header = bytes.find(std::string("PK\3\4", 4), 4);
        ASSERT_NE(header, std::string::npos);
        bytes[header + 30 + 5 + 1000] ^= 0x55;
        vltest::WriteFile(host("bad.zip"), bytes);

        EXPECT_EQ(unpack("C:\\bad.zip", "C:\\out"), ZIP_DAMAGED_ENTRY);
        EXPECT_EQ(vltest::ListFolder(host("out")), (std::vector<std::string>{"a.txt"}));
        EXPECT_EQ(vltest::ReadFile(host("out/a.txt")), "good one");
        EXPECT_EQ(counts().first, 1);
        std::filesystem::remove_all(host("out"));
    }
}

TEST_F(Unpacking, WhatIsNoArchiveIsNotOpened) {
    put("note.txt", "just some text, not an archive");
    put("empty.zip", "");
    for (const char* name : {"C:\\note.txt", "C:\\missing.zip", "C:\\empty.zip", "", "C:\\"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(zOpenZipFile(name), ZIP_NOT_AN_ARCHIVE);
        EXPECT_EQ(zGetTotalFiles(), 0);
        EXPECT_EQ(zExtractAll("C:\\out\\", 0, false, false, false, false, nullptr), ZIP_NO_ARCHIVE);
        EXPECT_EQ(zCloseZipFile(), ZIP_OK);
        EXPECT_EQ(zCloseZipFile(), ZIP_OK);
    }
    EXPECT_FALSE(vltest::PathExists(host("out")));
}

TEST_F(Unpacking, PythonZip64AndFolderEntriesUnpack) {
    ASSERT_TRUE(vltest::MakeZip(host("py.zip"), {
                                                    vltest::ZipFolder("docs/"),
                                                    vltest::ZipForced64("docs/readme.txt", Text(20'000)),
                                                    vltest::ZipForced64("raw.bin", Random(3000), true),
                                                }));
    ASSERT_EQ(zOpenZipFile("C:\\py.zip"), ZIP_OK);
    EXPECT_EQ(zGetTotalFiles(), 2);
    ASSERT_EQ(zExtractAll("C:\\out\\", 0, false, false, false, false, nullptr), ZIP_OK);
    EXPECT_EQ(vltest::ReadFile(host("out/docs/readme.txt")), Text(20'000));
    EXPECT_EQ(vltest::ReadFile(host("out/raw.bin")), Random(3000));
}

TEST_F(Unpacking, PackedFilesComeBackWhole) {
    put("src/big.txt", Text(5'300'000, 11));
    put("src/big.bin", Random(2'100'000, 12));
    put("src/nic.txt", "");
    ASSERT_EQ(pack("round.zip", {{"big.txt", "big.txt"}, {"big.bin", "big.bin"}, {"nic.txt", "nic.txt"}}), ZIP_OK);
    ASSERT_EQ(unpack("C:\\round.zip", "C:\\back\\"), ZIP_OK);
    for (const char* name : {"big.txt", "big.bin", "nic.txt"})
        EXPECT_EQ(vltest::ReadFile(host(std::string("back/") + name)), vltest::ReadFile(host(std::string("src/") + name)))
            << name;
    std::string unzipSays;
    EXPECT_EQ(vltest::UnzipTest(host("round.zip"), &unzipSays), 0) << unzipSays;
}

} // namespace
