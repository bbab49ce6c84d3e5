// The directory search: DOS wildcards, order, names across the code page boundary, and the
// toolkit's attribute filter.

#include <windows/Windows.h>

#include "TestSupport.h"
#include <runtime/Cp1250.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using vltest::ScopedEnv;
using vltest::TempDir;

using namespace rtl;

namespace {

struct MaskCase {
    const char* name;
    const char* mask;
    bool matches;
};

class Wildcards : public ::testing::TestWithParam<MaskCase> {};

TEST_P(Wildcards, MatchAsThePlatformDoes) {
    EXPECT_EQ(win::MatchesMask(GetParam().name, GetParam().mask), GetParam().matches)
        << GetParam().name << " ~ " << GetParam().mask;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Wildcards,
    ::testing::Values(
        MaskCase{"b.zip", "*.ZIP", true}, MaskCase{"A.ZIP", "*.ZIP", true},
        MaskCase{"a.zipx", "*.ZIP", false}, MaskCase{"a.b.zip", "*.zip", true},
        MaskCase{".zip", "*.zip", true}, MaskCase{"zip", "*.zip", false}, MaskCase{"noext", "*.*", true},
        MaskCase{"a.b", "*.*", true}, MaskCase{"noext", "*", true}, MaskCase{"noext", "*.", true},
        MaskCase{"a.txt", "*.", false}, MaskCase{"abc", "abc.", true}, MaskCase{"abc", "abc.*", true},
        MaskCase{"abc.d", "abc.*", true}, MaskCase{"abcd", "abc.*", false}, MaskCase{"abc", "ab?", true},
        MaskCase{"ab", "ab?", true}, MaskCase{"abcd", "ab?", false}, MaskCase{"ab.txt", "ab??.txt", true},
        MaskCase{"abc.txt", "ab??.txt", true}, MaskCase{"abcde.txt", "ab??.txt", false},
        MaskCase{"a.t", "?.???", true}, MaskCase{"ab.t", "?.???", false},
        MaskCase{"VL_PAK32.INI", "vl_pak32.ini", true},
        MaskCase{"\xAF\xF3\xB3w.txt", "\xBF\xD3\xA3W.TXT", true},
        MaskCase{"report2003.doc", "report*.doc", true}, MaskCase{"report.docx", "report*.doc", false},
        MaskCase{"x.tar.gz", "*.gz", true}, MaskCase{"x.tar.gz", "*.tar", false}, MaskCase{".", "*.*", true},
        MaskCase{"..", "*", true}, MaskCase{".", "*.txt", false}));

class Search : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};

    std::vector<std::string> names(const std::string& pattern) {
        std::vector<std::string> out;
        win::WIN32_FIND_DATAA fd;
        win::HANDLE h = win::FindFirstFileA(pattern.c_str(), &fd);
        if (h == win::INVALID_HANDLE_VALUE)
            return {"error " + std::to_string(win::GetLastError())};
        do
            out.emplace_back(fd.cFileName);
        while (win::FindNextFileA(h, &fd));
        EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_FILES);
        EXPECT_TRUE(win::FindClose(h));
        return out;
    }
    std::vector<std::string> filtered(const std::string& path, int attr) {
        std::vector<std::string> out;
        win::TSearchRec rec;
        int r = win::FindFirst(path, attr, rec);
        while (r == 0) {
            out.push_back(rec.Name);
            r = win::FindNext(rec);
        }
        win::FindClose(rec);
        return out;
    }
    void stored(const std::string& name, const char* text) {
        ASSERT_EQ(::setxattr(dir.File(name).c_str(), "user.DOSATTRIB", text, std::strlen(text), 0), 0);
    }
};

using V = std::vector<std::string>;

