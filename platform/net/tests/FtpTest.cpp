// TNMFTP against vsftpd and Debian's ftp-proxy on loopback in a private network namespace, and
// against a scripted server for what real servers will not do on demand.

#include <net/IdException.h>
#include <net/NMFTP.h>

#include <FtpServer.h>
#include <HostileFtpServer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

using namespace net;
using vltest::FtpMisbehaviour;

namespace {

const std::string kNews = "[Program]\r\nWersja=8.1\r\nLastUpd=2026/12/01\r\n";

// Records every notification as one line; consecutive progress notifications count as one.
struct Recorder {
    explicit Recorder(TNMFTP& ftp, std::string localFile = {}) : local(std::move(localFile)) {
        auto add = [this](std::string e) { events.push_back(std::move(e)); };
        ftp.OnHostResolved = [add](void*) { add("HostResolved"); };
        ftp.OnInvalidHost = [add](void*, bool& handled) {
            add(handled ? "InvalidHost handled?" : "InvalidHost");
        };
        ftp.OnConnectionFailed = [add](void*) { add("ConnectionFailed"); };
        ftp.OnConnect = [add](void*) { add("Connect"); };
        ftp.OnDisconnect = [add](void*) { add("Disconnect"); };
        ftp.OnStatus = [this](void*, const std::string& s) { statuses.push_back(s); };
        ftp.OnTransactionStart = [add](void*) { add("TransactionStart"); };
        ftp.OnTransactionStop = [add](void*) { add("TransactionStop"); };
        ftp.OnPacketRecvd = [this, &ftp](void*) {
            progress.emplace_back(ftp.BytesRecvd(), ftp.BytesTotal());
            if (events.empty() || events.back() != "PacketRecvd")
                events.push_back("PacketRecvd");
        };
        ftp.OnSuccess = [this, add](void*, TTransType t) {
            // The file must be complete and closed under its name by now.
            add("Success " + std::to_string(t) +
                (t == ttDownload ? " file " + std::to_string(vltest::ReadFile(local).size()) : ""));
        };
        ftp.OnFailure = [add](void*, bool& handled, TTransType t) {
            add("Failure " + std::to_string(t) + (handled ? " handled?" : ""));
        };
        ftp.OnUnSupportedFunction = [add](void*, TTransType t) { add("UnSupported " + std::to_string(t)); };
        ftp.OnError = [add](void*, std::uint16_t n, const std::string& text) {
            add("Error " + std::to_string(n) + " " + text);
        };
    }
    std::string local;
    std::vector<std::string> events, statuses;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
};

using Events = std::vector<std::string>;

struct FtpFixture : ::testing::Test {
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        server = std::make_unique<vltest::FtpServer>();
        ASSERT_TRUE(server->Started()) << server->Log();
        server->AddFile("pub/news/ox8_news.inf", kNews);
        ftp.SetHost("127.0.0.1");
        ftp.SetUserID("anonymous");
        ftp.SetPassword("serwis@example.com");
        ftp.SetTimeOut(5000);
        ftp.SetReportLevel(1);
    }
    std::unique_ptr<vltest::FtpServer> server;
    TNMFTP ftp;
    vltest::TempDir dir;
    std::string local = dir.File("ox8_news.inf");
    Recorder rec{ftp, local};
};

template <class E, class F> E expectThrow(F f) {
    try {
        f();
    } catch (const E& e) {
        return e;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "other error: " << e.what();
        throw;
    }
    ADD_FAILURE() << "no error";
    throw std::runtime_error("no error");
}

} // namespace

