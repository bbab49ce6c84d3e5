#pragma once

// A MIME mail message: headers, an optional body text and its parts. Texts are Windows-1250.
// Composed messages are written by TIdSMTP::Send; received ones filled by TIdPOP3.

#include <net/IdEmailAddressItem.h>
#include <net/IdEmailAddressList.h>
#include <net/IdMessageParts.h>

#include <runtime/DateTime.h>

#include <string>
#include <string_view>

namespace net {

enum TIdMessageEncoding { meDefault, meMIME, meUU };

using rtl::TDateTime;

class TIdMessage {
  public:
    TIdMessage() = default;
    TIdMessage(const TIdMessage&) = delete;
    TIdMessage& operator=(const TIdMessage&) = delete;

    // Clears headers, body and parts (Encoding and AttachmentEncoding stay).
    void Clear();

    // Plain text: encoded for the headers when sent, decoded when received.
    const std::string& Subject() const { return m_subject; }
    void SetSubject(std::string_view s) { m_subject = s; }

    TIdEmailAddressItem& From() { return m_from; }
    const TIdEmailAddressItem& From() const { return m_from; }
    TIdEmailAddressList& Recipients() { return m_recipients; }
    const TIdEmailAddressList& Recipients() const { return m_recipients; }
    TIdEmailAddressList& ReplyTo() { return m_replyTo; }
    const TIdEmailAddressList& ReplyTo() const { return m_replyTo; }

    // Received: the Date header in local time, 0 when the message has none. Sent: 0 means "now".
    TDateTime Date() const { return m_date; }
    void SetDate(TDateTime d) { m_date = d; }

    // The text of a received single-part text message (Windows-1250); empty otherwise.
    const std::string& Body() const { return m_body; }
    void SetBody(std::string_view b) { m_body = b; }

    TIdMessageParts& MessageParts() { return m_parts; }
    const TIdMessageParts& MessageParts() const { return m_parts; }

    TIdMessageEncoding Encoding() const { return m_encoding; }
    void SetEncoding(TIdMessageEncoding e) { m_encoding = e; }
    const std::string& AttachmentEncoding() const { return m_attachmentEncoding; }
    void SetAttachmentEncoding(std::string_view e) { m_attachmentEncoding = e; }

  private:
    std::string m_subject;
    TIdEmailAddressItem m_from;
    TIdEmailAddressList m_recipients;
    TIdEmailAddressList m_replyTo;
    TDateTime m_date = 0;
    std::string m_body;
    TIdMessageParts m_parts;
    TIdMessageEncoding m_encoding = meMIME;
    std::string m_attachmentEncoding = "MIME";
};

} // namespace net
