// TIdSMTP against aiosmtpd on loopback, in a private network namespace.

#include <net/IdAntiFreeze.h>
#include <net/IdAttachment.h>
#include <net/IdException.h>
#include <net/IdSMTP.h>

#include <runtime/Cp1250.h>
#include <runtime/MessagePump.h>

#include <SmtpServer.h>

#include "ScriptedPeer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace rtl;
using namespace net;

namespace {

std::string bytesOf(int seed, std::size_t n) {
    std::string s(n, '\0');
    unsigned x = static_cast<unsigned>(seed) * 2654435761u + 1;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

struct Events {
    std::vector<std::string> log;
    void bind(TIdSMTP& smtp) {
        smtp.OnWorkBegin = [this, &smtp](void* sender, TWorkMode mode, std::int64_t) {
            log.push_back(std::string("work") + (sender == &smtp && mode == wmWrite ? "" : "?"));
        };
        smtp.OnDisconnected = [this](void*) { log.push_back("disconnected"); };
    }
};

// From b@example.com to a@example.com with the one attachment `path`.
void addressWithAttachment(TIdMessage& msg, const std::string& path) {
    msg.From().SetAddress("b@example.com");
    msg.Recipients().Add().SetAddress("a@example.com");
    TIdAttachment::Create(msg.MessageParts(), path);
}

} // namespace

TEST(SmtpTest, ThreeAttachmentsArriveWithNamesOrderAndBytes) {
    VLTEST_PRIVATE_NETWORK();
    vltest::SmtpServer server;
    ASSERT_TRUE(server.Started()) << server.Log();
    vltest::TempDir dir;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"A.ZIP", bytesOf(1, 0)}, {"b.zip", bytesOf(2, 57 * 1152 + 1)}, {"c.Zip", bytesOf(3, 300001)}};
    TIdMessage msg;
    msg.SetSubject("Transakcje");
    msg.Recipients().Add().SetAddress("odbiorca@example.com");
    msg.ReplyTo().SetEMailAddresses("odbiorca@example.com");
    msg.From().SetAddress("nadawca@example.com");
    msg.From().SetName("Sklep 7");
    for (const auto& [name, data] : files) {
        vltest::WriteFile(dir.File(name), data);
        TIdAttachment::Create(msg.MessageParts(), dir.File(name));
    }

    TIdSMTP smtp;
    Events ev;
    ev.bind(smtp);
    smtp.SetHost("127.0.0.1");
    smtp.SetHeloName("stacja");
    smtp.Connect();
    smtp.Send(msg);
    smtp.Disconnect();
    EXPECT_EQ(ev.log, (std::vector<std::string>{"work", "disconnected"}));

    ASSERT_TRUE(server.WaitForMessages(1, 5000));
    auto mails = server.Messages();
    ASSERT_EQ(mails.size(), 1u);
    const auto& m = mails[0];
    EXPECT_EQ(m.mailFrom, "nadawca@example.com");
    EXPECT_EQ(m.rcptTos, (std::vector<std::string>{"odbiorca@example.com"}));
    EXPECT_EQ(m.heloName, "stacja");
    EXPECT_EQ(m.parsed.subject, "Transakcje");
    EXPECT_EQ(m.parsed.from, "Sklep 7 <nadawca@example.com>");
    EXPECT_EQ(m.parsed.to, "odbiorca@example.com");
    EXPECT_EQ(m.parsed.replyTo, "odbiorca@example.com");
    EXPECT_EQ(m.parsed.contentType, "multipart/mixed");
    EXPECT_EQ(m.parsed.textParts, 0);
    EXPECT_TRUE(m.parsed.defects.empty()) << m.parsed.defects[0];
    ASSERT_EQ(m.parsed.attachments.size(), 3u);
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(m.parsed.attachments[i].fileName, files[i].first);
        EXPECT_EQ(m.parsed.attachments[i].size, static_cast<std::int64_t>(files[i].second.size()));
        EXPECT_EQ(m.parsed.attachments[i].sha256, vltest::Sha256Hex(files[i].second));
    }
}

