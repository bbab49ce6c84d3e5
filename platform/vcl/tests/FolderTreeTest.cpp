// The shell's folder tree and its browser on real folders, driven by keys and clicks.

#include <vcl/Application.h>
#include <vcl/BrowseForFolderForm.h>
#include <vcl/Button.h>
#include <vcl/FolderTreeView.h>
#include <vcl/Form.h>
#include <vcl/Label.h>
#include <vcl/testing/ModalWindowResponder.h>
#include <vcl/testing/UserInput.h>

#include <QAbstractButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace vcl;
using namespace vcl::testing;
namespace fs = std::filesystem;

namespace {

class FolderTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "vcltree-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        for (const char* folder : {"c/Tapety/morze/fale", "c/Tapety/Gory", "c/Tapety/.ukryty", "c/Inne", "d/dane"})
            fs::create_directories(root + "/" + folder);
        for (const char* file : {"c/Tapety/las.bmp", "c/Tapety/opis.txt", "d/plik.bmp"})
            std::ofstream(root + "/" + file) << file;
        setenv("VL_DRIVES", ("C=" + root + "/c;D=" + root + "/d;E=" + root + "/brak").c_str(), 1);
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 300, 300);
        tree = new TFolderTreeView(form);
        tree->SetBounds(0, 0, 300, 300);
        tree->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override {
        Application->ResetForTesting();
        unsetenv("VL_DRIVES");
        fs::remove_all(root);
    }

    std::vector<std::string> tops() const {
        std::vector<std::string> out;
        for (int i = 0; i < tree->TopCount(); ++i)
            out.push_back(tree->TopText(i));
        return out;
    }
    // The texts below the current item, as the user sees them once it is opened.
    std::vector<std::string> childrenOfCurrent() const {
        auto* w = tree->WidgetAs<QTreeWidget>();
        std::vector<std::string> out;
        QTreeWidgetItem* item = w->currentItem();
        for (int i = 0; item && i < item->childCount(); ++i)
            out.push_back(item->child(i)->text(0).toStdString());
        return out;
    }

    std::string root;
    TForm* form = nullptr;
    TFolderTreeView* tree = nullptr;
    int changes = 0;
};

// A picture's place under the build folder (build/<kind>/screenshots).
std::string screenshot(const std::string& name) {
    const char* bin = std::getenv("VL_BIN_DIR");
    const fs::path dir = fs::path(bin ? bin : ".") / ".." / "screenshots";
    fs::create_directories(dir);
    return (dir / name).string();
}

const std::vector<std::string> kDrives{"c (C:)", "d (D:)", "brak (E:)"};

TEST_F(FolderTreeTest, RootIsTheFolderOrElseTheDrives) {
    struct Case {
        const char* root;
        bool taken;
        std::vector<std::string> tops;
        const char* selected;
    } cases[] = {
        {"", true, kDrives, ""},
        {"C:\\Tapety", true, {"Tapety"}, "C:\\Tapety"},
        {"c:\\TAPETY\\", true, {"Tapety"}, "C:\\Tapety"}, // the spelling on disk
        {"C:/Tapety/morze", true, {"morze"}, "C:\\Tapety\\morze"},
        {"C:\\", true, {"c (C:)"}, "C:\\"},
        {"D:", true, {"d (D:)"}, "D:\\"},
        {"Tapety", false, kDrives, ""},              // relative: no item the shell could parse
        {"C:\\brak", false, kDrives, ""},            // missing
        {"C:\\Tapety\\las.bmp", false, kDrives, ""}, // a file
        {"Q:\\", false, kDrives, ""},                // a drive the table lacks
        {"E:\\", false, kDrives, ""},                // a drive whose folder is missing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tree->SetRoot(c.root), c.taken) << c.root;
        EXPECT_EQ(tops(), c.tops) << c.root;
        EXPECT_EQ(tree->SelectedFolder(), c.selected) << c.root;
        EXPECT_EQ(tree->Root(), c.taken && *c.root ? c.selected : "") << c.root;
    }
}

TEST_F(FolderTreeTest, OnlyVisibleFoldersAreListedInOrder) {
    ASSERT_TRUE(tree->SetRoot("C:\\Tapety"));
    // Hidden folders and files are left out; letter case does not change the order.
    EXPECT_EQ(childrenOfCurrent(), (std::vector<std::string>{"Gory", "morze"}));
    ASSERT_TRUE(tree->SetRoot("C:\\"));
    EXPECT_EQ(childrenOfCurrent(), (std::vector<std::string>{"Inne", "Tapety"}));
}

