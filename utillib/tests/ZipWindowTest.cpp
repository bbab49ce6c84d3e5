// The zip module from the inside: its rules as plain functions, and the progress window as the
// user sees it after a job (offscreen).

#include "VELTZipCode.h"
#include "VELTZipWindow.h"

#include <VL_LIB32.h>
#include <runtime/Cp1250.h>
#include <vcl/Application.h>
#include <vcl/testing/UserInput.h>

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <glib.h>
#include <QPointer>
#include <QWidget>

#include <climits>

using namespace VL_LIB32;
using rtl::operator""_w;

namespace {

TEST(ZipRules, LetterSetTakesRHSNInAnyCaseOnce) {
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"R", 0x01}, {"h", 0x02}, {"S", 0x04}, {"n", 0x20}, {"RHSN", 0x27}, {"rrNN", 0x21},
        {"xyz-ąŁ!", 0}, {"archive", 0x03}, // a, r, c, h, i, v, e: R and H
    };
    for (const auto& [letters, set] : cases)
        EXPECT_EQ(LetterSet(letters), set) << letters;
}

TEST(ZipRules, SelectionFollowsTheAttributeTable) {
    constexpr int R = 0x01, H = 0x02, S = 0x04, A = 0x20, N = 0x20;
    struct Case {
        int attributes, letters;
        bool packed;
    } cases[] = {
        {A, 0, true},          {A | R, 0, false},     {A | R, R, true},      {0, 0, false},
        {0, N, true},          {R, N, false},         {R, N | R, true},      {H, H, true},
        {H | R, H, false},     {H | R, H | R, true},  {S, S, true},          {H | S, H | S, true},
        {H | A, H | N, false}, {S | A, S | R | N, false}, {A | 0x80, 0, true}, // higher bits ignored
        {A | 0x08, 0, false},  // a volume bit no letter gives
    };
    for (const Case& c : cases)
        EXPECT_EQ(Selected(c.attributes, c.letters), c.packed) << std::hex << c.attributes << " " << c.letters;
}

TEST(ZipRules, FolderPartsOfMaskAndArchive) {
    const std::pair<const char*, const char*> sources[] = {
        {"C:\\Data\\*.txt", "C:\\Data\\"}, {"C:*.txt", "C:"}, {"*.txt", ""}, {"a\\b\\c", "a\\b\\"}};
    for (const auto& [mask, folder] : sources)
        EXPECT_EQ(SourceFolder(mask), folder) << mask;
    const std::pair<const char*, const char*> archives[] = {
        {"C:\\Out\\x.zip", "C:\\Out"}, {"C:\\x.zip", "C:\\"}, {"x.zip", ""}, {"C:\\a\\b\\x.zip", "C:\\a\\b"}};
    for (const auto& [name, folder] : archives)
        EXPECT_EQ(ArchiveFolder(name), folder) << name;
}

TEST(ZipRules, GroupDigitsCountsTheMinusSign) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"},          {999, "999"},         {1000, "1 000"},     {12345, "12 345"},
        {2147483647, "2 147 483 647"}, {-12, "-12"}, {-123, "- 123"}, {-1234, "-1 234"},
        {-999999, "- 999 999"}, {INT_MIN, "-2 147 483 648"},
    };
    for (const auto& [n, text] : cases)
        EXPECT_EQ(GroupDigits(n), text) << n;
}

