// The sample window driven as a user would drive it, on the offscreen platform.

#include "SampleForm.h"

#include <vcl/testing/MessageBoxResponder.h>
#include <vcl/testing/UserInput.h>

#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>

#include <QAbstractScrollArea>
#include <QImage>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vcl;
using namespace vcl::testing;
using rtl::operator""_w;

namespace {

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->SetTitle("VL_PAK32");
        Application->CreateForm(form);
    }
    void TearDown() override { Application->ResetForTesting(); }

    TSampleForm* form = nullptr;
};

TEST_F(FormTest, LayoutFollowsTheDescription) {
    EXPECT_EQ(form->ClientWidth(), 350);
    EXPECT_EQ(form->ClientHeight(), 123);
    // Bottom-aligned controls stack from the edge in creation order; the panel takes the rest.
    EXPECT_EQ(form->LB1->Top(), 53);
    EXPECT_EQ(form->LB1->Height(), 70);
    EXPECT_EQ(form->LB1->Width(), 350);
    EXPECT_EQ(form->Gauge1->Top(), 31);
    EXPECT_EQ(form->Gauge1->Height(), 22);
    EXPECT_EQ(form->Pan1->Top(), 0);
    EXPECT_EQ(form->Pan1->Height(), 31);
    EXPECT_EQ(form->Widget()->windowTitle(), QString::fromUtf8("Wysyłanie danych"));
    // A single border fixes the size.
    EXPECT_EQ(form->Widget()->minimumSize(), QSize(350, 123));
    EXPECT_EQ(form->Widget()->maximumSize(), QSize(350, 123));
    EXPECT_FALSE(form->Widget()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form->Widget()->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form->Widget()->windowFlags() & Qt::WindowCloseButtonHint);
    // The panel's own font, the others the form's.
    EXPECT_EQ(form->Pan1->Font().PixelSize(), 19);
    EXPECT_TRUE(form->Pan1->Font().Style().Contains(fsBold));
    EXPECT_EQ(form->LB1->Widget()->font().pixelSize(), 11);
    EXPECT_EQ(form->LB1->Widget()->font().family(), QString("Liberation Sans"));
    EXPECT_EQ(form->FileListBox1->Widget()->font().family(), QString("Liberation Mono"));
}

TEST_F(FormTest, ShownCentredOnTheScreen) {
    ASSERT_TRUE(ShowAndWait(*form));
    QRect screen = form->Widget()->screen()->geometry();
    EXPECT_EQ(form->Left(), (screen.width() - 350) / 2);
    EXPECT_EQ(form->Top(), (screen.height() - 123) / 2);
}

TEST_F(FormTest, ActivationFiresOnceEvenAfterMessageBoxesAndOtherWindows) {
    MessageBoxResponder boxes(win::IDOK);
    ASSERT_TRUE(ShowAndWait(*form));
    ASSERT_TRUE(WaitFor([&] { return form->activations == 1; }));

    // A message box and a window that is not one of the program's forms take the activation
    // away and give it back: no second run.
    Application->MessageBox("Brak wysylki", "Błąd"_w, win::MB_OK);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow(); }));
    form->BringToFront();
    ASSERT_TRUE(WaitFor([&] { return form->Widget()->isActiveWindow(); }));
    ProcessMessagesFor(50);
    EXPECT_EQ(form->activations, 1);
    EXPECT_TRUE(form->Active());

    // Another form of the program in between does count.
    TForm* second = Application->CreateForm<TForm>();
    ASSERT_TRUE(ShowAndWait(*second));
    ASSERT_TRUE(WaitFor([&] { return Application->ActiveForm() == second; }));
    form->BringToFront();
    ASSERT_TRUE(WaitFor([&] { return form->activations == 2; }));
}

TEST_F(FormTest, EnterPressesTheDefaultButtonOnlyWhenShown) {
    ASSERT_TRUE(ShowAndWait(*form));
    form->LB1->Items().Add("Gotowe ....");
    PressKey(*form->LB1, VK_RETURN);
    EXPECT_EQ(form->clicks, 0); // hidden until the run ends

    form->ButZamknij->SetVisible(true);
    PressKey(*form->LB1, VK_RETURN);
    EXPECT_EQ(form->clicks, 1);
    // The list box saw the key first.
    EXPECT_EQ(form->listKeys, (std::vector<WORD>{VK_RETURN, VK_RETURN}));
}

TEST_F(FormTest, AltAndTheUnderlinedLetterPressTheButton) {
    form->ButZamknij->SetVisible(true);
    ASSERT_TRUE(ShowAndWait(*form));
    form->LB1->SetFocus();
    PressKeyOn(*form, 'M', {ssAlt});
    EXPECT_EQ(form->clicks, 1);
    PressKeyOn(*form, 'K', {ssAlt});
    EXPECT_EQ(form->clicks, 1);
}