TEST_F(Search, WildcardsOrderAndDots) {
    for (const char* n : {"b.zip", "A.ZIP", "a.zipx", "c.txt", "noext", ".hidden.zip"})
        dir.Write(std::string("box/") + n, "12345");
    dir.MakeFolder("box/sub.zip");
    EXPECT_EQ(names("C:\\box\\*.ZIP"), (V{".hidden.zip", "A.ZIP", "b.zip", "sub.zip"}));
    EXPECT_EQ(names("C:\\BOX\\*.*"),
              (V{".", "..", ".hidden.zip", "A.ZIP", "a.zipx", "b.zip", "c.txt", "noext", "sub.zip"}));
    EXPECT_EQ(names("C:\\box\\*."), (V{".", "..", "noext"}));
    EXPECT_EQ(names("C:/box/c.TXT"), (V{"c.txt"}));
    EXPECT_EQ(names("C:\\box\\*.doc"), (V{"error 2"}));
    EXPECT_EQ(names("C:\\brak\\*.*"), (V{"error 3"}));
    // The same order every time.
    EXPECT_EQ(names("C:\\box\\*"), names("C:\\box\\*.*"));
}

TEST_F(Search, DriveRootHasNoDotEntries) {
    dir.Write("a.txt", "");
    EXPECT_EQ(names("C:\\*.*"), (V{"a.txt"}));
    EXPECT_EQ(names("C:\\\\*.*"), (V{"a.txt"}));
}

TEST_F(Search, NamesComeBackInWindows1250) {
    dir.Write("pl/Żółw.txt", ""); // UTF-8 on disk
    dir.Write("pl/日本.txt", "");
    EXPECT_EQ(names("C:\\pl\\*.txt"), (V{"Żółw.txt"_w, "??.txt"}));
    EXPECT_EQ(names("C:\\pl\\żÓŁW.*"_w), (V{"Żółw.txt"_w}));
}

TEST_F(Search, NameThatIsNotUtf8IsMatchedAndReadByItsHostName) {
    dir.Write("raw/\xFF.txt", "abc");
    dir.Write("raw/b.txt", "");
    win::WIN32_FIND_DATAA fd;
    win::HANDLE h = win::FindFirstFileA("C:\\raw\\?.txt", &fd);
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    EXPECT_STREQ(fd.cFileName, "b.txt");
    ASSERT_TRUE(win::FindNextFileA(h, &fd));
    EXPECT_STREQ(fd.cFileName, "?.txt");
    EXPECT_EQ(fd.nFileSizeLow, 3u);
    EXPECT_EQ(fd.dwFileAttributes, win::FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_FALSE(win::FindNextFileA(h, &fd));
    EXPECT_TRUE(win::FindClose(h));
}

TEST_F(Search, EntriesGoneSinceTheListingArePassedOver) {
    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt"})
        dir.Write(std::string("v/") + n, "");
    win::WIN32_FIND_DATAA fd;
    win::HANDLE h = win::FindFirstFileA("C:\\v\\*.txt", &fd);
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    EXPECT_STREQ(fd.cFileName, "a.txt");
    ASSERT_EQ(::unlink(dir.File("v/b.txt").c_str()), 0);
    ASSERT_TRUE(win::FindNextFileA(h, &fd));
    EXPECT_STREQ(fd.cFileName, "c.txt");
    // The search keeps to the folder it opened, even when that folder is renamed meanwhile.
    ASSERT_EQ(::rename(dir.File("v").c_str(), dir.File("w").c_str()), 0);
    ASSERT_TRUE(win::FindNextFileA(h, &fd));
    EXPECT_STREQ(fd.cFileName, "d.txt");
    EXPECT_FALSE(win::FindNextFileA(h, &fd));
    EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_FILES);
    EXPECT_TRUE(win::FindClose(h));
}

