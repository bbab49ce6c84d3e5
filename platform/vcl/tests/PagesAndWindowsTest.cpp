// Page controls with their tab sheets, the window styles of the forms, and the width of
// message boxes.

#include <vcl/testing/UserInput.h>
#include <vcl/Vcl.h>

#include "../Internal.h"
#include <vcl/testing/MessageBoxResponder.h>

#include <runtime/Cp1250.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vcl;
using namespace vcl::testing;
using rtl::operator""_w;

namespace {

class TPagesForm : public TForm {
  public:
    explicit TPagesForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsSingle);
        SetBorderIcons({biSystemMenu});
        SetClientWidth(446);
        SetClientHeight(323);
        StatusBar1 = new TStatusBar(this);
        PageControl1 = new TPageControl(this);
        PageControl1->SetAlign(alClient);
        PageControl1->SetMultiLine(true);
        TabSheetParametry = new TTabSheet(this);
        TabSheetParametry->SetPageControl(PageControl1);
        TabSheetParametry->SetCaption("Parametry");
        TabSheetCoNowego = new TTabSheet(this);
        TabSheetCoNowego->SetCaption("Co nowego");
        TabSheetCoNowego->SetPageControl(PageControl1);
        EditHost = new TEdit(this);
        EditHost->SetParent(TabSheetParametry);
        EditHost->SetBounds(80, 8, 150, 21);
        PanelRtf = new TPanel(this);
        PanelRtf->SetParent(TabSheetCoNowego);
        PanelRtf->SetBounds(190, 4, 251, 276);
        PageControl1->OnChange = [this](TObject*) { ++changes; };
    }
    TStatusBar* StatusBar1;
    TPageControl* PageControl1;
    TTabSheet* TabSheetParametry;
    TTabSheet* TabSheetCoNowego;
    TEdit* EditHost;
    TPanel* PanelRtf;
    int changes = 0;
};

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->CreateForm(form);
        ASSERT_TRUE(ShowAndWait(*form));
    }
    void TearDown() override { Application->ResetForTesting(); }
    TPagesForm* form = nullptr;
};

TEST_F(PagesTest, TabsInCreationOrderAndTheActivePageInFront) {
    auto* tabs = form->PageControl1->WidgetAs<QTabWidget>();
    ASSERT_EQ(form->PageControl1->PageCount(), 2);
    EXPECT_EQ(tabs->tabText(0), "Parametry");
    EXPECT_EQ(tabs->tabText(1), "Co nowego");
    EXPECT_EQ(form->PageControl1->Pages(1), form->TabSheetCoNowego);
    EXPECT_EQ(form->TabSheetCoNowego->PageIndex(), 1);
    EXPECT_FALSE(tabs->usesScrollButtons()) << "every tab in view";

    struct Step {
        const char* what;
        std::function<void()> act;
        TTabSheet* front;
        int changes;
    };
    const Step steps[] = {
        {"start", [] {}, form->TabSheetParametry, 0},
        {"program", [&] { form->PageControl1->SetActivePage(form->TabSheetCoNowego); }, form->TabSheetCoNowego, 0},
        {"user", [&] { tabs->tabBar()->setCurrentIndex(0); }, form->TabSheetParametry, 1},
        {"index", [&] { form->PageControl1->SetActivePageIndex(1); }, form->TabSheetCoNowego, 1},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(form->PageControl1->ActivePage(), s.front) << s.what;
        EXPECT_EQ(form->changes, s.changes) << s.what;
        EXPECT_EQ(form->PanelRtf->Showing(), s.front == form->TabSheetCoNowego) << s.what;
        EXPECT_EQ(form->EditHost->Showing(), s.front == form->TabSheetParametry) << s.what;
    }
}

TEST_F(PagesTest, PagesFillThePageControlAboveTheStatusBar) {
    EXPECT_EQ(form->PageControl1->Top(), 0);
    EXPECT_EQ(form->PageControl1->Height(), 323 - 19);
    const TRect pages = form->PageControl1->ClientRect();
    EXPECT_GT(pages.Top, 10) << "below the tabs";
    EXPECT_EQ(form->TabSheetParametry->Width(), pages.Width()) << "the page in front";
    EXPECT_GT(pages.Width(), 400);
    EXPECT_EQ(form->PanelRtf->Left(), 190) << "children keep their places on the sheet";
    form->TabSheetParametry->SetCaption("Ustawienia");
    EXPECT_EQ(form->PageControl1->WidgetAs<QTabWidget>()->tabText(0), "Ustawienia");
    form->TabSheetParametry->Free();
    EXPECT_EQ(form->PageControl1->PageCount(), 1);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheetCoNowego);
}

