// The standard controls as the windows use them: edits, labels, static texts, check boxes,
// speed buttons, bevels, progress and status bars, and the keys that reach them.

#include <vcl/testing/UserInput.h>
#include <vcl/Vcl.h>

#include <runtime/Cp1250.h>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vcl;
using namespace vcl::testing;
using rtl::operator""_w;

namespace {

// The "Parametry" tab of the update detector in small: edits with labels, a proxy box.
class TParamForm : public TForm {
  public:
    explicit TParamForm(TComponent* owner) : TForm(owner) {
        SetBounds(0, 0, 446, 323);
        LabelHost = new TLabel(this);
        LabelHost->SetCaption("&Host");
        LabelHost->SetBounds(8, 8, 60, 13);
        EditHost = new TEdit(this);
        EditHost->SetBounds(80, 8, 150, 21);
        EditPassword = new TEdit(this);
        EditPassword->SetBounds(80, 36, 150, 21);
        EditPassword->SetPasswordChar('*');
        EditPassword->SetEnabled(false);
        CheckBoxProxy = new TCheckBox(this);
        CheckBoxProxy->SetCaption("&Użyj Proxy"_w);
        CheckBoxProxy->SetBounds(8, 64, 120, 17);
        CheckBoxProxy->OnClick = [this](TObject*) {
            log.push_back(CheckBoxProxy->Checked() ? "checked" : "clear");
            EditProxy->SetEnabled(CheckBoxProxy->Checked());
        };
        EditProxy = new TEdit(this);
        EditProxy->SetBounds(80, 90, 150, 21);
        SpeedDownload = new TSpeedButton(this);
        SpeedDownload->SetCaption("&Sprawdź"_w);
        SpeedDownload->SetFlat(true);
        SpeedDownload->SetBounds(250, 8, 180, 25);
        SpeedDownload->OnClick = [this](TObject*) { log.push_back("sprawdz"); };
        SpeedProgramOld = new TSpeedButton(this);
        SpeedProgramOld->SetFlat(true);
        SpeedProgramOld->SetBounds(250, 40, 23, 22);
        SpeedProgramOld->SetHint("Powinieneś zaktualizować program"_w);
        Ok = new TButton(this);
        Ok->SetCaption("OK");
        Ok->SetDefault(true);
        Ok->SetBounds(250, 100, 75, 25);
        Ok->OnClick = [this](TObject*) { log.push_back("ok"); };
        Status = new TStatusBar(this);
        Progress = new TProgressBar(this);
        Progress->SetBounds(8, 200, 200, 16);
    }
    TLabel* LabelHost;
    TEdit* EditHost;
    TEdit* EditPassword;
    TCheckBox* CheckBoxProxy;
    TEdit* EditProxy;
    TSpeedButton* SpeedDownload;
    TSpeedButton* SpeedProgramOld;
    TButton* Ok;
    TStatusBar* Status;
    TProgressBar* Progress;
    std::vector<std::string> log;
};

class StandardControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->CreateForm(form);
        ASSERT_TRUE(ShowAndWait(*form));
    }
    void TearDown() override { Application->ResetForTesting(); }
    TParamForm* form = nullptr;
};

TEST_F(StandardControlsTest, CheckBoxClickRunsOnEveryChangeOfStateWhoeverMadeIt) {
    struct Step {
        const char* what;
        std::function<void(TParamForm&)> act;
        std::vector<std::string> log;
        bool proxyEnabled;
    };
    const Step steps[] = {
        {"program checks", [](TParamForm& f) { f.CheckBoxProxy->SetChecked(true); }, {"checked"}, true},
        {"program checks again", [](TParamForm& f) { f.CheckBoxProxy->SetChecked(true); }, {"checked"}, true},
        {"program clears", [](TParamForm& f) { f.CheckBoxProxy->SetChecked(false); }, {"checked", "clear"}, false},
        {"user clicks", [](TParamForm& f) { ClickControl(*f.CheckBoxProxy); }, {"checked", "clear", "checked"}, true},
        {"accelerator", [](TParamForm& f) { PressKeyOn(f, 'U', {ssAlt}); }, {"checked", "clear", "checked", "clear"}, false},
        {"space", [](TParamForm& f) { PressKey(*f.CheckBoxProxy, VK_SPACE); },
         {"checked", "clear", "checked", "clear", "checked"}, true},
    };
    for (const Step& s : steps) {
        s.act(*form);
        EXPECT_EQ(form->log, s.log) << s.what;
        EXPECT_EQ(form->EditProxy->Enabled(), s.proxyEnabled) << s.what;
    }
    EXPECT_EQ(form->CheckBoxProxy->WidgetAs<QCheckBox>()->text(), QString::fromUtf8("&Użyj Proxy"));
}

