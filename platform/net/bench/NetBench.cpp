// Sends a message with large attachments to a loopback aiosmtpd with TIdSMTP and with curl,
// then receives it back from dovecot with TIdPOP3 and saves the attachments; reports MB/s and
// each phase's peak memory, and checks that the saved files are the sent ones.
//
//   sudo net_bench [--size-mb 100] [--files 4] [--rounds 3]
//
// Runs as root: it enters a private network namespace, so ports 25 and 110 are its own and
// nothing leaves the machine. Each phase runs in a forked child whose peak resident size
// (ru_maxrss from wait4) is that phase's alone; the parent stays small.

#include <net/IdAttachment.h>
#include <net/IdException.h>
#include <net/IdMessage.h>
#include <net/IdPOP3.h>
#include <net/IdSMTP.h>

#include <runtime/SysUtils.h>

#include <Pop3Server.h>
#include <SmtpServer.h>
#include <TestSupport.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kMiB = 1024.0 * 1024.0;

struct PhaseResult {
    bool ok = false;
    double seconds = 0;
    long maxRssKiB = 0;
    std::string error;
};

double secondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Runs `work` in a forked child; it returns its elapsed seconds, or throws. The child's own
// peak resident size comes back through wait4().
PhaseResult runPhase(const std::function<double()>& work) {
    int p[2];
    if (::pipe(p) != 0)
        return {false, 0, 0, "pipe failed"};
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(p[0]);
        std::string report;
        try {
            char buf[64];
            std::snprintf(buf, sizeof buf, "ok %.6f", work());
            report = buf;
        } catch (const rtl::Exception& e) {
            report = "error " + e.Message();
        } catch (const std::exception& e) {
            report = std::string("error ") + e.what();
        }
        (void)!::write(p[1], report.data(), report.size());
        ::_exit(0); // no destructors of the parent's objects (its temporary folders) here
    }
    ::close(p[1]);
    std::string report;
    char buf[512];
    ssize_t n;
    while ((n = ::read(p[0], buf, sizeof buf)) > 0)
        report.append(buf, static_cast<std::size_t>(n));
    ::close(p[0]);
    int status = 0;
    rusage ru{};
    ::wait4(pid, &status, 0, &ru);
    PhaseResult r;
    r.maxRssKiB = ru.ru_maxrss;
    if (report.rfind("ok ", 0) == 0) {
        r.ok = true;
        r.seconds = std::atof(report.c_str() + 3);
    } else {
        r.error = report.empty() ? "child died (status " + std::to_string(status) + ")" : report;
    }
    return r;
}

// Runs a program to its end; its wall time and peak memory.
PhaseResult runProgram(const std::vector<std::string>& argv, const std::string& logFile) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::fflush(nullptr);
    const auto t0 = Clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        int fd = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage ru{};
    ::wait4(pid, &status, 0, &ru);
    PhaseResult r;
    r.seconds = secondsSince(t0);
    r.maxRssKiB = ru.ru_maxrss;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!r.ok)
        r.error = "exit status " + std::to_string(status) + ": " + vltest::ReadFile(logFile);
    return r;
}

// A file of `size` pseudo-random bytes (xorshift, so it does not compress), written in 1 MB steps.
void makeFile(const std::string& path, std::uint64_t size, std::uint64_t seed) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::vector<std::uint64_t> block(1 << 17);
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (std::uint64_t left = size; left > 0;) {
        for (auto& w : block) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            w = x;
        }
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size() * 8));
        std::fwrite(block.data(), 1, n, f);
        left -= n;
    }
    std::fclose(f);
}

std::uint64_t fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::string sha256Of(const std::string& path) {
    std::string out;
    if (vltest::RunProgram({"/usr/bin/sha256sum", path}, &out) != 0 || out.size() < 64)
        return "?";
    return out.substr(0, 64);
}

// Hands a large file to `use` as bytes without copying it into the heap.
bool withMappedFile(const std::string& path, const std::function<void(std::string_view)>& use) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const std::uint64_t size = fileSize(path);
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (p == MAP_FAILED)
        return false;
    use(std::string_view(static_cast<const char*>(p), size));
    ::munmap(p, size);
    return true;
}

// A minimal SMTP peer that takes each message and throws its data away, so that the clients'
// own speed shows rather than aiosmtpd's. Serves one connection after another, without pipelining.
void serveSink(int fd) {
    auto say = [fd](const char* line) { (void)!::send(fd, line, std::strlen(line), MSG_NOSIGNAL); };
    say("220 sink ESMTP\r\n");
    std::vector<char> chunk(1 << 18);
    std::string lines, tail;
    bool inData = false;
    for (;;) {
        ssize_t n = ::recv(fd, chunk.data(), chunk.size(), 0);
        if (n <= 0)
            return;
        if (inData) {
            // Only the end mark matters: the last bytes of the data so far and this chunk.
            std::string_view in(chunk.data(), static_cast<std::size_t>(n));
            std::string edge = tail + std::string(in.substr(0, std::min<std::size_t>(in.size(), 4)));
            bool end =
                edge.find("\r\n.\r\n") != std::string::npos || in.find("\r\n.\r\n") != std::string_view::npos;
            tail.append(in.substr(in.size() - std::min<std::size_t>(in.size(), 4)));
            if (tail.size() > 4)
                tail.erase(0, tail.size() - 4);
            if (end) {
                inData = false;
                say("250 2.0.0 taken\r\n");
            }
            continue;
        }
        lines.append(chunk.data(), static_cast<std::size_t>(n));
        for (std::size_t nl; (nl = lines.find('\n')) != std::string::npos;) {
            const std::string cmd =
                rtl::UpperCase(std::string_view(lines).substr(0, std::min<std::size_t>(4, nl)));
            lines.erase(0, nl + 1);
            if (cmd == "DATA") {
                say("354 go ahead\r\n");
                inData = true;
                tail = "\r\n";
            } else if (cmd == "QUIT") {
                say("221 bye\r\n");
                return;
            } else {
                say("250 ok\r\n");
            }
        }
    }
}

