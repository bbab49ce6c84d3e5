#pragma once

// A visible control: position and size within its parent, alignment, visibility, colour and
// font. Each control is backed by one Qt widget that it owns; texts are Windows-1250 and are
// converted only where they reach Qt.

#include <vcl/Colors.h>
#include <vcl/Component.h>
#include <vcl/Font.h>
#include <vcl/Types.h>

#include <string>

class QObject;
class QPainter;
class QWidget;

namespace vcl {

class TWinControl;
class TForm;

class TControl : public TComponent {
  public:
    ~TControl() override;

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

    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value);

    // Paints the control before returning (not at the next turn of the message loop).
    virtual void Repaint();
    // Asks for a paint at the next turn of the message loop.
    void Invalidate();

    // The form the control sits on (itself for a form), or nullptr.
    TForm* ParentForm() const;

    // The backing Qt widget (test support and toolkit internals).
    QWidget* Widget() const { return m_widget; }

    // Toolkit internal: draws a control that paints itself (its widget comes from
    // detail::makePaintedWidget). The painter starts with the control's font and font colour.
    virtual void Paint(QPainter& painter) const;

    TNotifyEvent OnClick;

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

    // The receiver for the widget's signal connections: it goes before the widget does, so no
    // signal reaches a control that is being destroyed.
    QObject* SignalContext() const { return m_signals; }

  private:
    friend class TWinControl;
    void parentFontChanged(const TFont& font);
    void prepareRepaintTree();

    QWidget* m_widget = nullptr;
    QObject* m_signals = nullptr;
    TWinControl* m_parent = nullptr;
    TAlign m_align = alNone;
    bool m_visible = true; // windows start hidden
    bool m_enabled = true;
    bool m_parentFont = true;
    bool m_showHint = false;
    bool m_applyingParentFont = false;
    TColor m_color = clBtnFace;
    TFont m_font;
    std::string m_hint;
};

} // namespace vcl