TEST_F(FtpFixture, DownloadRaisesItsNotificationsInOrderAndReplacesTheOlderCopy) {
    vltest::WriteFile(local, "older copy");
    ftp.Connect();
    ftp.Connect(); // no effect when connected
    ftp.Mode(tmImage);
    ftp.Download("pub/news/ox8_news.inf", local);
    EXPECT_EQ(rec.events, (Events{"HostResolved", "Connect", "Success 14", "TransactionStart", "PacketRecvd",
                                  "TransactionStop", "Success 8 file " + std::to_string(kNews.size())}));
    EXPECT_EQ(rec.statuses,
              (Events{"Resolving 127.0.0.1", "Connecting to 127.0.0.1 port 21", "Logged in as anonymous"}));
    EXPECT_EQ(vltest::ReadFile(local), kNews);
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (Events{"ox8_news.inf"}));
    ASSERT_FALSE(rec.progress.empty());
    EXPECT_EQ(rec.progress.back(), std::make_pair(std::int64_t(kNews.size()), std::int64_t(kNews.size())));
    EXPECT_TRUE(ftp.Connected());

    ASSERT_TRUE(server->WaitForCount("OK DOWNLOAD", 1));
    EXPECT_EQ(server->Logins(), 1);
    auto commands = server->Commands();
    ASSERT_EQ(commands.size(), 4u) << server->Log();
    EXPECT_EQ(commands[0], "USER anonymous"); // logged in at once: no PASS asked for
    EXPECT_EQ(commands[1], "TYPE I");
    EXPECT_EQ(commands[2].rfind("PORT 127,0,0,1,", 0), 0u) << commands[2];
    EXPECT_EQ(commands[3], "RETR pub/news/ox8_news.inf");

    ftp.Disconnect();
    EXPECT_EQ(rec.events.back(), "Disconnect");
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(rec.statuses.back(), "Disconnected");
}

TEST_F(FtpFixture, ProtocolTraceAtLevel16) {
    ftp.SetReportLevel(16);
    ftp.Connect();
    ftp.Mode(tmImage);
    EXPECT_EQ(rec.statuses, (Events{"Resolving 127.0.0.1", "Connecting to 127.0.0.1 port 21",
                                    "220 (vsFTPd 3.0.3)", "USER anonymous", "230 Login successful.",
                                    "Logged in as anonymous", "TYPE I", "200 Switching to Binary mode."}));
}

TEST_F(FtpFixture, OneMegabyteArrivesByteForByteWithProgressUpToTheAnnouncedSize) {
    std::string big(1 << 20, '\0');
    std::mt19937 rng(15);
    for (auto& c : big)
        c = static_cast<char>(rng());
    big[100] = '\r';
    big[101] = '\n'; // binary mode keeps line breaks as they are
    server->AddFile("pub/news/big.bin", big);
    ftp.Connect();
    ftp.Mode(tmImage);
    ftp.Download("/pub/news/big.bin", dir.File("big.bin"));
    EXPECT_EQ(vltest::Sha256Hex(vltest::ReadFile(dir.File("big.bin"))), vltest::Sha256Hex(big));
    ASSERT_GT(rec.progress.size(), 1u);
    for (std::size_t i = 0; i < rec.progress.size(); ++i) {
        EXPECT_EQ(rec.progress[i].second, std::int64_t(big.size()));
        if (i) {
            EXPECT_GT(rec.progress[i].first, rec.progress[i - 1].first);
        }
    }
    EXPECT_EQ(rec.progress.back().first, std::int64_t(big.size()));
    EXPECT_EQ(ftp.BytesRecvd(), ftp.BytesTotal());
}

TEST_F(FtpFixture, MissingFileFailsAndLeavesTheOlderCopyAlone) {
    vltest::WriteFile(local, "older copy");
    ftp.Connect();
    auto e = expectThrow<EIdProtocolReplyError>([&] { ftp.Download("pub/news/brak.inf", local); });
    EXPECT_EQ(e.ReplyErrorCode(), 550);
    EXPECT_EQ(e.Message(), "550 Failed to open file.");
    EXPECT_EQ(rec.events, (Events{"HostResolved", "Connect", "Failure 8"}));
    EXPECT_EQ(vltest::ReadFile(local), "older copy");
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (Events{"ox8_news.inf"}));

    // A missing file that had no older copy: nothing is created.
    EXPECT_THROW(ftp.Download("pub/news/brak.inf", dir.File("brak.inf")), EIdProtocolReplyError);
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (Events{"ox8_news.inf"}));

    // The session stays usable.
    EXPECT_TRUE(ftp.Connected());
    ftp.Download("pub/news/ox8_news.inf", local);
    EXPECT_EQ(vltest::ReadFile(local), kNews);
}

