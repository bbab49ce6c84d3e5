// TIdPOP3 and received TIdMessage against dovecot on loopback, in a private network namespace.

#include <net/IdAttachment.h>
#include <net/IdException.h>
#include <net/IdPOP3.h>
#include <net/IdText.h>
#include <net/MessageParser.h>

#include <runtime/Cp1250.h>

#include <Pop3Server.h>

#include "ScriptedPeer.h"

#include <chrono>
#include <optional>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace rtl;
using namespace net;

namespace {

// What a common mail client sends: text and HTML alternatives inside multipart/mixed, the
// attachment named in RFC 2231 form, a quoted-printable text.
const std::string kClientMail =
    "From: =?UTF-8?Q?Pawe=C5=82_Nowak?= <pawel@example.com>\r\n"
    "To: sklep@example.com\r\n"
    "Subject: =?UTF-8?B?UHJ6ZXN5xYJrYQ==?=\r\n"
    "Date: Tue, 10 Dec 2024 14:03:05 +0000\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"OUT\"\r\n"
    "\r\n"
    "--OUT\r\n"
    "Content-Type: multipart/alternative; boundary=\"ALT\"\r\n"
    "\r\n"
    "--ALT\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "W za=C5=82=C4=85czniku.\r\n"
    "--ALT\r\n"
    "Content-Type: text/html; charset=utf-8\r\n"
    "\r\n"
    "<p>W za\xC5\x82\xC4\x85"
    "czniku.</p>\r\n"
    "--ALT--\r\n"
    "\r\n"
    "--OUT\r\n"
    "Content-Type: application/zip\r\n"
    "Content-Disposition: attachment; filename*=utf-8''%C5%81%C3%B3d%C5%BA.zip\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "UEsDBAoAAAAAAA==\r\n"
    "--OUT\r\n"
    "Content-Type: application/octet-stream; name=\"=?windows-1250?B?v7NmLmJpbg==?=\"\r\n"
    "Content-Transfer-Encoding: 8bit\r\n"
    "\r\n"
    "8bit\x01\xff data\r\n"
    "--OUT--\r\n";

std::string plainMail(const std::string& subject) {
    return "From: Jan <jan@example.com>\r\nTo: x@example.com\r\nSubject: " + subject +
           "\r\nDate: Mon, 2 Jan 2023 10:00:00 +0000\r\n\r\nTekst.\r\n";
}

struct Pop3Fixture : ::testing::Test {
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        server = std::make_unique<vltest::Pop3Server>();
        ASSERT_TRUE(server->Started()) << server->Log();
        pop.SetHost("127.0.0.1");
        pop.SetUsername("jan");
        pop.SetPassword("tajne");
        pop.OnDisconnected = [this](void* sender) {
            events.push_back(sender == &pop ? "disconnected" : "?");
        };
    }
    std::unique_ptr<vltest::Pop3Server> server;
    TIdPOP3 pop;
    std::vector<std::string> events;
    vltest::TempDir dir;
};

// Connect is refused: OnDisconnected first, then EIdProtocolReplyError(2, text), closed.
void expectRefusedConnect(TIdPOP3& pop, const std::vector<std::string>& events, const std::string& text) {
    try {
        pop.Connect();
        ADD_FAILURE() << "no error";
    } catch (const EIdProtocolReplyError& e) {
        EXPECT_EQ(events, (std::vector<std::string>{"disconnected"}));
        EXPECT_EQ(e.ReplyErrorCode(), 2);
        EXPECT_EQ(e.Message(), text);
    }
    EXPECT_FALSE(pop.Connected());
}

} // namespace