pid_t startSink(int port) {
    int ls = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(ls, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(ls, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(ls, 4) != 0) {
        std::perror("sink");
        std::exit(1);
    }
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        for (;;) {
            int fd = ::accept(ls, nullptr, nullptr);
            if (fd < 0)
                continue;
            serveSink(fd);
            ::close(fd);
        }
    }
    ::close(ls);
    return pid;
}

// The best and the median of several runs of one phase, with the highest peak memory.
void printPhases(const char* name, std::vector<PhaseResult> runs, double payloadMiB) {
    long rss = 0;
    for (const auto& r : runs) {
        if (!r.ok) {
            std::printf("  %-34s FAILED: %s\n", name, r.error.c_str());
            return;
        }
        rss = std::max(rss, r.maxRssKiB);
    }
    std::sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.seconds < b.seconds; });
    const double best = runs.front().seconds, median = runs[runs.size() / 2].seconds;
    std::printf("  %-34s %8.2f s  %8.1f MB/s  peak RSS %7.1f MB   (%.2f s, %.1f MB/s)\n", name, best,
                payloadMiB / best, rss / 1024.0, median, payloadMiB / median);
}

bool allOk(const std::vector<PhaseResult>& runs) {
    return std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r.ok; });
}

void printPhase(const char* name, const PhaseResult& r, double payloadMiB) {
    if (!r.ok) {
        std::printf("  %-34s FAILED: %s\n", name, r.error.c_str());
        return;
    }
    std::printf("  %-34s %8.2f s  %8.1f MB/s  peak RSS %7.1f MB\n", name, r.seconds, payloadMiB / r.seconds,
                r.maxRssKiB / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    std::uint64_t sizeMiB = 100;
    int files = 4;
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--size-mb") == 0)
            sizeMiB = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--files") == 0)
            files = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::atoi(argv[i + 1]);
    }
    if (sizeMiB == 0 || files <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: net_bench [--size-mb N] [--files K] [--rounds R]\n");
        return 2;
    }
    const std::string why = vltest::EnterPrivateNetwork();
    if (!why.empty()) {
        std::fprintf(stderr, "net_bench must run as root (private network namespace): %s\n", why.c_str());
        return 2;
    }

    vltest::TempDir work("vlnetbench");
    const std::string sent = work.File("sent"), received = work.File("received");
    ::mkdir(sent.c_str(), 0755);
    ::mkdir(received.c_str(), 0755);
    const std::uint64_t total = sizeMiB * 1024 * 1024;
    std::vector<std::string> names;
    for (int i = 0; i < files; ++i) {
        names.push_back("PACZKA" + std::to_string(i + 1) + ".ZIP");
        const std::uint64_t share = total / files + (i == files - 1 ? total % files : 0);
        makeFile(sent + "/" + names.back(), share, static_cast<std::uint64_t>(i) + 1);
    }
    const double payloadMiB = static_cast<double>(total) / kMiB;

    vltest::SmtpServerOptions smtpOptions;
    smtpOptions.sizeLimit = static_cast<std::int64_t>(total) * 2 + 16 * 1024 * 1024;
    vltest::SmtpServer smtp(smtpOptions);
    vltest::Pop3Server pop3;
    if (!smtp.Started() || !pop3.Started()) {
        std::fprintf(stderr, "servers did not start\n%s\n%s\n", smtp.Log().c_str(), pop3.Log().c_str());
        return 1;
    }

    std::printf(
        "net_bench: %d attachments, %.0f MB in all (MB = 2^20 bytes); aiosmtpd and dovecot on loopback\n",
        files, payloadMiB);
    const PhaseResult idle = runPhase([] { return 0.0; });

    // 1. TIdSMTP: connect, send one message with every file, disconnect.
    auto sendWithIdSmtp = [&](int port) {
        return runPhase([&] {
            net::TIdMessage msg;
            msg.SetSubject("Przesyłka testowa");
            msg.From().SetAddress("nadawca@example.com");
            msg.Recipients().Add().SetAddress("odbiorca@example.com");
            for (const auto& n : names)
                net::TIdAttachment::Create(msg.MessageParts(), sent + "/" + n);
            net::TIdSMTP client;
            client.SetHost("127.0.0.1");
            client.SetPort(port);
            const auto t0 = Clock::now();
            client.Connect();
            client.Send(msg);
            client.Disconnect();
            return secondsSince(t0);
        });
    };
    // 2. curl: the same files as a MIME message that curl encodes while sending.
    auto sendWithCurl = [&](int port) {
        std::vector<std::string> curl = {"curl",
                                         "-sS",
                                         "smtp://127.0.0.1:" + std::to_string(port),
                                         "--mail-from",
                                         "nadawca@example.com",
                                         "--mail-rcpt",
                                         "odbiorca@example.com",
                                         "-H",
                                         "Subject: Przesylka testowa",
                                         "-H",
                                         "From: nadawca@example.com",
                                         "-H",
                                         "To: odbiorca@example.com"};
        for (const auto& n : names) {
            curl.push_back("-F");
            curl.push_back("=@" + sent + "/" + n + ";encoder=base64");
        }
        return runProgram(curl, work.File("curl.log"));
    };
    // Each round sends with both, taking turns at going first; the first message is TIdSMTP's.
    std::vector<PhaseResult> send, curlSend, sinkSend, sinkCurl;
    std::size_t delivered = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (r % 2 == 0))
                send.push_back(sendWithIdSmtp(25));
            else
                curlSend.push_back(sendWithCurl(25));
            smtp.WaitForMessages(++delivered, 60000);
        }
    }
    const pid_t sink = startSink(2525);
    vltest::WaitForPort("127.0.0.1", 2525, 5000);
    for (int r = 0; r < rounds; ++r) {
        sinkSend.push_back(sendWithIdSmtp(2525));
        sinkCurl.push_back(sendWithCurl(2525));
    }
    ::kill(sink, SIGKILL);
    ::waitpid(sink, nullptr, 0);

    // 3. The message TIdSMTP sent goes into dovecot's Maildir, and TIdPOP3 takes it back.
    const std::string stored = smtp.Folder() + "/mail/1.eml";
    const std::uint64_t messageBytes = fileSize(stored);
    if (!withMappedFile(stored, [&](std::string_view raw) { pop3.AddMessage(raw); })) {
        std::fprintf(stderr, "the SMTP server kept no message\n");
        return 1;
    }
    const PhaseResult receive = runPhase([&] {
        net::TIdPOP3 client;
        client.SetHost("127.0.0.1");
        client.SetUsername(pop3.Options().user);
        client.SetPassword(pop3.Options().password);
        const auto t0 = Clock::now();
        client.Connect();
        net::TIdMessage msg;
        if (!client.Retrieve(1, msg))
            throw net::EIdException("RETR refused");
        for (int i = 0; i < msg.MessageParts().Count(); ++i) {
            if (!msg.MessageParts().Items(i).IsAttachment())
                continue;
            const auto& att = static_cast<const net::TIdAttachment&>(msg.MessageParts().Items(i));
            att.SaveToFile(received + "/" + att.FileName());
        }
        client.Disconnect();
        return secondsSince(t0);
    });

    // For reference: the raw message over POP3 with curl, with no MIME decoding at all.
    const PhaseResult curlRetr =
        runProgram({"curl", "-sS", "-u", pop3.Options().user + ":" + pop3.Options().password,
                    "pop3://127.0.0.1/1", "-o", work.File("curl-retr.eml")},
                   work.File("curl-pop3.log"));
    const bool rawSame = fileSize(work.File("curl-retr.eml")) >= messageBytes;
    ::unlink(work.File("curl-retr.eml").c_str());

    std::printf("  message as sent by TIdSMTP: %.1f MB; by curl: %.1f MB\n", messageBytes / kMiB,
                fileSize(smtp.Folder() + "/mail/2.eml") / kMiB);
    std::printf("  sending: best of %d rounds (median in brackets); peak RSS the highest of them\n", rounds);
    std::printf("  %-34s %8s  %13s  peak RSS %7.1f MB\n", "forked child doing nothing", "", "",
                idle.maxRssKiB / 1024.0);
    printPhases("send, TIdSMTP", send, payloadMiB);
    printPhases("send, curl", curlSend, payloadMiB);
    printPhases("send to a discarding peer, TIdSMTP", sinkSend, payloadMiB);
    printPhases("send to a discarding peer, curl", sinkCurl, payloadMiB);
    printPhase("receive + save, TIdPOP3", receive, payloadMiB);
    printPhase("receive raw message only, curl", curlRetr, payloadMiB);

    bool same = allOk(send) && receive.ok;
    for (const auto& n : names) {
        const std::string a = sha256Of(sent + "/" + n), b = sha256Of(received + "/" + n);
        std::printf("  %-14s sha256 %s %s\n", n.c_str(), a.c_str(),
                    a == b ? "same" : ("DIFFERENT: " + b).c_str());
        same = same && a == b && a != "?";
    }
    std::printf("%s\n", same ? "received attachments equal the sent ones" : "FAILED");
    return same && allOk(curlSend) && allOk(sinkSend) && allOk(sinkCurl) && curlRetr.ok && rawSame ? 0 : 1;
}