TEST_F(Search, ListFolderGivesTheSearchsNamesWithFolderFlags) {
    for (const char* n : {"b.txt", "A.TXT", "\xFF.txt", "Żółw.txt", "c.doc"})
        dir.Write(std::string("box/") + n, "");
    dir.MakeFolder("box/sub.txt");
    ASSERT_EQ(::symlink("sub.txt", dir.File("box/link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", dir.File("box/dead.txt").c_str()), 0);
    ASSERT_EQ(::symlink("b.txt", dir.File("box/file-link.txt").c_str()), 0);

    struct Row {
        const char* pattern;
        V names;
        std::vector<bool> folders;
    };
    for (const Row& row : {
             Row{"C:\\BOX\\*.txt",
                 {"A.TXT", "b.txt", "dead.txt", "file-link.txt", "link.txt", "sub.txt", "Żółw.txt"_w,
                  "?.txt"},
                 {false, false, false, false, true, true, false, false}},
             Row{"C:\\box\\*.", {".", ".."}, {true, true}},
             Row{"C:\\box\\c.*", {"c.doc"}, {false}},
         }) {
        std::vector<win::FolderEntry> entries{{"left over", true}};
        ASSERT_TRUE(win::ListFolder(row.pattern, entries)) << row.pattern;
        EXPECT_EQ(win::GetLastError(), win::ERROR_SUCCESS);
        V listed;
        std::vector<bool> folders;
        for (const auto& e : entries) {
            listed.push_back(e.name);
            folders.push_back(e.folder);
        }
        EXPECT_EQ(listed, row.names) << row.pattern;
        EXPECT_EQ(folders, row.folders) << row.pattern;
        // The same entries, in the same order, as the full search gives.
        EXPECT_EQ(listed, names(row.pattern)) << row.pattern;
    }

    std::vector<win::FolderEntry> entries{{"left over", true}};
    EXPECT_FALSE(win::ListFolder("C:\\box\\*.zip", entries));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(win::ListFolder("C:\\brak\\*.*", entries));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(win::ListFolder(nullptr, entries));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
}

TEST_F(Search, EntryDataCarriesSizeAttributesAndTime) {
    dir.Write("d/f.bin", std::string(1234, 'x'));
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("d/f.bin").c_str(), times, 0), 0);
    win::WIN32_FIND_DATAA fd;
    win::HANDLE h = win::FindFirstFileA("C:\\d\\F.BIN", &fd);
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    EXPECT_STREQ(fd.cFileName, "f.bin");
    EXPECT_EQ(fd.nFileSizeLow, 1234u);
    EXPECT_EQ(fd.nFileSizeHigh, 0u);
    EXPECT_EQ(fd.dwFileAttributes, win::FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(fd.ftLastWriteTime, 1000000000);
    EXPECT_FALSE(win::FindNextFileA(h, &fd));
    EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_FILES);
    EXPECT_TRUE(win::FindClose(h));
    EXPECT_FALSE(win::FindClose(h));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