TEST_F(FtpFixture, CommandAnswered500IsUnsupportedFirstThenAFailure) {
    ftp.Connect();
    auto e = expectThrow<EIdProtocolReplyError>([&] { ftp.DoCommand("TYPE X"); });
    EXPECT_EQ(e.ReplyErrorCode(), 500);
    EXPECT_EQ(e.Message(), "500 Unrecognised TYPE command.");
    EXPECT_EQ(rec.events, (Events{"HostResolved", "Connect", "UnSupported 14", "Failure 14"}));

    // A handler that takes the failure makes the call return quietly.
    ftp.OnFailure = [](void*, bool& handled, TTransType) { handled = true; };
    ftp.DoCommand("TYPE X");
    EXPECT_TRUE(ftp.Connected());
    EXPECT_THROW(ftp.DoCommand("NOOP\r\nDELE x"), EIdException);
}

TEST_F(FtpFixture, RefusedLoginRefusedConnectionAndUnknownHost) {
    struct Case {
        const char* name;
        std::string host, user;
        int port;
        Events events;
        int code; // reply code, or WinSock number
    };
    for (const Case& c : {
             Case{"login", "127.0.0.1", "jan", 21, {"HostResolved", "ConnectionFailed"}, 530},
             Case{"refused", "127.0.0.1", "anonymous", 2100, {"HostResolved", "ConnectionFailed"}, 10061},
             Case{"unknown host", "nie-ma-takiego.invalid", "anonymous", 21, {"InvalidHost"}, 11001},
         }) {
        SCOPED_TRACE(c.name);
        TNMFTP f;
        Recorder r(f);
        f.SetHost(c.host);
        f.SetUserID(c.user);
        f.SetPort(c.port);
        f.SetTimeOut(5000);
        try {
            f.Connect();
            ADD_FAILURE() << "no error";
        } catch (const EIdProtocolReplyError& e) {
            EXPECT_EQ(e.ReplyErrorCode(), c.code);
            EXPECT_EQ(e.Message(), "530 This FTP server is anonymous only.");
        } catch (const EIdSocketError& e) {
            EXPECT_EQ(e.LastError(), c.code);
        }
        EXPECT_EQ(r.events, c.events);
        EXPECT_FALSE(f.Connected());
    }
    EXPECT_EQ(server->Logins(), 0);

    // A handler that corrects the name gets another lookup; one that only says "handled" does not.
    ftp.SetHost("nie-ma-takiego.invalid");
    ftp.OnInvalidHost = [](void*, bool& handled) { handled = true; };
    EXPECT_THROW(ftp.Connect(), EIdSocketError);
    ftp.OnInvalidHost = [this](void*, bool& handled) {
        handled = true;
        ftp.SetHost("127.0.0.1");
    };
    ftp.Connect();
    EXPECT_TRUE(ftp.Connected());
}

TEST_F(FtpFixture, ThroughTheProxyTheLoginNamesTheServer) {
    vltest::FtpProxy proxy;
    ASSERT_TRUE(proxy.Started()) << proxy.Log();
    ftp.SetProxy("127.0.0.1");
    ftp.SetProxyPort(proxy.Port());
    ftp.SetReportLevel(16);
    ftp.Connect();
    ftp.Mode(tmImage);
    ftp.Download("pub/news/ox8_news.inf", local);
    EXPECT_EQ(vltest::ReadFile(local), kNews);
    EXPECT_EQ(rec.events.back(), "Success 8 file " + std::to_string(kNews.size()));
    EXPECT_NE(std::find(rec.statuses.begin(), rec.statuses.end(), "USER anonymous@127.0.0.1"),
              rec.statuses.end());
    EXPECT_NE(std::find(rec.statuses.begin(), rec.statuses.end(), "Connecting to 127.0.0.1 port 2121"),
              rec.statuses.end());
    ASSERT_TRUE(server->WaitForCount("OK DOWNLOAD", 1));
    EXPECT_EQ(server->Logins(), 1);
    EXPECT_NE(proxy.Log().find("RETR"), std::string::npos) << proxy.Log();
}

