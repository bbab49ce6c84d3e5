// The preview window on the offscreen platform: maximised without a frame, the picture from
// the top-left corner on the button face, closed by Esc with any modifiers and by a click.

#include "vl_pic32View.h"

#include <vcl/Application.h>
#include <vcl/testing/UserInput.h>

#include <TestSupport.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vcl;
using namespace vl_pic32;

namespace {

class ViewFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The browsing window is the main one; the preview is never.
        Application->CreateForm(mainForm);
        Application->CreateForm(ViewForm);
        ASSERT_EQ(std::system(("convert -size 40x30 xc:red " + dir.File("red.bmp") + " 2>/dev/null").c_str()),
                  0);
        picture.LoadFromFile(dir.File("red.bmp"));
    }
    void TearDown() override { Application->ResetForTesting(); }

    // As the browsing window opens it.
    void open() {
        ViewForm->Image1->SetPicture(picture);
        ViewForm->SetWindowState(wsMaximized);
        ViewForm->Show();
        ViewForm->BringToFront();
        ASSERT_TRUE(vcl::testing::WaitFor([] { return ViewForm->Showing(); }));
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        ASSERT_TRUE(vcl::testing::WaitFor([&] { return ViewForm->Image1->Widget()->size() == screen; }));
    }

    TForm* mainForm = nullptr;
    vltest::TempDir dir{"vlpic32view"};
    TPicture picture;
};

} // namespace

TEST_F(ViewFormTest, ShowsThePictureFromTheTopLeftOverTheWholeScreen) {
    open();
    EXPECT_EQ(ViewForm->WindowState(), wsMaximized);
    EXPECT_TRUE(ViewForm->Widget()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(ViewForm->Image1->Width(), ViewForm->ClientWidth());
    EXPECT_EQ(ViewForm->Image1->Height(), ViewForm->ClientHeight());
    const QImage shot = ViewForm->Widget()->grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(39, 29), qRgb(255, 0, 0));
    const QColor face = QColor(shot.pixel(40, 30));
    EXPECT_EQ(face, QColor(0xD4, 0xD0, 0xC8)) << "button face";
    // The shared pixels, not a copy.
    EXPECT_EQ(ViewForm->Image1->Picture().Graphic()->Image().constBits(),
              picture.Graphic()->Image().constBits());
}

TEST_F(ViewFormTest, EscWithAnyModifiersHidesItOtherKeysDoNot) {
    for (TShiftState shift :
         {TShiftState{}, TShiftState{ssShift}, TShiftState{ssCtrl}, TShiftState{ssAlt, ssCtrl}}) {
        open();
        for (WORD other : {VK_RETURN, VK_SPACE, WORD('A'), VK_F4})
            vcl::testing::PressKeyOn(*ViewForm, other);
        EXPECT_TRUE(ViewForm->Showing());
        vcl::testing::PressKeyOn(*ViewForm, VK_ESCAPE, shift);
        EXPECT_TRUE(vcl::testing::WaitFor([] { return !ViewForm->Showing(); }));
    }
    EXPECT_FALSE(Application->Terminated()) << "hiding the preview never ends the program";
}

TEST_F(ViewFormTest, AClickOnThePictureOrTheBackgroundHidesIt) {
    for (auto [x, y] : {std::pair{5, 5}, {300, 300}}) {
        open();
        vcl::testing::ClickAt(*ViewForm->Image1, x, y);
        EXPECT_TRUE(vcl::testing::WaitFor([] { return !ViewForm->Showing(); })) << x << "," << y;
    }
    // Opened again, it is maximised again and holds the picture.
    open();
    EXPECT_EQ(ViewForm->WindowState(), wsMaximized);
    EXPECT_EQ(ViewForm->Image1->Picture().Width(), 40);
}