TEST_F(FolderTreeTest, SelectFolderOpensTheWayDown) {
    tree->SetRoot("");
    EXPECT_TRUE(tree->SelectFolder("c:\\tapety\\MORZE\\fale"));
    EXPECT_EQ(tree->SelectedFolder(), "C:\\Tapety\\morze\\fale");
    EXPECT_TRUE(tree->SelectFolder("D:\\dane"));
    EXPECT_EQ(tree->SelectedFolder(), "D:\\dane");
    const int before = changes;
    EXPECT_FALSE(tree->SelectFolder("D:\\brak"));
    EXPECT_FALSE(tree->SelectFolder("dane"));
    EXPECT_EQ(tree->SelectedFolder(), "D:\\dane");
    EXPECT_EQ(changes, before);

    ASSERT_TRUE(tree->SetRoot("C:\\Tapety"));
    EXPECT_FALSE(tree->SelectFolder("C:\\Inne")); // outside the root
    EXPECT_FALSE(tree->SelectFolder("D:\\dane"));
    EXPECT_EQ(tree->SelectedFolder(), "C:\\Tapety");
}

TEST_F(FolderTreeTest, KeysMoveAndOpenAsTheUserExpects) {
    ASSERT_TRUE(tree->SetRoot("C:\\Tapety"));
    ASSERT_TRUE(ShowAndWait(*form));
    const int before = changes;
    PressKey(*tree, VK_DOWN);
    EXPECT_EQ(tree->SelectedFolder(), "C:\\Tapety\\Gory");
    PressKey(*tree, VK_DOWN);
    EXPECT_EQ(tree->SelectedFolder(), "C:\\Tapety\\morze");
    PressKey(*tree, VK_RIGHT); // opens morze, read now
    PressKey(*tree, VK_DOWN);
    EXPECT_EQ(tree->SelectedFolder(), "C:\\Tapety\\morze\\fale");
    EXPECT_EQ(changes, before + 3);
}

class BrowseForFolderTest : public FolderTreeTest {};

TEST_F(BrowseForFolderTest, EachAnswerOfTheUser) {
    struct Case {
        const char* how;
        const char* root;
        std::function<void(ModalWindow&)> act;
        TModalResult result;
        const char* folder;
    } cases[] = {
        {"OK on the root", "C:\\Tapety", [](ModalWindow& w) { w.ClickButton("OK"); }, mrOk, "C:\\Tapety"},
        {"Enter on a subfolder", "C:\\Tapety",
         [](ModalWindow& w) {
             w.PressKey(VK_DOWN);
             w.PressKey(VK_RETURN);
         },
         mrOk, "C:\\Tapety\\Gory"},
        {"Esc", "C:\\Tapety", [](ModalWindow& w) { w.PressKey(VK_ESCAPE); }, mrCancel, ""},
        {"Cancel", "C:\\Tapety", [](ModalWindow& w) { w.ClickButton("Cancel"); }, mrCancel, ""},
        {"close box", "C:\\Tapety", [](ModalWindow& w) { w.ClickCloseBox(); }, mrCancel, ""},
        {"a drive chosen", "",
         [](ModalWindow& w) {
             w.PressKey(VK_DOWN); // the first drive
             w.PressKey(VK_DOWN);
             w.ClickButton("OK");
         },
         mrOk, "D:\\"},
    };
    for (const Case& c : cases) {
        TBrowseForFolderForm browser(nullptr, "Wybierz katalog", c.root);
        std::string focused;
        ModalWindowResponder responder([&](ModalWindow& w) {
            EXPECT_EQ(w.Caption(), "Browse for Folder") << c.how;
            EXPECT_EQ(w.FocusWidget(), browser.Tree->Widget()) << c.how;
            c.act(w);
        });
        EXPECT_EQ(browser.ShowModal(), c.result) << c.how;
        EXPECT_EQ(browser.ModalResult() == mrOk ? browser.Folder() : "", c.folder) << c.how;
        EXPECT_EQ(responder.Count(), 1) << c.how;
        EXPECT_EQ(responder.LeftOpen(), 0) << c.how;
    }
}

TEST_F(BrowseForFolderTest, OkWaitsForAFolderAndTheTextStandsAbove) {
    TBrowseForFolderForm browser(nullptr, "Katalog danych:", "");
    EXPECT_EQ(browser.TextLabel->Caption(), "Katalog danych:");
    EXPECT_LT(browser.TextLabel->Top() + browser.TextLabel->Height(), browser.Tree->Top());
    bool okAtStart = true, okAfter = false;
    ModalWindowResponder responder([&](ModalWindow& w) {
        okAtStart = w.Button("OK")->isEnabled(); // the drives: nothing chosen yet
        w.PressKey(VK_RETURN);                   // so Enter chooses nothing either
        EXPECT_TRUE(w.Open());
        w.PressKey(VK_DOWN);
        okAfter = w.Button("OK")->isEnabled();
        EXPECT_TRUE(w.SaveScreenshot(screenshot("browse-for-folder.png")));
        w.ClickButton("OK");
    });
    EXPECT_EQ(browser.ShowModal(), mrOk);
    EXPECT_FALSE(okAtStart);
    EXPECT_TRUE(okAfter);
    EXPECT_EQ(browser.Folder(), "C:\\");
}

} // namespace