class WindowsTest : public ::testing::Test {
  protected:
    void TearDown() override { Application->ResetForTesting(); }
};

TEST_F(WindowsTest, AMaximisedBorderlessFormCoversTheScreen) {
    auto* view = new TForm(Application);
    view->SetBorderStyle(bsNone);
    view->SetBounds(10, 10, 200, 100);
    view->SetWindowState(wsMaximized);
    EXPECT_EQ(view->WindowState(), wsMaximized) << "kept until shown";
    ASSERT_TRUE(ShowAndWait(*view));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_TRUE(WaitFor([&] { return view->Widget()->geometry() == screen; }, 2000))
        << view->Widget()->geometry().width() << "x" << view->Widget()->geometry().height();
    EXPECT_EQ(view->WindowState(), wsMaximized);
    EXPECT_TRUE(view->Widget()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(view->Handle(), static_cast<std::uintptr_t>(view->Widget()->winId()));
    EXPECT_NE(view->Handle(), 0u);
}

TEST_F(WindowsTest, BorderStylesAndIconsAsAsked) {
    struct Case {
        TFormBorderStyle style;
        TBorderIcons icons;
        TFormStyle formStyle;
        bool frameless, minimise, maximise, onTop, fixed;
    };
    const Case cases[] = {
        {bsSingle, {biSystemMenu}, fsNormal, false, false, false, false, true},
        {bsSingle, {biSystemMenu, biMinimize}, fsNormal, false, true, false, false, true},
        {bsDialog, {biSystemMenu, biMinimize}, fsStayOnTop, false, false, false, true, true},
        // No frame to drag, but not held at one size either, so that it can be maximised.
        {bsNone, {}, fsNormal, true, false, false, false, false},
        {bsSizeable, {biSystemMenu, biMinimize, biMaximize}, fsNormal, false, true, true, false, false},
    };
    for (const Case& c : cases) {
        auto* f = new TForm(Application);
        f->SetBounds(0, 0, 300, 200);
        f->SetBorderStyle(c.style);
        f->SetBorderIcons(c.icons);
        f->SetFormStyle(c.formStyle);
        const Qt::WindowFlags flags = f->Widget()->windowFlags();
        EXPECT_EQ(bool(flags & Qt::FramelessWindowHint), c.frameless);
        EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), c.minimise);
        EXPECT_EQ(bool(flags & Qt::WindowMaximizeButtonHint), c.maximise);
        EXPECT_EQ(bool(flags & Qt::WindowStaysOnTopHint), c.onTop);
        EXPECT_EQ(f->Widget()->minimumSize() == f->Widget()->maximumSize(), c.fixed);
        f->Free();
    }
}

TEST_F(WindowsTest, MessageBoxesAreAsWideAsTheirCaptionNeeds) {
    struct Case {
        std::string caption, text;
        unsigned type;
    };
    const Case cases[] = {
        {"Błąd -1"_w, "x", win::MB_OK},
        {"Confirm", "The specified directory does not exist. Create it?", win::MB_YESNO},
        {"Bardzo długi tytuł okna komunikatu, który nie mieści się nad krótkim tekstem"_w, "OK?", win::MB_OK},
    };
    for (const Case& c : cases) {
        int width = 0;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            width = box->width();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            box->done(0);
            box->close();
        });
        win::MessageBoxA(0, c.text.c_str(), c.caption.c_str(), c.type);
        EXPECT_GE(width, detail::captionFitWidth(detail::toQt(c.caption))) << c.caption;
        if (c.type == win::MB_YESNO)
            EXPECT_EQ(buttons, (QStringList{"&Yes", "&No"}));
        else
            EXPECT_EQ(buttons, QStringList{"OK"});
    }
}

TEST_F(WindowsTest, SimpleMessageDialogHasTheTextAndAnOkButton) {
    vcl::testing::MessageBoxResponder boxes;
    Application->SetTitle("VL_NEW32");
    ShowMessage("Download unsupported");
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes[0].text, "Download unsupported");
    EXPECT_EQ(boxes[0].caption, "VL_NEW32");
    EXPECT_EQ(boxes[0].type, win::MB_OK);
}

} // namespace
