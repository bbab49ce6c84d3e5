#pragma once

// Test support: while a responder is installed, every message box (win::MessageBoxA,
// Application->MessageBox, the default error dialog) is recorded and answered at once
// instead of being shown. Responders nest; the innermost answers.
//
//     vcl::testing::MessageBoxResponder boxes(win::IDOK);
//     ... drive the window ...
//     ASSERT_EQ(boxes.Count(), 1);
//     EXPECT_EQ(boxes[0].caption, "Błąd"_w);

#include <vcl/MessageBox.h>

#include <functional>
#include <string>
#include <vector>

namespace vcl::testing {

struct MessageBoxRecord {
    win::HWND owner = 0;
    std::string text;    // Windows-1250, as passed
    std::string caption; // Windows-1250, as passed
    win::UINT type = 0;  // buttons | icon flags
};

class MessageBoxResponder {
  public:
    // Answers every box with `answer` (IDOK, IDYES, ...).
    explicit MessageBoxResponder(int answer = win::IDOK);
    // Answers each box with what `choose` returns for it.
    explicit MessageBoxResponder(std::function<int(const MessageBoxRecord&)> choose);
    ~MessageBoxResponder();
    MessageBoxResponder(const MessageBoxResponder&) = delete;
    MessageBoxResponder& operator=(const MessageBoxResponder&) = delete;

    void SetAnswer(int answer);
    // Also runs `action` (for example closing a window) while the box is "open".
    void SetWhileOpen(std::function<void(const MessageBoxRecord&)> action) {
        m_whileOpen = std::move(action);
    }

    int Count() const { return static_cast<int>(m_boxes.size()); }
    const MessageBoxRecord& operator[](int index) const {
        return m_boxes.at(static_cast<std::size_t>(index));
    }
    const std::vector<MessageBoxRecord>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

  private:
    void Install();
    int Respond(const MessageBoxRecord& box);

    std::function<int(const MessageBoxRecord&)> m_choose;
    std::function<void(const MessageBoxRecord&)> m_whileOpen;
    std::vector<MessageBoxRecord> m_boxes;
    win::MessageBoxHook m_previous;
};

} // namespace vcl::testing
