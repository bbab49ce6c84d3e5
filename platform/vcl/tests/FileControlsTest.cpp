// The drive selector, folder list, file list and filter list on real folders, linked as a
// program links them, driven by keys and clicks as a user gives them.

#include <vcl/Application.h>
#include <vcl/Button.h>
#include <vcl/DirectoryListBox.h>
#include <vcl/DriveComboBox.h>
#include <vcl/FileListBox.h>
#include <vcl/FilterComboBox.h>
#include <vcl/Form.h>
#include <vcl/ListBox.h>
#include <vcl/testing/UserInput.h>

#include <windows/Windows.h>

#include "TestSupport.h"

#include <QListWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

using namespace vcl;
using namespace vcl::testing;
namespace fs = std::filesystem;

namespace {

class FileControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldCwd = fs::current_path();
        for (const char* folder : {"c/Tapety/morze", "c/Tapety/Gory", "c/Tapety/.ukryty", "c/Inne", "d/dane"})
            fs::create_directories(root + "/" + folder);
        for (const char* file : {"c/Tapety/las.bmp", "c/Tapety/Morze.jpg", "c/Tapety/opis.txt", "d/plik.bmp"})
            std::ofstream(root + "/" + file) << file;
        driveTable.emplace("VL_DRIVES", "C=" + root + "/c;D=" + root + "/d;E=" + root + "/brak");
        fs::current_path(root + "/c");
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override {
        Application->ResetForTesting();
        fs::current_path(oldCwd);
    }


    vltest::TempDir dir{"vclfs"};
    const std::string root = dir.Path();
    std::optional<vltest::ScopedEnv> driveTable;
    fs::path oldCwd;
    TForm* form = nullptr;
};

TEST_F(FileControlsTest, DriveBoxListsTheDriveTable) {
    auto* drives = new TDriveComboBox(form);
    EXPECT_EQ(drives->Drives(), (std::vector<char>{'C', 'D', 'E'}));
    EXPECT_EQ(drives->DriveText(0), "c: [c]");
    EXPECT_EQ(drives->DriveText(1), "d: [d]");
    EXPECT_EQ(drives->DriveText(2), "e: [brak]");
    EXPECT_EQ(drives->Drive(), 'C'); // the current folder's

    vltest::ScopedEnv otherTable("VL_DRIVES", "C=" + root + "/c;Q=" + root + "/d");
    drives->Update();
    EXPECT_EQ(drives->Drives(), (std::vector<char>{'C', 'Q'}));
    EXPECT_EQ(drives->Drive(), 'C');
    EXPECT_FALSE(drives->SetDrive('D'));
    EXPECT_TRUE(drives->SetDrive('q'));
    EXPECT_EQ(drives->Drive(), 'Q');
}

TEST_F(FileControlsTest, FolderListFollowsItsDriveBoxAndDrivesItsFileList) {
    auto* dirs = new TDirectoryListBox(form);
    auto* drives = new TDriveComboBox(form);
    auto* files = new TFileListBox(form);
    files->SetMask("*.bmp;*.jpg");
    dirs->SetFileList(files);
    drives->SetDirList(dirs);
    int dirChanges = 0, driveChanges = 0;
    dirs->OnChange = [&](TObject*) { ++dirChanges; };
    drives->OnChange = [&](TObject*) { ++driveChanges; };

    ASSERT_TRUE(dirs->SetDirectory("c:\\tapety\\"));
    EXPECT_EQ(dirs->Directory(), "C:\\Tapety");
    // The root, the open folder, then its subfolders in name order; hidden ones left out.
    EXPECT_EQ(ListLines(*dirs), (std::vector<std::string>{"c:\\", "Tapety", "Gory", "morze"}));
    EXPECT_EQ(dirs->ItemIndex(), 1);
    EXPECT_EQ(dirs->GetItemPath(3), "C:\\Tapety\\morze");
    EXPECT_EQ(files->Directory(), "C:\\Tapety");
    EXPECT_EQ(ListLines(*files), (std::vector<std::string>{"las.bmp", "Morze.jpg"}));
    EXPECT_EQ(fs::current_path(), fs::path(root + "/c/Tapety")); // the process follows the list
    EXPECT_EQ(dirChanges, 1);

    // The user picks drive D: in the drive box.
    drives->SetFocus();
    PressKey(*drives, VK_DOWN);
    EXPECT_EQ(drives->Drive(), 'D');
    EXPECT_EQ(dirs->Directory(), "D:\\");
    EXPECT_EQ(ListLines(*dirs), (std::vector<std::string>{"d:\\", "dane"}));
    EXPECT_EQ(files->Directory(), "D:\\");
    EXPECT_EQ(ListLines(*files), std::vector<std::string>{"plik.bmp"});
    EXPECT_EQ(files->FileName(), "");
    EXPECT_EQ(driveChanges, 1);

    // A drive whose folder is missing cannot be opened: everything stays on D:.
    PressKey(*drives, VK_DOWN);
    EXPECT_EQ(drives->Drive(), 'D');
    EXPECT_EQ(dirs->Directory(), "D:\\");

    // The folder list moving to another drive takes the drive box along.
    ASSERT_TRUE(dirs->SetDirectory("C:\\Inne"));
    EXPECT_EQ(drives->Drive(), 'C');
    EXPECT_FALSE(dirs->SetDirectory("C:\\Brak"));
    EXPECT_FALSE(dirs->SetDirectory("C:\\Tapety\\las.bmp"));
    EXPECT_EQ(dirs->Directory(), "C:\\Inne");
}