TEST(SmtpTest, PolishSubjectSenderAndFileNames) {
    VLTEST_PRIVATE_NETWORK();
    vltest::SmtpServer server;
    ASSERT_TRUE(server.Started()) << server.Log();
    vltest::TempDir dir;
    // Host file names are UTF-8; the message names them in Windows-1250.
    const std::string longName = "Zażółć gęślą jaźń - bardzo długa nazwa pliku z przesyłką nr 1234567890.zip";
    for (const std::string name : {"Łódź_ąę.zip", longName.c_str()})
        vltest::WriteFile(dir.File(name), "PK" + name);
    TIdMessage msg;
    msg.SetSubject(
        "Przesyłka z Łodzi: żółte jabłka, ćma i źdźbło trawy - długi temat wiadomości do zawinięcia"_w);
    msg.Recipients().Add().SetAddress("a@example.com");
    msg.From().SetAddress("b@example.com");
    msg.From().SetName("Paweł Żuraw"_w);
    TIdAttachment::Create(msg.MessageParts(), dir.File(utf8ToCp1250("Łódź_ąę.zip")));
    TIdAttachment::Create(msg.MessageParts(), dir.File(utf8ToCp1250(longName)));
    EXPECT_EQ(static_cast<TIdAttachment&>(msg.MessageParts().Items(0)).FileName(), "Łódź_ąę.zip"_w);

    TIdSMTP smtp;
    smtp.SetHost("localhost");
    smtp.Connect();
    smtp.Send(msg);
    smtp.Disconnect();
    ASSERT_TRUE(server.WaitForMessages(1, 5000));
    auto m = server.Messages().at(0);
    EXPECT_EQ(m.parsed.subject,
              "Przesyłka z Łodzi: żółte jabłka, ćma i źdźbło trawy - długi temat wiadomości do zawinięcia");
    EXPECT_EQ(m.parsed.from, "Paweł Żuraw <b@example.com>");
    ASSERT_EQ(m.parsed.attachments.size(), 2u);
    EXPECT_EQ(m.parsed.attachments[0].fileName, "Łódź_ąę.zip");
    EXPECT_EQ(m.parsed.attachments[1].fileName, longName);
    EXPECT_EQ(m.parsed.attachments[1].size, static_cast<std::int64_t>(2 + longName.size()));
    // Headers stay 7-bit: every non-ASCII text went out encoded.
    for (unsigned char c : m.raw.substr(0, m.raw.find("\r\n\r\n")))
        ASSERT_LT(c, 0x80);
}

// Names holding double quotes and backslashes keep the headers whole: another MIME reader finds
// each name exactly, in the file name and in the type's name, and no defect.
TEST(SmtpTest, QuotesAndBackslashesInAttachmentNamesArriveExactly) {
    VLTEST_PRIVATE_NETWORK();
    vltest::SmtpServer server;
    ASSERT_TRUE(server.Started()) << server.Log();
    vltest::TempDir dir;
    const std::vector<std::string> names = {"a\"b.zip", "c\\d.zip", "\"\\\"", "e\\\"f \"g\";h=i.zip",
                                            "Łódź \"ż\"\\x.zip"};
    TIdMessage msg;
    msg.From().SetAddress("b@example.com");
    msg.From().SetName("Sklep \"7\" C:\\");
    msg.Recipients().Add().SetAddress("a@example.com");
    msg.ReplyTo().SetEMailAddresses("\"Centrala \\\"A\\\"\" <a@example.com>");
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string file = dir.File("p" + std::to_string(i) + ".zip");
        vltest::WriteFile(file, bytesOf(static_cast<int>(i), 100 + i));
        TIdAttachment::Create(msg.MessageParts(), file).SetFileName(utf8ToCp1250(names[i]));
    }

    TIdSMTP smtp;
    smtp.SetHost("127.0.0.1");
    smtp.Connect();
    smtp.Send(msg);
    smtp.Disconnect();

    ASSERT_TRUE(server.WaitForMessages(1, 5000));
    const auto mails = server.Messages();
    ASSERT_EQ(mails.size(), 1u);
    const auto& m = mails[0];
    EXPECT_TRUE(m.parsed.defects.empty()) << m.parsed.defects[0];
    EXPECT_EQ(m.parsed.from, "\"Sklep \\\"7\\\" C:\\\\\" <b@example.com>");
    EXPECT_EQ(m.parsed.replyTo, "\"Centrala \\\"A\\\"\" <a@example.com>");
    ASSERT_EQ(m.parsed.attachments.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(m.parsed.attachments[i].fileName, names[i]);
        EXPECT_EQ(m.parsed.attachments[i].typeName, names[i]);
        EXPECT_EQ(m.parsed.attachments[i].size, static_cast<std::int64_t>(100 + i));
        EXPECT_EQ(m.parsed.attachments[i].sha256, vltest::Sha256Hex(bytesOf(static_cast<int>(i), 100 + i)));
    }
}

