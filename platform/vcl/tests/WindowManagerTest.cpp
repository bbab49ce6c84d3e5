// Forms under a real window manager (openbox on a virtual display): what a form's border style
// and icons ask of it, what it then allows, and a frameless form maximised over the whole screen.

#include <vcl/Application.h>
#include <vcl/Form.h>
#include <vcl/testing/UserInput.h>

#include <VirtualDisplay.h>

#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace vcl;

namespace {

vltest::VirtualDisplay* display = nullptr;

// The Motif hints' function and decoration bits a window manager reads for the frame's buttons.
constexpr unsigned kMotifMinimize = 0x08, kMotifMaximize = 0x10;
constexpr unsigned kDecorationMinimize = 0x20, kDecorationMaximize = 0x40, kDecorationTitle = 0x08;

struct MotifHints {
    unsigned functions = 0;
    unsigned decorations = 0;
};

bool parseMotifHints(const std::string& value, MotifHints* hints) {
    std::vector<unsigned> fields;
    std::istringstream in(value);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(static_cast<unsigned>(std::strtoul(field.c_str(), nullptr, 16)));
    if (fields.size() < 3)
        return false;
    hints->functions = fields[1];
    hints->decorations = fields[2];
    return true;
}

std::string windowOf(TForm& form) {
    return std::to_string(form.Widget()->winId());
}

class WindowManagerTest : public ::testing::Test {
  protected:
    void TearDown() override { Application->ResetForTesting(); }

    // Shows the form and waits until openbox manages it (it then publishes what it allows).
    std::string showManaged(TForm& form) {
        form.Show();
        const std::string window = windowOf(form);
        EXPECT_TRUE(vcl::testing::WaitFor(
            [&] { return !display->Property(window, "_NET_WM_ALLOWED_ACTIONS").empty(); }, 10000));
        return window;
    }
};

struct BorderCase {
    const char* name;
    TFormBorderStyle style;
    TBorderIcons icons;
    bool askedMinimize, askedMaximize; // in the hints the form gives
    bool maximizable, resizable;       // what openbox allows then
};

class BorderTest : public WindowManagerTest, public ::testing::WithParamInterface<BorderCase> {};

TEST_P(BorderTest, TheHintsAskForTheIconsAndTheWindowManagerFollows) {
    const BorderCase& c = GetParam();
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetBorderStyle(c.style);
    form->SetBorderIcons(c.icons);
    form->SetBounds(40, 40, 300, 200);
    const std::string window = showManaged(*form);

    MotifHints hints;
    ASSERT_TRUE(parseMotifHints(display->Property(window, "_MOTIF_WM_HINTS"), &hints));
    if (c.style == bsNone) {
        EXPECT_EQ(hints.decorations & kDecorationTitle, 0u) << "no title bar";
    } else {
        EXPECT_EQ((hints.functions & kMotifMinimize) != 0, c.askedMinimize);
        EXPECT_EQ((hints.decorations & kDecorationMinimize) != 0, c.askedMinimize);
        EXPECT_EQ((hints.functions & kMotifMaximize) != 0, c.askedMaximize);
        EXPECT_EQ((hints.decorations & kDecorationMaximize) != 0, c.askedMaximize);
    }
    const std::string allowed = display->Property(window, "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_EQ(allowed.find("_NET_WM_ACTION_MAXIMIZE_HORZ") != std::string::npos, c.maximizable) << allowed;
    EXPECT_EQ(allowed.find("_NET_WM_ACTION_RESIZE") != std::string::npos, c.resizable) << allowed;
}

INSTANTIATE_TEST_SUITE_P(
    Styles, BorderTest,
    ::testing::Values(
        BorderCase{"SingleWithMinimize", bsSingle, {biSystemMenu, biMinimize}, true, false, false, false},
        BorderCase{"SingleWithBoth", bsSingle, {biSystemMenu, biMinimize, biMaximize}, true, true, false, false},
        BorderCase{"Sizeable", bsSizeable, {biSystemMenu, biMinimize, biMaximize}, true, true, true, true},
        BorderCase{"SizeableWithoutIcons", bsSizeable, {biSystemMenu}, false, false, true, true},
        BorderCase{"Dialog", bsDialog, {biSystemMenu, biMinimize, biMaximize}, false, false, false, false},
        // Without a frame there is no edge to drag, but a program may still maximise it.
        BorderCase{"None", bsNone, {biSystemMenu, biMinimize, biMaximize}, false, false, true, true}),
    [](const ::testing::TestParamInfo<BorderCase>& info) { return std::string(info.param.name); });

TEST_F(WindowManagerTest, AFramelessFormMaximisedCoversTheWholeScreenEachTimeItShows) {
    TForm* main = nullptr;
    TForm* form = nullptr;
    Application->CreateForm(main);
    Application->CreateForm(form);
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 100, 292, 273);
    const vltest::WindowGeometry screen{0, 0, 1024, 768};
    for (int time = 1; time <= 2; ++time) {
        form->SetWindowState(wsMaximized);
        const std::string window = showManaged(*form);
        vltest::WindowGeometry g;
        EXPECT_TRUE(vcl::testing::WaitFor([&] { return display->Geometry(window, &g) && g == screen; }, 10000))
            << "time " << time << ": " << g.x << "," << g.y << " " << g.width << "x" << g.height;
        EXPECT_TRUE(vcl::testing::WaitFor([&] { return form->Width() == 1024 && form->Height() == 768; }))
            << form->Width() << "x" << form->Height();
        EXPECT_EQ(form->WindowState(), wsMaximized);
        form->Hide();
        ASSERT_TRUE(vcl::testing::WaitFor(
            [&] {
                const std::vector<std::string> shown = display->VisibleWindows(::getpid());
                return std::find(shown.begin(), shown.end(), window) == shown.end();
            },
            10000));
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    auto virtualDisplay = std::make_unique<vltest::VirtualDisplay>();
    if (!virtualDisplay->Started()) {
        std::fprintf(stderr, "no virtual display: %s\n", virtualDisplay->Why().c_str());
        return 1;
    }
    display = virtualDisplay.get();
    ::setenv("DISPLAY", display->Name().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // No session bus: an autolaunched one would outlive the test, and Qt's bus thread leaves
    // its read buffer behind at exit.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    Application->Initialize(argc, argv);
    const int rc = RUN_ALL_TESTS();
    Application->ShutdownForTesting();
    return rc;
}
