#include <vcl/testing/MessageBoxResponder.h>

namespace vcl::testing {

MessageBoxResponder::MessageBoxResponder(int answer) {
    SetAnswer(answer);
    Install();
}

MessageBoxResponder::MessageBoxResponder(std::function<int(const MessageBoxRecord&)> choose)
    : m_choose(std::move(choose)) {
    Install();
}

MessageBoxResponder::~MessageBoxResponder() {
    win::SetMessageBoxHook(std::move(m_previous));
}

void MessageBoxResponder::Install() {
    m_previous = win::SetMessageBoxHook(
        [this](win::HWND owner, const char* text, const char* caption, win::UINT type) {
            return Respond(MessageBoxRecord{owner, text, caption, type});
        });
}

void MessageBoxResponder::SetAnswer(int answer) {
    m_choose = [answer](const MessageBoxRecord&) { return answer; };
}

int MessageBoxResponder::Respond(const MessageBoxRecord& box) {
    m_boxes.push_back(box);
    if (m_whileOpen)
        m_whileOpen(box);
    return m_choose ? m_choose(box) : win::IDOK;
}

} // namespace vcl::testing
