// A form's position under a window manager that draws a frame (openbox on a virtual display):
// Left/Top read and set the same corner, the outer one of the frame.

#include <vcl/Vcl.h>
#include <vcl/testing/UserInput.h>

#include <VirtualDisplay.h>

#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

using namespace vcl;
using namespace vcl::testing;

namespace {

std::string displayName;

// The value after `label` in xwininfo's report, "" when absent.
std::string field(const std::string& report, const std::string& label) {
    const auto at = report.find(label);
    if (at == std::string::npos)
        return "";
    std::istringstream in(report.substr(at + label.size()));
    std::string value;
    in >> value;
    return value;
}

// Where the X server has the outermost window that holds `window` (the frame the window
// manager put around it), on the screen, asked of the server itself rather than of Qt.
bool outerCorner(unsigned long window, int& x, int& y) {
    std::string id = std::to_string(window);
    for (int depth = 0; depth < 8; ++depth) {
        std::string tree;
        if (vltest::RunProgram({"/usr/bin/xwininfo", "-tree", "-id", id}, &tree,
                               {"DISPLAY=" + displayName}) != 0)
            return false;
        const std::string parent = field(tree, "Parent window id:");
        if (parent.empty())
            return false;
        if (parent == field(tree, "Root window id:")) {
            std::string info;
            if (vltest::RunProgram({"/usr/bin/xwininfo", "-id", id}, &info, {"DISPLAY=" + displayName}) != 0)
                return false;
            x = std::atoi(field(info, "Absolute upper-left X:").c_str());
            y = std::atoi(field(info, "Absolute upper-left Y:").c_str());
            return true;
        }
        id = parent;
    }
    return false;
}

class FormFrameTest : public ::testing::Test {
  protected:
    void TearDown() override { Application->ResetForTesting(); }
};

TEST_F(FormFrameTest, LeftAndTopReadAndSetTheOuterCornerOfTheFrame) {
    struct Step {
        const char* what;
        std::function<void(TForm&)> act;
        int left, top, width, height;
    };
    struct Case {
        const char* what;
        TFormBorderStyle border;
        bool framed;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"single border",
         bsSingle,
         true,
         {
             {"shown where set", [](TForm&) {}, 100, 80, 300, 200},
             {"SetLeft", [](TForm& f) { f.SetLeft(150); }, 150, 80, 300, 200},
             {"SetTop", [](TForm& f) { f.SetTop(120); }, 150, 120, 300, 200},
             {"SetWidth keeps the corner", [](TForm& f) { f.SetWidth(320); }, 150, 120, 320, 200},
             {"SetBounds", [](TForm& f) { f.SetBounds(40, 30, 250, 150); }, 40, 30, 250, 150},
             {"set to what it reads", [](TForm& f) { f.SetBounds(f.Left(), f.Top(), f.Width(), f.Height()); },
              40, 30, 250, 150},
             {"another border style", [](TForm& f) { f.SetBorderStyle(bsDialog); }, 40, 30, 250, 150},
         }},
        {"sizeable",
         bsSizeable,
         true,
         {
             {"shown where set", [](TForm&) {}, 100, 80, 300, 200},
             {"SetTop", [](TForm& f) { f.SetTop(60); }, 100, 60, 300, 200},
             {"SetHeight keeps the corner", [](TForm& f) { f.SetHeight(220); }, 100, 60, 300, 220},
         }},
        {"no border",
         bsNone,
         false,
         {
             {"shown where set", [](TForm&) {}, 100, 80, 300, 200},
             {"SetLeft", [](TForm& f) { f.SetLeft(10); }, 10, 80, 300, 200},
         }},
    };
    for (const Case& c : cases) {
        auto* form = new TForm(Application);
        form->SetCaption(c.what);
        form->SetBorderStyle(c.border);
        form->SetBounds(100, 80, 300, 200);
        ASSERT_TRUE(ShowAndWait(*form)) << c.what;
        QWidget* w = form->Widget();
        // The frame is there once the client area sits inside the outer corner.
        if (c.framed) {
            ASSERT_TRUE(WaitFor([&] { return w->geometry().y() > w->y(); }, 5000)) << c.what << ": no frame";
        }
        for (const Step& s : c.steps) {
            s.act(*form);
            const bool placed = WaitFor(
                [&] {
                    return form->Left() == s.left && form->Top() == s.top && form->Width() == s.width &&
                           form->Height() == s.height;
                },
                5000);
            EXPECT_TRUE(placed) << c.what << ", " << s.what << ": " << form->Left() << "," << form->Top()
                                << " " << form->Width() << "x" << form->Height();
            int x = -1, y = -1;
            ASSERT_TRUE(outerCorner(static_cast<unsigned long>(form->Handle()), x, y)) << c.what;
            EXPECT_EQ(x, s.left) << c.what << ", " << s.what << ": the X server's outer corner";
            EXPECT_EQ(y, s.top) << c.what << ", " << s.what << ": the X server's outer corner";
            const QRect client = w->geometry();
            EXPECT_EQ(client.width(), s.width) << c.what << ", " << s.what;
            if (c.framed) {
                EXPECT_GT(client.y(), s.top)
                    << c.what << ", " << s.what << ": the client area is below the title";
            } else {
                EXPECT_EQ(client.topLeft(), QPoint(s.left, s.top)) << c.what << ", " << s.what;
            }
        }
        form->Free();
    }
}

} // namespace

// The Qt application on X11 on a virtual display with openbox, unlike the other toolkit tests.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // A second try when the window manager was slow to come up on a busy machine.
    auto display = std::make_unique<vltest::VirtualDisplay>();
    if (!display->Started())
        display = std::make_unique<vltest::VirtualDisplay>();
    if (!display->Started()) {
        std::fprintf(stderr, "no virtual display: %s\n", display->Why().c_str());
        return 1;
    }
    displayName = display->Name();
    setenv("DISPLAY", displayName.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    vcl::Application->Initialize(argc, argv);
    const int rc = RUN_ALL_TESTS();
    vcl::Application->ShutdownForTesting();
    return rc;
}