TEST_F(FormTest, KeyPreviewLetsTheFormSeeAndConsumeKeysFirst) {
    ASSERT_TRUE(ShowAndWait(*form));
    form->consumeOnForm = VK_F5;

    PressKey(*form->LB1, VK_F5);
    EXPECT_TRUE(form->formKeys.empty()); // preview off: the focused control only
    EXPECT_EQ(form->listKeys, std::vector<WORD>{VK_F5});

    form->SetKeyPreview(true);
    form->listKeys.clear();
    PressKey(*form->LB1, VK_F5);
    PressKey(*form->LB1, 'A');
    PressKey(*form->LB1, VK_ESCAPE);
    EXPECT_EQ(form->formKeys, (std::vector<WORD>{VK_F5, 'A', VK_ESCAPE}));
    EXPECT_EQ(form->listKeys, (std::vector<WORD>{'A', VK_ESCAPE})); // F5 was consumed
}

TEST_F(FormTest, ListBoxTopLineAfterSettingIt) {
    ASSERT_TRUE(ShowAndWait(*form));
    for (int i = 0; i < 20; ++i)
        form->LB1->Items().Add("line " + std::to_string(i));
    form->LB1->SetTopIndex(3);
    EXPECT_EQ(form->LB1->TopIndex(), 3);

    // The last line never goes above the bottom edge: asking for it tops the list at the
    // first line of the last page.
    auto* view = static_cast<QAbstractScrollArea*>(form->LB1->Widget());
    int rows = view->viewport()->height() / form->LB1->ItemHeight();
    ASSERT_GT(rows, 1);
    form->LB1->SetTopIndex(19);
    EXPECT_EQ(form->LB1->TopIndex(), 20 - rows);
    form->LB1->SetTopIndex(0);
    EXPECT_EQ(form->LB1->TopIndex(), 0);
}

TEST_F(FormTest, ScreenshotIsAPngWithTheControlsColours) {
    ASSERT_TRUE(ShowAndWait(*form));
    form->Gauge1->SetMaxValue(4);
    form->Gauge1->SetProgress(2);
    auto path = std::filesystem::temp_directory_path() / ("vcl-shot-" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(SaveScreenshot(*form, path.string()));
    std::ifstream in(path, std::ios::binary);
    std::string head(8, '\0');
    in.read(head.data(), 8);
    EXPECT_EQ(head, "\x89PNG\r\n\x1a\n");
    EXPECT_GT(std::filesystem::file_size(path), 100u);

    QImage shot(QString::fromStdString(path.string()));
    std::filesystem::remove(path);
    ASSERT_EQ(shot.size(), QSize(350, 123));
    // Inside the panel's bevel: cream; left half of the gauge: blue; right half: sky blue;
    // the log: money green.
    EXPECT_EQ(shot.pixelColor(5, 3), QColor(0xFF, 0xFB, 0xF0));
    EXPECT_EQ(shot.pixelColor(4, 31 + 11), QColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(shot.pixelColor(345, 31 + 11), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(shot.pixelColor(200, 53 + 60), QColor(0xC0, 0xDC, 0xC0));
}

TEST_F(FormTest, RepaintDrawsNewLinesBeforeItReturns) {
    ASSERT_TRUE(ShowAndWait(*form));
    form->LB1->Items().Add("Łączenie się z serwerem poczty, proszę czekać ..."_w);
    form->Repaint();
    // What the window shows now, without a turn of the message loop.
    auto* view = static_cast<QAbstractScrollArea*>(form->LB1->Widget());
    QImage picture = view->viewport()->grab().toImage();
    int ink = 0;
    for (int x = 0; x < picture.width(); ++x) {
        for (int y = 0; y < form->LB1->ItemHeight(); ++y)
            ink += picture.pixelColor(x, y) != QColor(0xC0, 0xDC, 0xC0);
    }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(form->LB1->Items()[0], "Łączenie się z serwerem poczty, proszę czekać ..."_w);
}

TEST_F(FormTest, CloseActionDecidesWhatHappensToASecondForm) {
    TForm* second = Application->CreateForm<TForm>();
    TCloseAction chosen = caNone;
    bool destroyed = false;
    second->OnClose = [&](TObject*, TCloseAction& action) { action = chosen; };
    second->OnDestroy = [&](TObject*) { destroyed = true; };
    ASSERT_TRUE(ShowAndWait(*second));

    ClickCloseBox(*second);
    EXPECT_TRUE(second->Widget()->isVisible());
    chosen = caHide;
    ClickCloseBox(*second);
    EXPECT_FALSE(second->Widget()->isVisible());
    EXPECT_FALSE(destroyed);

    second->Show();
    chosen = caFree;
    second->Close();
    EXPECT_TRUE(WaitFor([&] { return destroyed; }));
    EXPECT_EQ(Application->ComponentCount(), 1);
    EXPECT_FALSE(Application->Terminated());
}

} // namespace
