#include "EntryNames.h"

#include <runtime/Cp1250.h>

namespace ziplib::names {

std::string toArchive(std::string_view cp1250Name, bool& utf8Flag) {
    std::string name(cp1250Name);
    utf8Flag = false;
    for (char& c : name) {
        if (c == '\\')
            c = '/';
        if (static_cast<unsigned char>(c) >= 0x80)
            utf8Flag = true;
    }
    return utf8Flag ? rtl::cp1250ToUtf8(name) : name;
}

std::string fromArchive(std::string_view utf8Name) {
    return rtl::utf8ToCp1250(utf8Name);
}

EntryPath split(std::string_view name) {
    EntryPath path;
    if (name.empty())
        return path;
    // A leading separator makes the name absolute; a colon names a drive (or a stream).
    if (name.front() == '/' || name.front() == '\\' || name.find(':') != std::string_view::npos)
        return path;
    path.folder = name.back() == '/' || name.back() == '\\';
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = name.size();
        std::string_view part = name.substr(start, end - start);
        if (part == "..")
            return EntryPath{};
        if (!part.empty() && part != ".")
            path.parts.emplace_back(part);
        start = end + 1;
    }
    path.safe = !path.parts.empty();
    return path;
}

std::string join(const std::vector<std::string>& parts, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
        if (i)
            out += '\\';
        out += parts[i];
    }
    return out;
}

std::string fileKey(std::string_view windowsPath) {
    std::string key(windowsPath);
    for (char& c : key)
        c = static_cast<char>(c == '/' ? '\\' : rtl::detail::kUpper[static_cast<unsigned char>(c)]);
    return key;
}

} // namespace ziplib::names
