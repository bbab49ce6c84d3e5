// The controls one by one: values as the program sets them and what the widgets show.

#include "SampleForm.h"

#include <vcl/testing/UserInput.h>

#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>

#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace vcl;
using namespace vcl::testing;
using rtl::operator""_w;

namespace {

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override { Application->CreateForm(form); }
    void TearDown() override { Application->ResetForTesting(); }
    TSampleForm* form = nullptr;
};

struct GaugeCase {
    int min, max, progress, percent;
};

TEST_F(ControlsTest, GaugePercentDoneIsRoundedDownAndProgressStaysInRange) {
    const GaugeCase cases[] = {
        {0, 100, 0, 0},   {0, 100, 100, 100}, {0, 3, 1, 33}, {0, 3, 2, 66}, {0, 7, 7, 100},
        {10, 20, 15, 50}, {0, 4, 9, 100},     {0, 4, -3, 0}, {5, 5, 5, 0},
    };
    for (const auto& c : cases) {
        form->Gauge1->SetMinValue(0);
        form->Gauge1->SetMaxValue(c.max);
        form->Gauge1->SetMinValue(c.min);
        form->Gauge1->SetProgress(c.progress);
        EXPECT_EQ(form->Gauge1->PercentDone(), c.percent) << c.min << ".." << c.max << " at " << c.progress;
        EXPECT_GE(form->Gauge1->Progress(), c.min);
        EXPECT_LE(form->Gauge1->Progress(), c.max);
    }
    form->Gauge1->SetMinValue(0);
    form->Gauge1->SetMaxValue(2);
    form->Gauge1->SetProgress(0);
    form->Gauge1->AddProgress(1);
    form->Gauge1->AddProgress(1);
    EXPECT_EQ(form->Gauge1->Progress(), 2);
    EXPECT_EQ(form->Gauge1->PercentDone(), 100);
}

TEST_F(ControlsTest, ListViewInReportStyle) {
    for (auto [caption, width] : {std::pair{"Temat", 200}, {"Od", 150}, {"Data", 80}, {"Rozmiar", 60}}) {
        TListColumn* col = form->LV1->Columns().Add();
        col->SetCaption(caption);
        col->SetWidth(width);
    }
    TListItem* row = form->LV1->Items().Add();
    row->SetCaption("Przesyłka"_w);
    row->SubItems().Add("Jan <jan@example.com>");
    row->SubItems().Add("2024-01-02");
    row->SubItems().Add("1234");
    form->LV1->Items().Add()->SetCaption("inna");

    auto* tree = static_cast<QTreeWidget*>(form->LV1->Widget());
    ASSERT_EQ(tree->columnCount(), 4);
    EXPECT_EQ(tree->headerItem()->text(0), "Temat");
    EXPECT_EQ(tree->headerItem()->text(3), "Rozmiar");
    EXPECT_EQ(tree->columnWidth(0), 200);
    EXPECT_EQ(form->LV1->Columns()[1]->Width(), 150);
    ASSERT_EQ(form->LV1->Items().Count(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QString::fromUtf8("Przesyłka"));
    EXPECT_EQ(tree->topLevelItem(0)->text(3), "1234");
    EXPECT_EQ(form->LV1->Items()[0]->SubItems()[0], "Jan <jan@example.com>");
    EXPECT_EQ(form->LV1->Items()[1]->Index(), 1);
    EXPECT_EQ(tree->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(tree->topLevelItem(0)->flags() & Qt::ItemIsEditable);

    form->LV1->Items().Clear();
    EXPECT_EQ(form->LV1->Items().Count(), 0);
    EXPECT_EQ(tree->topLevelItemCount(), 0);
}

TEST_F(ControlsTest, ListBoxLinesAreWindows1250BytesAndSortedListsIgnoreCase) {
    TStrings& lines = form->LB1->Items();
    lines.Add("Rozłączono z serwerem."_w);
    EXPECT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines[0], "Rozłączono z serwerem."_w);
    auto* list = static_cast<QListWidget*>(form->LB1->Widget());
    EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("Rozłączono z serwerem."));
    EXPECT_THROW(lines[1], rtl::EListError);

    form->LB1->Items().Clear();
    form->LB1->SetSorted(true);
    for (const char* s : {"b.zip", "A.ZIP", "c.Zip", "a.zip"})
        form->LB1->Items().Add(s);
    std::vector<std::string> got;
    for (int i = 0; i < lines.Count(); ++i)
        got.push_back(lines[i]);
    EXPECT_EQ(got, (std::vector<std::string>{"A.ZIP", "a.zip", "b.zip", "c.Zip"}));
    EXPECT_EQ(lines.IndexOf("B.ZIP"), 2);
}

TEST_F(ControlsTest, PanelCaptionAndBevels) {
    form->Pan1->SetCaption("Eksport transakcji."_w);
    EXPECT_EQ(form->Pan1->Caption(), "Eksport transakcji.");
    EXPECT_EQ(form->Pan1->BevelOuter(), bvRaised);
    form->Pan1->SetBevelOuter(bvNone);
    form->Pan1->SetBevelInner(bvLowered);
    ASSERT_TRUE(ShowAndWait(*form));
    QImage picture = form->Pan1->Widget()->grab().toImage();
    // A lowered inner bevel: shadow on the top edge, highlight on the bottom edge.
    EXPECT_EQ(picture.pixelColor(10, 0), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(picture.pixelColor(10, picture.height() - 1), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(0xFF, 0xFB, 0xF0));
}

struct ColorCase {
    TColor color;
    std::uint32_t rgb;
};

TEST(Colors, ToolkitValuesResolveToRgb) {
    const ColorCase cases[] = {
        {clMoneyGreen, 0xC0DCC0}, {clSkyBlue, 0xF0CAA6}, {clCream, 0xF0FBFF}, {clBlue, 0xFF0000},
        {clBtnFace, 0xC8D0D4},    {clWindow, 0xFFFFFF},  {clWindowText, 0},   {clHighlight, 0x6A240A},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorToRGB(c.color), c.rgb) << std::hex << c.color;
    EXPECT_EQ(GetRValue(ColorToRGB(clSkyBlue)), 0xA6);
    EXPECT_EQ(GetBValue(ColorToRGB(clSkyBlue)), 0xF0);
}

TEST(Fonts, SizesAndFacesMapAsOnTheDesktop) {
    TFont f;
    EXPECT_EQ(f.Name(), "MS Sans Serif");
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Size(), 8);
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13);
    f.SetHeight(-19);
    EXPECT_EQ(f.PixelSize(), 19);
    EXPECT_EQ(f.HostFamily(), "Liberation Sans");
    f.SetName("Courier New");
    EXPECT_EQ(f.HostFamily(), "Liberation Mono");
    f.SetName("Times New Roman");
    EXPECT_EQ(f.HostFamily(), "Liberation Serif");
    f.SetName("Wingdings");
    EXPECT_EQ(f.HostFamily(), "DejaVu Sans");
}

} // namespace
