#pragma once

// One part of a message: a text (TIdText) or an attachment (TIdAttachment).

#include <string>

namespace net {

class TIdMessagePart {
  public:
    virtual ~TIdMessagePart() = default;
    // The attachment test: true for an attachment, false for a text part.
    virtual bool IsAttachment() const = 0;

    // "application/octet-stream", "text/plain", ... (without parameters).
    const std::string& ContentType() const { return m_contentType; }
    void SetContentType(std::string t) { m_contentType = std::move(t); }

  private:
    std::string m_contentType;
};

} // namespace net
