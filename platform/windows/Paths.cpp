// Windows-form paths onto the host: the drive table, separators, letter case and code page.

#include "WinInternal.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace win {

namespace {

struct Drive {
    char letter;
    std::string root; // absolute host folder, no trailing "/" except for "/" itself
};

std::string stripTrailingSlashes(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

// VL_DRIVES="C=/;D=/mnt/data"; C: is the host root unless the table says otherwise.
// Read on every call so a test or a wrapper script can change it at run time.
std::vector<Drive> driveTable() {
    std::vector<Drive> drives;
    if (const char* env = std::getenv("VL_DRIVES")) {
        std::string_view rest(env);
        while (!rest.empty()) {
            std::size_t semi = rest.find(';');
            std::string_view item = rest.substr(0, semi);
            rest = semi == std::string_view::npos ? std::string_view{} : rest.substr(semi + 1);
            std::size_t eq = item.find('=');
            if (eq == std::string_view::npos || eq == 0)
                continue;
            std::string_view name = item.substr(0, eq);
            if (name.size() == 2 && name[1] == ':')
                name = name.substr(0, 1);
            std::string_view root = item.substr(eq + 1);
            if (name.size() != 1 || !std::isalpha(static_cast<unsigned char>(name[0])) || root.empty() ||
                root[0] != '/')
                continue;
            char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
            std::erase_if(drives, [&](const Drive& d) { return d.letter == letter; });
            drives.push_back({letter, stripTrailingSlashes(std::string(root))});
        }
    }
    if (std::none_of(drives.begin(), drives.end(), [](const Drive& d) { return d.letter == 'C'; }))
        drives.push_back({'C', "/"});
    return drives;
}

std::string currentHostFolder() {
    std::string buf(4096, '\0');
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        buf.resize(buf.size() * 2);
    }
    buf.resize(std::char_traits<char>::length(buf.c_str()));
    return buf;
}

std::vector<std::string> splitHost(std::string_view p) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < p.size()) {
        std::size_t j = p.find('/', i);
        if (j == std::string_view::npos)
            j = p.size();
        if (j > i)
            parts.emplace_back(p.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}

// Appends components, taking "." and ".." lexically as the platform does; ".." never climbs
// above `floor` components. `known` (the leading components that need no lookup) shrinks when
// ".." climbs into them.
void appendComponents(std::vector<std::string>& out, const std::vector<std::string>& parts, std::size_t floor,
                      std::size_t* known = nullptr) {
    for (const auto& c : parts) {
        if (c == ".")
            continue;
        if (c == "..") {
            if (out.size() > floor)
                out.pop_back();
            if (known && *known > out.size())
                *known = out.size();
            continue;
        }
        out.push_back(c);
    }
}

std::string joinHost(const std::vector<std::string>& parts, std::size_t count) {
    std::string p;
    for (std::size_t i = 0; i < count; ++i)
        p += "/" + parts[i];
    return p.empty() ? "/" : p;
}

bool entryExists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case (Windows-1250 rules);
// of several, the first in byte order, so the choice is stable.
bool findCaseless(const std::string& folder, const std::string& name, std::string& found) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    const std::string wanted = rtl::AnsiUpperCase(rtl::utf8ToCp1250(name));
    bool any = false;
    while (dirent* e = ::readdir(dir)) {
        std::string_view n(e->d_name);
        if (n == "." || n == "..")
            continue;
        if (rtl::AnsiUpperCase(rtl::utf8ToCp1250(n)) != wanted)
            continue;
        if (!any || n < std::string_view(found)) {
            found.assign(n);
            any = true;
        }
    }
    ::closedir(dir);
    return any;
}

} // namespace

