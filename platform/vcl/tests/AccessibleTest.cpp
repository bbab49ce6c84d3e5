// The painted controls as assistive tools see them: the role, the text as shown (kept current
// when the program changes it), the read-only text with its font and colours, and the press
// action of a speed button.

#include <vcl/Vcl.h>

#include <runtime/Cp1250.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QWidget>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

using namespace vcl;
using rtl::operator""_w;

namespace {

QAccessibleInterface* accessible(const TControl& c) {
    return QAccessible::queryAccessibleInterface(c.Widget());
}

std::string name(const TControl& c) {
    return accessible(c)->text(QAccessible::Name).toStdString();
}

std::string rgb(TColor color) {
    const std::uint32_t v = ColorToRGB(color);
    return "rgb(" + std::to_string(GetRValue(v)) + "," + std::to_string(GetGValue(v)) + "," +
           std::to_string(GetBValue(v)) + ")";
}

struct TextCase {
    const char* what;
    // Makes the control on the form with its first text, then changes it to the second.
    std::function<TControl*(TForm&)> make;
    std::function<void(TControl&)> change;
    QAccessible::Role role;
    std::string first;  // UTF-8
    std::string second; // UTF-8
    bool hasText;
};

class AccessibleTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(AccessibleTextTest, RoleAndTextFollowTheControl) {
    const TextCase& tc = GetParam();
    TForm form(nullptr);
    TControl* c = tc.make(form);
    ASSERT_NE(accessible(*c), nullptr);
    EXPECT_EQ(accessible(*c)->role(), tc.role);
    EXPECT_EQ(name(*c), tc.first);
    tc.change(*c);
    EXPECT_EQ(name(*c), tc.second);
    QAccessibleTextInterface* text = accessible(*c)->textInterface();
    ASSERT_EQ(text != nullptr, tc.hasText);
    if (text) {
        EXPECT_EQ(text->text(0, text->characterCount()).toStdString(), tc.second);
        EXPECT_EQ(text->characterCount(), QString::fromStdString(tc.second).size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    PaintedControls, AccessibleTextTest,
    ::testing::Values(TextCase{"label with an accelerator",
                               [](TForm& f) {
                                   auto* l = new TLabel(&f);
                                   l->SetCaption("&Host");
                                   return l;
                               },
                               [](TControl& c) { static_cast<TLabel&>(c).SetCaption("Proxy &Port && more"); },
                               QAccessible::StaticText, "Host", "Proxy Port & more", true},
                      TextCase{"label showing its ampersands",
                               [](TForm& f) {
                                   auto* l = new TLabel(&f);
                                   l->SetCaption("R&D");
                                   l->SetShowAccelChar(false);
                                   return l;
                               },
                               [](TControl& c) { static_cast<TLabel&>(c).SetShowAccelChar(true); },
                               QAccessible::StaticText, "R&D", "RD", true},
                      TextCase{"label over several lines",
                               [](TForm& f) {
                                   auto* l = new TLabel(&f);
                                   l->SetCaption("Program");
                                   return l;
                               },
                               [](TControl& c) {
                                   static_cast<TLabel&>(c).SetCaption(
                                       "\nTwój program:\r\n wersja: 8.10 , wyd. 3a, 12/05/03"_w);
                               },
                               QAccessible::StaticText, "Program",
                               "\nTwój program:\n wersja: 8.10 , wyd. 3a, 12/05/03", true},
                      TextCase{"static text emptied",
                               [](TForm& f) {
                                   auto* t = new TStaticText(&f);
                                   t->SetCaption("TextKomunikat");
                                   return t;
                               },
                               [](TControl& c) { static_cast<TStaticText&>(c).SetCaption(""); },
                               QAccessible::StaticText, "TextKomunikat", "", true},
                      TextCase{"static text with the verdict",
                               [](TForm& f) {
                                   auto* t = new TStaticText(&f);
                                   t->SetCaption("");
                                   return t;
                               },
                               [](TControl& c) {
                                   static_cast<TStaticText&>(c).SetCaption("Aktualizacja niepotrzebna");
                               },
                               QAccessible::StaticText, "", "Aktualizacja niepotrzebna", true},
                      TextCase{"speed button",
                               [](TForm& f) {
                                   auto* b = new TSpeedButton(&f);
                                   b->SetCaption("&Sprawdź"_w);
                                   return b;
                               },
                               [](TControl& c) { static_cast<TSpeedButton&>(c).SetCaption("&Koniec"); },
                               QAccessible::PushButton, "Sprawdź", "Koniec", false},
                      TextCase{"status bar",
                               [](TForm& f) {
                                   auto* s = new TStatusBar(&f);
                                   s->SetSimpleText("Serwer znaleziony");
                                   return s;
                               },
                               [](TControl& c) { static_cast<TStatusBar&>(c).SetSimpleText("2048 z 10240"); },
                               QAccessible::StatusBar, "Serwer znaleziony", "2048 z 10240", false}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
        std::string n;
        for (const char* p = info.param.what; *p; ++p)
            n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return n;
    });

TEST(AccessibleTest, AControlWithoutTextKeepsThePlatformsRole) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    ASSERT_NE(accessible(*panel), nullptr);
    EXPECT_NE(accessible(*panel)->role(), QAccessible::StaticText);
    EXPECT_EQ(accessible(*panel)->textInterface(), nullptr);
}

TEST(AccessibleTest, TextAttributesGiveTheFontAndTheColours) {
    TForm form(nullptr);
    auto* t = new TStaticText(&form);
    t->SetCaption("Zaktualizuj program!");
    t->SetColor(clInfoBk);
    t->Font().SetColor(clWindowText);
    t->Font().SetName("Arial");
    t->Font().SetSize(10);
    QAccessibleTextInterface* text = accessible(*t)->textInterface();
    ASSERT_NE(text, nullptr);
    int start = -1, end = -1;
    EXPECT_EQ(text->attributes(3, &start, &end).toStdString(),
              "font-family:Arial;font-size:10pt;font-weight:400;font-style:normal;color:" +
                  rgb(clWindowText) + ";background-color:" + rgb(clInfoBk) + ";");
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 20);

    t->SetColor(clBtnFace);
    t->Font().SetStyle({fsUnderline, fsBold, fsItalic});
    EXPECT_EQ(text->attributes(0, &start, &end).toStdString(),
              "font-family:Arial;font-size:10pt;font-weight:700;font-style:italic;"
              "text-underline-style:solid;text-underline-type:single;color:" +
                  rgb(clWindowText) + ";background-color:" + rgb(clBtnFace) + ";");
}

TEST(AccessibleTest, ALabelLetsItsParentsColourThrough) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetColor(clInfoBk);
    auto* l = new TLabel(panel);
    l->SetParent(panel);
    l->SetCaption("Informacja o nowościach:"_w);
    int start = 0, end = 0;
    const std::string attrs = accessible(*l)->textInterface()->attributes(0, &start, &end).toStdString();
    EXPECT_NE(attrs.find("background-color:" + rgb(clInfoBk) + ";"), std::string::npos) << attrs;
    l->SetColor(clWhite);
    const std::string own = accessible(*l)->textInterface()->attributes(0, &start, &end).toStdString();
    EXPECT_NE(own.find("background-color:" + rgb(clWhite) + ";"), std::string::npos) << own;
}

TEST(AccessibleTest, PressingASpeedButtonClicksItWhileEnabled) {
    TForm form(nullptr);
    auto* b = new TSpeedButton(&form);
    b->SetCaption("&Sprawdź"_w);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    QAccessibleActionInterface* action = accessible(*b)->actionInterface();
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    EXPECT_FALSE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
}

} // namespace