TEST_F(FileControlsTest, EnterInTheFolderListOpensTheSelectedFolder) {
    auto* dirs = new TDirectoryListBox(form);
    dirs->SetBounds(8, 8, 150, 200);
    auto* files = new TFileListBox(form);
    files->SetBounds(170, 8, 150, 200);
    dirs->SetFileList(files);
    auto* ok = new TButton(form);
    ok->SetBounds(8, 220, 80, 25);
    ok->SetDefault(true);
    int presses = 0;
    ok->OnClick = [&](TObject*) { ++presses; };
    ASSERT_TRUE(dirs->SetDirectory("C:\\Tapety"));
    ASSERT_TRUE(ShowAndWait(*form));
    dirs->SetFocus();
    PressKey(*dirs, VK_DOWN);                   // to "Gory"
    EXPECT_EQ(dirs->Directory(), "C:\\Tapety"); // selecting opens nothing yet
    PressKey(*dirs, VK_RETURN);
    EXPECT_EQ(dirs->Directory(), "C:\\Tapety\\Gory");
    EXPECT_EQ(files->Directory(), "C:\\Tapety\\Gory");
    PressKey(*dirs, VK_HOME);
    PressKey(*dirs, VK_RETURN); // back up to the root
    EXPECT_EQ(dirs->Directory(), "C:\\");
    EXPECT_EQ(ListLines(*dirs), (std::vector<std::string>{"c:\\", "Inne", "Tapety"}));
    EXPECT_EQ(presses, 0); // the folder list kept Enter from the default button
    files->SetFocus();
    PressKey(*files, VK_RETURN);
    EXPECT_EQ(presses, 1);
}

TEST_F(FileControlsTest, FileListNotifiesTwicePerNewSelectionAndOnceAfterARebuild) {
    auto* files = new TFileListBox(form);
    files->SetBounds(8, 8, 200, 200);
    files->SetMask("*.bmp;*.jpg");
    ASSERT_TRUE(files->SetDirectory("C:\\Tapety"));
    std::vector<std::string> events;
    files->OnClick = [&](TObject*) { events.push_back("click " + std::to_string(files->ItemIndex())); };
    files->OnChange = [&](TObject*) { events.push_back("change " + std::to_string(files->ItemIndex())); };
    auto take = [&] {
        auto out = events;
        events.clear();
        return out;
    };
    using Events = std::vector<std::string>;

    ASSERT_TRUE(ShowAndWait(*form));
    EXPECT_EQ(take(), Events{"change -1"}); // the list first shown
    ClickListLine(*files, 0);
    EXPECT_EQ(take(), (Events{"click 0", "change 0"}));
    ClickListLine(*files, 0); // the entry already selected
    EXPECT_EQ(take(), Events{"click 0"});
    PressKey(*files, VK_DOWN);
    EXPECT_EQ(take(), (Events{"click 1", "change 1"}));
    EXPECT_EQ(files->FileName(), "C:\\Tapety\\Morze.jpg");
    PressKey(*files, VK_DOWN); // at the end already: nothing changes
    EXPECT_EQ(take(), Events{});

    const std::pair<const char*, std::function<void()>> rebuilds[] = {
        {"mask", [&] { files->SetMask("*.*"); }},
        {"folder", [&] { files->SetDirectory("C:\\Inne"); }},
        {"update", [&] { files->Update(); }},
        {"file type",
         [&] {
             files->SetFileType({ftNormal, ftHidden});
         }},
    };
    for (const auto& [what, rebuild] : rebuilds) {
        files->SetItemIndex(0);
        take();
        rebuild();
        EXPECT_EQ(take(), Events{"change -1"}) << what;
        EXPECT_EQ(files->FileName(), "") << what;
    }
}

