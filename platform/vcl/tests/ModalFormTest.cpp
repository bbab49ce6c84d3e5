// Modal forms driven as a user drives them, on the offscreen platform: how each way of closing
// sets the result, and what happens to the other windows meanwhile.

#include <vcl/Vcl.h>
#include <vcl/testing/ModalWindowResponder.h>
#include <vcl/testing/UserInput.h>

#include <runtime/Exceptions.h>

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vcl;
using namespace vcl::testing;

namespace {

// A small question window: OK (default), Cancel (Esc), Yes, No and a button without a result.
class TQuestionForm : public TForm {
  public:
    explicit TQuestionForm(TComponent* owner) : TForm(owner) {
        SetCaption("Question");
        SetBorderStyle(bsDialog);
        SetClientWidth(340);
        SetClientHeight(80);
        auto button = [this](const char* name, const char* caption, int left, TModalResult result) {
            auto* b = new TButton(this);
            b->SetParent(this);
            b->SetName(name);
            b->SetCaption(caption);
            b->SetBounds(left, 20, 60, 25);
            b->SetModalResult(result);
            return b;
        };
        Ok = button("Ok", "OK", 5, mrOk);
        Ok->SetDefault(true);
        Cancel = button("Cancel", "Cancel", 70, mrCancel);
        Cancel->SetCancel(true);
        Yes = button("Yes", "&Yes", 135, mrYes);
        No = button("No", "&No", 200, mrNo);
        Plain = button("Plain", "&Plain", 265, mrNone);
        Plain->OnClick = [this](TObject*) { ++plainClicks; };
        Answer = new TEdit(this);
        Answer->SetParent(this);
        Answer->SetName("Answer");
        Answer->SetBounds(5, 50, 100, 21);
        OnClose = [this](TObject*, TCloseAction& action) {
            ++closes;
            if (keepOpenOnce) {
                keepOpenOnce = false;
                action = caNone;
            }
        };
    }
    TButton *Ok, *Cancel, *Yes, *No, *Plain;
    TEdit* Answer;
    int plainClicks = 0, closes = 0;
    bool keepOpenOnce = false;
};

class ModalFormTest : public ::testing::Test {
  protected:
    void TearDown() override { Application->ResetForTesting(); }
};

TEST_F(ModalFormTest, EachWayOfClosingGivesItsResult) {
    struct Case {
        const char* how;
        std::function<void(ModalWindow&)> act;
        TModalResult result;
    } cases[] = {
        {"OK clicked", [](ModalWindow& w) { w.ClickButton("OK"); }, mrOk},
        {"Cancel clicked", [](ModalWindow& w) { w.ClickButton("Cancel"); }, mrCancel},
        {"&Yes clicked", [](ModalWindow& w) { w.ClickButton("&Yes"); }, mrYes},
        {"&No clicked", [](ModalWindow& w) { w.ClickButton("&No"); }, mrNo},
        {"Alt+Y", [](ModalWindow& w) { w.PressKey('Y', {ssAlt}); }, mrYes},
        {"Enter on the default button's form", [](ModalWindow& w) { w.PressKey(VK_RETURN); }, mrOk},
        {"Esc", [](ModalWindow& w) { w.PressKey(VK_ESCAPE); }, mrCancel},
        {"close box", [](ModalWindow& w) { w.ClickCloseBox(); }, mrCancel},
    };
    for (const Case& c : cases) {
        auto* form = new TQuestionForm(Application);
        form->AfterConstruction();
        ModalWindowResponder responder([&](ModalWindow& w) {
            // A button without a result leaves the form open; a focused button would take
            // Enter itself, so the focus goes to the edit after it.
            w.ClickButton("&Plain");
            EXPECT_TRUE(w.Open()) << c.how;
            form->Answer->SetFocus();
            c.act(w);
        });
        EXPECT_EQ(form->ShowModal(), c.result) << c.how;
        EXPECT_EQ(form->ModalResult(), c.result) << c.how;
        EXPECT_FALSE(form->Visible()) << c.how;
        EXPECT_FALSE(form->Modal()) << c.how;
        EXPECT_EQ(form->plainClicks, 1) << c.how;
        EXPECT_EQ(form->closes, 1) << c.how;
        EXPECT_EQ(responder.Captions(), std::vector<std::string>{"Question"}) << c.how;
        EXPECT_EQ(responder.LeftOpen(), 0) << c.how;
        form->Free();
    }
}

TEST_F(ModalFormTest, OnCloseAndOnClickMayKeepTheFormOpen) {
    auto* form = new TQuestionForm(Application);
    form->AfterConstruction();
    form->keepOpenOnce = true;
    int okClicks = 0;
    form->Ok->OnClick = [&](TObject*) {
        // The first press is refused by the handler: the result goes back to none.
        if (++okClicks == 1)
            form->SetModalResult(mrNone);
    };
    ModalWindowResponder responder([&](ModalWindow& w) {
        w.ClickButton("OK");
        EXPECT_TRUE(w.Open());
        EXPECT_EQ(form->ModalResult(), mrNone);
        w.ClickButton("&No"); // refused by OnClose once
        EXPECT_TRUE(WaitFor([&] { return form->closes == 1; }));
        EXPECT_TRUE(w.Open());
        w.ClickButton("OK");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 2);
    EXPECT_EQ(form->closes, 2);
}

TEST_F(ModalFormTest, OtherEnabledWindowsAreDisabledWhileItIsOpen) {
    TForm* main = Application->CreateForm<TForm>();
    auto* disabledByProgram = new TForm(Application);
    auto* hidden = new TForm(Application);
    auto* plainQt = new QWidget(nullptr, Qt::Window); // a window the toolkit did not make
    ASSERT_TRUE(ShowAndWait(*main));
    disabledByProgram->Show();
    disabledByProgram->SetEnabled(false);
    plainQt->show();

    auto* form = new TQuestionForm(Application);
    form->AfterConstruction();
    bool mainDuring = true, plainDuring = true, formDuring = false;
    ModalWindowResponder responder([&](ModalWindow& w) {
        mainDuring = main->Widget()->isEnabled();
        plainDuring = plainQt->isEnabled();
        formDuring = form->Widget()->isEnabled();
        w.ClickButton("OK");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(mainDuring);
    EXPECT_FALSE(plainDuring);
    EXPECT_TRUE(formDuring);
    EXPECT_TRUE(main->Widget()->isEnabled());
    EXPECT_TRUE(plainQt->isEnabled());
    // What the program disabled stays disabled; a hidden window was never touched.
    EXPECT_FALSE(disabledByProgram->Widget()->isEnabled());
    EXPECT_TRUE(hidden->Widget()->isEnabled());
    delete plainQt;
}

TEST_F(ModalFormTest, AVisibleFormCannotBeMadeModal) {
    auto* form = new TQuestionForm(Application);
    form->AfterConstruction();
    form->Show();
    EXPECT_THROW(form->ShowModal(), rtl::Exception);
    EXPECT_TRUE(form->Visible());
}

TEST_F(ModalFormTest, TerminateEndsTheModalLoopWithCancel) {
    auto* form = new TQuestionForm(Application);
    form->AfterConstruction();
    ModalWindowResponder responder([&](ModalWindow&) { Application->Terminate(); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(responder.LeftOpen(), 0);
}

TEST_F(ModalFormTest, AMessageBoxOverTheFormIsAModalWindowToo) {
    auto* form = new TQuestionForm(Application);
    form->AfterConstruction();
    int answer = 0;
    form->Plain->OnClick = [&](TObject*) {
        answer = win::MessageBoxA(form->Handle(), "Create it?", "Confirm", win::MB_YESNO | win::MB_ICONQUESTION);
    };
    std::string boxText;
    ModalWindowResponder responder([&](ModalWindow& w) {
        if (w.Caption() == "Confirm") {
            boxText = w.Text();
            w.ClickButton("&No");
            return;
        }
        w.ClickButton("&Plain");
        w.ClickButton("Cancel");
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(answer, win::IDNO);
    EXPECT_EQ(boxText, "Create it?");
    EXPECT_EQ(responder.Captions(), (std::vector<std::string>{"Question", "Confirm"}));
}

TEST_F(ModalFormTest, AHandlerThatAsksTheUserMayTakeTheResultBack) {
    auto* form = new TQuestionForm(Application);
    form->AfterConstruction();
    // OK asks first; "&No" keeps the form open, as a handler of a real dialog does.
    form->Ok->OnClick = [&](TObject*) {
        if (win::MessageBoxA(form->Handle(), "Sure?", "Confirm", win::MB_YESNO) != win::IDYES)
            form->SetModalResult(mrNone);
    };
    const int answers[] = {win::IDNO, win::IDYES};
    int boxes = 0;
    bool openAfterNo = false;
    ModalWindowResponder responder([&](ModalWindow& w) {
        if (w.Caption() == "Confirm") {
            w.ClickButton(answers[boxes++] == win::IDYES ? "&Yes" : "&No");
            return;
        }
        w.ClickButton("OK");
        // The form does not close while messages are handled (as a user looks at it).
        openAfterNo = !WaitFor([&] { return !form->Visible(); }, 200);
        w.ClickButton("OK");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(boxes, 2);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(form->closes, 1);
}

} // namespace