TEST_F(Pop3Fixture, ListsHeadersSizesAndSavesAttachmentsOfARealClientsMessage) {
    server->AddMessage(plainMail("Inny temat"));
    server->AddMessage(kClientMail);
    pop.Connect();
    EXPECT_TRUE(pop.Connected());
    ASSERT_EQ(pop.CheckMessages(), 2);

    TIdMessage msg;
    ASSERT_TRUE(pop.RetrieveHeader(1, msg));
    EXPECT_EQ(msg.Subject(), "Inny temat");
    EXPECT_EQ(msg.From().Text(), "Jan <jan@example.com>");
    EXPECT_EQ(msg.MessageParts().Count(), 0);
    EXPECT_EQ(pop.RetrieveMsgSize(1), static_cast<std::int64_t>(plainMail("Inny temat").size()));

    ASSERT_TRUE(pop.RetrieveHeader(2, msg));
    EXPECT_EQ(msg.Subject(), "Przesyłka"_w);
    EXPECT_EQ(msg.From().Name(), "Paweł Nowak"_w);
    EXPECT_EQ(msg.From().Address(), "pawel@example.com");
    EXPECT_EQ(msg.MessageParts().Count(), 0);

    ASSERT_TRUE(pop.Retrieve(2, msg));
    EXPECT_EQ(msg.Subject(), "Przesyłka"_w);
    ASSERT_EQ(msg.MessageParts().Count(), 4);
    EXPECT_FALSE(msg.MessageParts().Items(0).IsAttachment());
    EXPECT_EQ(static_cast<TIdText&>(msg.MessageParts().Items(0)).Body(), "W załączniku."_w);
    EXPECT_FALSE(msg.MessageParts().Items(1).IsAttachment());
    ASSERT_TRUE(msg.MessageParts().Items(2).IsAttachment());
    ASSERT_TRUE(msg.MessageParts().Items(3).IsAttachment());
    auto& zip = static_cast<TIdAttachment&>(msg.MessageParts().Items(2));
    auto& bin = static_cast<TIdAttachment&>(msg.MessageParts().Items(3));
    EXPECT_EQ(zip.FileName(), "Łódź.zip"_w);
    EXPECT_EQ(bin.FileName(), "żłf.bin"_w);

    zip.SaveToFile(dir.File("out.zip"));
    bin.SaveToFile(dir.Path() + "\\" + "out.bin");
    EXPECT_EQ(vltest::ReadFile(dir.File("out.zip")), std::string("PK\x03\x04\x0a\0\0\0\0\0", 10));
    EXPECT_EQ(vltest::ReadFile(dir.File("out.bin")), "8bit\x01\xff data");
    // The date in local time, 14:03:05 UTC on 10 December 2024.
    TDateTime utc = rtl::EncodeDateTime(2024, 12, 10, 14, 3, 5);
    EXPECT_NEAR(msg.Date(), utc, 1.0);

    ASSERT_TRUE(pop.Delete(2));
    pop.Disconnect();
    EXPECT_EQ(events, (std::vector<std::string>{"disconnected"}));
    EXPECT_FALSE(pop.Connected());
    ASSERT_TRUE(server->WaitForSessions(1, 5000));
    auto s = server->Sessions().at(0);
    EXPECT_EQ(s.top, 2) << s.line;
    EXPECT_EQ(s.retr, 1) << s.line;
    EXPECT_EQ(s.del, 1) << s.line;
    EXPECT_EQ(server->Messages().size(), 1u);
}

TEST_F(Pop3Fixture, SavingOverAnExistingFileFailsAndKeepsIt) {
    server->AddMessage(kClientMail);
    pop.Connect();
    TIdMessage msg;
    ASSERT_TRUE(pop.Retrieve(1, msg));
    auto& zip = static_cast<TIdAttachment&>(msg.MessageParts().Items(2));
    vltest::WriteFile(dir.File("x.zip"), "old");
    try {
        zip.SaveToFile(dir.File("x.zip"));
        FAIL() << "no error";
    } catch (const EIdException& e) {
        EXPECT_EQ(e.Message(), "Error saving attachment.");
    }
    EXPECT_EQ(vltest::ReadFile(dir.File("x.zip")), "old");
    EXPECT_THROW(zip.SaveToFile(dir.File("no-such-folder/x.zip")), EIdException);
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (std::vector<std::string>{"x.zip"}));
}

TEST_F(Pop3Fixture, RefusedLoginSendsQuitReportsThenRaisesCode2) {
    pop.SetPassword("zle-haslo");
    expectRefusedConnect(pop, events, "[AUTH] Authentication failed.");
    ASSERT_TRUE(server->WaitForSessions(0, 100));
    // dovecot words the QUIT of a session that never logged in "Aborted login by logging out".
    const std::string quit = "Aborted login by logging out";
    vltest::WaitUntil([&] { return server->Log().find(quit) != std::string::npos; }, 2000);
    EXPECT_NE(server->Log().find(quit), std::string::npos) << server->Log();
}

TEST_F(Pop3Fixture, RefusedRetrGivesFalseAndAnEmptyMessage) {
    server->AddMessage(kClientMail);
    pop.Connect();
    ASSERT_TRUE(pop.Delete(1));
    TIdMessage msg;
    msg.SetSubject("stary");
    EXPECT_FALSE(pop.Retrieve(1, msg));
    EXPECT_EQ(msg.Subject(), "");
    EXPECT_EQ(msg.MessageParts().Count(), 0);
    // Every other command requires +OK.
    try {
        pop.RetrieveMsgSize(7);
        FAIL() << "no error";
    } catch (const EIdProtocolReplyError& e) {
        EXPECT_EQ(e.ReplyErrorCode(), 2);
        EXPECT_EQ(e.Message(), "There's no message 7.");
    }
}

