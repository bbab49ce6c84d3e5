// The folder dialogs from the inside: the directory dialog's rules as plain functions, its
// captions and its help request, and the error mode while the folder browser is open
// (offscreen).

#include "SelectDirectoryForm.h"
#include "vl_lib32.h"

#include <vcl/Application.h>
#include <vcl/testing/ModalWindowResponder.h>
#include <windows/ErrorMode.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace VL_LIB32;
using vcl::testing::ModalWindow;
using vcl::testing::ModalWindowResponder;
namespace fs = std::filesystem;

namespace {

TEST(DirectoryDialogRules, LengthsScaleWithTheScreenDensity) {
    struct Case {
        int length, dpi, scaled;
    } cases[] = {
        {424, 96, 424}, {255, 96, 255}, {424, 120, 530}, {255, 120, 319}, {424, 144, 636},
        {255, 144, 383}, {424, 192, 848}, {11, 120, 14}, {11, 144, 17}, {424, 72, 318},
        {424, 0, 424}, // no density known: as designed
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaledLength(c.length, c.dpi), c.scaled) << c.length << " at " << c.dpi;
}

TEST(DirectoryDialogRules, StartFolderIsExpandedAgainstTheCurrentFolder) {
    struct Case {
        const char *dir, *current, *full;
    } cases[] = {
        {"C:\\Data", "C:\\Work", "C:\\Data"},
        {"C:/Data", "C:\\Work", "C:/Data"},
        {"Data", "C:\\Work", "C:\\Work\\Data"},
        {"Data\\Sub", "C:\\", "C:\\Data\\Sub"},
        {"..\\Data", "C:\\Work", "C:\\Work\\..\\Data"},
        {"\\Data", "D:\\Work", "D:\\Data"},
        {"C:Data", "C:\\Work", "C:\\Work\\Data"}, // the current drive: its current folder
        {"D:Data", "C:\\Work", "D:\\Data"},       // another drive: its root
        {"\\\\server\\share", "C:\\Work", "\\\\server\\share"},
        {"", "C:\\Work", "C:\\Work"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FullFolderPath(c.dir, c.current), c.full) << c.dir << " in " << c.current;
}

class DirectoryDialogForm : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vl_dirdlg_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root + "/Data");
        setenv("VL_DRIVES", ("C=" + root).c_str(), 1);
        oldCwd = fs::current_path();
        fs::current_path(root);
    }
    void TearDown() override {
        vcl::Application->OnHelp = nullptr;
        vcl::Application->ResetForTesting();
        fs::current_path(oldCwd);
        unsetenv("VL_DRIVES");
        fs::remove_all(root);
    }
    std::string root;
    fs::path oldCwd;
};

TEST_F(DirectoryDialogForm, CaptionsAndAccelerators) {
    TSelectDirectoryForm form(nullptr);
    EXPECT_EQ(form.Caption(), "Select Directory");
    const std::pair<vcl::TLabel*, const char*> labels[] = {
        {form.DirLabel, "Directory &Name:"},
        {form.DirListLabel, "&Directories:"},
        {form.FileListLabel, "&Files: (*.*)"},
        {form.DriveLabel, "D&rives:"},
    };
    for (const auto& [label, caption] : labels)
        EXPECT_EQ(label->Caption(), caption);
    EXPECT_EQ(form.DirLabel->FocusControl(), form.DirEdit);
    EXPECT_EQ(form.DirListLabel->FocusControl(), form.DirList);
    EXPECT_EQ(form.DriveLabel->FocusControl(), form.DriveList);
    const std::pair<vcl::TButton*, const char*> buttons[] = {
        {form.NetButton, "Ne&twork..."}, {form.OKButton, "OK"}, {form.CancelButton, "Cancel"}, {form.HelpButton, "&Help"}};
    for (const auto& [button, caption] : buttons)
        EXPECT_EQ(button->Caption(), caption);
    EXPECT_TRUE(form.OKButton->Default());
    EXPECT_TRUE(form.CancelButton->Cancel());
    EXPECT_FALSE(form.NetButton->Visible());
    EXPECT_EQ(form.FileList->Font().Color(), vcl::clGrayText);
    EXPECT_TRUE(form.FileListLabel->Enabled());
    EXPECT_EQ(form.FileListLabel->Font().Color(), form.Font().Color()); // only the list is grey
    EXPECT_EQ(form.ClientWidth(), 424);
    EXPECT_EQ(form.ClientHeight(), 255);
}

TEST_F(DirectoryDialogForm, HelpAsksForTopic1000) {
    std::vector<int> asked;
    vcl::Application->OnHelp = [&](int context) {
        asked.push_back(context);
        return true;
    };
    ModalWindowResponder responder([&](ModalWindow& w) {
        w.ClickButton("&Help");
        EXPECT_TRUE(w.Open());
        w.ClickButton("Cancel");
    });
    EXPECT_EQ(SelectDirectory("C:\\Data"), std::nullopt);
    EXPECT_EQ(asked, std::vector<int>{SelectDirectoryHelpTopic});
    EXPECT_EQ(SelectDirectoryHelpTopic, 1000);
}

TEST_F(DirectoryDialogForm, TheBrowserRunsWithCriticalErrorsFailingQuietly) {
    win::SetErrorMode(0);
    win::UINT during = 0;
    ModalWindowResponder responder([&](ModalWindow& w) {
        during = win::GetErrorMode();
        w.ClickButton("OK");
    });
    EXPECT_EQ(BrowseForFolder("Katalog", "C:\\Data"), "C:\\Data");
    EXPECT_EQ(during, win::SEM_FAILCRITICALERRORS);
    EXPECT_EQ(win::GetErrorMode(), 0u);
    // The module strings hold the call's texts.
    EXPECT_EQ(rtl::LStrView(CaptionText), "Katalog");
    EXPECT_EQ(rtl::LStrView(RootText), "C:\\Data");
    EXPECT_EQ(rtl::LStrView(FolderText), "C:\\Data");
}

} // namespace
