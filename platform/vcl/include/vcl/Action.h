#pragma once

// A command that menu items link to: caption, category, shortcut, glyph and the OnExecute
// handler. Changing an action's caption, enabled state, shortcut or glyph changes its linked
// items too.

#include <vcl/Component.h>
#include <vcl/Types.h>

#include <string>
#include <vector>

namespace vcl {

class TActionList;
class TMenuItem;

class TAction : public TComponent {
  public:
    explicit TAction(TComponent* owner);
    ~TAction() override;

    TActionList* ActionList() const { return m_list; }
    void SetActionList(TActionList* list);
    const std::string& Category() const { return m_category; }
    void SetCategory(const std::string& category) { m_category = category; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint) { m_hint = hint; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    TShortCut ShortCut() const { return m_shortCut; }
    void SetShortCut(TShortCut shortCut);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);

    // Raises OnExecute; false when the action is disabled or has no handler.
    bool Execute();

    TNotifyEvent OnExecute;

    // Toolkit internals: the linked items.
    void Link(TMenuItem* item);
    void Unlink(TMenuItem* item);

  private:
    template <class F> void forItems(F f);

    TActionList* m_list = nullptr;
    std::string m_category;
    std::string m_caption;
    std::string m_hint;
    bool m_enabled = true;
    bool m_visible = true;
    TShortCut m_shortCut = scNone;
    int m_imageIndex = -1;
    std::vector<TMenuItem*> m_items;
};

} // namespace vcl
