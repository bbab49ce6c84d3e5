// The browsing window on the offscreen platform: the states after start and after each kind
// of selection, the key table, the boxes when nothing is loaded, the wallpaper call.

#include "vl_pic32Main.h"
#include "vl_pic32View.h"

#include <vcl/Application.h>
#include <vcl/testing/MessageBoxResponder.h>
#include <vcl/testing/UserInput.h>

#include <TestSupport.h>
#include <runtime/Cp1250.h>

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

using namespace vcl;
using namespace vl_pic32;
using rtl::operator""_w;

namespace {

class ImageFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(std::system(("mkdir -p " + dir.File("pics") + " && convert -size 800x600 xc:navy " +
                               dir.File("pics/las.bmp") + " && cp " + dir.File("pics/las.bmp") + " " +
                               dir.File("pics/a.bmpx") + " && convert -size 8x8 xc:red " +
                               dir.File("pics/morze.jpg") + " && cp " + dir.File("pics/morze.jpg") + " " +
                               dir.File("pics/a.jpeg"))
                                  .c_str()),
                  0);
        vltest::WriteFile(dir.File("pics/notatka.txt"), "x");
        Application->SetTitle("vl_pic32");
        Application->CreateForm(ImageForm);
        Application->CreateForm(ViewForm);
        ImageForm->DirectoryListBox1->SetDirectory(dir.File("pics"));
    }
    void TearDown() override {
        Application->ResetForTesting();
        ImageForm = nullptr;
        ViewForm = nullptr;
        // The folder list made the picture folder current; it goes with the test.
        if (::chdir("/") != 0)
            ADD_FAILURE() << "chdir";
    }
    void select(const std::string& name) {
        TFileListBox* list = ImageForm->FileListBox1;
        const int index = list->Items().IndexOf(name);
        ASSERT_GE(index, 0) << name;
        list->SetItemIndex(index);
    }
    bool itemsEnabled() const {
        return ImageForm->Podglad1->Enabled() && ImageForm->Ustaw1->Enabled() &&
               ImageForm->Podglad2->Enabled() && ImageForm->Ustaw2->Enabled();
    }
    bool itemsDisabled() const {
        return !ImageForm->Podglad1->Enabled() && !ImageForm->Ustaw1->Enabled() &&
               !ImageForm->Podglad2->Enabled() && !ImageForm->Ustaw2->Enabled();
    }

    vltest::TempDir dir{"vlpic32main"};
    vltest::ScopedEnv registry{"VL_REGISTRY", dir.File("registry")};
};

} // namespace

TEST_F(ImageFormTest, SelectionsMoveBetweenNoPictureAndPictureLoaded) {
    vcl::testing::MessageBoxResponder boxes;
    ImageForm->Show();
    EXPECT_EQ(ImageForm->Caption(), "VELT: ...");
    EXPECT_TRUE(itemsDisabled());
    EXPECT_EQ(ImageForm->ClientWidth(), 496);

    select("las.bmp");
    EXPECT_EQ(ImageForm->Caption(), "VELT: las.bmp (800 x 600) - 24bit color");
    EXPECT_EQ(ViewForm->Caption(), ImageForm->Caption());
    EXPECT_EQ(ViewForm->Image1->Picture().Graphic()->Image().constBits(),
              ImageForm->Image1->Picture().Graphic()->Image().constBits());
    EXPECT_TRUE(itemsEnabled());

    // A failed load keeps everything as it was; the dialog adds no full stop after ")".
    ImageForm->FilterComboBox1->SetItemIndex(1);
    select("las.bmp");
    select("a.bmpx");
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes[0].text, "Unknown picture file extension (.bmpx)");
    EXPECT_EQ(boxes[0].caption, "vl_pic32");
    EXPECT_EQ(ImageForm->Caption(), "VELT: las.bmp (800 x 600) - 24bit color");
    EXPECT_TRUE(itemsEnabled());

    select("morze.jpg");
    EXPECT_EQ(ImageForm->Caption(), "VELT: morze.jpg");

    for (const char* name : {"a.jpeg", "notatka.txt"}) {
        select("morze.jpg");
        select(name);
        EXPECT_EQ(ImageForm->Caption(), "VELT: ...") << name;
        EXPECT_EQ(ImageForm->Image1->Picture().Width(), 0);
        EXPECT_EQ(ViewForm->Image1->Picture().Width(), 0);
        EXPECT_TRUE(itemsDisabled());
    }
}

TEST_F(ImageFormTest, EnterWithNothingLoadedShowsTheNoticeAndTheWallpaperIsStored) {
    vcl::testing::MessageBoxResponder boxes;
    ImageForm->Show();
    WORD key = VK_RETURN;
    ImageForm->MyKeyDown(ImageForm->FileListBox1, key, {});
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes[0].text, "Najpierw wybierz tapetę (plik)"_w);
    EXPECT_EQ(boxes[0].caption, "Uwaga");
    EXPECT_EQ(boxes[0].type, 0u);

    select("las.bmp");
    ImageForm->SetWallpaper();
    EXPECT_NE(vltest::ReadFile(dir.File("registry/HKEY_CURRENT_USER.reg")).find("las.bmp"),
              std::string::npos);
}

TEST_F(ImageFormTest, KeyTable) {
    vcl::testing::MessageBoxResponder boxes;
    ImageForm->Show();
    select("las.bmp");
    struct Case {
        TWinControl* sender;
        WORD key;
        TShiftState shift;
        bool preview, consumed;
    };
    TWinControl* files = ImageForm->FileListBox1;
    const Case cases[] = {
        {files, VK_RETURN, {}, true, true},
        {files, VK_RETURN, {ssShift}, false, false},
        {files, VK_RETURN, {ssCtrl}, false, false},
        {files, VK_RETURN, {ssShift, ssCtrl}, true, true},
        {files, VK_RETURN, {ssAlt}, false, false},
        {ImageForm->DirectoryListBox1, VK_RETURN, {}, false, false},
        {files, VK_ESCAPE, {ssAlt}, false, false},
        {files, 'G', {}, false, false},
    };
    for (const Case& c : cases) {
        ViewForm->Hide();
        WORD key = c.key;
        ImageForm->MyKeyDown(c.sender, key, c.shift);
        EXPECT_EQ(ViewForm->Visible(), c.preview) << c.key;
        EXPECT_EQ(key == 0, c.consumed) << c.key;
    }
    EXPECT_FALSE(Application->Terminated());
    WORD esc = VK_ESCAPE;
    ImageForm->MyKeyDown(files, esc, {ssShift});
    EXPECT_EQ(esc, 0);
    EXPECT_EQ(boxes.Count(), 0);
}