TEST_F(StandardControlsTest, AcceleratorsReachSpeedButtonsLabelsAndCheckBoxes) {
    form->Ok->SetFocus();
    PressKeyOn(*form, 'S', {ssAlt});
    EXPECT_EQ(form->log, (std::vector<std::string>{"sprawdz"})) << "speed button clicked";
    EXPECT_TRUE(form->Ok->Focused()) << "a speed button takes no focus";

    PressKeyOn(*form, 'H', {ssAlt});
    EXPECT_FALSE(form->EditHost->Focused()) << "a label without focus control does nothing";
    form->LabelHost->SetFocusControl(form->EditHost);
    PressKeyOn(*form, 'H', {ssAlt});
    EXPECT_TRUE(form->EditHost->Focused()) << "the label's focus control";

    form->SpeedDownload->SetEnabled(false);
    PressKeyOn(*form, 'S', {ssAlt});
    EXPECT_EQ(form->log.size(), 1u) << "a disabled speed button ignores its accelerator";
}

TEST_F(StandardControlsTest, SpeedButtonWithoutHandlerIsAnIconWithAHint) {
    form->SetShowHint(true);
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::red);
    form->SpeedProgramOld->SetGlyph(glyph);
    ClickControl(*form->SpeedProgramOld);
    EXPECT_TRUE(form->log.empty());
    EXPECT_EQ(form->SpeedProgramOld->Widget()->toolTip(), QString::fromUtf8("Powinieneś zaktualizować program"));
    const QImage shown = form->SpeedProgramOld->Widget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(11, 11), QColor(Qt::red)) << "the glyph in the middle";

    ClickControl(*form->SpeedDownload);
    EXPECT_EQ(form->log, (std::vector<std::string>{"sprawdz"}));
}

TEST_F(StandardControlsTest, EnterGoesToTheDefaultButtonUnlessTheEditKeepsIt) {
    std::string pressed;
    form->EditHost->OnKeyPress = [&](TObject*, char& k) { pressed += k; };
    form->EditHost->SetFocus();
    PressKeyOn(*form, VK_RETURN);
    EXPECT_EQ(form->log, (std::vector<std::string>{"ok"}));
    EXPECT_EQ(pressed, "");
    form->EditHost->SetWantReturns(true);
    PressKeyOn(*form, VK_RETURN);
    EXPECT_EQ(form->log, (std::vector<std::string>{"ok"})) << "kept by the edit";
    EXPECT_EQ(pressed, "\r");
}

