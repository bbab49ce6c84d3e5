#pragma once

// Python's zipfile as a second opinion on archives (zip_tool.py): what it reads from an archive,
// and archives it writes to a recipe; Info-ZIP's own test of an archive.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vltest {

struct ZipEntryInfo {
    std::string name; // UTF-8, as zipfile decodes it
    int flags = 0;
    int method = 0; // 0 stored, 8 deflated
    std::uint64_t size = 0;
    std::string sha256;
    std::uint32_t externalAttributes = 0;
};

struct ZipListing {
    bool read = false; // zipfile could open it
    std::vector<ZipEntryInfo> entries;
    bool zip64 = false;
    std::string test; // "ok", or the first entry that fails its check
};

ZipListing ListZip(const std::string& archivePath);

struct ZipRecipeEntry {
    ZipRecipeEntry(std::string entryName, std::string bytes, bool storedAsIs = false)
        : name(std::move(entryName)), data(std::move(bytes)), stored(storedAsIs) {}

    std::string name;
    std::string data;
    bool stored = false;
    std::string rawName; // when set: the name's bytes as written, UTF-8 flag clear
    bool zip64 = false;
    bool folder = false;
};

// A folder entry ("name/"), an entry named by raw bytes, an entry with ZIP64 sizes.
inline ZipRecipeEntry ZipFolder(std::string name) {
    ZipRecipeEntry e(std::move(name), "");
    e.folder = true;
    return e;
}
inline ZipRecipeEntry ZipRawName(std::string rawName, std::string data) {
    ZipRecipeEntry e("", std::move(data));
    e.rawName = std::move(rawName);
    return e;
}
inline ZipRecipeEntry ZipForced64(std::string name, std::string data, bool stored = false) {
    ZipRecipeEntry e(std::move(name), std::move(data), stored);
    e.zip64 = true;
    return e;
}

// Writes the archive with zipfile; false when Python failed.
bool MakeZip(const std::string& archivePath, const std::vector<ZipRecipeEntry>& entries);

// `unzip -t -q ARCHIVE`: its exit status (0 when every entry tests good).
int UnzipTest(const std::string& archivePath, std::string* output = nullptr);

} // namespace vltest