TEST(SmtpTest, RefusedRecipientGivesCodeAndTextAndKeepsTheConnection) {
    VLTEST_PRIVATE_NETWORK();
    vltest::SmtpServerOptions o;
    o.refuseRecipients["nikt@example.com"] = "550 5.1.1 User unknown";
    vltest::SmtpServer server(o);
    ASSERT_TRUE(server.Started()) << server.Log();
    TIdMessage msg;
    msg.From().SetAddress("b@example.com");
    msg.Recipients().Add().SetAddress("nikt@example.com");
    TIdSMTP smtp;
    Events ev;
    ev.bind(smtp);
    smtp.SetHost("127.0.0.1");
    smtp.Connect();
    try {
        smtp.Send(msg);
        FAIL() << "no error";
    } catch (const EIdProtocolReplyError& e) {
        EXPECT_EQ(e.ReplyErrorCode(), 550);
        EXPECT_EQ(e.Message(), "5.1.1 User unknown");
    }
    EXPECT_TRUE(smtp.Connected());
    EXPECT_TRUE(ev.log.empty());
    EXPECT_EQ(server.MessageCount(), 0u);
}

TEST(SmtpTest, RefusedHelloSendsQuitClosesAndReportsBeforeTheError) {
    VLTEST_PRIVATE_NETWORK();
    vltest::SmtpServerOptions o;
    o.refuseHello = "554 5.7.1 Go away";
    vltest::SmtpServer server(o);
    ASSERT_TRUE(server.Started()) << server.Log();
    TIdSMTP smtp;
    Events ev;
    ev.bind(smtp);
    smtp.SetHost("127.0.0.1");
    try {
        smtp.Connect();
        FAIL() << "no error";
    } catch (const EIdProtocolReplyError& e) {
        EXPECT_EQ(ev.log, (std::vector<std::string>{"disconnected"}));
        EXPECT_EQ(e.ReplyErrorCode(), 554);
        EXPECT_EQ(e.Message(), "5.7.1 Go away");
    }
    EXPECT_FALSE(smtp.Connected());
}

struct SocketCase {
    const char* host;
    int port;
    int code;
    const char* text;
};

class SmtpSocketErrors : public ::testing::TestWithParam<SocketCase> {};

TEST_P(SmtpSocketErrors, RaiseTheWinsockNumberAndNoEvent) {
    VLTEST_PRIVATE_NETWORK();
    TIdSMTP smtp;
    Events ev;
    ev.bind(smtp);
    smtp.SetHost(GetParam().host);
    smtp.SetPort(GetParam().port);
    try {
        smtp.Connect();
        FAIL() << "no error";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.LastError(), GetParam().code);
        EXPECT_EQ(e.Message(), GetParam().text);
    }
    EXPECT_TRUE(ev.log.empty());
    EXPECT_FALSE(smtp.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmtpSocketErrors,
    ::testing::Values(SocketCase{"127.0.0.1", 25, 10061, "Socket Error # 10061\r\nConnection refused."},
                      SocketCase{"brak", 25, 11001, "Socket Error # 11001\r\nHost not found."},
                      SocketCase{"no-such-host.invalid", 25, 11001,
                                 "Socket Error # 11001\r\nHost not found."}));

TEST(SmtpTest, MissingAttachmentFileFailsBeforeAnythingIsSent) {
    VLTEST_PRIVATE_NETWORK();
    vltest::SmtpServer server;
    ASSERT_TRUE(server.Started()) << server.Log();
    vltest::TempDir dir;
    TIdMessage msg;
    addressWithAttachment(msg, dir.File("BRAK.ZIP"));
    TIdSMTP smtp;
    smtp.SetHost("127.0.0.1");
    smtp.Connect();
    EXPECT_THROW(smtp.Send(msg), rtl::EInOutError);
    EXPECT_TRUE(smtp.Connected());
    smtp.Disconnect();
    EXPECT_EQ(server.MessageCount(), 0u);
}

TEST(SmtpTest, AntiFreezePumpsWhileDataFlowsUnlessOnlyWhenIdle) {
    VLTEST_PRIVATE_NETWORK();
    vltest::SmtpServer server;
    ASSERT_TRUE(server.Started()) << server.Log();
    vltest::TempDir dir;
    vltest::WriteFile(dir.File("big.zip"), bytesOf(9, 20 * 1024 * 1024));
    int pumped = 0;
    rtl::SetMessagePump([&] { ++pumped; });
    {
        TIdAntiFreeze af;
        af.SetOnlyWhenIdle(false);
        EXPECT_THROW(TIdAntiFreeze second, EIdException);
        TIdMessage msg;
        addressWithAttachment(msg, dir.File("big.zip"));
        TIdSMTP smtp;
        smtp.SetHost("127.0.0.1");
        smtp.Connect();
        smtp.Send(msg);
        smtp.Disconnect();
    }
    rtl::SetMessagePump({});
    EXPECT_GT(pumped, 0);
    ASSERT_TRUE(server.WaitForMessages(1, 5000));
    EXPECT_EQ(server.Messages().at(0).parsed.attachments.at(0).size, 20 * 1024 * 1024);
}

