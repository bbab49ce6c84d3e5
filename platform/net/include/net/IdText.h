#pragma once

// A text part of a received message (the body of a plain or alternative part).

#include <net/IdMessagePart.h>

#include <string>

namespace net {

class TIdText : public TIdMessagePart {
  public:
    bool IsAttachment() const override { return false; }
    // The decoded text, converted to Windows-1250 from the part's charset.
    const std::string& Body() const { return m_body; }
    void SetBody(std::string b) { m_body = std::move(b); }

  private:
    std::string m_body;
};

} // namespace net
