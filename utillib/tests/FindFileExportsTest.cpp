#include "HostLibrary.h"
#include "TestSupport.h"

#include <runtime/StringList.h>
#include <windows/Windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace hosttest;
namespace fs = std::filesystem;

namespace {

// A host's own list class: the library must add through its Add, not around it.
class CountingList : public rtl::TStringList {
  public:
    int Add(const std::string& s) override {
        ++adds;
        return rtl::TStringList::Add(s);
    }
    int adds = 0;
};

class FindFileExports : public ::testing::Test {
  protected:
    HostLibrary library;
    decltype(&::FindFiles) findFiles = library.Export<decltype(::FindFiles)>("FindFiles");
    decltype(&::FindFirstFile) findFirstFile = library.Export<decltype(::FindFirstFile)>("FindFirstFile");
    vltest::TempDir dir{"vl_findfiles"};
    const std::string root = dir.Path();

    // The walk's order is the search's, which lists a folder's names in byte order; the tree is
    // made in reverse so that creation order cannot pass for it.
    void SetUp() override {
        for (const char* folder : {"sub2", "sub1/deep", "folder.txt", "empty", ".git"})
            fs::create_directories(root + "/" + folder);
        for (const char* file :
             {"sub2/e.txt", "sub1/z.txt", "sub1/x.doc", "sub1/deep/d.txt", "sub1/c.txt",
              "folder.txt/inner.txt", ".git/f.txt", "notes.doc", "b.txt", "a.txt", "Zsys.txt", ".hidden.txt"})
            std::ofstream(root + "/" + file) << file;
        ASSERT_TRUE(win::SetFileAttributesA((root + "/Zsys.txt").c_str(),
                                            win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_SYSTEM));
        ASSERT_TRUE(win::SetFileAttributesA((root + "/sub2").c_str(), win::FILE_ATTRIBUTE_HIDDEN));
        ASSERT_NE(win::GetFileAttributesA((root + "/sub2").c_str()) & win::FILE_ATTRIBUTE_HIDDEN, 0u);
    }

    std::vector<std::string> Find(const std::string& dir, const char* mask) {
        rtl::TStringList list;
        rtl::TStringList* variable = &list;
        findFiles(&variable, dir.c_str(), mask);
        return list.Items();
    }

