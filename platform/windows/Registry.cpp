// A read-only registry kept in registry export files, one per root key, in the folder that
// VL_REGISTRY names (by default $HOME/.config/vl-suite/registry), e.g. HKEY_CURRENT_USER.reg.
// Both export formats read: "REGEDIT4" (Windows-1250 text) and "Windows Registry Editor
// Version 5.00" (UTF-16LE with a byte order mark, as the platform writes it). Names and
// strings come back in Windows-1250, as the platform's ANSI functions give them. The programs
// only read it; the one write, the desktop wallpaper, is in RegistryWrite.cpp.

#include "WinInternal.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <set>
#include <unistd.h>
#include <vector>

namespace win {

namespace {

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
                                      "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
                                      "HKEY_DYN_DATA"};
constexpr const char* kRootShort[] = {"HKCR", "HKCU", "HKLM", "HKU", "", "HKCC", ""};
constexpr int kRootCount = 7;

struct Value {
    DWORD type = REG_NONE;
    std::string data; // as RegQueryValueExA gives it
};
using Values = std::map<std::string, Value>; // by upper-case name; "" is the default value

struct Hive {
    std::set<std::string> keys;           // upper-case paths, ancestors included; "" is the root
    std::map<std::string, Values> values; // by upper-case path
};

} // namespace

namespace detail {
std::string registryFolder() {
    if (const char* env = std::getenv("VL_REGISTRY"); env && *env)
        return env;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : "/";
    }
    return std::string(home) + "/.config/vl-suite/registry";
}
} // namespace detail

namespace {

using detail::registryFolder;

// A quoted text with \\ and \" escapes starting at s[0] == '"'; `used` is how much was read.
bool parseQuoted(std::string_view s, std::string& out, std::size_t& used) {
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            out += s[++i];
        } else if (s[i] == '"') {
            used = i + 1;
            return true;
        } else {
            out += s[i];
        }
    }
    return false;
}

bool parseHexBytes(std::string_view s, std::string& out) {
    out.clear();
    int digits = 0, cur = 0;
    for (char c : s) {
        int d = rtl::HexDigitValue(c);
        if (d < 0) {
            if (c != ',' && c != ' ' && c != '\t' && c != '\\' && c != '\r' && c != '\n')
                return false;
            if (digits > 0)
                out += static_cast<char>(cur);
            digits = cur = 0;
            continue;
        }
        if (++digits > 2)
            return false;
        cur = cur * 16 + d;
    }
    if (digits > 0)
        out += static_cast<char>(cur);
    return true;
}

std::string upperPath(std::string_view path) {
    std::string out;
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t j = path.find('\\', i);
        if (j == std::string_view::npos)
            j = path.size();
        if (j > i) {
            if (!out.empty())
                out += '\\';
            out += rtl::AnsiUpperCase(path.substr(i, j - i));
        }
        i = j + 1;
    }
    return out;
}

// Reads the export file of one root key; a missing or unreadable file is an empty hive.
Hive loadHive(int root) {
    Hive hive;
    hive.keys.insert("");
    std::string raw;
    if (!detail::readWholeFile(registryFolder() + "/" + kRootNames[root] + ".reg", raw))
        return hive;
    std::string text;
    bool utf8 = false;
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
        static_cast<unsigned char>(raw[1]) == 0xFE) {
        text = detail::utf16leToUtf8(std::string_view(raw).substr(2));
        utf8 = true;
    } else if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = raw.substr(3);
        utf8 = true;
    } else {
        text = std::move(raw);
    }
    auto ansi = [&](std::string_view s) { return utf8 ? rtl::utf8ToCp1250(s) : std::string(s); };

    std::vector<std::string_view> lines;
    std::string_view all(text);
    for (std::size_t pos = 0; pos < all.size();) {
        std::size_t nl = all.find('\n', pos);
        if (nl == std::string_view::npos)
            nl = all.size();
        lines.push_back(all.substr(pos, nl - pos));
        pos = nl + 1;
    }
    std::size_t i = 0;
    while (i < lines.size() && detail::trimRegistryText(lines[i]).empty())
        ++i;
    if (i == lines.size())
        return hive;
    std::string_view header = detail::trimRegistryText(lines[i++]);
    bool unicodeHex;
    if (header == "REGEDIT4")
        unicodeHex = false;
    else if (header == "Windows Registry Editor Version 5.00")
        unicodeHex = true;
    else
        return hive;

    Values* current = nullptr;
    for (; i < lines.size(); ++i) {
        std::string_view line = detail::trimRegistryText(lines[i]);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            current = nullptr;
            std::size_t close = line.rfind(']');
            if (close == std::string_view::npos || line.size() < 2 || line[1] == '-')
                continue;
            std::string path = ansi(line.substr(1, close - 1));
            std::size_t slash = path.find('\\');
            std::string rootName = rtl::UpperCase(path.substr(0, slash));
            if (rootName != kRootNames[root] && rootName != kRootShort[root])
                continue;
            std::string key = upperPath(
                slash == std::string::npos ? std::string_view{} : std::string_view(path).substr(slash + 1));
            for (std::size_t p = key.find('\\'); p != std::string::npos; p = key.find('\\', p + 1))
                hive.keys.insert(key.substr(0, p));
            hive.keys.insert(key);
            current = &hive.values[key];
            continue;
        }
        if (!current)
            continue;
        std::string name;
        std::size_t used = 0;
        if (line[0] == '@') {
            used = 1;
        } else if (line[0] == '"') {
            if (!parseQuoted(line, name, used))
                continue;
        } else {
            continue;
        }
        std::string_view rest = detail::trimRegistryText(line.substr(used));
        if (rest.empty() || rest[0] != '=')
            continue;
        rest = detail::trimRegistryText(rest.substr(1));
        Value v;
        if (!rest.empty() && rest[0] == '"') {
            std::string s;
            if (!parseQuoted(rest, s, used))
                continue;
            v.type = REG_SZ;
            v.data = ansi(s) + '\0';
        } else if (rest.substr(0, 6) == "dword:") {
            std::string_view digits = rest.substr(6);
            if (digits.empty() || digits.size() > 8)
                continue;
            std::uint32_t n = 0;
            bool ok = true;
            for (char c : digits) {
                const int d = rtl::HexDigitValue(c);
                if (d < 0) {
                    ok = false;
                    break;
                }
                n = n * 16 + static_cast<std::uint32_t>(d);
            }
            if (!ok)
                continue;
            v.type = REG_DWORD;
            for (int b = 0; b < 4; ++b)
                v.data += static_cast<char>((n >> (8 * b)) & 0xFF);
        } else if (rest.substr(0, 3) == "hex") {
            std::size_t colon = rest.find(':');
            if (colon == std::string_view::npos)
                continue;
            std::string_view kind = rest.substr(3, colon - 3);
            if (kind.empty()) {
                v.type = REG_BINARY;
            } else if (kind.size() >= 3 && kind.front() == '(' && kind.back() == ')') {
                v.type = static_cast<DWORD>(
                    std::strtoul(std::string(kind.substr(1, kind.size() - 2)).c_str(), nullptr, 16));
            } else {
                continue;
            }
            // Data that goes on ends its line with a backslash.
            std::string hex(rest.substr(colon + 1));
            while (!hex.empty() && hex.back() == '\\' && i + 1 < lines.size()) {
                hex.pop_back();
                hex += detail::trimRegistryText(lines[++i]);
            }
            if (!parseHexBytes(hex, v.data))
                continue;
            // Text types of a version 5 export are UTF-16LE; the ANSI query gives Windows-1250.
            if (unicodeHex && (v.type == REG_SZ || v.type == REG_EXPAND_SZ || v.type == REG_MULTI_SZ))
                v.data = rtl::utf8ToCp1250(detail::utf16leToUtf8(v.data));
        } else {
            continue; // "-" deletes in an import; here it is simply absent
        }
        (*current)[rtl::AnsiUpperCase(ansi(name))] = std::move(v);
    }
    return hive;
}

