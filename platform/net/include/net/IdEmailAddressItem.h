#pragma once

// One mail address with its display name. Texts are Windows-1250.

#include <string>
#include <string_view>

namespace net {

class TIdEmailAddressItem {
  public:
    TIdEmailAddressItem() = default;
    explicit TIdEmailAddressItem(std::string_view text) { SetText(text); }

    const std::string& Address() const { return m_address; }
    void SetAddress(std::string_view a) { m_address = a; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string_view n) { m_name = n; }

    // Both as one text: `Name <address>` (the name quoted when it holds specials), the bare
    // address without a name, the bare name without an address.
    std::string Text() const;
    // Reads `Name <address>`, `"Name" <address>`, `<address>` or `address`.
    void SetText(std::string_view text);

    void Clear() {
        m_address.clear();
        m_name.clear();
    }

  private:
    std::string m_address;
    std::string m_name;
};

} // namespace net