TEST_F(Pop3Fixture, OverlongLineRaisesMaxLineLengthExceeded) {
    server->AddMessage("Subject: dlugi\r\n\r\n" + std::string(20000, 'x') + "\r\n");
    pop.Connect();
    TIdMessage msg;
    try {
        pop.Retrieve(1, msg);
        FAIL() << "no error";
    } catch (const EIdMaxLineLengthExceeded& e) {
        EXPECT_EQ(e.Message(), "Max line length exceeded.");
    }
    EXPECT_EQ(msg.MessageParts().Count(), 0);
}

TEST_F(Pop3Fixture, TruncatedMessageRaisesAndOffersNoPart) {
    std::string cut =
        kClientMail.substr(0, kClientMail.find("--OUT\r\nContent-Type: application/octet") + 40);
    server->AddMessage(cut);
    pop.Connect();
    TIdMessage msg;
    EXPECT_THROW(pop.Retrieve(1, msg), EIdMessageError);
    EXPECT_EQ(msg.MessageParts().Count(), 0);
    EXPECT_TRUE(pop.Connected());
    EXPECT_EQ(pop.CheckMessages(), 1);
}

TEST(Pop3SocketTest, ConnectionRefusedAndUnknownHostRaiseNoEvent) {
    VLTEST_PRIVATE_NETWORK();
    for (auto [host, code] : {std::pair{"127.0.0.1", 10061}, std::pair{"brak", 11001}}) {
        TIdPOP3 pop;
        int events = 0;
        pop.OnDisconnected = [&](void*) { ++events; };
        pop.SetHost(host);
        try {
            pop.Connect();
            FAIL() << host;
        } catch (const EIdSocketError& e) {
            EXPECT_EQ(e.LastError(), code);
        }
        EXPECT_EQ(events, 0);
    }
}

TEST(Pop3ScriptedTest, RefusedGreetingSendsQuitReportsThenRaisesCode2) {
    VLTEST_PRIVATE_NETWORK();
    std::vector<std::string> heard;
    nettest::ScriptedPeer peer([&](nettest::PeerConnection& c) {
        c.Send("-ERR busy\r\n");
        heard.push_back(c.ReadLine());
        c.Send("+OK bye\r\n");
        c.ReadLine();
        heard.push_back(c.Closed() ? "closed" : "still open");
    });
    TIdPOP3 pop;
    std::vector<std::string> events;
    pop.OnDisconnected = [&](void* sender) { events.push_back(sender == &pop ? "disconnected" : "?"); };
    pop.SetHost("127.0.0.1");
    pop.SetPort(peer.Port());
    pop.SetUsername("jan");
    pop.SetPassword("tajne");
    expectRefusedConnect(pop, events, "busy");
    peer.Finish();
    EXPECT_EQ(heard, (std::vector<std::string>{"QUIT", "closed"}));
}

namespace {

// A message with one attachment of 60,000 bytes, as POP3 carries it (CR LF lines, no end mark).
std::string attachmentMail() {
    std::string b64;
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int line = 0; line < 1000; ++line) {
        for (int i = 0; i < 80; ++i)
            b64 += kAlphabet[(line * 7 + i) % 64];
        b64 += "\r\n";
    }
    return "From: a@example.com\r\nSubject: Paczka\r\nMIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
           "--B\r\nContent-Type: application/zip\r\n"
           "Content-Disposition: attachment; filename=\"P.ZIP\"\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           b64 + "--B--\r\n";
}

struct CutCase {
    const char* name;
    std::size_t (*cut)(const std::string& mail); // bytes sent before the server closes
};

} // namespace

class Pop3ClosedMidRetr : public ::testing::TestWithParam<CutCase> {};