struct OpenKey {
    int root;
    std::string path;
    Values values;
};

std::mutex g_keysMutex;
std::map<HKEY, OpenKey>& openKeys() {
    static std::map<HKEY, OpenKey> keys;
    return keys;
}
HKEY g_nextKey = 0x1000;

int predefinedRoot(HKEY key) {
    if (key >= HKEY_CLASSES_ROOT && key < HKEY_CLASSES_ROOT + kRootCount)
        return static_cast<int>(key - HKEY_CLASSES_ROOT);
    return -1;
}

} // namespace

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD /*options*/, REGSAM access, HKEY* result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    // This registry is never written.
    if (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK))
        return ERROR_ACCESS_DENIED;
    // Key names never begin with a backslash nor hold an empty part, as the platform insists.
    if (subKey && (subKey[0] == '\\' || std::string_view(subKey).find("\\\\") != std::string_view::npos))
        return ERROR_BAD_PATHNAME;
    int rootIndex = predefinedRoot(root);
    std::string base;
    if (rootIndex < 0) {
        std::lock_guard lock(g_keysMutex);
        auto it = openKeys().find(root);
        if (it == openKeys().end())
            return ERROR_INVALID_HANDLE;
        rootIndex = it->second.root;
        base = it->second.path;
    }
    std::string path = upperPath(base + "\\" + (subKey ? subKey : ""));
    Hive hive = loadHive(rootIndex);
    if (!hive.keys.count(path))
        return ERROR_FILE_NOT_FOUND;
    OpenKey k{rootIndex, path, std::move(hive.values[path])};
    std::lock_guard lock(g_keysMutex);
    HKEY h = g_nextKey;
    g_nextKey += 4;
    openKeys().emplace(h, std::move(k));
    *result = h;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    const std::string name = rtl::AnsiUpperCase(valueName ? valueName : "");
    auto lookUp = [&](const Values& values) -> std::optional<Value> {
        auto v = values.find(name);
        return v == values.end() ? std::nullopt : std::optional<Value>(v->second);
    };
    std::optional<Value> found;
    if (int rootIndex = predefinedRoot(key); rootIndex >= 0) {
        found = lookUp(loadHive(rootIndex).values[""]);
    } else {
        std::lock_guard lock(g_keysMutex);
        auto it = openKeys().find(key);
        if (it == openKeys().end())
            return ERROR_INVALID_HANDLE;
        found = lookUp(it->second.values);
    }
    if (!found)
        return ERROR_FILE_NOT_FOUND;
    const std::string& bytes = found->data;
    if (type)
        *type = found->type;
    const auto needed = static_cast<DWORD>(bytes.size());
    if (data) {
        if (*dataSize < needed) {
            *dataSize = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(bytes.begin(), bytes.end(), data);
    }
    if (dataSize)
        *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (predefinedRoot(key) >= 0)
        return ERROR_SUCCESS;
    std::lock_guard lock(g_keysMutex);
    return openKeys().erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace win
