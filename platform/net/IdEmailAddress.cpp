#include <net/IdEmailAddressItem.h>
#include <net/IdEmailAddressList.h>

#include "QuotedString.h"

#include <runtime/SysUtils.h>

namespace net {

std::string TIdEmailAddressItem::Text() const {
    if (m_name.empty())
        return m_address;
    const std::string name = detail::DisplayName(m_name);
    if (m_address.empty())
        return name;
    return name + " <" + m_address + ">";
}

void TIdEmailAddressItem::SetText(std::string_view text) {
    Clear();
    std::string t = rtl::Trim(text);
    auto lt = t.rfind('<');
    auto gt = t.rfind('>');
    if (lt != std::string::npos && gt != std::string::npos && gt > lt) {
        m_address = rtl::Trim(std::string_view(t).substr(lt + 1, gt - lt - 1));
        m_name = detail::UnquoteString(rtl::Trim(std::string_view(t).substr(0, lt)));
    } else {
        m_address = t;
    }
}

TIdEmailAddressItem& TIdEmailAddressList::Add() {
    return m_items.emplace_back();
}

std::string TIdEmailAddressList::EMailAddresses() const {
    std::string s;
    for (const auto& item : m_items) {
        if (!s.empty())
            s += ", ";
        s += item.Text();
    }
    return s;
}

void TIdEmailAddressList::SetEMailAddresses(std::string_view text) {
    Clear();
    bool quoted = false, escaped = false;
    int angle = 0;
    std::size_t start = 0;
    auto flush = [&](std::size_t end) {
        std::string piece = rtl::Trim(text.substr(start, end - start));
        if (!piece.empty())
            Add().SetText(piece);
        start = end + 1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (escaped)
            escaped = false;
        else if (quoted && c == '\\')
            escaped = true;
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '<')
            ++angle;
        else if (!quoted && c == '>' && angle > 0)
            --angle;
        else if (!quoted && angle == 0 && (c == ',' || c == ';'))
            flush(i);
    }
    flush(text.size());
}

} // namespace net