TEST_F(StandardControlsTest, EditTextPasswordAndSelection) {
    int changes = 0;
    form->EditHost->OnChange = [&](TObject*) { ++changes; };
    form->EditHost->SetText("ftp.łódź.pl"_w);
    EXPECT_EQ(form->EditHost->Text(), "ftp.łódź.pl"_w);
    EXPECT_EQ(changes, 1);
    form->EditHost->SelectAll();
    EXPECT_EQ(form->EditHost->SelText(), "ftp.łódź.pl"_w);
    form->EditHost->SetFocus();
    TypeText(*form, "x");
    EXPECT_EQ(form->EditHost->Text(), "x") << "typing replaces the selection";
    EXPECT_EQ(changes, 2);

    form->EditPassword->SetText("kontakt@example.pl");
    auto* pw = form->EditPassword->WidgetAs<QLineEdit>();
    EXPECT_EQ(pw->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(pw->isEnabled());
    EXPECT_EQ(form->EditPassword->Text(), "kontakt@example.pl");
}

TEST_F(StandardControlsTest, ProgressBarPositionsBeyondSixteenBits) {
    struct Case {
        int max, position, shown;
    };
    const Case cases[] = {{100, 50, 50}, {1000000, 65536, 65536}, {1000000, 999999, 999999},
                          {70000, 80000, 70000}, {70000, -5, 0}};
    for (const Case& c : cases) {
        form->Progress->SetMax(c.max);
        form->Progress->SetPosition(c.position);
        EXPECT_EQ(form->Progress->Position(), c.shown);
        EXPECT_EQ(form->Progress->WidgetAs<QProgressBar>()->value(), c.shown);
        EXPECT_EQ(form->Progress->WidgetAs<QProgressBar>()->maximum(), c.max);
    }
}

TEST_F(StandardControlsTest, StatusBarShowsOneSimpleTextAtTheBottom) {
    EXPECT_EQ(form->Status->Height(), 19);
    EXPECT_EQ(form->Status->Top(), form->ClientHeight() - 19);
    EXPECT_EQ(form->Status->Width(), form->ClientWidth());
    form->Status->Font().SetColor(clBlack);
    form->Status->SetSimpleText("2048 z 10240");
    EXPECT_EQ(form->Status->SimpleText(), "2048 z 10240");
    form->Status->SetSimpleText("Serwer znaleziony");
    EXPECT_EQ(form->Status->SimpleText(), "Serwer znaleziony");
    const QImage img = form->Status->Widget()->grab().toImage();
    int dark = 0;
    for (int x = 2; x < 120; ++x)
        for (int y = 4; y < 17; ++y)
            dark += img.pixelColor(x, y).lightness() < 80;
    EXPECT_GT(dark, 20) << "the text is drawn";
}

TEST_F(StandardControlsTest, LabelsAndStaticTextsShareTheCaptionRules) {
    auto* label = new TLabel(form);
    auto* text = new TStaticText(form);
    text->SetAutoSize(true);
    struct Kind {
        const char* what;
        TControl* control;
        std::function<void(const std::string&)> setCaption;
        std::function<void(bool)> setShowAccelChar;
        std::function<void(TWinControl*)> setFocusControl;
    };
    const Kind kinds[] = {
        {"label", label, [&](const std::string& c) { label->SetCaption(c); },
         [&](bool v) { label->SetShowAccelChar(v); }, [&](TWinControl* f) { label->SetFocusControl(f); }},
        {"static text", text, [&](const std::string& c) { text->SetCaption(c); },
         [&](bool v) { text->SetShowAccelChar(v); }, [&](TWinControl* f) { text->SetFocusControl(f); }},
    };
    for (const Kind& k : kinds) {
        form->LabelHost->SetFocusControl(nullptr); // the form's own label keeps out of the way
        k.setCaption("&Proxy");
        k.setFocusControl(form->EditProxy);
        const int underlined = k.control->Width();
        form->Ok->SetFocus();
        PressKeyOn(*form, 'P', {ssAlt});
        EXPECT_TRUE(form->EditProxy->Focused()) << k.what << ": the accelerator moves the focus";

        k.setShowAccelChar(false);
        EXPECT_GT(k.control->Width(), underlined) << k.what << ": the \"&\" now takes room";
        form->Ok->SetFocus();
        PressKeyOn(*form, 'P', {ssAlt});
        EXPECT_TRUE(form->Ok->Focused()) << k.what << ": no accelerator while the \"&\" shows";
        k.setShowAccelChar(true);
        EXPECT_EQ(k.control->Width(), underlined) << k.what;

        form->EditProxy->SetEnabled(false);
        form->Ok->SetFocus();
        PressKeyOn(*form, 'P', {ssAlt});
        EXPECT_TRUE(form->Ok->Focused()) << k.what << ": a disabled focus control takes nothing";
        form->EditProxy->SetEnabled(true);
        k.setFocusControl(nullptr);
        k.setCaption("");
    }

    // The same caption in the same font measures the same, a static text's border added.
    label->SetCaption("Serwer FTP");
    text->SetCaption("Serwer FTP");
    const struct {
        TStaticBorderStyle border;
        int extra;
    } borders[] = {{sbsNone, 0}, {sbsSingle, 2}, {sbsSunken, 4}};
    for (const auto& b : borders) {
        text->SetBorderStyle(b.border);
        EXPECT_EQ(text->Width(), label->Width() + b.extra) << b.extra;
        EXPECT_EQ(text->Height(), label->Height() + b.extra) << b.extra;
    }
}

TEST_F(StandardControlsTest, LabelsAndStaticTexts) {
    auto* label = new TLabel(form);
    label->SetCaption("Zdalny plik");
    const int natural = label->Width();
    EXPECT_GT(natural, 30) << "auto-sized to its text";
    label->SetCaption("Zdalny plik, dłuższy");
    EXPECT_GT(label->Width(), natural);
    label->SetAutoSize(false);
    label->SetWidth(200);
    label->SetCaption("x");
    EXPECT_EQ(label->Width(), 200);

    auto* text = new TStaticText(form);
    text->SetBounds(0, 0, 180, 106);
    text->SetAlignment(taCenter);
    text->SetCaption("\nTwój program:\n 6.1"_w);
    EXPECT_EQ(text->Width(), 180) << "no auto-size";
    EXPECT_EQ(text->Height(), 106);
    EXPECT_FALSE(text->TabStop());
}

} // namespace
