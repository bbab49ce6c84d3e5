// What assistive tools see of the controls that paint themselves: a plain widget tells them
// nothing, so these controls name a role and a text, and the text ones expose their text with
// its font and colours as the platform's text controls do.

#include "Internal.h"

#include <vcl/Control.h>
#include <vcl/Label.h>
#include <vcl/WinControl.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace vcl::detail {

namespace {

constexpr const char* kRoleProperty = "vclAccessibleRole";
constexpr const char* kTextProperty = "vclAccessibleText";

QString rgb(const QColor& c) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// The colour that shows behind a control: its own, or its parent's where a label lets it
// through.
TColor background(const TControl& control) {
    const TControl* c = &control;
    while (auto* label = dynamic_cast<const TLabel*>(c)) {
        if (!label->Transparent() || !label->Parent())
            break;
        c = label->Parent();
    }
    return c->Color();
}

class PaintedAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit PaintedAccessible(QWidget* w) : QAccessibleWidget(w) {}

    QAccessible::Role role() const override {
        return static_cast<QAccessible::Role>(widget()->property(kRoleProperty).toInt());
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface && hasText())
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (role() == QAccessible::PushButton && widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && role() == QAccessible::PushButton && widget()->isEnabled()) {
            if (TControl* c = controlOf(widget()))
                c->Click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    // The text interface: the caption as shown, read only, no selection.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        return shown().mid(startOffset, endOffset < 0 ? -1 : endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return textAttributes(widget());
    }

    using QAccessibleWidget::text;

  private:
    bool hasText() const { return widget()->property(kTextProperty).toBool(); }
    QString shown() const { return widget()->accessibleName(); }
};

QAccessibleInterface* paintedFactory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType() || !object->property(kRoleProperty).isValid())
        return nullptr;
    return new PaintedAccessible(static_cast<QWidget*>(object));
}

} // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role, bool hasText) {
    static const bool installed = [] {
        QAccessible::installFactory(paintedFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(kRoleProperty, static_cast<int>(role));
    widget->setProperty(kTextProperty, hasText);
    // An interface made for the plain widget before it had a role would hide the new one.
    QAccessibleInterface* existing = QAccessible::queryAccessibleInterface(widget);
    if (existing && !dynamic_cast<PaintedAccessible*>(existing))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(existing));
}

void setAccessibleText(QWidget* widget, const QString& text) {
    const QString old = widget->accessibleName();
    if (old == text)
        return;
    widget->setAccessibleName(text); // raises the name change itself
    if (widget->property(kTextProperty).toBool() && QAccessible::isActive()) {
        QAccessibleTextUpdateEvent update(widget, 0, old, text);
        QAccessible::updateAccessibility(&update);
    }
}

QString mnemonicFree(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

QString textAttributes(const QWidget* widget) {
    const TControl* c = controlOf(widget);
    if (!c)
        return {};
    const TFont& f = c->Font();
    QString a = QStringLiteral("font-family:%1;font-size:%2pt;").arg(toQt(f.Name())).arg(f.Size());
    a += QStringLiteral("font-weight:%1;").arg(f.Style().Contains(fsBold) ? 700 : 400);
    a += QStringLiteral("font-style:%1;")
             .arg(QLatin1String(f.Style().Contains(fsItalic) ? "italic" : "normal"));
    if (f.Style().Contains(fsUnderline))
        a += QStringLiteral("text-underline-style:solid;text-underline-type:single;");
    if (f.Style().Contains(fsStrikeOut))
        a += QStringLiteral("text-line-through-type:single;");
    a += QStringLiteral("color:%1;background-color:%2;")
             .arg(rgb(toQColor(f.Color())), rgb(toQColor(background(*c))));
    return a;
}

} // namespace vcl::detail
