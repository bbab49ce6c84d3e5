// The Orvena window's close button ends the program at once: the message loop is told to end
// while the window is still open.

#include "MailInOX.h"

#include "support/MailInOkno.h"

#include <gtest/gtest.h>

namespace {

TEST(MailInOXZamknijTest, CloseButtonEndsTheProgram) {
    VL_PAK32::TForm3 okno(nullptr);
    okno.AfterConstruction();
    okno.OnActivate = nullptr;
    okno.Show();
    vcl::Application->ProcessMessages();
    ASSERT_FALSE(vcl::Application->Terminated());
    okno.ButZamknij->Click();
    EXPECT_TRUE(vcl::Application->Terminated());
    EXPECT_TRUE(okno.Visible());
}

} // namespace

int main(int argc, char** argv) {
    return mailin::UruchomTesty(argc, argv);
}
