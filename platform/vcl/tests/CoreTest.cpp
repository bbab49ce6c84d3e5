// The toolkit's core as controls build on it: key routing through the accelerator and
// wanted-key hooks, the client rectangle, hints, cursors, mouse and focus events, and the
// lifetime guard of components.

#include <vcl/testing/UserInput.h>
#include <vcl/Vcl.h>

#include <runtime/Cp1250.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vcl;
using namespace vcl::testing;
using rtl::operator""_w;

namespace {

// A control with a caption that takes its accelerator, as labels and speed buttons do.
class Mark : public TControl {
  public:
    Mark(TComponent* owner, std::string caption) : TControl(owner, new QWidget()), caption(std::move(caption)) {
        SetClickEvents(true);
    }
    bool DialogChar(WORD key, TShiftState shift) override {
        if (shift != TShiftState{ssAlt} || caption.size() < 2 || key != static_cast<WORD>(caption[1]))
            return false;
        ++accels;
        return true;
    }
    std::string caption; // "&X..."
    int accels = 0;
};

// A focusable control that keeps Enter for itself when told to.
class Field : public TWinControl {
  public:
    explicit Field(TComponent* owner) : TWinControl(owner, new QWidget()) {
        Widget()->setFocusPolicy(Qt::StrongFocus);
    }
    bool WantsKey(WORD key, TShiftState) const override { return keepEnter && key == VK_RETURN; }
    bool keepEnter = false;
};

class TCoreForm : public TForm {
  public:
    explicit TCoreForm(TComponent* owner) : TForm(owner) {
        SetBounds(0, 0, 300, 200);
        Pan = new TPanel(this);
        Pan->SetBounds(10, 10, 153, 114);
        Pan->SetBevelInner(bvLowered);
        Inner = new TPanel(Pan);
        Inner->SetAlign(alClient);
        Inner->SetBevelOuter(bvNone);
        Plik = new Mark(this, "&Plik");
        Koniec = new Mark(Pan, "&Koniec");
        Edit = new Field(this);
        Edit->SetBounds(170, 10, 100, 20);
        Ok = new TButton(this);
        Ok->SetCaption("OK");
        Ok->SetDefault(true);
        Ok->SetBounds(170, 40, 75, 25);
        Ok->OnClick = [this](TObject*) { ++okClicks; };
    }
    TPanel* Pan;
    TPanel* Inner;
    Mark* Plik;
    Mark* Koniec;
    Field* Edit;
    TButton* Ok;
    int okClicks = 0;
};

class CoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->CreateForm(form);
        ASSERT_TRUE(ShowAndWait(*form));
    }
    void TearDown() override { Application->ResetForTesting(); }
    TCoreForm* form = nullptr;
};

TEST_F(CoreTest, AcceleratorsReachEveryControlThatCarriesThem) {
    form->Edit->SetFocus();
    struct Case {
        WORD key;
        TShiftState shift;
        int plik, koniec;
    };
    const Case cases[] = {
        {'P', {ssAlt}, 1, 0},  // a control on the form
        {'K', {ssAlt}, 1, 1},  // a control on a panel
        {'K', {}, 1, 1},       // without Alt the letter is plain text
        {'K', {ssCtrl}, 1, 1}, // nor with Ctrl
        {'Q', {ssAlt}, 1, 1},  // nobody's letter
    };
    for (const Case& c : cases) {
        PressKeyOn(*form, c.key, c.shift);
        EXPECT_EQ(form->Plik->accels, c.plik) << char(c.key);
        EXPECT_EQ(form->Koniec->accels, c.koniec) << char(c.key);
    }
    form->Koniec->SetVisible(false);
    PressKeyOn(*form, 'K', {ssAlt});
    EXPECT_EQ(form->Koniec->accels, 1) << "hidden controls take no accelerator";
    form->Koniec->SetVisible(true);
    form->Pan->SetEnabled(false);
    PressKeyOn(*form, 'K', {ssAlt});
    EXPECT_EQ(form->Koniec->accels, 1) << "nor do those on a disabled panel";
}

TEST_F(CoreTest, EnterKeptByTheFocusedControlDoesNotPressTheDefaultButton) {
    form->Edit->SetFocus();
    PressKeyOn(*form, VK_RETURN);
    EXPECT_EQ(form->okClicks, 1);
    form->Edit->keepEnter = true;
    PressKeyOn(*form, VK_RETURN);
    EXPECT_EQ(form->okClicks, 1);
    std::vector<WORD> keys;
    form->Edit->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { keys.push_back(k); };
    PressKeyOn(*form, VK_RETURN);
    EXPECT_EQ(keys, (std::vector<WORD>{VK_RETURN})) << "the control still sees the key";
    EXPECT_EQ(form->okClicks, 1);
}

TEST_F(CoreTest, KeyPressGivesWindows1250CharactersAndCanConsumeThem) {
    std::string seen;
    form->Edit->OnKeyPress = [&](TObject*, char& k) {
        seen += k;
        if (k == 'x')
            k = 0;
    };
    form->Edit->SetFocus();
    TypeText(*form, "ax");
    // A Polish letter has no key code of its own; it comes as the text of the key.
    QKeyEvent l(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("ł"));
    QApplication::sendEvent(form->Edit->Widget(), &l);
    EXPECT_EQ(seen, "axł"_w);
}

TEST_F(CoreTest, AlignedChildrenStayInsideThePanelsBevels) {
    // Raised outer and lowered inner bevel, one pixel each.
    EXPECT_EQ(form->Pan->ClientRect(), (TRect{2, 2, 151, 112}));
    EXPECT_EQ(form->Inner->Left(), 2);
    EXPECT_EQ(form->Inner->Top(), 2);
    EXPECT_EQ(form->Inner->Width(), 149);
    EXPECT_EQ(form->Inner->Height(), 110);
    form->Pan->SetBevelInner(bvNone);
    EXPECT_EQ(form->Inner->Width(), 151);
    EXPECT_EQ(form->Inner->ClientRect(), (TRect{0, 0, 151, 112}));
}

