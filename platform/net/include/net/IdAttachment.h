#pragma once

// A file attachment. Composing: made from a file path (Windows form), whose file is read only
// while the message is sent; named in the message by the path's name part. Receiving: holds
// the part as the message carries it and decodes it into a file on SaveToFile.

#include <net/IdMessagePart.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace net {

class TIdMessageParts;
struct ReceivedContent; // the parsed part and the spool it lives in (IdAttachment.cpp)

class TIdAttachment : public TIdMessagePart {
  public:
    // Adds an attachment for the file at `path` to `parts` and returns it (owned by `parts`).
    // FileName is the path's name part (after the last "\" , "/" or ":").
    static TIdAttachment& Create(TIdMessageParts& parts, std::string_view path);

    TIdAttachment();
    ~TIdAttachment() override;
    bool IsAttachment() const override { return true; }

    // The name the message gives the file (Windows-1250; RFC 2047 / RFC 2231 forms decoded).
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string_view n) { m_fileName = n; }
    // The file sent for a composed attachment (Windows-form path); empty for a received one.
    const std::string& StoredPathName() const { return m_storedPathName; }
    void SetStoredPathName(std::string_view p) { m_storedPathName = p; }

    // Decodes the received data into a new file at `path` (Windows form), on disk (file and
    // folder flushed) when the call returns. Raises EIdException "Error saving attachment." when
    // the file exists, the folder is missing, the name is no valid file name
    // (win::IsValidFileName) or writing fails; a failed save leaves nothing under `path`. A
    // composed attachment copies its stored file the same way.
    void SaveToFile(std::string_view path) const;

    // Size in bytes of the decoded data of a received attachment (decodes to count; -1 for a
    // composed one).
    std::int64_t DecodedSize() const;

    // Set by the message parser.
    void SetReceivedContent(std::shared_ptr<ReceivedContent> c);

  private:
    std::string m_fileName;
    std::string m_storedPathName;
    std::shared_ptr<ReceivedContent> m_content;
};

} // namespace net
