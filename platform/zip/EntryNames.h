#pragma once

// Entry names between the programs' Windows-1250 file names and the archive's UTF-8 names, and
// the rule that keeps every unpacked entry inside its target folder.

#include <string>
#include <string_view>
#include <vector>

namespace ziplib::names {

// The archive form of a Windows-1250 name: UTF-8, "/" between folders. `utf8Flag` is set when
// the name is not plain ASCII.
std::string toArchive(std::string_view cp1250Name, bool& utf8Flag);

// The Windows-1250 form of a UTF-8 name; "?" for each character the code page lacks.
std::string fromArchive(std::string_view utf8Name);

// An entry name taken apart for unpacking.
struct EntryPath {
    bool safe = false;              // false: absolute, a drive letter, "..", a colon, or nothing left
    bool folder = false;            // the name ends with a separator
    std::vector<std::string> parts; // the components, "." and empty ones dropped
};

// Splits a Windows-1250 entry name at "/" and "\".
EntryPath split(std::string_view cp1250Name);

// The components joined with backslashes, as a Windows path below the target folder.
std::string join(const std::vector<std::string>& parts, std::size_t count);

// The key under which two names reach the same file (letter case ignored, as the platform does).
std::string fileKey(std::string_view windowsPath);

} // namespace ziplib::names
