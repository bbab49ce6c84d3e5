#include "Pop3Server.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vltest {

namespace {

uid_t nobodyUid() {
    const passwd* pw = ::getpwnam("nobody");
    return pw ? pw->pw_uid : 65534;
}

gid_t nogroupGid() {
    const group* gr = ::getgrnam("nogroup");
    return gr ? gr->gr_gid : 65534;
}

void makeOwnedFolder(const std::string& path) {
    ::mkdir(path.c_str(), 0700);
    if (::chown(path.c_str(), nobodyUid(), nogroupGid()) != 0)
        std::perror("chown");
}

int fieldAfter(const std::string& line, const std::string& key) {
    auto p = line.find(key);
    return p == std::string::npos ? -1 : std::atoi(line.c_str() + p + key.size());
}

} // namespace

Pop3Server::Pop3Server(Pop3ServerOptions options) : m_options(std::move(options)) {
    const std::string& d = m_dir.Path();
    ::mkdir((d + "/run").c_str(), 0755);
    ::mkdir((d + "/state").c_str(), 0755);
    makeOwnedFolder(d + "/home");
    makeOwnedFolder(d + "/home/Maildir");
    for (const char* sub : {"cur", "new", "tmp"})
        makeOwnedFolder(d + "/home/Maildir/" + sub);
    WriteFile(d + "/passwd", m_options.user + ":{PLAIN}" + m_options.password + "\n");
    ::chmod((d + "/passwd").c_str(), 0644);
    WriteFile(d + "/dovecot.conf",
              "base_dir = " + d +
                  "/run\n"
                  "state_dir = " +
                  d +
                  "/state\n"
                  "log_path = " +
                  d +
                  "/dovecot.log\n"
                  "info_log_path = " +
                  d +
                  "/dovecot.log\n"
                  "protocols = pop3\n"
                  "listen = 127.0.0.1\n"
                  "ssl = no\n"
                  "disable_plaintext_auth = no\n"
                  "auth_mechanisms = plain\n"
                  "auth_failure_delay = 0\n"
                  "default_internal_user = dovecot\n"
                  "default_login_user = dovenull\n"
                  "mail_location = maildir:" +
                  d +
                  "/home/Maildir\n"
                  "pop3_logout_format = top=%t/%p, retr=%r/%b, del=%d/%m, size=%s\n"
                  "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = " +
                  std::to_string(m_options.port) +
                  "\n  }\n}\n"
                  "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " +
                  d +
                  "/passwd\n}\n"
                  "userdb {\n  driver = static\n  args = uid=nobody gid=nogroup home=" +
                  d + "/home\n}\n");
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/sbin/dovecot", "-F", "-c", d + "/dovecot.conf"}, d + "/stdout.log");
    m_started = WaitForPort("127.0.0.1", m_options.port, 15000);
}

Pop3Server::~Pop3Server() {
    // The next server may take the same port at once.
    m_process.reset();
    if (m_started)
        WaitForPortFree("127.0.0.1", m_options.port, 5000);
}

void Pop3Server::AddMessage(std::string_view raw) {
    ++m_added;
    char name[96];
    std::snprintf(name, sizeof name, "%010d.M%06dP1.vltest:2,S", 1700000000 + m_added, m_added);
    const std::string maildir = m_dir.Path() + "/home/Maildir/";
    const std::string tmp = maildir + "tmp/" + name;
    WriteFile(tmp, raw);
    if (::chown(tmp.c_str(), nobodyUid(), nogroupGid()) != 0)
        std::perror("chown");
    std::rename(tmp.c_str(), (maildir + "cur/" + name).c_str());
}

std::vector<std::string> Pop3Server::Messages() const {
    std::vector<std::string> out;
    const std::string maildir = m_dir.Path() + "/home/Maildir/";
    std::vector<std::string> names;
    for (const char* sub : {"new/", "cur/"})
        for (const auto& n : ListFolder(maildir + sub))
            names.push_back(sub + n);
    // By the file name after "new/" or "cur/": the order in which they were added.
    std::sort(names.begin(), names.end(),
              [](std::string_view a, std::string_view b) { return a.substr(4) < b.substr(4); });
    for (const auto& n : names)
        out.push_back(ReadFile(maildir + n));
    return out;
}

std::string Pop3Server::Log() const {
    return ReadFile(m_dir.Path() + "/dovecot.log") + ReadFile(m_dir.Path() + "/stdout.log");
}

std::vector<Pop3Session> Pop3Server::Sessions() const {
    std::vector<Pop3Session> out;
    std::istringstream in(ReadFile(m_dir.Path() + "/dovecot.log"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("top=") == std::string::npos || line.find("retr=") == std::string::npos)
            continue;
        Pop3Session s;
        s.top = fieldAfter(line, "top=");
        s.retr = fieldAfter(line, "retr=");
        s.del = fieldAfter(line, "del=");
        s.line = line;
        out.push_back(std::move(s));
    }
    return out;
}

bool Pop3Server::WaitForSessions(std::size_t n, int timeoutMs) const {
    return WaitUntil([&] { return Sessions().size() >= n; }, timeoutMs);
}

} // namespace vltest