    // The expected paths, each relative name joined to `dir` with backslashes.
    static std::vector<std::string> Paths(const std::string& dir, std::initializer_list<const char*> names) {
        std::vector<std::string> paths;
        for (const char* name : names)
            paths.push_back(dir + name);
        return paths;
    }
};

TEST_F(FindFileExports, FilesFirstThenEachSubfolderDepthFirst) {
    // Hidden and system files listed, a hidden folder entered, ".git" skipped, "folder.txt"
    // entered but not listed, and sub1's files ahead of its folder "deep" though "deep" sorts
    // before "z.txt".
    EXPECT_EQ(Find(root, "*.txt"), Paths(root + "\\", {
                                                          ".hidden.txt",
                                                          "Zsys.txt",
                                                          "a.txt",
                                                          "b.txt",
                                                          "folder.txt\\inner.txt",
                                                          "sub1\\c.txt",
                                                          "sub1\\z.txt",
                                                          "sub1\\deep\\d.txt",
                                                          "sub2\\e.txt",
                                                      }));
}

TEST_F(FindFileExports, EveryFileWithStarDotStar) {
    EXPECT_EQ(Find(root, "*.*"), Paths(root + "\\", {
                                                        ".hidden.txt",
                                                        "Zsys.txt",
                                                        "a.txt",
                                                        "b.txt",
                                                        "notes.doc",
                                                        "folder.txt\\inner.txt",
                                                        "sub1\\c.txt",
                                                        "sub1\\x.doc",
                                                        "sub1\\z.txt",
                                                        "sub1\\deep\\d.txt",
                                                        "sub2\\e.txt",
                                                    }));
}

TEST_F(FindFileExports, FolderWithOrWithoutItsBackslashGivesTheSamePaths) {
    const std::vector<std::string> expected =
        Paths(root + "\\", {"sub1\\c.txt", "sub1\\z.txt", "sub1\\deep\\d.txt"});
    EXPECT_EQ(Find(root + "\\sub1", "?.txt"), expected);
    EXPECT_EQ(Find(root + "\\sub1\\", "?.txt"), expected);
    // Only a backslash counts as the separator already there.
    EXPECT_EQ(Find(root + "/sub1/", "c.txt"), std::vector<std::string>{root + "/sub1/\\c.txt"});
}

TEST_F(FindFileExports, MaskWithAFolderSearchesThatFolderBelowEachWalkedOne) {
    // The names found in "<folder>\\sub1" are joined to <folder> itself, as the walk always has.
    EXPECT_EQ(Find(root, "sub1\\?.txt"), Paths(root + "\\", {"c.txt", "z.txt"}));
    EXPECT_EQ(Find(root, "deep/*.*"), Paths(root + "\\", {"sub1\\d.txt"}));
}

TEST_F(FindFileExports, DriveRootGetsOneBackslash) {
    vltest::ScopedEnv drives("VL_DRIVES", "T=" + root);
    EXPECT_EQ(Find("T:\\", "?.txt"),
              (std::vector<std::string>{"T:\\a.txt", "T:\\b.txt", "T:\\sub1\\c.txt", "T:\\sub1\\z.txt",
                                        "T:\\sub1\\deep\\d.txt", "T:\\sub2\\e.txt"}));
}

TEST_F(FindFileExports, ListThatHoldsEntriesKeepsThemAndGetsTheNewPathsAfter) {
    CountingList list;
    list.Add("earlier entry");
    list.adds = 0;
    rtl::TStringList* variable = &list;
    findFiles(&variable, (root + "\\sub1").c_str(), "*.txt");
    EXPECT_EQ(list.adds, 3);
    findFiles(&variable, (root + "\\sub1").c_str(), "*.txt");
    EXPECT_EQ(list.adds, 6);
    const std::string sub1 = root + "\\sub1\\";
    EXPECT_EQ(list.Items(),
              (std::vector<std::string>{"earlier entry", sub1 + "c.txt", sub1 + "z.txt", sub1 + "deep\\d.txt",
                                        sub1 + "c.txt", sub1 + "z.txt", sub1 + "deep\\d.txt"}));
}

TEST_F(FindFileExports, SortedListWithoutDuplicatesAppliesItsOwnRules) {
    rtl::TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(rtl::TDuplicates::dupIgnore);
    rtl::TStringList* variable = &list;
    findFiles(&variable, (root + "\\sub1").c_str(), "*.txt");
    findFiles(&variable, (root + "\\sub1").c_str(), "*.txt");
    const std::string sub1 = root + "\\sub1\\";
    EXPECT_EQ(list.Items(), (std::vector<std::string>{sub1 + "c.txt", sub1 + "deep\\d.txt", sub1 + "z.txt"}));
}

TEST_F(FindFileExports, ListThatRefusesDuplicatesStopsTheWalkWithoutAnException) {
    rtl::TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(rtl::TDuplicates::dupError);
    list.Add(root + "\\sub1\\c.txt");
    rtl::TStringList* variable = &list;
    findFiles(&variable, (root + "\\sub1").c_str(), "*.txt"); // the list throws on its first add
    EXPECT_EQ(list.Items(), std::vector<std::string>{root + "\\sub1\\c.txt"});
}

TEST_F(FindFileExports, MissingEmptyOrNullFolderFindsNothing) {
    CountingList list;
    list.Add("kept");
    rtl::TStringList* variable = &list;
    findFiles(&variable, (root + "\\no such folder").c_str(), "*.*");
    findFiles(&variable, "", "*.*");
    findFiles(&variable, nullptr, "*.*");
    EXPECT_EQ(list.Items(), std::vector<std::string>{"kept"});
    EXPECT_EQ(list.adds, 1);
}

TEST_F(FindFileExports, FindFirstFileGivesTheWalksFirstPath) {
    EXPECT_STREQ(findFirstFile(root.c_str(), "*.txt"), (root + "\\.hidden.txt").c_str());
    // No match in the start folder: the first one the walk reaches below it.
    EXPECT_STREQ(findFirstFile(root.c_str(), "d.txt"), (root + "\\sub1\\deep\\d.txt").c_str());
    EXPECT_STREQ(findFirstFile((root + "\\sub1\\").c_str(), "*.doc"), (root + "\\sub1\\x.doc").c_str());
}

TEST_F(FindFileExports, FindFirstFileWithNothingFoundGivesAnEmptyText) {
    for (const char* dir : {"/tmp/vl_findfiles_missing_folder", "", static_cast<const char*>(nullptr)}) {
        const char* text = findFirstFile(dir, "*.txt");
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "");
    }
    const char* text = findFirstFile(root.c_str(), "*.none");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
}

} // namespace
