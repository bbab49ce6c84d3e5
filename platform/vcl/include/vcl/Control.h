#pragma once

// A visible control: position and size within its parent, alignment, visibility, colour and
// font. Each control is backed by one Qt widget that it owns; texts are Windows-1250 and are
// converted only where they reach Qt.

#include <vcl/Colors.h>
#include <vcl/Component.h>
#include <vcl/Font.h>
#include <vcl/Types.h>

#include <functional>
#include <string>

class QObject;
class QPainter;
class QWidget;

namespace vcl {

class TWinControl;
class TForm;
class TPopupMenu;

// Mouse button handler: the button, the modifiers and the point in the control's client
// coordinates.
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

class TControl : public TComponent {
  public:
    ~TControl() override;

    // A control's name also names its widget (Qt's object name), so that tools and tests that
    // see only the window can find it.
    void SetName(const std::string& name) override;

    TWinControl* Parent() const { return m_parent; }
    // Places the control inside `parent` (or takes it out with nullptr).
    virtual void SetParent(TWinControl* parent);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }
    // The part of the client area where aligned children are laid out: the whole of it unless
    // the control reserves an edge (a bevel, a tab strip).
    virtual TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }

    TAlign Align() const { return m_align; }
    void SetAlign(TAlign align);

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Shown and every parent up to the form shown too.
    bool Showing() const;

    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled);

    TColor Color() const { return m_color; }
    virtual void SetColor(TColor color);

    // The control's font; changing it applies at once and sets ParentFont to false.
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    void SetFont(const TFont& font) { m_font = font; }
    // While true the control follows its parent's font.
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);

    // The hint shows as a tool tip while the control's ShowHint holds; a control follows its
    // parent's ShowHint until its own is set (ParentShowHint).
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint);
    bool ShowHint() const;
    void SetShowHint(bool value);
    bool ParentShowHint() const { return m_parentShowHint; }
    void SetParentShowHint(bool value);

    // The mouse pointer over the control (crDefault: the platform's own for the widget).
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);

    // The context menu a right click shows over the control (nullptr: none).
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    // Paints the control before returning (not at the next turn of the message loop).
    virtual void Repaint();
    // Asks for a paint at the next turn of the message loop.
    void Invalidate();

    // The form the control sits on (itself for a form), or nullptr.
    TForm* ParentForm() const;

    // The backing Qt widget (test support and toolkit internals).
    QWidget* Widget() const { return m_widget; }
    // The backing widget as its Qt class, or nullptr when it is not one (or already gone).
    template <class W> W* WidgetAs() const { return dynamic_cast<W*>(m_widget); }

    // Toolkit internal: draws a control that paints itself (its widget comes from
    // detail::makePaintedWidget). The painter starts with the control's font and font colour.
    virtual void Paint(QPainter& painter) const;

    // The accelerator hook: called for the Alt+letter keys that the focused control left over.
    // A control whose caption carries the accelerator acts on it and returns true.
    virtual bool DialogChar(WORD key, TShiftState shift);

    // Raises OnClick, as a click of the user does.
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // Toolkit internals: the mouse plumbing calls these for the control's widget.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // A left press and release on the control (raises Click when ClickEvents holds).
    void MouseClicked();
    void MouseDoubleClicked();
    // True when a mouse click on the control raises Click (controls whose widget has no click
    // signal of its own: labels, images, panels).
    bool ClickEvents() const { return m_clickEvents; }

  protected:
    // `widget` becomes the control's; when `owner` is a TWinControl it is also the parent
    // until SetParent says otherwise.
    TControl(TComponent* owner, QWidget* widget);

    // Applies the font to the widget; controls that draw themselves may add to it.
    virtual void FontChanged();
    // Applies the colour to the widget.
    virtual void ColorChanged();
    // Makes pending item layout happen before a paint (list controls).
    virtual void PrepareRepaint() {}

    void SetClickEvents(bool value) { m_clickEvents = value; }

    // The tool tip the widget shows (the hint while ShowHint holds); applied to the children
    // that follow this control's ShowHint too.
    void UpdateHint();

  private:
    friend class TWinControl;
    void parentFontChanged(const TFont& font);
    void prepareRepaintTree();

    QWidget* m_widget = nullptr;
    TWinControl* m_parent = nullptr;
    TAlign m_align = alNone;
    bool m_visible = true; // windows start hidden
    bool m_enabled = true;
    bool m_parentFont = true;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    bool m_clickEvents = false;
    TCursor m_cursor = crDefault;
    TPopupMenu* m_popupMenu = nullptr;
    bool m_applyingParentFont = false;
    TColor m_color = clBtnFace;
    TFont m_font;
    std::string m_hint;
};

} // namespace vcl