// With OnlyWhenIdle the toolkit is pumped while the client waits for the server's reply, but not
// while a message's data goes out, even when the server stops taking it for a while; without it,
// also then. The scripted server stalls mid-data and delays its final reply, and the pump calls
// are counted in those two phases.
struct IdlePhaseCase {
    bool onlyWhenIdle;
    bool pumpsWhileDataFlows;
};

class AntiFreezePhases : public ::testing::TestWithParam<IdlePhaseCase> {};

TEST_P(AntiFreezePhases, PumpsWhileWaitingForTheReplyAndWhileDataFlowsOnlyWhenAsked) {
    VLTEST_PRIVATE_NETWORK();
    using nettest::Clock;
    using namespace std::chrono_literals;
    constexpr std::size_t kFile = 20 * 1024 * 1024;
    vltest::TempDir dir;
    vltest::WriteFile(dir.File("big.zip"), bytesOf(5, kFile));

    std::vector<std::string> commands;
    std::size_t received = 0;
    Clock::time_point stallStart{}, stallEnd{}, dataEnd{}, replied{};
    nettest::ScriptedPeer peer(
        [&](nettest::PeerConnection& c) {
            c.Send("220 scripted ESMTP\r\n");
            for (const char* reply : {"250 hello", "250 sender ok", "250 recipient ok", "354 go ahead"}) {
                commands.push_back(c.ReadLine());
                c.Send(std::string(reply) + "\r\n");
            }
            received = c.ReadData([&](std::size_t total) {
                if (total >= 4 * 1024 * 1024 && stallStart == Clock::time_point{}) {
                    stallStart = Clock::now();
                    std::this_thread::sleep_for(1000ms);
                    stallEnd = Clock::now();
                }
            });
            dataEnd = Clock::now();
            std::this_thread::sleep_for(400ms);
            replied = Clock::now();
            c.Send("250 queued\r\n");
            commands.push_back(c.ReadLine());
            c.Send("221 bye\r\n");
        },
        64 * 1024);

    std::vector<Clock::time_point> pumps;
    Clock::time_point workBegin{};
    std::int64_t dataSize = 0;
    rtl::SetMessagePump([&] { pumps.push_back(Clock::now()); });
    {
        TIdAntiFreeze af;
        af.SetOnlyWhenIdle(GetParam().onlyWhenIdle);
        TIdMessage msg;
        addressWithAttachment(msg, dir.File("big.zip"));
        TIdSMTP smtp;
        smtp.SetHost("127.0.0.1");
        smtp.SetPort(peer.Port());
        smtp.SetHeloName("stacja");
        smtp.OnWorkBegin = [&](void*, TWorkMode, std::int64_t size) {
            workBegin = Clock::now();
            dataSize = size;
        };
        smtp.Connect();
        smtp.Send(msg);
        smtp.Disconnect();
    }
    rtl::SetMessagePump({});
    peer.Finish();

    EXPECT_EQ(commands, (std::vector<std::string>{"EHLO stacja", "MAIL FROM:<b@example.com>",
                                                  "RCPT TO:<a@example.com>", "DATA", "QUIT"}));
    // Base64 never starts a line with a dot: the data is the announced size and the end mark.
    EXPECT_EQ(received, static_cast<std::size_t>(dataSize) + 3);
    EXPECT_GT(dataSize, static_cast<std::int64_t>(kFile / 3 * 4));
    ASSERT_NE(stallStart, Clock::time_point{});
    auto pumpsIn = [&](Clock::time_point from, Clock::time_point to) {
        return std::count_if(pumps.begin(), pumps.end(), [&](auto t) { return t >= from && t <= to; });
    };
    const auto flowing = pumpsIn(workBegin, stallEnd);
    const auto waiting = pumpsIn(dataEnd, replied);
    if (GetParam().pumpsWhileDataFlows)
        EXPECT_GE(flowing, 5);
    else
        EXPECT_EQ(flowing, 0);
    EXPECT_GE(waiting, 5);
}

INSTANTIATE_TEST_SUITE_P(Modes, AntiFreezePhases,
                         ::testing::Values(IdlePhaseCase{true, false}, IdlePhaseCase{false, true}),
                         [](const auto& info) {
                             return info.param.onlyWhenIdle ? "OnlyWhenIdle" : "Always";
                         });