namespace detail {

Resolved resolve(std::string_view windowsPath) {
    std::string s(windowsPath);
    std::replace(s.begin(), s.end(), '\\', '/');

    std::vector<std::string> parts;
    std::size_t floor = 0;
    std::string_view rest(s);
    if (s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]))) {
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
        auto drives = driveTable();
        auto it =
            std::find_if(drives.begin(), drives.end(), [&](const Drive& d) { return d.letter == letter; });
        if (it == drives.end())
            return {{}, ERROR_PATH_NOT_FOUND};
        parts = splitHost(it->root);
        floor = parts.size();
        rest = rest.substr(2);
    } else if (s.empty() || s[0] != '/') {
        parts = splitHost(currentHostFolder());
    }
    // The program's side is Windows-1250; host names are its UTF-8 form.
    std::vector<std::string> given = splitHost(rest);
    for (auto& c : given) {
        if (c != "." && c != "..") {
            const std::string_view kept = withoutTrailingDotsAndBlanks(c);
            if (!kept.empty())
                c.resize(kept.size());
        }
        c = rtl::cp1250ToUtf8(c);
    }
    std::size_t known = parts.size();
    appendComponents(parts, given, floor, &known);

    std::string whole = joinHost(parts, parts.size());
    if (entryExists(whole))
        return {whole, 0};

    // Walk from the first given component, matching each one that is not there as written.
    auto child = [](const std::string& folder, const std::string& name) {
        return (folder == "/" ? "" : folder) + "/" + name;
    };
    std::string cur = joinHost(parts, known);
    for (std::size_t i = known; i < parts.size(); ++i) {
        std::string next = child(cur, parts[i]);
        if (!entryExists(next)) {
            std::string found;
            if (!findCaseless(cur, parts[i], found)) {
                // Not there: the rest is kept as written.
                for (std::size_t k = i; k < parts.size(); ++k)
                    cur = child(cur, parts[k]);
                return {cur, 0};
            }
            next = child(cur, found);
        }
        cur = std::move(next);
    }
    return {cur, 0};
}

bool resolveArgument(const char* path, Resolved& resolved) {
    if (!path || !*path)
        return fail(ERROR_PATH_NOT_FOUND, false);
    resolved = resolve(path);
    if (resolved.badPath)
        return fail(resolved.badPath, false);
    return true;
}

std::string hostParent(const std::string& hostPath) {
    std::size_t slash = hostPath.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return hostPath.substr(0, slash);
}

std::string hostBaseName(const std::string& hostPath) {
    std::size_t slash = hostPath.find_last_of('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

DWORD missingError(const std::string& hostPath) {
    struct stat st;
    if (::stat(hostParent(hostPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

std::vector<DriveRoot> drives() {
    std::vector<DriveRoot> out;
    for (const auto& d : driveTable())
        out.push_back({d.letter, d.root});
    return out;
}

bool isDriveRoot(const std::string& hostPath) {
    std::string p = stripTrailingSlashes(hostPath);
    for (const auto& d : driveTable())
        if (d.root == p)
            return true;
    return false;
}

} // namespace detail

std::string HostPath(std::string_view windowsPath) {
    return detail::resolve(windowsPath).host;
}

std::string WindowsPath(std::string_view hostPath) {
    std::vector<std::string> parts;
    if (hostPath.empty() || hostPath[0] != '/')
        parts = splitHost(currentHostFolder());
    appendComponents(parts, splitHost(hostPath), 0);
    std::string full = joinHost(parts, parts.size());

    const std::vector<Drive> drives = driveTable();
    const Drive* best = nullptr;
    for (const auto& d : drives) {
        bool covers = d.root == "/" || full == d.root ||
                      (full.size() > d.root.size() && full.compare(0, d.root.size(), d.root) == 0 &&
                       full[d.root.size()] == '/');
        if (covers && (!best || d.root.size() > best->root.size() ||
                       (d.root.size() == best->root.size() && d.letter < best->letter)))
            best = &d;
    }
    std::string out;
    if (best) {
        out = std::string(1, best->letter) + ":";
        std::string tail = best->root == "/" ? full : full.substr(best->root.size());
        out += tail.empty() ? "/" : tail;
    } else {
        out = full;
    }
    std::replace(out.begin(), out.end(), '/', '\\');
    return rtl::utf8ToCp1250(out);
}

std::string ProgramPath() {
    std::string buf(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0)
        return {};
    buf.resize(static_cast<std::size_t>(n));
    return WindowsPath(buf);
}

std::string GetCurrentDirectory() {
    return WindowsPath(currentHostFolder());
}

} // namespace win
