#include "SmtpServer.h"

#include <cstdio>
#include <sstream>

#include <sys/stat.h>

namespace vltest {

namespace {

std::string unquote(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        auto tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return out;
        start = tab + 1;
    }
}

// Pulls a string field out of the handler's small envelope JSON.
std::string jsonField(const std::string& json, const std::string& key) {
    auto k = json.find("\"" + key + "\"");
    if (k == std::string::npos)
        return {};
    auto q = json.find('"', json.find(':', k) + 1);
    std::string out;
    for (std::size_t i = q + 1; i < json.size() && json[i] != '"'; ++i) {
        if (json[i] == '\\' && i + 1 < json.size())
            ++i;
        out += json[i];
    }
    return out;
}

std::vector<std::string> jsonArray(const std::string& json, const std::string& key) {
    std::vector<std::string> out;
    auto k = json.find("\"" + key + "\"");
    if (k == std::string::npos)
        return out;
    auto open = json.find('[', k);
    auto close = json.find(']', open);
    std::size_t i = open + 1;
    while (true) {
        auto q = json.find('"', i);
        if (q == std::string::npos || q > close)
            break;
        auto e = json.find('"', q + 1);
        out.push_back(json.substr(q + 1, e - q - 1));
        i = e + 1;
    }
    return out;
}

} // namespace

SmtpServer::SmtpServer(SmtpServerOptions options) : m_options(std::move(options)) {
    const std::string mailFolder = m_dir.File("mail");
    ::mkdir(mailFolder.c_str(), 0755);
    std::string refuse;
    for (const auto& [addr, reply] : m_options.refuseRecipients)
        refuse += (refuse.empty() ? "" : ", ") + JsonString(addr) + ": " + JsonString(reply);
    WriteFile(m_dir.File("config.json"),
              "{\"folder\": " + JsonString(mailFolder) + ", \"refuse\": {" + refuse +
                  "}, \"refuse_hello\": " + JsonString(m_options.refuseHello) + "}\n");
    std::vector<std::string> argv = {
        "/usr/bin/python3", "-m", "aiosmtpd", "-n", "-l", "127.0.0.1:" + std::to_string(m_options.port)};
    if (m_options.sizeLimit > 0) {
        argv.push_back("-s");
        argv.push_back(std::to_string(m_options.sizeLimit));
    }
    argv.push_back("-c");
    argv.push_back("smtp_store.Store");
    argv.push_back(m_dir.File("config.json"));
    m_process = std::make_unique<ChildProcess>(argv, m_dir.File("server.log"),
                                               std::vector<std::string>{"PYTHONPATH=" VLTEST_SUPPORT_DIR});
    m_started = WaitForPort("127.0.0.1", m_options.port, 15000);
}

SmtpServer::~SmtpServer() {
    // The next server may take the same port at once.
    m_process.reset();
    if (m_started)
        WaitForPortFree("127.0.0.1", m_options.port, 5000);
}

std::string SmtpServer::Log() const {
    return ReadFile(m_dir.File("server.log"));
}

std::size_t SmtpServer::MessageCount() const {
    std::size_t n = 0;
    for (const auto& name : ListFolder(m_dir.File("mail")))
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".eml") == 0)
            ++n;
    return n;
}

bool SmtpServer::WaitForMessages(std::size_t n, int timeoutMs) const {
    return WaitUntil([&] { return MessageCount() >= n; }, timeoutMs);
}

std::vector<ReceivedMail> SmtpServer::Messages() const {
    std::vector<ReceivedMail> out;
    const std::size_t n = MessageCount();
    for (std::size_t i = 1; i <= n; ++i) {
        const std::string base = m_dir.File("mail/" + std::to_string(i));
        ReceivedMail m;
        m.raw = ReadFile(base + ".eml");
        const std::string env = ReadFile(base + ".env");
        m.mailFrom = jsonField(env, "mail_from");
        m.rcptTos = jsonArray(env, "rcpt_tos");
        m.heloName = jsonField(env, "helo");
        m.parsed = inspectFile(base + ".eml");
        out.push_back(std::move(m));
    }
    return out;
}

ParsedMail SmtpServer::Inspect(const std::string& raw) {
    TempDir dir("vlinspect");
    WriteFile(dir.File("m.eml"), raw);
    return inspectFile(dir.File("m.eml"));
}

ParsedMail SmtpServer::inspectFile(const std::string& path) {
    std::string output;
    RunProgram({"/usr/bin/python3", VLTEST_SUPPORT_DIR "/mail_inspect.py", path}, &output);
    ParsedMail p;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        auto f = splitTabs(line);
        if (f.size() < 2)
            continue;
        const std::string& key = f[0];
        if (key == "subject")
            p.subject = unquote(f[1]);
        else if (key == "from")
            p.from = unquote(f[1]);
        else if (key == "to")
            p.to = unquote(f[1]);
        else if (key == "reply-to")
            p.replyTo = unquote(f[1]);
        else if (key == "content-type")
            p.contentType = unquote(f[1]);
        else if (key == "defect")
            p.defects.push_back(unquote(f[1]));
        else if (key == "text")
            ++p.textParts;
        else if (key == "attachment" && f.size() >= 5)
            p.attachments.push_back(
                {unquote(f[1]), unquote(f[2]), std::stoll(f[3]), f[4], f.size() > 5 ? unquote(f[5]) : ""});
        else
            p.defects.push_back("unreadable output: " + line);
    }
    return p;
}

} // namespace vltest
