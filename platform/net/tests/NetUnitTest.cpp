// Reply parsers, header encoding and the socket error texts, without a network.

#include <net/IdAttachment.h>
#include <net/IdEmailAddressList.h>
#include <net/IdException.h>
#include <net/MessageParser.h>
#include <net/MessageWriter.h>
#include <net/ReplyParsers.h>
#include <net/TcpClient.h>

#include <runtime/Cp1250.h>

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <netdb.h>

#include <string>
#include <vector>

using namespace rtl;
using namespace net;

TEST(ReplyParsers, SmtpLines) {
    struct Case {
        const char* line;
        bool ok;
        int code;
        bool more;
        const char* text;
    };
    for (const Case& c :
         {Case{"250 OK", true, 250, false, "OK"}, Case{"250-SIZE 100", true, 250, true, "SIZE 100"},
          Case{"354", true, 354, false, ""},
          Case{"550 5.1.1 User unknown", true, 550, false, "5.1.1 User unknown"},
          Case{"25 x", false, 0, false, ""}, Case{"abc def", false, 0, false, ""},
          Case{"250x", false, 0, false, ""}, Case{"099 x", false, 0, false, ""},
          Case{"", false, 0, false, ""}}) {
        auto r = ParseSmtpReplyLine(c.line);
        ASSERT_EQ(r.has_value(), c.ok) << c.line;
        if (r) {
            EXPECT_EQ(r->code, c.code) << c.line;
            EXPECT_EQ(r->more, c.more) << c.line;
            EXPECT_EQ(r->text, c.text) << c.line;
        }
    }
}

TEST(ReplyParsers, FtpReplies) {
    struct Case {
        std::vector<std::string> lines;
        std::size_t fed; // lines taken when the reply is complete (0: not a reply)
        int code;
    };
    for (const Case& c : {
             Case{{"220 (vsFTPd 3.0.3)"}, 1, 220},
             Case{{"230"}, 1, 230},
             Case{{"220-Welcome", "220-still", "220 ready"}, 3, 220},
             // Lines in between may start with numbers, even with another code and a blank.
             Case{{"211-Features:", " MDTM", "214 not the end", "211-", "211 End"}, 5, 211},
             Case{{"220-a", "2200 no", "220"}, 3, 220},
             Case{{"HTTP/1.0 400 Bad Request"}, 0, 0},
             Case{{"22 x"}, 0, 0},
             Case{{"220x"}, 0, 0},
             Case{{""}, 0, 0},
         }) {
        FtpReplyReader reader;
        std::size_t fed = 0;
        FtpReplyReader::Result r = FtpReplyReader::NeedMore;
        for (const auto& line : c.lines) {
            r = reader.Feed(line);
            ++fed;
            if (r != FtpReplyReader::NeedMore)
                break;
        }
        if (c.fed == 0) {
            EXPECT_EQ(r, FtpReplyReader::NotAReply) << c.lines[0];
            continue;
        }
        EXPECT_EQ(r, FtpReplyReader::Complete) << c.lines[0];
        EXPECT_EQ(fed, c.fed) << c.lines[0];
        EXPECT_EQ(reader.Reply().code, c.code);
        EXPECT_EQ(reader.Reply().lines, std::vector<std::string>(c.lines.begin(), c.lines.begin() + fed));
    }
    FtpReplyReader endless;
    EXPECT_EQ(endless.Feed("220-x"), FtpReplyReader::NeedMore);
    FtpReplyReader::Result r = FtpReplyReader::NeedMore;
    for (std::size_t i = 0; i < FtpReplyReader::kMaxLines && r == FtpReplyReader::NeedMore; ++i)
        r = endless.Feed("more");
    EXPECT_EQ(r, FtpReplyReader::NotAReply);

    EXPECT_EQ(ParseFtpTransferSize("150 Opening BINARY mode data connection for a.inf (43 bytes)."), 43);
    EXPECT_EQ(ParseFtpTransferSize("150 Opening data connection for x (2 bytes) (1048576 bytes)"), 1048576);
    EXPECT_EQ(ParseFtpTransferSize("150 x (y bytes) (7 bytes)."), 7);
    EXPECT_EQ(ParseFtpTransferSize("150 Opening data connection."), 0);
    EXPECT_EQ(ParseFtpTransferSize("150 (-5 bytes)"), 0);
    EXPECT_EQ(ParseFtpTransferSize("150 ( bytes)"), 0);
    EXPECT_EQ(ParseFtpTransferSize(" bytes)"), 0);
}