TEST_F(Search, AttributeFilterOfTheToolkitSearch) {
    dir.Write("f/archived.txt", "");
    dir.Write("f/readonly.txt", "");
    ::chmod(dir.File("f/readonly.txt").c_str(), 0444);
    dir.Write("f/hidden.txt", "");
    stored("f/hidden.txt", "0x22");
    dir.Write("f/system.txt", "");
    stored("f/system.txt", "0x24");
    dir.Write("f/plain.txt", "");
    stored("f/plain.txt", "0x0");
    dir.Write("f/.dot.txt", "");
    dir.MakeFolder("f/sub");

    EXPECT_EQ(filtered("C:\\f\\*.*", 0), (V{"archived.txt", "plain.txt", "readonly.txt"}));
    EXPECT_EQ(filtered("C:\\f\\*.*", win::faReadOnly | win::faArchive),
              (V{"archived.txt", "plain.txt", "readonly.txt"}));
    EXPECT_EQ(filtered("C:\\f\\*.*", win::faHidden),
              (V{".dot.txt", "archived.txt", "hidden.txt", "plain.txt", "readonly.txt"}));
    EXPECT_EQ(filtered("C:\\f\\*.*", win::faSysFile),
              (V{"archived.txt", "plain.txt", "readonly.txt", "system.txt"}));
    EXPECT_EQ(filtered("C:\\f\\*.*", win::faDirectory),
              (V{".", "..", "archived.txt", "plain.txt", "readonly.txt", "sub"}));
    EXPECT_EQ(filtered("C:\\f\\*.*", win::faAnyFile), (V{".", "..", ".dot.txt", "archived.txt", "hidden.txt",
                                                         "plain.txt", "readonly.txt", "sub", "system.txt"}));

    win::TSearchRec rec;
    ASSERT_EQ(win::FindFirst("C:\\f\\read*", win::faAnyFile, rec), 0);
    EXPECT_EQ(rec.Attr, win::faReadOnly | win::faArchive);
    EXPECT_EQ(rec.Name, "readonly.txt");
    EXPECT_EQ(win::FindNext(rec), static_cast<int>(win::ERROR_NO_MORE_FILES));
    win::FindClose(rec);
    EXPECT_EQ(win::FindFirst("C:\\f\\hidden.txt", 0, rec), static_cast<int>(win::ERROR_NO_MORE_FILES));
    EXPECT_EQ(win::FindFirst("C:\\f\\none.txt", 0, rec), static_cast<int>(win::ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(rec.FindHandle, win::INVALID_HANDLE_VALUE);
}

TEST_F(Search, FoldersLeftOutOfTheSetAndLinksToThem) {
    dir.MakeFolder("g/real");
    dir.Write("g/file.txt", "");
    ASSERT_EQ(::symlink("real", dir.File("g/link").c_str()), 0);

    EXPECT_EQ(filtered("C:\\g\\*.*", 0), (V{"file.txt"}));
    EXPECT_EQ(filtered("C:\\g\\*.*", win::faDirectory), (V{".", "..", "file.txt", "link", "real"}));
    // Only folders match: the search ends as one whose entries were all excluded.
    win::TSearchRec rec;
    EXPECT_EQ(win::FindFirst("C:\\g\\real", 0, rec), static_cast<int>(win::ERROR_NO_MORE_FILES));
    EXPECT_EQ(win::FindFirst("C:\\g\\link", 0, rec), static_cast<int>(win::ERROR_NO_MORE_FILES));
    EXPECT_EQ(win::FindFirst("C:\\g\\.", 0, rec), static_cast<int>(win::ERROR_NO_MORE_FILES));
    EXPECT_EQ(win::FindFirst("C:\\g\\none", 0, rec), static_cast<int>(win::ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(rec.FindHandle, win::INVALID_HANDLE_VALUE);
    ASSERT_EQ(win::FindFirst("C:\\g\\real", win::faDirectory, rec), 0);
    EXPECT_EQ(rec.Name, "real");
    EXPECT_EQ(rec.Attr, win::faDirectory);
    win::FindClose(rec);
}

} // namespace

namespace {

// Stars that could each take any part of the name: the matcher must not try every split.
TEST(WildcardSpeed, ManyStarsOnALongNameTakeLessThanAMillisecond) {
    const std::string name = std::string(59, 'a') + "c";
    const auto start = std::chrono::steady_clock::now();
    const bool matched = win::MatchesMask(name, "*a*a*a*a*a*a*b");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(matched);
    EXPECT_LT(took, std::chrono::milliseconds(1));
    EXPECT_TRUE(win::MatchesMask(std::string(59, 'a') + "b", "*a*a*a*a*a*a*b"));
}

// A DOS star never takes the last full stop, so the star before it must sometimes take the
// longer way: every split has to stay possible.
TEST(WildcardSpeed, StarsBeforeTheLastFullStopKeepEveryWay) {
    EXPECT_TRUE(win::MatchesMask("a.xb.xc", "*.x*."));
    EXPECT_FALSE(win::MatchesMask("a.xb.xc.d", "*.x*."));
    EXPECT_TRUE(win::MatchesMask("a.b.c", "*.*.c"));
    EXPECT_TRUE(win::MatchesMask("a.b", "*?.?"));
    EXPECT_FALSE(win::MatchesMask("a", ""));
    EXPECT_TRUE(win::MatchesMask("", ""));
}

} // namespace