TEST_F(FtpFixture, ServerGoneWhileIdleIsNoticedAtTheNextCommand) {
    ftp.Connect();
    server.reset(); // vsftpd and its session end
    EXPECT_THROW(ftp.Mode(tmImage), EIdConnClosedGracefully);
    EXPECT_EQ(rec.events, (Events{"HostResolved", "Connect", "Disconnect"}));
    EXPECT_FALSE(ftp.Connected());
}

TEST(FtpIdle, ServerClosingAnIdleSessionIsNoticed) {
    VLTEST_PRIVATE_NETWORK();
    vltest::FtpServerOptions options;
    options.idleSessionTimeout = 1;
    vltest::FtpServer server(options);
    ASSERT_TRUE(server.Started()) << server.Log();
    TNMFTP ftp;
    Recorder rec(ftp);
    ftp.SetHost("127.0.0.1");
    ftp.SetUserID("anonymous");
    ftp.SetReportLevel(16);
    ftp.Connect();
    ASSERT_TRUE(vltest::WaitUntil(
        [&] {
            ftp.PollIdle();
            return !ftp.Connected();
        },
        5000));
    EXPECT_EQ(rec.events, (Events{"HostResolved", "Connect", "Disconnect"}));
    EXPECT_EQ(rec.statuses[rec.statuses.size() - 2], "421 Timeout.");
    EXPECT_THROW(ftp.Mode(tmImage), EIdSocketError); // 10057: not connected

    // Without polling, the next command notices it.
    rec.events.clear();
    ftp.Connect();
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    EXPECT_THROW(ftp.Mode(tmImage), EIdConnClosedGracefully);
    EXPECT_EQ(rec.events, (Events{"HostResolved", "Connect", "Disconnect"}));
    EXPECT_FALSE(ftp.Connected());
    ftp.Connect(); // and the next attempt connects again
    EXPECT_TRUE(ftp.Connected());
}

TEST_F(FtpFixture, AbortFromTheProgressHandlerWritesNoFileAndKeepsTheSession) {
    server->AddFile("pub/news/big.bin", std::string(8 << 20, 'v'));
    vltest::WriteFile(local, "older copy");
    ftp.OnPacketRecvd = [this](void*) { ftp.Abort(); };
    auto e = expectThrow<EIdException>([&] {
        ftp.Connect();
        ftp.Download("pub/news/big.bin", local);
    });
    EXPECT_EQ(e.Message(), "Transfer aborted.");
    EXPECT_EQ(vltest::ReadFile(local), "older copy");
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (Events{"ox8_news.inf"}));
    ASSERT_TRUE(ftp.Connected());
    ftp.OnPacketRecvd = nullptr;
    ftp.Download("pub/news/ox8_news.inf", local);
    EXPECT_EQ(vltest::ReadFile(local), kNews);
}

// ---- Servers that misbehave -----------------------------------------------------------------

TEST(FtpHostile, BrokenGreetingsFailWithinTimeOut) {
    struct Case {
        FtpMisbehaviour how;
        const char* error;
    };
    for (const Case& c : {Case{FtpMisbehaviour::NeverGreets, "Socket Error # 10060\r\nConnection timed out."},
                          Case{FtpMisbehaviour::OverlongLine, "Max line length exceeded."},
                          Case{FtpMisbehaviour::NotAReply, "HTTP/1.0 400 Bad Request"},
                          Case{FtpMisbehaviour::ClosesMidReply, "Connection Closed Gracefully."}}) {
        SCOPED_TRACE(c.error);
        vltest::HostileFtpServer peer(c.how);
        TNMFTP f;
        Recorder r(f);
        f.SetHost("127.0.0.1");
        f.SetPort(peer.Port());
        f.SetTimeOut(700);
        const auto start = std::chrono::steady_clock::now();
        try {
            f.Connect();
            ADD_FAILURE() << "no error";
        } catch (const EIdException& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));
        EXPECT_EQ(r.events, (Events{"HostResolved", "ConnectionFailed"}));
        EXPECT_FALSE(f.Connected());
    }
}