TEST(ZipRules, PercentagesRoundHalfToEven) {
    struct Case {
        std::int32_t done, total;
        bool finished;
        const char* text;
    } cases[] = {
        {1, 3, false, "  33 %"},   {2, 3, false, "  67 %"},  {1, 8, false, "  12 %"},
        {3, 8, false, "  38 %"},   {8, 8, true, " 100 %"},   {5, 2, false, " 250 %"},
        {0, 0, false, "   0 %"},   {0, 0, true, " 100 %"},
        // 3 000 000 000 bytes, read as the unsigned count they are.
        {static_cast<std::int32_t>(1'500'000'000u), static_cast<std::int32_t>(3'000'000'000u), false, "  50 %"},
        {static_cast<std::int32_t>(3'000'000'000u), static_cast<std::int32_t>(3'000'000'000u), true, " 100 %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressText(Percentage(c.done, c.total, c.finished)), "Wykonano: \n"_w + c.text)
            << c.done << "/" << c.total;
    EXPECT_EQ(ProgressText(12345), "Wykonano: \n12345 %"_w);
}

TEST(ZipRules, EndTextAndCaption) {
    EXPECT_EQ(EndText(3, 1234567), "Gotowe: \nPlików = 3, Bajtów = 1 234 567"_w);
    EXPECT_EQ(EndText(0, static_cast<std::int32_t>(3'000'000'000u)), "Gotowe: \nPlików = 0, Bajtów = 3 000 000 000"_w);
    EXPECT_EQ(WindowCaption("C:\\PACZKI\\Żółw ABC.ZIP"_w), "c:\\paczki\\Żółw abc.zip"_w);
}

class ZipWindow_ : public ::testing::Test {
  protected:
    vltest::TempDir dir{"vlzipw"};
    vltest::ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};

    void SetUp() override {
        vltest::WriteFile(dir.File("a.txt"), std::string(70'000, 'a'));
        vltest::WriteFile(dir.File("b.txt"), std::string(1'234'567, 'b'));
    }
    void TearDown() override {
        for (auto& [window, widget] : m_made)
            if (!widget.isNull())
                delete window;
    }

    // The window the last call made, removed at the end of the test unless Esc removed it.
    TVELTZipWindow* made() {
        m_made.emplace_back(ZipWindow, QPointer<QWidget>(ZipWindow ? ZipWindow->Widget() : nullptr));
        return ZipWindow;
    }
    std::vector<std::pair<TVELTZipWindow*, QPointer<QWidget>>> m_made;

    static std::vector<QWidget*> shownWindows() {
        std::vector<QWidget*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                out.push_back(w);
        return out;
    }
};

TEST_F(ZipWindow_, AfterAJobShowsTheTotalsAtTheTopLeft) {
    std::int32_t window = 1;
    ASSERT_EQ(VELTZip("C:\\*.txt", "C:\\Out\\PACZKA.ZIP", "", 6, 0, 0, 0, &window), 0);
    TVELTZipWindow* w = made();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(static_cast<std::uintptr_t>(window), w->Handle());
    EXPECT_EQ(w->Caption(), "c:\\out\\paczka.zip");
    // The window's outer corner, the frame included, at the screen's corner.
    EXPECT_EQ(w->Left(), 2);
    EXPECT_EQ(w->Top(), 2);
    EXPECT_EQ(w->Widget()->frameGeometry().topLeft(), QPoint(2, 2));
    EXPECT_EQ(w->ClientWidth(), 292);
    EXPECT_EQ(w->ClientHeight(), 46);
    EXPECT_EQ(w->FormStyle(), vcl::fsStayOnTop);
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(w->StaticText1->Caption(), "Gotowe: \nPlików = 2, Bajtów = 1 304 567"_w);
    EXPECT_EQ(w->ProgressBar1->Max(), 1'304'567);
    EXPECT_EQ(w->ProgressBar1->Position(), 1'304'567);
    EXPECT_EQ(w->ProgressBar1->Height(), 15);
    EXPECT_EQ(w->ProgressBar1->Top(), 31);
    EXPECT_EQ(FilesDone, 2);
    EXPECT_EQ(BytesDone, 1'304'567);
    EXPECT_EQ(TotalBytes, 1'304'567);

    std::int32_t unzipWindow = 1;
    ASSERT_EQ(VELTUnZip("C:\\Out\\PACZKA.ZIP", "C:\\back\\", 0, 0, 0, 0, &unzipWindow), 0);
    ASSERT_NE(made(), w);
    EXPECT_EQ(ZipWindow->StaticText1->Caption(), "Gotowe: \nPlików = 2, Bajtów = 1 304 567"_w);
    EXPECT_EQ(static_cast<std::uintptr_t>(unzipWindow), ZipWindow->Handle());
}

TEST_F(ZipWindow_, NoWindowUnlessAskedAndNoneWhenNothingMatches) {
    TVELTZipWindow* before = ZipWindow;
    TotalBytes = 777;
    std::int32_t window = 1;
    EXPECT_EQ(VELTZip("C:\\*.none", "C:\\x.zip", "", 6, 0, 0, 0, &window), -1);
    EXPECT_EQ(window, 1);
    EXPECT_EQ(TotalBytes, 777);
    for (std::int32_t asked : {0, 2}) {
        std::int32_t w = asked;
        EXPECT_EQ(VELTZip("C:\\*.txt", "C:\\x.zip", "", 6, 0, 0, 0, &w), 0);
        EXPECT_EQ(w, asked);
    }
    EXPECT_EQ(ZipWindow, before);
    EXPECT_TRUE(shownWindows().empty());
}

TEST_F(ZipWindow_, TwoWindowsStayOpenAndEscRemovesOne) {
    std::int32_t first = 1, second = 1;
    ASSERT_EQ(VELTZip("C:\\a.txt", "C:\\one.zip", "", 6, 0, 0, 0, &first), 0);
    TVELTZipWindow* firstWindow = made();
    QPointer<QWidget> firstWidget = firstWindow->Widget();
    ASSERT_EQ(VELTZip("C:\\*.txt", "C:\\two.zip", "", 6, 0, 0, 0, &second), 0);
    TVELTZipWindow* secondWindow = made();
    QPointer<QWidget> secondWidget = secondWindow->Widget();
    EXPECT_EQ(shownWindows().size(), 2u);
    EXPECT_NE(first, second);
    // The second job updated only its own window.
    EXPECT_EQ(firstWindow->StaticText1->Caption(), "Gotowe: \nPlików = 1, Bajtów = 70 000"_w);
    EXPECT_EQ(secondWindow->StaticText1->Caption(), "Gotowe: \nPlików = 2, Bajtów = 1 304 567"_w);

    vcl::testing::PressKeyOn(*secondWindow, vcl::VK_ESCAPE);
    EXPECT_TRUE(vcl::testing::WaitFor([&] { return secondWidget.isNull(); }));
    EXPECT_EQ(ZipWindow, nullptr); // the reference to the window went with it
    ASSERT_FALSE(firstWidget.isNull());
    EXPECT_TRUE(firstWidget->isVisible());

    // A later call opens a new window as usual.
    std::int32_t third = 1;
    ASSERT_EQ(VELTZip("C:\\a.txt", "C:\\three.zip", "", 6, 0, 0, 0, &third), 0);
    ASSERT_NE(made(), nullptr);
    EXPECT_EQ(shownWindows().size(), 2u);
}

TEST_F(ZipWindow_, CloseBoxOnlyHides) {
    std::int32_t window = 1;
    ASSERT_EQ(VELTZip("C:\\a.txt", "C:\\one.zip", "", 6, 0, 0, 0, &window), 0);
    QPointer<QWidget> widget = made()->Widget();
    vcl::testing::ClickCloseBox(*ZipWindow);
    vcl::testing::ProcessMessagesFor(50);
    ASSERT_FALSE(widget.isNull());
    EXPECT_FALSE(widget->isVisible());
    EXPECT_NE(ZipWindow, nullptr);
}

TEST_F(ZipWindow_, LargeAndEmptyTotalsUpdateBarAndText) {
    for (std::uint32_t total : {3'000'000'000u, 0u}) {
        SCOPED_TRACE(total);
        TotalBytes = static_cast<std::int32_t>(total);
        BytesDone = 0;
        TVELTZipWindow* w = TVELTZipWindow::Open("test");
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->StaticText1->Caption(), "Wykonano: "_w);
        const std::uint32_t half = total / 2;
        w->ShowProgress(static_cast<std::int32_t>(half),
                        ProgressText(Percentage(static_cast<std::int32_t>(half), TotalBytes, false)));
        EXPECT_EQ(w->StaticText1->Caption(), total ? "Wykonano: \n  50 %"_w : "Wykonano: \n   0 %"_w);
        EXPECT_EQ(w->ProgressBar1->Max(), static_cast<int>(total / 2));
        EXPECT_EQ(w->ProgressBar1->Position(), static_cast<int>(half / 2));
        delete w;
    }
}

TEST_F(ZipWindow_, HostsGLibLoopServesTheWindowAfterTheCall) {
    std::int32_t window = 1;
    ASSERT_EQ(VELTZip("C:\\a.txt", "C:\\one.zip", "", 6, 0, 0, 0, &window), 0);
    TVELTZipWindow* w = made();
    QPointer<QWidget> widget = w->Widget();
    // A plain C host turns the GLib loop of its thread; Qt's events are dispatched by it.
    bool served = false;
    QTimer::singleShot(0, [&] { served = true; });
    w->Close(); // a close request, as the host may send to the handle: the window only hides
    for (int i = 0; i < 100 && !served; ++i)
        g_main_context_iteration(nullptr, FALSE);
    EXPECT_TRUE(served);
    ASSERT_FALSE(widget.isNull());
    EXPECT_FALSE(widget->isVisible());
}

} // namespace
