// libFuzzer target: the reply parsers (SMTP, POP3, FTP) and the MIME parsing of received messages.

#include <net/IdAttachment.h>
#include <net/IdException.h>
#include <net/MessageParser.h>
#include <net/ReplyParsers.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string_view first = in.substr(0, in.find('\n'));
    net::ParseSmtpReplyLine(first);
    if (auto s = net::ParsePop3Status(first)) {
        net::ParseStatCount(s->text);
        net::ParseListSize(s->text);
    }
    std::string_view line = first;
    net::UnstuffPop3Line(line);

    // The input as the lines of one FTP reply, as the command channel feeds them.
    net::FtpReplyReader ftp;
    for (std::string_view rest = in; !rest.empty();) {
        const auto nl = rest.find('\n');
        std::string_view l = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (!l.empty() && l.back() == '\r')
            l.remove_suffix(1);
        const auto r = ftp.Feed(l);
        if (r == net::FtpReplyReader::NotAReply)
            break;
        if (r == net::FtpReplyReader::Complete) {
            net::ParseFtpTransferSize(ftp.Reply().Text());
            break;
        }
    }

    net::TIdMessage msg;
    try {
        net::ParseMessageBytes(in, msg, size % 2 == 0);
        for (int i = 0; i < msg.MessageParts().Count(); ++i)
            if (msg.MessageParts().Items(i).IsAttachment())
                static_cast<net::TIdAttachment&>(msg.MessageParts().Items(i)).DecodedSize();
    } catch (const net::EIdException&) {
    }
    return 0;
}