TEST_F(CoreTest, PanelCaptionIsDrawnInTheFontsColour) {
    form->Inner->SetVisible(false);
    form->Pan->SetCaption("WWWWWW");
    form->Pan->SetColor(clWhite);
    form->Pan->Font().SetColor(clRed);
    form->Pan->Font().SetStyle({fsBold});
    form->Pan->Font().SetHeight(-20);
    const QImage img = form->Pan->Widget()->grab().toImage();
    int red = 0, grey = 0;
    for (int y = 10; y < img.height() - 10; ++y) {
        for (int x = 10; x < img.width() - 10; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c == QColor(255, 0, 0))
                ++red;
            if (c == QColor(128, 128, 128))
                ++grey;
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(grey, 0);
}

TEST_F(CoreTest, HintsFollowTheParentUntilAControlSetsItsOwn) {
    form->Ok->SetHint("Zatwierdź"_w);
    form->Koniec->SetHint("Zakończ"_w);
    EXPECT_TRUE(form->Ok->Widget()->toolTip().isEmpty());
    form->SetShowHint(true);
    EXPECT_EQ(form->Ok->Widget()->toolTip(), QString::fromUtf8("Zatwierdź"));
    EXPECT_EQ(form->Koniec->Widget()->toolTip(), QString::fromUtf8("Zakończ")) << "through the panel";
    form->Ok->SetShowHint(false);
    EXPECT_TRUE(form->Ok->Widget()->toolTip().isEmpty());
    EXPECT_FALSE(form->Ok->ParentShowHint());
    form->Pan->SetShowHint(false);
    EXPECT_TRUE(form->Koniec->Widget()->toolTip().isEmpty());
}

TEST_F(CoreTest, CursorsPerControl) {
    form->Pan->SetCursor(crHourGlass);
    EXPECT_EQ(form->Pan->Widget()->cursor().shape(), Qt::WaitCursor);
    EXPECT_TRUE(form->Pan->Widget()->testAttribute(Qt::WA_SetCursor));
    form->Pan->SetCursor(crDefault);
    EXPECT_FALSE(form->Pan->Widget()->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(form->Pan->Cursor(), crDefault);
}

TEST_F(CoreTest, MouseEventsOnAnyControl) {
    std::vector<std::string> log;
    auto record = [&](const char* what) {
        return [&log, what](TObject*, TMouseButton b, TShiftState, int x, int y) {
            log.push_back(std::string(what) + (b == mbLeft ? " left " : " other ") + std::to_string(x) + "," +
                          std::to_string(y));
        };
    };
    form->Plik->SetBounds(200, 100, 40, 20);
    form->Plik->OnMouseDown = record("down");
    form->Plik->OnMouseUp = record("up");
    form->Plik->OnClick = [&](TObject*) { log.push_back("click"); };
    ClickAt(*form->Plik, 5, 7);
    EXPECT_EQ(log, (std::vector<std::string>{"down left 5,7", "up left 5,7", "click"}));

    // A scrolled view takes the mouse on its viewport; the control still hears it, in its own
    // coordinates.
    auto* list = new TListBox(form);
    list->SetBounds(10, 130, 100, 60);
    list->Items().Add("a");
    log.clear();
    list->OnMouseDown = record("down");
    ClickAt(*list, 10, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"down left 10,5"}));
}

TEST_F(CoreTest, EnterAndExitFollowTheFocusWithinTheWindow) {
    std::vector<std::string> log;
    form->Edit->OnEnter = [&](TObject*) { log.push_back("edit enter"); };
    form->Edit->OnExit = [&](TObject*) { log.push_back("edit exit"); };
    form->Ok->OnEnter = [&](TObject*) { log.push_back("ok enter"); };
    form->Ok->SetFocus();
    log.clear();
    form->Edit->SetFocus();
    form->Ok->SetFocus();
    EXPECT_EQ(log, (std::vector<std::string>{"edit enter", "edit exit", "ok enter"}));
}

// A non-visual component that listens to a Qt object of its own.
class Ticker : public TComponent {
  public:
    Ticker(TComponent* owner, QObject* source, int* ticks) : TComponent(owner) {
        QObject::connect(source, &QObject::objectNameChanged, SignalContext(), [this, ticks] {
            ++*ticks;
            Fire(OnTick, this);
        });
    }
    TNotifyEvent OnTick;
};

TEST_F(CoreTest, NothingReachesAComponentOnceItsDestructionBegan) {
    QObject source;
    int n = 0;
    auto emitOnce = [&] { source.setObjectName(QString::number(++n)); };
    int ticks = 0, handled = 0;
    auto* t = new Ticker(form, &source, &ticks);
    t->OnTick = [&](TObject*) { ++handled; };
    emitOnce();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(handled, 1);
    t->Free();
    emitOnce();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(form->ComponentCount(), 4) << "removed from its owner";

    // The same when the owner goes: the owned one is cut before anything is taken apart.
    auto* owner = new TComponent(nullptr);
    new Ticker(owner, &source, &ticks);
    delete owner;
    emitOnce();
    EXPECT_EQ(ticks, 1);
}

TEST_F(CoreTest, ControlsReachTheirWidgetByType) {
    EXPECT_NE(form->Ok->WidgetAs<QWidget>(), nullptr);
    EXPECT_EQ(form->Ok->WidgetAs<QListWidget>(), nullptr);
}

} // namespace
