#pragma once

// The records of a ZIP archive as the packer writes them: local headers, central directory
// records, the ZIP64 end records, and the small extra fields that go with them.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace ziplib::format {

inline constexpr std::uint16_t kStored = 0;
inline constexpr std::uint16_t kDeflated = 8;
inline constexpr std::uint16_t kUtf8Flag = 0x0800;
inline constexpr std::uint32_t kMax32 = 0xFFFFFFFF;
inline constexpr std::uint16_t kMax16 = 0xFFFF;

// What one entry's records say about it.
struct EntryRecord {
    std::string name; // UTF-8, "/" between folders
    bool utf8 = false;
    std::uint16_t method = kStored;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localHeaderOffset = 0;
    std::time_t modified = 0;
    std::uint32_t dosAttributes = 0; // read-only, hidden, system, archive
    bool zip64Local = false;         // the local header carries both sizes in a ZIP64 field
};

// Appends little-endian integers.
void put16(std::string& out, std::uint16_t v);
void put32(std::string& out, std::uint32_t v);
void put64(std::string& out, std::uint64_t v);

// The local header; with zip64Local its sizes sit in a ZIP64 field that a later patch fills in.
std::string localHeader(const EntryRecord& e);
// Where, inside the local header, the CRC and the two 32-bit sizes lie (12 bytes from there).
inline constexpr std::size_t kLocalCrcOffset = 14;
// Where, inside a local header with zip64Local, the ZIP64 field's two 64-bit sizes lie.
std::size_t localZip64SizesOffset(const EntryRecord& e);

std::string centralRecord(const EntryRecord& e);

// The end of the archive: ZIP64 end record and locator when needed, then the end record.
std::string endRecords(std::uint64_t entries, std::uint64_t centralOffset, std::uint64_t centralSize);

// MS-DOS date and time (local time, two-second steps, 1980 to 2107).
std::uint32_t dosDateTime(std::time_t t);

} // namespace ziplib::format
