#include <net/IdMessage.h>

namespace net {

void TIdMessage::Clear() {
    m_subject.clear();
    m_from.Clear();
    m_recipients.Clear();
    m_replyTo.Clear();
    m_date = 0;
    m_body.clear();
    m_parts.Clear();
}

} // namespace net
