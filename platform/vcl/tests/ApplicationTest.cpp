// The application object: the default error dialog, message boxes and the message loop.

#include "SampleForm.h"

#include <vcl/testing/MessageBoxResponder.h>
#include <vcl/testing/UserInput.h>

#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>
#include <runtime/MessagePump.h>

#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

using namespace vcl;
using namespace vcl::testing;
using rtl::operator""_w;

namespace {

class ApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override { Application->SetTitle("VL_NEW32"); }
    void TearDown() override { Application->ResetForTesting(); }
};

struct ErrorCase {
    std::string message;
    std::string shown;
};

class DefaultErrorDialog : public ApplicationTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(DefaultErrorDialog, ShowsTheMessageOfAnExceptionThatLeftAHandler) {
    TSampleForm* form = Application->CreateForm<TSampleForm>();
    form->ButZamknij->SetVisible(true);
    int presses = 0;
    form->ButZamknij->OnClick = [&](TObject*) {
        ++presses;
        throw rtl::EConvertError(GetParam().message);
    };
    ASSERT_TRUE(ShowAndWait(*form));

    MessageBoxResponder boxes(win::IDOK);
    ClickControl(*form->ButZamknij);
    EXPECT_EQ(presses, 1);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes[0].text, GetParam().shown);
    EXPECT_EQ(boxes[0].caption, "VL_NEW32");
    EXPECT_EQ(boxes[0].type, win::MB_OK | win::MB_ICONERROR);
    EXPECT_EQ(boxes[0].owner, form->Handle());

    // The loop goes on: the next press is handled again, once.
    ClickControl(*form->ButZamknij);
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(boxes.Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Texts, DefaultErrorDialog,
                         ::testing::Values(ErrorCase{"a", "a."}, ErrorCase{"x)", "x)"}, ErrorCase{"", ""},
                                           ErrorCase{"Gotowe.", "Gotowe."}, ErrorCase{"1-", "1-"},
                                           ErrorCase{"wersja 2/", "wersja 2/."},
                                           ErrorCase{"Błąd"_w, "Błąd."_w},
                                           ErrorCase{"zaś"_w, "zaś."_w}, // 0x9C sorts after "."
                                           ErrorCase{"(1)", "(1)"}));

TEST_F(ApplicationTest, StandardExceptionsReachTheDialogToo) {
    MessageBoxResponder boxes;
    EXPECT_FALSE(Application->Dispatch([] { throw std::runtime_error("Connection refused"); }));
    EXPECT_TRUE(Application->Dispatch([] {}));
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes[0].text, "Connection refused.");
    EXPECT_EQ(boxes[0].owner, 0u); // no main window yet
}

TEST_F(ApplicationTest, MessageBoxesAreRecordedAndAnswered) {
    TSampleForm* form = Application->CreateForm<TSampleForm>();
    MessageBoxResponder boxes([](const MessageBoxRecord& box) {
        return (box.type & 0xF) == win::MB_YESNO ? win::IDNO : win::IDOK;
    });
    EXPECT_EQ(win::MessageBoxA(0, "Brak wysylki", "Błąd"_w.c_str(), win::MB_OK), win::IDOK);
    EXPECT_EQ(Application->MessageBox("Usunąć?"_w, "Uwaga", win::MB_YESNO | win::MB_ICONQUESTION), win::IDNO);
    ASSERT_EQ(boxes.Count(), 2);
    EXPECT_EQ(boxes[0].owner, 0u);
    EXPECT_EQ(boxes[0].text, "Brak wysylki");
    EXPECT_EQ(boxes[0].caption, "B\xB3\xB9"
                                "d");
    EXPECT_EQ(boxes[0].type, win::MB_OK);
    EXPECT_EQ(boxes[1].owner, form->Handle());
    EXPECT_NE(boxes[1].owner, 0u);
    EXPECT_EQ(boxes[1].caption, "Uwaga");
    EXPECT_EQ(boxes[1].type, win::MB_YESNO | win::MB_ICONQUESTION);
}

TEST_F(ApplicationTest, RespondersNestAndTheInnerOneAnswers) {
    MessageBoxResponder outer(win::IDCANCEL);
    {
        MessageBoxResponder inner(win::IDRETRY);
        EXPECT_EQ(win::MessageBoxA(0, "x", "y", win::MB_RETRYCANCEL), win::IDRETRY);
    }
    EXPECT_EQ(win::MessageBoxA(0, "x", "y", win::MB_RETRYCANCEL), win::IDCANCEL);
    EXPECT_EQ(outer.Count(), 1);
}

TEST_F(ApplicationTest, RunReturnsOnlyAfterTheHandlerThatWasRunningWhenTheWindowClosed) {
    TSampleForm* form = Application->CreateForm<TSampleForm>();
    std::vector<std::string> order;
    form->OnActivate = [&](TObject*) {
        order.push_back("run starts");
        // The user closes the window while the run waits on the network.
        QTimer::singleShot(20, [&] {
            order.push_back("close box");
            ClickCloseBox(*form);
        });
        for (int i = 0; i < 40; ++i) {
            rtl::PumpMessages();
            QThread::msleep(5);
        }
        order.push_back("run ends");
    };
    QTimer::singleShot(10000, [] { Application->Terminate(); }); // a safety net only
    Application->Run();
    order.push_back("Run returned");
    EXPECT_EQ(order, (std::vector<std::string>{"run starts", "close box", "run ends", "Run returned"}));
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(ApplicationTest, TerminateBeforeRunEndsAtOnce) {
    TSampleForm* form = Application->CreateForm<TSampleForm>();
    Application->Terminate();
    Application->Run();
    EXPECT_FALSE(form->Widget()->isVisible());
    EXPECT_EQ(form->activations, 0);
}

TEST_F(ApplicationTest, TheFirstFormIsTheMainFormAndOnCreateFollowsTheConstructor) {
    struct TCreated : TForm {
        explicit TCreated(TComponent* owner) : TForm(owner) {
            OnCreate = [this](TObject* sender) { createdBy = sender; };
        }
        TObject* createdBy = nullptr;
    };
    TCreated* first = nullptr;
    Application->CreateForm(first);
    TCreated* second = Application->CreateForm<TCreated>();
    EXPECT_EQ(Application->MainForm(), first);
    EXPECT_EQ(first->createdBy, first);
    EXPECT_EQ(second->createdBy, second);
}

TEST_F(ApplicationTest, AProgramThatEndsWithItsFormsOpenExitsCleanlyAndRaisesOnDestroy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TSampleForm* form = Application->CreateForm<TSampleForm>();
            form->LB1->Items().Add("Gotowe ....");
            form->OnDestroy = [](TObject*) { std::fputs("OnDestroy\n", stderr); };
            form->OnActivate = [](TObject*) { Application->Terminate(); };
            Application->Run();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "OnDestroy");
}

TEST_F(ApplicationTest, ProcessMessagesIsTheRuntimesPump) {
    ASSERT_TRUE(rtl::HasMessagePump());
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    rtl::PumpMessages();
    EXPECT_TRUE(ran);
}

} // namespace
