#include <net/IdPOP3.h>

#include <net/IdException.h>
#include <net/MessageParser.h>

#include <runtime/SysUtils.h>

#include <unistd.h>

namespace net {

namespace {

// Writes the spooled message in large blocks.
class SpoolWriter {
  public:
    explicit SpoolWriter(int fd) : m_fd(fd) {}
    void Line(std::string_view line) {
        m_buf.append(line);
        m_buf.append("\r\n");
        if (m_buf.size() >= kFlush)
            Flush();
    }
    void Flush() {
        WriteSpool(m_fd, m_buf);
        m_buf.clear();
    }

  private:
    static constexpr std::size_t kFlush = 256 * 1024;
    int m_fd;
    std::string m_buf;
};

// Owns a file descriptor until it is handed on.
struct FdGuard {
    int fd;
    ~FdGuard() {
        if (fd >= 0)
            ::close(fd);
    }
    int Release() {
        int f = fd;
        fd = -1;
        return f;
    }
};

} // namespace

void TIdPOP3::readQuitReply() {
    m_channel.ReadPop3Status();
}

void TIdPOP3::Connect(int timeoutMs) {
    openConnection(timeoutMs);
    try {
        m_channel.Pop3Command("");
        m_channel.Pop3Command("USER " + Username());
        m_channel.Pop3Command("PASS " + Password());
    } catch (const EIdProtocolReplyError&) {
        quitAndClose();
        throw;
    }
}

int TIdPOP3::CheckMessages() {
    std::string text = m_channel.Pop3Command("STAT");
    auto count = ParseStatCount(text);
    if (!count || *count > INT32_MAX || *count < INT32_MIN)
        throw EIdException("'" + text.substr(0, text.find(' ')) + "' is not a valid integer value");
    return static_cast<int>(*count);
}

void TIdPOP3::readMessage(TIdMessage& msg, bool headersOnly) {
    FdGuard spool{OpenSpoolFile()};
    if (spool.fd < 0)
        throw EIdException("Cannot create a temporary file.");
    SpoolWriter writer(spool.fd);
    m_channel.ReadPop3Data([&](std::string_view line) { writer.Line(line); });
    writer.Flush();
    ::lseek(spool.fd, 0, SEEK_SET);
    ParseMessageFile(spool.Release(), msg, headersOnly);
}

bool TIdPOP3::RetrieveHeader(int n, TIdMessage& msg) {
    msg.Clear();
    m_channel.Pop3Command("TOP " + rtl::IntToStr(n) + " 0");
    readMessage(msg, true);
    return true;
}

std::int64_t TIdPOP3::RetrieveMsgSize(int n) {
    return ParseListSize(m_channel.Pop3Command("LIST " + rtl::IntToStr(n)));
}

bool TIdPOP3::Retrieve(int n, TIdMessage& msg) {
    msg.Clear();
    m_channel.SendLine("RETR " + rtl::IntToStr(n));
    Pop3Status status = m_channel.ReadPop3Status();
    if (!status.ok)
        return false;
    readMessage(msg, false);
    return true;
}

bool TIdPOP3::Delete(int n) {
    m_channel.Pop3Command("DELE " + rtl::IntToStr(n));
    return true;
}

} // namespace net
