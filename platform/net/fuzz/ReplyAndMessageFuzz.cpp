// libFuzzer target: the reply parsers and the MIME parsing of received messages.

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