// The server sends part of the message and closes: the client raises, offers no part of it and
// leaves no file behind (its spool is nameless).
TEST_P(Pop3ClosedMidRetr, RaisesOffersNoPartsAndLeavesNoFile) {
    VLTEST_PRIVATE_NETWORK();
    const std::string mail = attachmentMail();
    const std::size_t cut = GetParam().cut(mail);
    std::vector<std::string> heard;
    nettest::ScriptedPeer peer([&](nettest::PeerConnection& c) {
        c.Send("+OK ready\r\n");
        for (int i = 0; i < 3; ++i) {
            heard.push_back(c.ReadLine());
            c.Send(i < 2 ? "+OK\r\n" : "+OK " + std::to_string(mail.size()) + " octets\r\n");
        }
        c.Send(std::string_view(mail).substr(0, cut));
    });
    vltest::TempDir spool("vlspool");
    std::optional<vltest::ScopedEnv> tmp(std::in_place, "TMPDIR", spool.Path());

    TIdPOP3 pop;
    int events = 0;
    pop.OnDisconnected = [&](void*) { ++events; };
    pop.SetHost("127.0.0.1");
    pop.SetPort(peer.Port());
    pop.SetUsername("jan");
    pop.SetPassword("tajne");
    pop.Connect();
    TIdMessage msg;
    msg.SetSubject("stary");
    try {
        pop.Retrieve(1, msg);
        ADD_FAILURE() << "no error";
    } catch (const EIdConnClosedGracefully& e) {
        EXPECT_EQ(e.Message(), "Connection Closed Gracefully.");
    }
    tmp.reset();
    peer.Finish();

    EXPECT_EQ(heard, (std::vector<std::string>{"USER jan", "PASS tajne", "RETR 1"}));
    EXPECT_EQ(msg.MessageParts().Count(), 0);
    EXPECT_EQ(msg.Subject(), "");
    EXPECT_FALSE(pop.Connected());
    EXPECT_EQ(events, 0);
    EXPECT_EQ(vltest::ListFolder(spool.Path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, Pop3ClosedMidRetr,
    ::testing::Values(
        CutCase{"InTheHeaders", [](const std::string&) -> std::size_t { return 30; }},
        CutCase{"AtALineEndInTheAttachment",
                [](const std::string& m) { return m.find("\r\n", m.size() / 2) + 2; }},
        CutCase{"InsideALineOfTheAttachment", [](const std::string& m) { return m.size() / 2 + 5; }},
        CutCase{"WholeMessageWithoutTheEndMark", [](const std::string& m) { return m.size(); }}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// A client pointed at the scripted peer.
void connectTo(TIdPOP3& pop, const nettest::ScriptedPeer& peer) {
    pop.SetHost("127.0.0.1");
    pop.SetPort(peer.Port());
    pop.SetUsername("jan");
    pop.SetPassword("tajne");
}

// The peer's side of a login that succeeds.
void acceptLogin(nettest::PeerConnection& c) {
    c.Send("+OK ready\r\n");
    c.ReadLine();
    c.Send("+OK\r\n");
    c.ReadLine();
    c.Send("+OK\r\n");
}

} // namespace

// A server that accepts the connection and then says nothing, before the greeting or in the
// middle of a message, ends the call with the socket time-out once the silence lasts longer
// than the component allows, and the connection is closed without an event.
TEST(Pop3ScriptedTest, SilentServerEndsTheCallWithTheSocketTimeOut) {
    VLTEST_PRIVATE_NETWORK();
    for (bool greets : {false, true}) {
        nettest::ScriptedPeer peer([&](nettest::PeerConnection& c) {
            if (greets) {
                acceptLogin(c);
                c.ReadLine(); // RETR 1
                c.Send("+OK 900 octets\r\nSubject: Paczka\r\n\r\nthe first lines, then nothing");
            }
            c.ReadLine(); // until the client goes
        });
        TIdPOP3 pop;
        int events = 0;
        pop.OnDisconnected = [&](void*) { ++events; };
        connectTo(pop, peer);
        EXPECT_EQ(pop.SilenceTimeout(), 120000);
        pop.SetSilenceTimeout(300);
        const auto start = std::chrono::steady_clock::now();
        try {
            pop.Connect();
            TIdMessage msg;
            pop.Retrieve(1, msg);
            ADD_FAILURE() << "no error";
        } catch (const EIdSocketError& e) {
            EXPECT_EQ(e.LastError(), 10060);
            EXPECT_EQ(e.Message(), "Socket Error # 10060\r\nConnection timed out.");
        }
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_GE(took, std::chrono::milliseconds(300)) << greets;
        EXPECT_LT(took, std::chrono::seconds(5)) << greets;
        EXPECT_FALSE(pop.Connected());
        EXPECT_EQ(events, 0);
    }
}

// A "+OK" to STAT without a number, or with one that is none, is a reply the client cannot
// read, not a refusal: it raises the plain component error, not the code 2 of a "-ERR".
TEST(Pop3ScriptedTest, StatWithoutACountIsNoRefusal) {
    VLTEST_PRIVATE_NETWORK();
    for (const std::string reply : {"+OK", "+OK many 100", "+OK 12x 100"}) {
        nettest::ScriptedPeer peer([&](nettest::PeerConnection& c) {
            acceptLogin(c);
            c.ReadLine();
            c.Send(reply + "\r\n");
            c.ReadLine();
        });
        TIdPOP3 pop;
        connectTo(pop, peer);
        pop.Connect();
        try {
            pop.CheckMessages();
            ADD_FAILURE() << reply;
        } catch (const EIdProtocolReplyError& e) {
            ADD_FAILURE() << reply << ": " << e.Message();
        } catch (const EIdException& e) {
            const std::string shown = reply.size() > 4 ? reply.substr(4, reply.find(' ', 4) - 4) : "";
            EXPECT_EQ(e.Message(), "'" + shown + "' is not a valid integer value");
        }
        pop.Disconnect();
    }
}
