#pragma once

// An ordered list of mail addresses (the recipients, Reply-To).

#include <net/IdEmailAddressItem.h>

#include <deque>
#include <string>
#include <string_view>

namespace net {

class TIdEmailAddressList {
  public:
    // Appends an empty item; the reference stays valid until Clear().
    TIdEmailAddressItem& Add();
    int Count() const { return static_cast<int>(m_items.size()); }
    TIdEmailAddressItem& Items(int i) { return m_items.at(i); }
    const TIdEmailAddressItem& Items(int i) const { return m_items.at(i); }
    void Clear() { m_items.clear(); }

    // The items' texts joined by ", ".
    std::string EMailAddresses() const;
    // Replaces the list by the addresses of an address-list text: items separated by "," or
    // ";" outside quotes and angle brackets, each read as TIdEmailAddressItem::SetText reads
    // it; empty items are skipped.
    void SetEMailAddresses(std::string_view text);

  private:
    std::deque<TIdEmailAddressItem> m_items;
};

} // namespace net