TEST(ReplyParsers, Pop3StatusStatAndList) {
    EXPECT_EQ(ParsePop3Status("+OK 2 320")->text, "2 320");
    EXPECT_TRUE(ParsePop3Status("+ok")->ok);
    EXPECT_EQ(ParsePop3Status("-ERR [AUTH] Authentication failed.")->text, "[AUTH] Authentication failed.");
    EXPECT_FALSE(ParsePop3Status("-ERR")->ok);
    EXPECT_FALSE(ParsePop3Status("* OK").has_value());
    EXPECT_EQ(ParseStatCount("2 320"), 2);
    EXPECT_EQ(ParseStatCount("0"), 0);
    EXPECT_FALSE(ParseStatCount("x 1").has_value());
    EXPECT_EQ(ParseListSize("1 120"), 120);
    EXPECT_EQ(ParseListSize("1"), -1);
    EXPECT_EQ(ParseListSize("1 abc"), -1);
    std::string_view l = "..x";
    EXPECT_FALSE(UnstuffPop3Line(l));
    EXPECT_EQ(l, ".x");
    l = ".";
    EXPECT_TRUE(UnstuffPop3Line(l));
}

TEST(SocketErrors, TextsAndMappings) {
    EXPECT_EQ(std::string(EIdSocketError(10061).what()), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(EIdSocketError(11001).Message(), "Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(EIdSocketError(10060).Message(), "Socket Error # 10060\r\nConnection timed out.");
    EXPECT_EQ(EIdSocketError(10054).Message(), "Socket Error # 10054\r\nConnection reset by peer.");
    EXPECT_EQ(WinsockErrorFromGai(EAI_NONAME, 0), 11001);
    EXPECT_EQ(WinsockErrorFromGai(EAI_AGAIN, 0), 11001);
    EXPECT_EQ(WinsockErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(WinsockErrorFromErrno(EPIPE), 10054);
    EXPECT_EQ(WinsockErrorFromErrno(ENETUNREACH), 10051);
    EXPECT_EQ(WinsockErrorFromErrno(EHOSTUNREACH), 10065);
}

TEST(HeaderEncoding, AsciiStaysAndPolishIsEncodedAndFolded) {
    EXPECT_EQ(EncodeHeaderText("Transakcje", 9), "Transakcje");
    EXPECT_EQ(EncodeHeaderText("Łódź"_w, 9), "=?windows-1250?B?o/Nknw==?=");
    std::string folded = EncodeHeaderText(std::string(100, "ą"_w[0]), 9);
    for (std::size_t start = 0, nl; start < folded.size(); start = nl + 2) {
        nl = folded.find("\r\n", start);
        if (nl == std::string::npos)
            nl = folded.size();
        EXPECT_LE(nl - start + (start == 0 ? 9 : 0), 76u);
    }
    EXPECT_EQ(EncodeFileNameParam("filename", "A.ZIP"), "filename=\"A.ZIP\"");
    EXPECT_EQ(EncodeFileNameParam("filename", "ż.zip"_w), "filename*=windows-1250''%BF.zip");
    TIdEmailAddressItem a;
    a.SetAddress("a@b.pl");
    a.SetName("Jan Kowalski");
    EXPECT_EQ(EncodeAddress(a), "Jan Kowalski <a@b.pl>");
    a.SetName("Kowalski, Jan");
    EXPECT_EQ(EncodeAddress(a), "\"Kowalski, Jan\" <a@b.pl>");
}

TEST(AddressList, ReadsAnAddressListText) {
    TIdEmailAddressList list;
    list.SetEMailAddresses("a@b.pl; \"Kowalski, Jan\" <jan@b.pl>, Ewa <ewa@b.pl>,,");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Address(), "a@b.pl");
    EXPECT_EQ(list.Items(1).Name(), "Kowalski, Jan");
    EXPECT_EQ(list.Items(1).Address(), "jan@b.pl");
    EXPECT_EQ(list.Items(2).Text(), "Ewa <ewa@b.pl>");
    EXPECT_EQ(list.EMailAddresses(), "a@b.pl, \"Kowalski, Jan\" <jan@b.pl>, Ewa <ewa@b.pl>");
}

// One quoting rule for display names, wherever an address is written: the item's own text and
// the header agree, and reading the text back gives the name.
TEST(AddressQuoting, NamesWithSpecialsQuotesAndBackslashes) {
    struct Case {
        const char* name;
        const char* text;
    };
    for (const Case& c : {
             Case{"Jan Kowalski", "Jan Kowalski <a@b.pl>"},
             Case{"Kowalski, Jan", "\"Kowalski, Jan\" <a@b.pl>"},
             Case{"Jan \"Szef\" K", "\"Jan \\\"Szef\\\" K\" <a@b.pl>"},
             Case{"C:\\dane", "\"C:\\\\dane\" <a@b.pl>"},
             Case{"a\\\"b", "\"a\\\\\\\"b\" <a@b.pl>"},
             Case{"\\", "\"\\\\\" <a@b.pl>"},
             Case{"x.y", "\"x.y\" <a@b.pl>"},
         }) {
        TIdEmailAddressItem item;
        item.SetAddress("a@b.pl");
        item.SetName(c.name);
        EXPECT_EQ(item.Text(), c.text) << c.name;
        EXPECT_EQ(EncodeAddress(item), c.text) << c.name;
        TIdEmailAddressItem back(item.Text());
        EXPECT_EQ(back.Name(), c.name) << c.text;
        EXPECT_EQ(back.Address(), "a@b.pl") << c.text;
    }
}

TEST(AddressQuoting, ListSplitsOnlyOutsideQuotedStrings) {
    TIdEmailAddressList list;
    list.SetEMailAddresses("\"a\\\\\" <x@b.pl>, \"q\\\", r\" <y@b.pl>; z@b.pl");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Name(), "a\\");
    EXPECT_EQ(list.Items(0).Address(), "x@b.pl");
    EXPECT_EQ(list.Items(1).Name(), "q\", r");
    EXPECT_EQ(list.Items(1).Address(), "y@b.pl");
    EXPECT_EQ(list.Items(2).Address(), "z@b.pl");
    EXPECT_EQ(list.EMailAddresses(), "\"a\\\\\" <x@b.pl>, \"q\\\", r\" <y@b.pl>, z@b.pl");
}

TEST(AttachmentNames, ParameterIsAQuotedStringOrRfc2231) {
    struct Case {
        std::string name;
        std::string param;
    };
    for (const Case& c : {
             Case{"A.ZIP", "filename=\"A.ZIP\""},
             Case{"a\"b.zip", "filename=\"a\\\"b.zip\""},
             Case{"c\\d.zip", "filename=\"c\\\\d.zip\""},
             Case{"\"\\\"", "filename=\"\\\"\\\\\\\"\""},
             Case{"a;b=c d.zip", "filename=\"a;b=c d.zip\""},
             Case{"ż\".zip"_w, "filename*=windows-1250''%BF%22.zip"},
             Case{"a\tb\r\n.zip", "filename*=windows-1250''a%09b%0D%0A.zip"},
         }) {
        EXPECT_EQ(EncodeFileNameParam("filename", c.name), c.param) << c.name;
    }
}

// What we write, our own reader reads back: the names whole, in both parameters.
TEST(AttachmentNames, WrittenNamesReadBackWhole) {
    vltest::TempDir dir;
    vltest::WriteFile(dir.File("p.zip"), "PK");
    const std::vector<std::string> names = {"a\"b.zip",       "c\\d.zip",
                                            "\"\\\"",         "e\\\"f \"g\".zip",
                                            "żó\"ł\\w.zip"_w, std::string(70, '"') + ".zip"};
    TIdMessage msg;
    msg.From().SetAddress("b@example.com");
    msg.Recipients().Add().SetAddress("a@example.com");
    for (const std::string& n : names)
        TIdAttachment::Create(msg.MessageParts(), dir.File("p.zip")).SetFileName(n);
    MessageWriter writer(msg);
    std::string text;
    writer.Write([&](std::string_view chunk) { text += chunk; });
    EXPECT_EQ(static_cast<std::int64_t>(text.size()), writer.Size());

    TIdMessage back;
    ParseMessageBytes(text, back, false);
    ASSERT_EQ(back.MessageParts().Count(), static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& att = dynamic_cast<const TIdAttachment&>(back.MessageParts().Items(static_cast<int>(i)));
        EXPECT_EQ(att.FileName(), names[i]);
    }
}

TEST(MessageParsing, MalformedInputRaisesOrParsesWithoutCrashing) {
    TIdMessage msg;
    EXPECT_THROW(ParseMessageBytes("Content-Type: multipart/mixed\r\n\r\n--x\r\n", msg, false),
                 EIdMessageError);
    EXPECT_EQ(msg.MessageParts().Count(), 0);
    ParseMessageBytes("Subject: =?windows-1250?Q?=A3=F3d=9F?=\r\n\r\nbody\r\n", msg, false);
    EXPECT_EQ(msg.Subject(), "Łódź"_w);
    EXPECT_EQ(msg.Body(), "body\r\n");
    EXPECT_EQ(msg.Date(), 0);
}

// The subject as the sender wrote it: unfolded and decoded, blanks at either end kept, so that
// the title comparison can count them.
TEST(MessageParsing, SubjectKeepsItsBlanks) {
    struct Case {
        const char* header;
        std::string subject;
    };
    for (const Case& c : {
             Case{"Subject: Paczka", "Paczka"},
             Case{"Subject: Paczka ", "Paczka "},
             Case{"Subject:   Paczka", "  Paczka"},
             Case{"Subject: Paczka\r\n  1", "Paczka  1"},
             Case{"Subject: =?utf-8?Q?Przesy=C5=82ka_?=", "Przesyłka "_w},
             Case{"Subject: =?utf-8?B?UGFjemth?= =?utf-8?Q?_1?=", "Paczka 1"},
             Case{"Subject: =?windows-1250?Q?=A3=F3d=9F?= x ", "Łódź x "_w},
             Case{"Subject: a =?bogus?Q?x?= b", "a =?bogus?Q?x?= b"},
             Case{"Subject: \xA3\xF3"
                  "d\x9F",
                  "Łódź"_w},
             Case{"Subject:", ""},
         }) {
        TIdMessage msg;
        ParseMessageBytes(std::string(c.header) + "\r\nFrom: a@b.pl\r\n\r\nbody\r\n", msg, true);
        EXPECT_EQ(msg.Subject(), c.subject) << c.header;
    }
}

// RFC 2231 names are read whole: a NUL inside stays in the name (which no file may then have),
// and sections are joined in their order.
TEST(MessageParsing, Rfc2231FileNamesAreReadWhole) {
    struct Case {
        const char* disposition;
        std::string name;
    };
    for (const Case& c : {
             Case{"attachment; filename*=utf-8''a%00b.zip", std::string("a\0b.zip", 7)},
             Case{"attachment; filename*=utf-8''%C5%81%C3%B3d%C5%BA.zip", "Łódź.zip"_w},
             Case{"attachment;\r\n filename*0*=utf-8''Pa; filename*1=\"czka 1\"; filename*2*=%2Ezip",
                  "Paczka 1.zip"},
             Case{"attachment; filename=\"plain \\\"q\\\".zip\"", "plain \"q\".zip"},
             Case{"attachment; filename*=utf-8''%E6%97%A5.zip", "?.zip"},
         }) {
        TIdMessage msg;
        ParseMessageBytes(
            std::string("Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; "
                        "boundary=\"b\"\r\n\r\n--b\r\nContent-Type: application/octet-stream\r\n"
                        "Content-Disposition: ") +
                c.disposition + "\r\nContent-Transfer-Encoding: base64\r\n\r\neA==\r\n--b--\r\n",
            msg, false);
        ASSERT_EQ(msg.MessageParts().Count(), 1) << c.disposition;
        const auto& att = dynamic_cast<const TIdAttachment&>(msg.MessageParts().Items(0));
        EXPECT_EQ(att.FileName(), c.name) << c.disposition;
    }
}
