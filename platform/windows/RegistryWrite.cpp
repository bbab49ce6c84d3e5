// The registry's one write path: a string value set in a root key's export file, edited as
// text so that every other line stays byte for byte, in the file's own format (REGEDIT4 in
// Windows-1250, or version 5.00 in UTF-16LE), and replaced atomically.

#include "WinInternal.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace win::detail {

namespace {

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
                                      "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
                                      "HKEY_DYN_DATA"};
constexpr const char* kRootShort[] = {"HKCR", "HKCU", "HKLM", "HKU", "", "HKCC", ""};

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The value name a line sets ("@" for the default value), or nothing for other lines.
bool valueNameOf(std::string_view line, std::string& name) {
    line = trimRegistryText(line);
    if (line.substr(0, 1) == "@") {
        name.clear();
        return true;
    }
    if (line.substr(0, 1) != "\"")
        return false;
    name.clear();
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            name += line[++i];
        else if (line[i] == '"')
            return true;
        else
            name += line[i];
    }
    return false;
}

std::string quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// Upper case, single backslashes, no leading or trailing ones.
std::string keyKey(std::string_view path) {
    std::string out;
    for (char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\'))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\')
        out.pop_back();
    return rtl::AnsiUpperCase(out);
}

} // namespace

DWORD writeRegistryString(HKEY root, std::string_view keyPath, std::string_view name,
                          std::string_view value) {
    if (root < HKEY_CLASSES_ROOT || root > HKEY_DYN_DATA)
        return ERROR_INVALID_HANDLE;
    const int index = static_cast<int>(root - HKEY_CLASSES_ROOT);
    const std::string folder = registryFolder();
    const std::string file = folder + "/" + kRootNames[index] + ".reg";

    std::string raw;
    bool missing = false;
    if (!readWholeFile(file, raw)) {
        if (errno != ENOENT)
            return ErrorFromErrno(errno);
        missing = true;
    }
    // The lines in a text of one encoding: Windows-1250 for REGEDIT4, UTF-8 for 5.00.
    const bool unicode = raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
                         static_cast<unsigned char>(raw[1]) == 0xFE;
    std::string text = unicode ? utf16leToUtf8(std::string_view(raw).substr(2)) : raw;
    auto own = [&](std::string_view cp1250) {
        return unicode ? rtl::cp1250ToUtf8(cp1250) : std::string(cp1250);
    };
    if (missing || trimRegistryText(text).empty())
        text = "REGEDIT4\r\n\r\n";
    const std::string eol =
        text.find("\r\n") != std::string::npos || text.find('\n') == std::string::npos ? "\r\n" : "\n";

    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t nl = text.find('\n', pos);
        const std::size_t end = nl == std::string::npos ? text.size() : nl + 1;
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    if (!lines.empty() && lines.back().back() != '\n')
        lines.back() += eol;

    const std::string wantedKey = keyKey(keyPath);
    const std::string wantedName = rtl::AnsiUpperCase(name);
    const std::string newLine = own(quoted(name) + "=" + quoted(value)) + eol;
    std::size_t section = lines.size();
    for (std::size_t i = 0; i < lines.size() && section == lines.size(); ++i) {
        std::string_view line = trimRegistryText(lines[i]);
        while (!line.empty() && line.back() == '\n')
            line = trimRegistryText(line.substr(0, line.size() - 1));
        if (line.size() < 2 || line.front() != '[' || line.back() != ']')
            continue;
        const std::string path = unicode ? rtl::utf8ToCp1250(line.substr(1, line.size() - 2))
                                         : std::string(line.substr(1, line.size() - 2));
        const std::size_t slash = path.find('\\');
        const std::string rootName = rtl::UpperCase(path.substr(0, slash));
        if ((rootName == kRootNames[index] || (*kRootShort[index] && rootName == kRootShort[index])) &&
            keyKey(slash == std::string::npos ? "" : path.substr(slash + 1)) == wantedKey)
            section = i;
    }

    if (section == lines.size()) {
        if (!lines.empty() && !blank(lines.back()))
            lines.push_back(eol);
        std::string key = std::string(kRootNames[index]);
        if (!wantedKey.empty())
            key += "\\" + std::string(keyPath);
        lines.push_back(own("[" + key + "]") + eol);
        lines.push_back(newLine);
        lines.push_back(eol);
    } else {
        std::size_t end = section + 1, lastValue = section;
        bool replaced = false;
        while (end < lines.size() && trimRegistryText(lines[end]).substr(0, 1) != "[") {
            std::string n;
            if (valueNameOf(lines[end], n)) {
                lastValue = end;
                const std::string cp = unicode ? rtl::utf8ToCp1250(n) : n;
                if (!replaced && rtl::AnsiUpperCase(cp) == wantedName) {
                    // A value's hex data may go on over lines that end in a backslash.
                    std::size_t last = end;
                    auto continues = [&](std::size_t k) {
                        const std::string_view l = rtl::TrimRightOf(trimRegistryText(lines[k]), "\n\r");
                        return !l.empty() && l.back() == '\\';
                    };
                    while (continues(last) && last + 1 < lines.size())
                        ++last;
                    lines.erase(lines.begin() + static_cast<long>(end) + 1,
                                lines.begin() + static_cast<long>(last) + 1);
                    lines[end] = newLine;
                    replaced = true;
                }
            }
            ++end;
        }
        if (!replaced)
            lines.insert(lines.begin() + static_cast<long>(lastValue) + 1, newLine);
    }

    std::string out;
    for (const std::string& l : lines)
        out += l;
    if (unicode)
        out = "\xFF\xFE" + utf8ToUtf16le(out);
    std::error_code ec;
    if (missing && !std::filesystem::create_directories(folder, ec) && ec)
        return ERROR_PATH_NOT_FOUND;
    return replaceFileAtomically(file, out);
}

} // namespace win::detail
