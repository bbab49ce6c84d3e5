#include "ZipFormat.h"

namespace ziplib::format {

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEnd64Signature = 0x06064b50;
constexpr std::uint32_t kEnd64LocatorSignature = 0x07064b50;
constexpr std::uint16_t kZip64Field = 0x0001;
constexpr std::uint16_t kTimeField = 0x5455; // Info-ZIP's extended time stamp, UTC seconds

// Versions needed to extract: stored, deflated, ZIP64.
constexpr std::uint16_t kVersionStored = 10, kVersionDeflated = 20, kVersionZip64 = 45;

std::uint16_t versionNeeded(const EntryRecord& e, bool zip64) {
    if (zip64)
        return kVersionZip64;
    return e.method == kDeflated ? kVersionDeflated : kVersionStored;
}

void putTimeField(std::string& out, std::time_t t) {
    put16(out, kTimeField);
    put16(out, 5);
    out.push_back(1); // modification time present
    put32(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(t)));
}

std::uint32_t low32OrMark(std::uint64_t v, bool marked) {
    return marked ? kMax32 : static_cast<std::uint32_t>(v);
}

} // namespace

void put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

void put64(std::string& out, std::uint64_t v) {
    put32(out, static_cast<std::uint32_t>(v & kMax32));
    put32(out, static_cast<std::uint32_t>(v >> 32));
}

std::uint32_t dosDateTime(std::time_t t) {
    std::tm tm{};
    if (!::localtime_r(&t, &tm) || tm.tm_year < 80)
        return (1u << 21) | (1u << 16); // 1980-01-01 00:00, the earliest the format holds
    if (tm.tm_year > 207) { // the last moment the format holds
        tm.tm_year = 207, tm.tm_mon = 11, tm.tm_mday = 31;
        tm.tm_hour = 23, tm.tm_min = 59, tm.tm_sec = 58;
    }
    const std::uint32_t date = static_cast<std::uint32_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    const std::uint32_t time = static_cast<std::uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    return (date << 16) | time;
}

std::string localHeader(const EntryRecord& e) {
    std::string h;
    h.reserve(30 + e.name.size() + 29);
    const std::uint32_t dos = dosDateTime(e.modified);
    put32(h, kLocalSignature);
    put16(h, versionNeeded(e, e.zip64Local));
    put16(h, e.utf8 ? kUtf8Flag : 0);
    put16(h, e.method);
    put16(h, static_cast<std::uint16_t>(dos & 0xFFFF));
    put16(h, static_cast<std::uint16_t>(dos >> 16));
    put32(h, e.crc);
    put32(h, low32OrMark(e.compressedSize, e.zip64Local));
    put32(h, low32OrMark(e.size, e.zip64Local));
    put16(h, static_cast<std::uint16_t>(e.name.size()));
    put16(h, static_cast<std::uint16_t>((e.zip64Local ? 20 : 0) + 9));
    h += e.name;
    if (e.zip64Local) {
        put16(h, kZip64Field);
        put16(h, 16);
        put64(h, e.size);
        put64(h, e.compressedSize);
    }
    putTimeField(h, e.modified);
    return h;
}

std::size_t localZip64SizesOffset(const EntryRecord& e) {
    return 30 + e.name.size() + 4;
}

std::string centralRecord(const EntryRecord& e) {
    const bool bigSize = e.zip64Local || e.size >= kMax32;
    const bool bigCompressed = e.zip64Local || e.compressedSize >= kMax32;
    const bool bigOffset = e.localHeaderOffset >= kMax32;
    std::string zip64;
    if (bigSize)
        put64(zip64, e.size);
    if (bigCompressed)
        put64(zip64, e.compressedSize);
    if (bigOffset)
        put64(zip64, e.localHeaderOffset);
    const bool needs64 = !zip64.empty();

    std::string r;
    r.reserve(46 + e.name.size() + 4 + zip64.size() + 9);
    const std::uint32_t dos = dosDateTime(e.modified);
    const std::uint16_t needed = versionNeeded(e, needs64);
    put32(r, kCentralSignature);
    put16(r, needed); // made by: MS-DOS attributes, this version
    put16(r, needed);
    put16(r, e.utf8 ? kUtf8Flag : 0);
    put16(r, e.method);
    put16(r, static_cast<std::uint16_t>(dos & 0xFFFF));
    put16(r, static_cast<std::uint16_t>(dos >> 16));
    put32(r, e.crc);
    put32(r, low32OrMark(e.compressedSize, bigCompressed));
    put32(r, low32OrMark(e.size, bigSize));
    put16(r, static_cast<std::uint16_t>(e.name.size()));
    put16(r, static_cast<std::uint16_t>((needs64 ? 4 + zip64.size() : 0) + 9));
    put16(r, 0); // comment
    put16(r, 0); // disk
    put16(r, 0); // internal attributes
    put32(r, e.dosAttributes);
    put32(r, low32OrMark(e.localHeaderOffset, bigOffset));
    r += e.name;
    if (needs64) {
        put16(r, kZip64Field);
        put16(r, static_cast<std::uint16_t>(zip64.size()));
        r += zip64;
    }
    putTimeField(r, e.modified);
    return r;
}

std::string endRecords(std::uint64_t entries, std::uint64_t centralOffset, std::uint64_t centralSize) {
    std::string out;
    const bool needs64 = entries >= kMax16 || centralOffset >= kMax32 || centralSize >= kMax32;
    if (needs64) {
        const std::uint64_t end64Offset = centralOffset + centralSize;
        put32(out, kEnd64Signature);
        put64(out, 44);
        put16(out, kVersionZip64);
        put16(out, kVersionZip64);
        put32(out, 0);
        put32(out, 0);
        put64(out, entries);
        put64(out, entries);
        put64(out, centralSize);
        put64(out, centralOffset);
        put32(out, kEnd64LocatorSignature);
        put32(out, 0);
        put64(out, end64Offset);
        put32(out, 1);
    }
    put32(out, kEndSignature);
    put16(out, 0);
    put16(out, 0);
    const auto count16 = static_cast<std::uint16_t>(entries >= kMax16 ? kMax16 : entries);
    put16(out, count16);
    put16(out, count16);
    put32(out, low32OrMark(centralSize, centralSize >= kMax32));
    put32(out, low32OrMark(centralOffset, centralOffset >= kMax32));
    put16(out, 0);
    return out;
}

} // namespace ziplib::format
