#include "MessageBoxResponder.h"

namespace vcl::testing {

namespace {
MessageBoxResponder* g_current = nullptr;
}

MessageBoxResponder::MessageBoxResponder(int answer) : m_previous(g_current) {
    SetAnswer(answer);
    g_current = this;
}

MessageBoxResponder::MessageBoxResponder(std::function<int(const MessageBoxRecord&)> choose)
    : m_choose(std::move(choose)), m_previous(g_current) {
    g_current = this;
}

MessageBoxResponder::~MessageBoxResponder() {
    g_current = m_previous;
}

void MessageBoxResponder::SetAnswer(int answer) {
    m_choose = [answer](const MessageBoxRecord&) { return answer; };
}

MessageBoxResponder* MessageBoxResponder::Current() {
    return g_current;
}

int MessageBoxResponder::Respond(const MessageBoxRecord& box) {
    m_boxes.push_back(box);
    if (m_whileOpen)
        m_whileOpen(box);
    return m_choose ? m_choose(box) : win::IDOK;
}

} // namespace vcl::testing
