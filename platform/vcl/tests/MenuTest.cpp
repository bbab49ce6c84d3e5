// Menus, actions and image lists as the wallpaper browser uses them: accelerators, shortcuts
// of enabled and disabled items, separators, glyphs, linked actions and the context menu.

#include <vcl/testing/UserInput.h>
#include <vcl/Vcl.h>

#include <runtime/Cp1250.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vcl;
using namespace vcl::testing;
using rtl::operator""_w;

namespace {

class TMenuForm : public TForm {
  public:
    explicit TMenuForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsSingle);
        SetClientWidth(496);
        SetClientHeight(306);
        List = new TListBox(this);
        List->SetBounds(166, 12, 139, 260);
        List->Items().Add("las.bmp");
        ImageList1 = new TImageList(this);
        for (Qt::GlobalColor c : {Qt::red, Qt::green, Qt::blue}) {
            QImage img(16, 16, QImage::Format_ARGB32);
            img.fill(c);
            ImageList1->Add(img);
        }
        ActionList1 = new TActionList(this);
        ActionList1->SetImages(ImageList1);
        ActionImageView = new TAction(ActionList1);
        ActionImageView->SetCategory("File");
        ActionImageView->SetCaption("ImageView");
        ActionImageView->SetImageIndex(2);
        ActionImageView->OnExecute = [this](TObject*) { log.push_back("view"); };
        ActionExit = new TAction(ActionList1);
        ActionExit->SetCaption("Exit");
        ActionExit->OnExecute = [this](TObject*) { log.push_back("exit"); };

        MainMenu1 = new TMainMenu(this);
        MainMenu1->SetImages(ImageList1);
        Plik1 = item("&Plik");
        MainMenu1->Items()->Add(Plik1);
        Podglad1 = item("Pod&gląd"_w, ActionImageView);
        Podglad1->SetShortCut(ShortCut('G', {ssCtrl}));
        Plik1->Add(Podglad1);
        N1 = item("-");
        Plik1->Add(N1);
        Koniec1 = item("&Koniec", ActionExit);
        Plik1->Add(Koniec1);
        SetMenu(MainMenu1);

        PopupMenu1 = new TPopupMenu(this);
        PopupMenu1->SetImages(ImageList1);
        Podglad2 = item("Pod&gląd"_w, ActionImageView);
        PopupMenu1->Items()->Add(Podglad2);
        List->SetPopupMenu(PopupMenu1);
    }
    TMenuItem* item(const std::string& caption, TAction* action = nullptr) {
        auto* i = new TMenuItem(this);
        if (action)
            i->SetAction(action);
        if (!caption.empty())
            i->SetCaption(caption); // the item's own caption over the action's
        return i;
    }
    TListBox* List;
    TImageList* ImageList1;
    TActionList* ActionList1;
    TAction* ActionImageView;
    TAction* ActionExit;
    TMainMenu* MainMenu1;
    TMenuItem *Plik1, *Podglad1, *N1, *Koniec1, *Podglad2;
    TPopupMenu* PopupMenu1;
    std::vector<std::string> log;
};

class MenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->CreateForm(form);
        ASSERT_TRUE(ShowAndWait(*form));
    }
    void TearDown() override {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        Application->ResetForTesting();
    }
    TMenuForm* form = nullptr;
};

TEST_F(MenuTest, ShortcutsRunEnabledItemsOnlyAndTheClientAreaStartsBelowTheBar) {
    struct Case {
        const char* what;
        bool enabled;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"enabled", true, {"view"}},
        {"disabled", false, {"view"}},
        {"enabled again", true, {"view", "view"}},
    };
    form->List->SetFocus();
    for (const Case& c : cases) {
        form->Podglad1->SetEnabled(c.enabled);
        form->Podglad2->SetEnabled(c.enabled);
        PressKeyOn(*form, 'G', {ssCtrl});
        EXPECT_EQ(form->log, c.log) << c.what;
    }
    EXPECT_EQ(form->ClientHeight(), 306);
    EXPECT_GT(form->Height(), 306) << "the bar is outside the client area";
    EXPECT_EQ(form->List->Top(), 12);
    const QPoint listInForm = form->List->Widget()->mapTo(form->Widget(), QPoint(0, 0));
    EXPECT_EQ(listInForm.y(), 12 + form->MainMenu1->MenuBar()->height());
}

TEST_F(MenuTest, AcceleratorsOpenTheMenuAndChooseTheItem) {
    form->List->SetFocus();
    PressKeyOn(*form, 'P', {ssAlt});
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr) << "Alt+P opens \"Plik\"";
    ASSERT_EQ(popup->actions().size(), 3);
    QTest::keyClick(popup, Qt::Key_K);
    EXPECT_EQ(form->log, (std::vector<std::string>{"exit"}));
}

TEST_F(MenuTest, ItemsCarryTheirOwnCaptionsSeparatorsAndGlyphsFromTheImageList) {
    QAction* view = form->Podglad1->QtAction();
    EXPECT_EQ(view->text(), QString::fromUtf8("Pod&gląd"));
    EXPECT_EQ(form->ActionImageView->Caption(), "ImageView") << "the action keeps its own";
    EXPECT_EQ(view->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    EXPECT_TRUE(form->N1->IsLine());
    EXPECT_TRUE(form->N1->QtAction()->isSeparator());
    const QImage icon = view->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(icon.pixelColor(8, 8), QColor(Qt::blue)) << "glyph 2";
    EXPECT_TRUE(form->Koniec1->QtAction()->icon().isNull());
    ASSERT_EQ(form->Plik1->Count(), 3);
    EXPECT_EQ(form->Plik1->Items(1), form->N1);
    EXPECT_EQ(form->Podglad1->GetParentMenu(), form->MainMenu1);
    EXPECT_EQ(form->ActionList1->ActionCount(), 2);

    // Changing the action changes its items.
    form->ActionImageView->SetEnabled(false);
    EXPECT_FALSE(form->Podglad1->Enabled());
    EXPECT_FALSE(form->Podglad2->Enabled());
    form->Podglad1->Click();
    EXPECT_TRUE(form->log.empty());
    form->ActionImageView->SetEnabled(true);
    form->Podglad2->Click();
    EXPECT_EQ(form->log, (std::vector<std::string>{"view"}));
}

TEST_F(MenuTest, RightClickShowsTheContextMenuOfTheControl) {
    TControl* shownFor = nullptr;
    form->PopupMenu1->OnPopup = [&](TObject*) { shownFor = form->PopupMenu1->PopupComponent(); };
    QWidget* viewport = form->List->WidgetAs<QAbstractScrollArea>()->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &event);
    EXPECT_EQ(shownFor, form->List);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_G);
    EXPECT_EQ(form->log, (std::vector<std::string>{"view"}));
}

TEST_F(MenuTest, DestroyingMenusItemsAndActionsInAnyOrderLeavesNothingBehind) {
    form->ActionImageView->Free(); // its items stay, unlinked
    EXPECT_EQ(form->Podglad1->Action(), nullptr);
    form->Podglad1->Click();
    EXPECT_TRUE(form->log.empty());
    form->N1->Free();
    EXPECT_EQ(form->Plik1->Count(), 2);
    form->PopupMenu1->Free();
    EXPECT_EQ(form->List->PopupMenu(), nullptr);
    form->MainMenu1->Free();
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(form->ClientHeight(), form->Height());
    PressKeyOn(*form, 'G', {ssCtrl});
    EXPECT_TRUE(form->log.empty());
}

} // namespace
