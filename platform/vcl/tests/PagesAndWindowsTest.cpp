// Page controls with their tab sheets, the window styles of the forms, and the width of
// message boxes.

#include <vcl/Bitmap.h>
#include <vcl/Vcl.h>
#include <vcl/testing/UserInput.h>

#include "../Internal.h"
#include <vcl/testing/MessageBoxResponder.h>

#include <runtime/Cp1250.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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

TEST_F(PagesTest, TabsThatDoNotFitTakeMoreRowsWithTheFrontRowNextToThePages) {
    struct Case {
        const char* what;
        bool multiLine;
        int width;
        int pages;
        int minRows, maxRows;
    };
    const Case cases[] = {
        {"two tabs in a wide control", true, 446, 2, 1, 1},
        {"seven tabs in a wide control", true, 446, 7, 2, 3},
        {"seven tabs in a narrow control", true, 200, 7, 3, 7},
        {"one tab wider than the control", true, 60, 1, 1, 1},
        {"single-line keeps one row", false, 200, 7, 1, 1},
    };
    const char* captions[] = {"Parametry",     "Co nowego",      "Serwer FTP", "Proxy",
                              "Pliki lokalne", "Historia zmian", "Informacje"};
    for (const Case& c : cases) {
        auto* pc = new TPageControl(form);
        pc->SetParent(form->TabSheetParametry);
        pc->SetMultiLine(c.multiLine);
        pc->SetBounds(0, 0, c.width, 180);
        std::vector<TTabSheet*> sheets;
        for (int i = 0; i < c.pages; ++i) {
            sheets.push_back(new TTabSheet(form));
            sheets.back()->SetCaption(captions[i]);
            sheets.back()->SetPageControl(pc);
        }
        int changes = 0;
        pc->OnChange = [&](TObject*) { ++changes; };
        form->PageControl1->SetActivePage(form->TabSheetParametry);
        ASSERT_TRUE(WaitFor([&] { return pc->Showing(); }, 2000)) << c.what;

        // Checks the tab layout with the page `front` in front.
        auto checkLayout = [&](int front, const std::string& when) {
            const int rows = pc->RowCount();
            EXPECT_GE(rows, c.minRows) << c.what << when;
            EXPECT_LE(rows, c.maxRows) << c.what << when;
            std::vector<int> tops;
            int bottom = 0, right = 0;
            for (int i = 0; i < c.pages; ++i) {
                const TRect t = pc->TabRect(i);
                EXPECT_GT(t.Width(), 0) << c.what << when << " tab " << i;
                EXPECT_GE(t.Left, 0) << c.what << when << " tab " << i;
                if (c.multiLine && c.width >= 100) {
                    EXPECT_LE(t.Right, c.width) << c.what << when << " tab " << i << " inside the control";
                }
                for (int j = 0; j < i; ++j) {
                    const TRect o = pc->TabRect(j);
                    const bool apart =
                        t.Left >= o.Right || o.Left >= t.Right || t.Top >= o.Bottom || o.Top >= t.Bottom;
                    EXPECT_TRUE(apart) << c.what << when << " tabs " << j << " and " << i << " overlap";
                }
                if (std::find(tops.begin(), tops.end(), t.Top) == tops.end())
                    tops.push_back(t.Top);
                bottom = std::max(bottom, t.Bottom);
                right = std::max(right, t.Right);
            }
            EXPECT_EQ(static_cast<int>(tops.size()), rows) << c.what << when;
            EXPECT_EQ(pc->TabRect(front).Bottom, bottom)
                << c.what << when << ": the front tab's row is the lowest";
            EXPECT_GE(pc->ClientRect().Top, bottom) << c.what << when << ": the pages start below every row";
            if (rows > 1)
                for (int i = 0; i < c.pages; ++i) {
                    // Each row is stretched to the same width: its last tab ends at the common edge.
                    const TRect t = pc->TabRect(i);
                    bool lastOfRow = true;
                    for (int j = 0; j < c.pages; ++j)
                        lastOfRow = lastOfRow &&
                                    !(j != i && pc->TabRect(j).Top == t.Top && pc->TabRect(j).Left > t.Left);
                    if (lastOfRow) {
                        EXPECT_EQ(t.Right, right) << c.what << when << " tab " << i;
                    }
                }
        };
        checkLayout(0, "");
        // The user clicks each tab in view in turn, last first: its page comes to the front.
        for (int i = c.pages - 1; i >= 0; --i) {
            const int before = changes;
            const bool wasFront = pc->ActivePageIndex() == i;
            const TRect t = pc->TabRect(i);
            if (!c.multiLine && t.Right > c.width - 40)
                continue; // behind the scroll buttons of the single row
            ClickAt(*pc, (t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
            EXPECT_EQ(pc->ActivePage(), sheets[static_cast<std::size_t>(i)])
                << c.what << " click on tab " << i;
            EXPECT_EQ(changes, before + (wasFront ? 0 : 1)) << c.what << " click on tab " << i;
            checkLayout(i, " after a click on tab " + std::to_string(i));
        }
        for (TTabSheet* sheet : sheets)
            sheet->Free();
        pc->Free();
    }
}

class WindowsTest : public ::testing::Test {
  protected:
    void TearDown() override { Application->ResetForTesting(); }
};

// A 24-bit bitmap file of 2 by 2 pixels, bottom row first: `colour` everywhere but the top-left.
std::vector<unsigned char> tinyBitmap(std::uint32_t colour) {
    std::vector<unsigned char> f(54 + 16, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    f[26] = 1;
    f[28] = 24;
    put32(34, 16);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 2; ++x) {
            const std::uint32_t c = row == 1 && x == 0 ? 0x000000 : colour; // row 1 is the top one
            const std::size_t at = 54 + static_cast<std::size_t>(row) * 8 + static_cast<std::size_t>(x) * 3;
            f[at] = static_cast<unsigned char>(c);
            f[at + 1] = static_cast<unsigned char>(c >> 8);
            f[at + 2] = static_cast<unsigned char>(c >> 16);
        }
    return f;
}

TEST_F(WindowsTest, TheFormsIconIsTheWindowsIcon) {
    auto* form = new TForm(Application);
    struct Step {
        const char* what;
        bool shown;
        std::uint32_t colour; // 0: an empty picture
    };
    const Step steps[] = {
        {"set before showing", false, 0x3366CC},
        {"set again while shown", true, 0xCC6633},
        {"cleared by an empty picture", true, 0},
    };
    for (const Step& s : steps) {
        if (s.shown) {
            ASSERT_TRUE(ShowAndWait(*form)) << s.what;
        }
        TBitmap picture;
        if (s.colour) {
            const std::vector<unsigned char> file = tinyBitmap(s.colour);
            picture.LoadFromMemory(file.data(), file.size());
        }
        form->SetIcon(picture);
        const QIcon icon = form->Widget()->windowIcon();
        if (!s.colour) {
            EXPECT_EQ(form->Icon(), nullptr) << s.what;
            EXPECT_TRUE(icon.isNull()) << s.what << ": the platform's own icon";
            continue;
        }
        ASSERT_NE(form->Icon(), nullptr) << s.what;
        EXPECT_EQ(form->Icon()->Width(), 2) << s.what;
        ASSERT_FALSE(icon.isNull()) << s.what;
        const QImage shown = icon.pixmap(QSize(2, 2)).toImage();
        ASSERT_EQ(shown.size(), QSize(2, 2)) << s.what;
        EXPECT_EQ(shown.pixel(1, 1) & 0xFFFFFF, s.colour) << s.what;
        EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, 0u) << s.what << ": top row first";
    }
}

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