TEST(FtpHostile, BrokenTransfersKeepTheOlderCopyAndCloseTheSession) {
    struct Case {
        FtpMisbehaviour how;
        Events events;
        const char* error;
    };
    for (const Case& c : {
             Case{FtpMisbehaviour::NoDataConnection,
                  {"Connect", "Error 10060 Connection timed out.", "Disconnect"},
                  "Socket Error # 10060\r\nConnection timed out."},
             Case{FtpMisbehaviour::ClosesMidTransfer,
                  {"Connect", "TransactionStart", "PacketRecvd", "TransactionStop", "Disconnect"},
                  "Connection Closed Gracefully."},
         }) {
        SCOPED_TRACE(c.error);
        vltest::HostileFtpServer peer(c.how);
        vltest::TempDir dir;
        const std::string local = dir.File("ox8_news.rtf");
        vltest::WriteFile(local, "older copy");
        TNMFTP f;
        Recorder r(f);
        f.OnHostResolved = nullptr;
        f.SetHost("127.0.0.1");
        f.SetPort(peer.Port());
        f.SetTimeOut(700);
        f.Connect();
        f.Mode(tmImage);
        r.events.clear();
        r.events.push_back("Connect");
        try {
            f.Download("pub/news/ox8_news.rtf", local);
            ADD_FAILURE() << "no error";
        } catch (const EIdException& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
        EXPECT_EQ(r.events, c.events);
        EXPECT_FALSE(f.Connected());
        EXPECT_EQ(vltest::ReadFile(local), "older copy");
        EXPECT_EQ(vltest::ListFolder(dir.Path()), (Events{"ox8_news.rtf"}));
    }
}

TEST(FtpHostile, TransferShortOfTheAnnouncedSizeIsNoSuccess) {
    vltest::HostileFtpServer peer(FtpMisbehaviour::ShortTransfer);
    vltest::TempDir dir;
    const std::string local = dir.File("ox8_news.rtf");
    vltest::WriteFile(local, "older copy");
    TNMFTP f;
    Recorder r(f, local);
    f.SetHost("127.0.0.1");
    f.SetPort(peer.Port());
    f.Connect();
    f.Mode(tmAscii); // sizes announced in ASCII mode need not match
    f.Download("a", local);
    EXPECT_EQ(vltest::ReadFile(local), std::string(500, 'x'));
    vltest::WriteFile(local, "older copy");
    f.Mode(tmImage);
    r.events.clear();
    auto e = expectThrow<EIdException>([&] { f.Download("a", local); });
    EXPECT_EQ(e.Message(), "Transfer incomplete: 500 of 1000 bytes received.");
    EXPECT_EQ(r.events, (Events{"TransactionStart", "PacketRecvd", "TransactionStop"}));
    EXPECT_EQ(vltest::ReadFile(local), "older copy");
    EXPECT_EQ(vltest::ListFolder(dir.Path()), (Events{"ox8_news.rtf"}));
    EXPECT_TRUE(f.Connected());
}

TEST(FtpHostile, BinaryModeRefusedIsUnsupportedFirst) {
    vltest::HostileFtpServer peer(FtpMisbehaviour::RefusesBinary);
    TNMFTP f;
    Recorder r(f);
    f.SetHost("127.0.0.1");
    f.SetPort(peer.Port());
    f.SetUserID("anonymous");
    f.SetPassword("serwis@example.com");
    f.SetReportLevel(16);
    f.Connect();
    EXPECT_EQ(peer.Commands(), (Events{"USER anonymous", "PASS serwis@example.com"}));
    EXPECT_EQ(std::count(r.statuses.begin(), r.statuses.end(), "PASS ****"),
              1); // the password is never shown
    for (const auto& s : r.statuses)
        EXPECT_EQ(s.find("serwis@"), std::string::npos) << s;
    auto e = expectThrow<EIdProtocolReplyError>([&] { f.Mode(tmImage); });
    EXPECT_EQ(e.Message(), "500 Unrecognised TYPE command.");
    EXPECT_EQ(r.events, (Events{"HostResolved", "Connect", "UnSupported 14", "Failure 14"}));
    EXPECT_TRUE(f.Connected());
}