TEST_F(FileControlsTest, AListThatReceivesTheFocusSelectsNothing) {
    auto* button = new TButton(form);
    button->SetBounds(8, 220, 80, 25);
    auto* plain = new TListBox(form);
    plain->SetBounds(8, 8, 150, 200);
    for (const char* line : {"jeden", "dwa", "trzy"})
        plain->Items().Add(line);
    auto* files = new TFileListBox(form);
    files->SetBounds(170, 8, 150, 200);
    files->SetDirectory("C:\\Tapety");
    ASSERT_TRUE(ShowAndWait(*form));

    for (TListBox* list : {plain, static_cast<TListBox*>(files)}) {
        int clicks = 0, changes = 0;
        list->OnClick = [&](TObject*) { ++clicks; };
        files->OnChange = [&](TObject*) { ++changes; };
        button->SetFocus();
        list->Widget()->setFocus(Qt::TabFocusReason); // tabbed into
        ASSERT_TRUE(WaitFor([&] { return list->Focused(); }));
        EXPECT_EQ(list->ItemIndex(), -1);
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(changes, 0);
        PressKey(*list, VK_DOWN); // the first line, not the second
        EXPECT_EQ(list->ItemIndex(), 0);
        PressKey(*list, VK_END);
        EXPECT_EQ(list->ItemIndex(), list->Items().Count() - 1);
        EXPECT_EQ(clicks, 2);
        list->SetItemIndex(-1);
        files->OnChange = nullptr;
    }
}

TEST_F(FileControlsTest, FilterListSetsTheFileListsMask) {
    auto* files = new TFileListBox(form);
    auto* filter = new TFilterComboBox(form);
    EXPECT_EQ(filter->Count(), 1);
    EXPECT_EQ(filter->Description(0), "All files (*.*)");
    filter->SetFilter("Pliki tapet (*.bmp;*.jpg)|*.bmp;*.jpg|All files (*.*)|*.*|Bez maski");
    ASSERT_EQ(filter->Count(), 3);
    EXPECT_EQ(filter->Description(0), "Pliki tapet (*.bmp;*.jpg)");
    EXPECT_EQ(filter->Mask(), "*.bmp;*.jpg");
    files->SetDirectory("C:\\Tapety");
    filter->SetFileList(files);
    EXPECT_EQ(files->Mask(), "*.bmp;*.jpg");
    EXPECT_EQ(ListLines(*files), (std::vector<std::string>{"las.bmp", "Morze.jpg"}));

    int filterChanges = 0, listChanges = 0;
    filter->OnChange = [&](TObject*) { ++filterChanges; };
    files->OnChange = [&](TObject*) { ++listChanges; };
    filter->SetFocus();
    PressKey(*filter, VK_DOWN); // the user picks "All files"
    EXPECT_EQ(filter->ItemIndex(), 1);
    EXPECT_EQ(files->Mask(), "*.*");
    EXPECT_EQ(ListLines(*files), (std::vector<std::string>{"las.bmp", "Morze.jpg", "opis.txt"}));
    EXPECT_EQ(filterChanges, 1);
    EXPECT_EQ(listChanges, 1); // the rebuild, nothing selected
    filter->SetItemIndex(2);
    EXPECT_EQ(files->Mask(), "Bez maski"); // an entry without a mask takes its description
}

TEST_F(FileControlsTest, FileIconsWhenAsked) {
    auto* files = new TFileListBox(form);
    files->SetDirectory("C:\\Tapety");
    auto* widget = static_cast<QListWidget*>(files->Widget());
    EXPECT_TRUE(widget->item(0)->icon().isNull());
    files->SetShowGlyphs(true);
    ASSERT_GT(widget->count(), 0);
    EXPECT_FALSE(widget->item(0)->icon().isNull());
}

} // namespace
