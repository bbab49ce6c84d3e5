#include <net/CommandChannel.h>

#include <net/IdException.h>

namespace net {

std::string SmtpReply::Text() const {
    return JoinReplyLines(lines);
}

SmtpReply CommandChannel::ReadSmtpReply() {
    SmtpReply reply;
    for (;;) {
        std::string_view line = ReadLine();
        auto parsed = ParseSmtpReplyLine(line);
        if (!parsed)
            throw EIdProtocolReplyError(0, std::string(line));
        if (reply.lines.empty())
            reply.code = parsed->code;
        reply.lines.push_back(std::move(parsed->text));
        if (!parsed->more)
            return reply;
    }
}

SmtpReply CommandChannel::SmtpCommand(std::string_view command, std::initializer_list<int> accepted) {
    if (!command.empty())
        SendLine(command);
    SmtpReply reply = ReadSmtpReply();
    for (int code : accepted)
        if (reply.code == code)
            return reply;
    throw EIdProtocolReplyError(reply.code, reply.Text());
}

FtpReply CommandChannel::ReadFtpReply() {
    FtpReplyReader reader;
    for (;;) {
        std::string_view line = ReadLine();
        switch (reader.Feed(line)) {
        case FtpReplyReader::Complete:
            return reader.Reply();
        case FtpReplyReader::NotAReply:
            throw EIdProtocolReplyError(0, std::string(line));
        case FtpReplyReader::NeedMore:
            break;
        }
    }
}

Pop3Status CommandChannel::ReadPop3Status() {
    std::string_view line = ReadLine();
    auto status = ParsePop3Status(line);
    if (!status)
        return Pop3Status{false, std::string(line)};
    return *status;
}

std::string CommandChannel::Pop3Command(std::string_view command) {
    if (!command.empty())
        SendLine(command);
    Pop3Status status = ReadPop3Status();
    if (!status.ok)
        throw EIdProtocolReplyError(2, status.text);
    return status.text;
}

void CommandChannel::ReadPop3Data(const std::function<void(std::string_view line)>& sink) {
    TcpClient::DataFlow flowing(m_socket);
    for (;;) {
        std::string_view line = ReadLine();
        if (UnstuffPop3Line(line))
            return;
        sink(line);
    }
}

} // namespace net
