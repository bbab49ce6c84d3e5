#include <net/IdSMTP.h>

#include <net/IdException.h>
#include <net/MessageWriter.h>

#include <windows/WinSock.h>

#include <unistd.h>

namespace net {

namespace {

// Buffers the message's data, doubles a dot at the start of a line and sends it in writes of
// about 64 KB, the size servers commonly read at a time (larger bursts slowed aiosmtpd down).
class DotStuffer {
  public:
    explicit DotStuffer(TcpClient& socket) : m_socket(socket) { m_buf.reserve(kFlush + 4096); }

    void Put(std::string_view data) {
        while (!data.empty()) {
            if (m_atLineStart && data[0] == '.')
                m_buf += '.';
            const auto nl = data.find('\n');
            const std::size_t take = nl == std::string_view::npos ? data.size() : nl + 1;
            m_buf.append(data.substr(0, take));
            m_atLineStart = nl != std::string_view::npos;
            data.remove_prefix(take);
        }
        if (m_buf.size() >= kFlush)
            Flush();
    }
    void Flush() {
        m_socket.Write(m_buf);
        m_buf.clear();
    }

  private:
    static constexpr std::size_t kFlush = 64 * 1024;
    TcpClient& m_socket;
    std::string m_buf;
    bool m_atLineStart = true;
};

std::string localHostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !name[0])
        return "localhost";
    return name;
}

} // namespace

void TIdSMTP::readQuitReply() {
    m_channel.ReadSmtpReply();
}

void TIdSMTP::Connect(int timeoutMs) {
    m_extensions.clear();
    openConnection(timeoutMs);
    try {
        m_channel.SmtpCommand("", {220});
        sendHello();
    } catch (const EIdProtocolReplyError&) {
        quitAndClose();
        throw;
    }
}

void TIdSMTP::sendHello() {
    const std::string name = m_heloName.empty() ? localHostName() : m_heloName;
    m_channel.SendLine("EHLO " + name);
    SmtpReply reply = m_channel.ReadSmtpReply();
    if (reply.code == 250) {
        m_extensions.assign(reply.lines.begin() + 1, reply.lines.end()); // after the greeting line
        return;
    }
    m_channel.SmtpCommand("HELO " + name, {250});
}

void TIdSMTP::mailFrom(const std::string& address) {
    m_channel.SmtpCommand("MAIL FROM:<" + address + ">", {250});
}

void TIdSMTP::rcptTo(const std::string& address) {
    m_channel.SmtpCommand("RCPT TO:<" + address + ">", {250, 251});
}

void TIdSMTP::data() {
    m_channel.SmtpCommand("DATA", {354});
}

void TIdSMTP::Send(const TIdMessage& msg) {
    MessageWriter writer(msg); // opens the attachments before anything is said
    if (!Connected())
        throw EIdSocketError(win::WSAENOTCONN);
    mailFrom(msg.From().Address());
    for (int i = 0; i < msg.Recipients().Count(); ++i)
        rcptTo(msg.Recipients().Items(i).Address());
    data();
    if (OnWorkBegin)
        OnWorkBegin(this, wmWrite, writer.Size());
    {
        TcpClient::DataFlow flowing(m_channel.Socket());
        DotStuffer out(m_channel.Socket());
        try {
            writer.Write([&](std::string_view chunk) { out.Put(chunk); });
        } catch (const rtl::EInOutError&) {
            // Half a message must not be delivered: drop the connection without the final dot.
            m_channel.Socket().Close();
            throw;
        }
        out.Flush();
        m_channel.Socket().Write(".\r\n"); // the end mark, not part of the data
    }

    m_channel.SmtpCommand("", {250});
}

} // namespace net
