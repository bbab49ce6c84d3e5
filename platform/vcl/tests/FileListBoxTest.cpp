// The file list control on a real folder: mask, order, attributes, folders it cannot enter.

#include <vcl/Application.h>
#include <vcl/FileListBox.h>
#include <vcl/Form.h>

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace vcl;
using rtl::operator""_w;

namespace {

class FileListBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = Application->CreateForm<TForm>();
        list = new TFileListBox(form);
    }
    void TearDown() override { Application->ResetForTesting(); }

    std::string file(const std::string& name, win::DWORD attributes = 0) {
        std::string path = dir + "/" + name;
        std::ofstream(path) << name;
        if (attributes) {
            EXPECT_TRUE(win::SetFileAttributesA(path.c_str(), attributes));
        }
        return path;
    }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (int i = 0; i < list->Items().Count(); ++i)
            out.push_back(list->Items()[i]);
        return out;
    }

    vltest::TempDir folder{"vclfiles"};
    const std::string dir = folder.Path();
    TForm* form = nullptr;
    TFileListBox* list = nullptr;
};

TEST_F(FileListBoxTest, PackagesByMaskInNameOrderWithoutHiddenSystemOrFolders) {
    file("b.zip");
    file("A.ZIP");
    file("c.Zip");
    file("x.txt");
    file("h.zip", win::FILE_ATTRIBUTE_HIDDEN);
    file("s.zip", win::FILE_ATTRIBUTE_SYSTEM);
    file("r.zip", win::FILE_ATTRIBUTE_READONLY);
    file("d.zip", win::FILE_ATTRIBUTE_ARCHIVE);
    std::filesystem::create_directory(dir + "/y.zip");

    list->SetMask("*.ZIP");
    ASSERT_TRUE(list->SetDirectory(dir));
    EXPECT_EQ(list->Directory(), dir);
    EXPECT_EQ(names(), (std::vector<std::string>{"A.ZIP", "b.zip", "c.Zip", "d.zip", "r.zip"}));

    list->SetFileType({ftNormal, ftHidden});
    EXPECT_EQ(names(), (std::vector<std::string>{"A.ZIP", "b.zip", "c.Zip", "d.zip", "h.zip", "r.zip"}));

    list->SetFileType({ftNormal});
    list->SetMask("*.txt;*.ZIP");
    EXPECT_EQ(names(), (std::vector<std::string>{"A.ZIP", "b.zip", "c.Zip", "d.zip", "r.zip", "x.txt"}));
}

TEST_F(FileListBoxTest, PackagesInThePlatformsWordSortOrder) {
    // As the list shows them; hyphens and apostrophes wait until all else is equal, Polish
    // letters follow their base letter, names equal but for case come lower case first.
    const std::vector<std::string> order = {"can't.zip", "cant.zip",  "co.zip",     "co-op.zip",
                                            "coop.zip",  "cop.zip",   "czapka.zip", "Ćma.zip"_w,
                                            "zaba.zip",  "źle.zip"_w, "żaba.zip"_w, "ŻABA.ZIP"_w};
    for (std::size_t i : {5, 11, 0, 3, 8, 1, 10, 6, 2, 9, 4, 7})
        file(rtl::cp1250ToUtf8(order[i]));
    list->SetMask("*.ZIP");
    ASSERT_TRUE(list->SetDirectory(dir));
    EXPECT_EQ(names(), order);
}

TEST_F(FileListBoxTest, AFolderThatCannotBeEnteredLeavesTheListAsItWas) {
    file("one.zip");
    list->SetMask("*.zip");
    ASSERT_TRUE(list->SetDirectory(dir));
    ASSERT_EQ(names(), std::vector<std::string>{"one.zip"});

    EXPECT_FALSE(list->SetDirectory(dir + "/brak"));
    EXPECT_FALSE(list->SetDirectory("brak"));
    EXPECT_FALSE(list->SetDirectory(file("plik.txt")));
    EXPECT_EQ(list->Directory(), dir);
    EXPECT_EQ(names(), std::vector<std::string>{"one.zip"});
}

TEST_F(FileListBoxTest, AnEmptyFolderGivesAnEmptyList) {
    list->SetMask("*.ZIP");
    ASSERT_TRUE(list->SetDirectory(dir));
    EXPECT_EQ(list->Items().Count(), 0);
    EXPECT_EQ(list->FileName(), "");
}

TEST_F(FileListBoxTest, FileNameJoinsTheFolderAndTheSelectedName) {
    file("a.bmp");
    file("b.jpg");
    list->SetMask("*.bmp;*.jpg");
    ASSERT_TRUE(list->SetDirectory(dir + "/"));
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    list->SetItemIndex(1);
    EXPECT_EQ(list->FileName(), dir + "\\b.jpg");
    EXPECT_EQ(changes, 1);
}

TEST_F(FileListBoxTest, StartsInTheCurrentFolder) {
    EXPECT_EQ(list->Directory(), win::GetCurrentDirectory());
}

} // namespace
