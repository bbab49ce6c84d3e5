#pragma once

// The record reader's own routines: the Base64 decoder, the seven-field split and the file
// read that the export rests on.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace Velt_b64 {

// Status codes of a record read, as the export reports them.
enum Status : std::uint8_t {
    StatusOk = 0,
    StatusBadIndex = 1,
    StatusNoFile = 2,
    StatusEmptyFile = 3,
    StatusBadLength = 4,
    StatusBadRecord = 5,
    StatusCannotOpen = 6,
    StatusOutOfMemory = 7,
    StatusFailure = 8,
};

// The number of fields in a record, each ended by the separator.
inline constexpr int kFieldCount = 7;

// Zero-based position of `c` in the standard Base64 alphabet; 61 for any other character,
// "=" included.
std::uint8_t Base64CharValue(char c);

// Decodes the Base64 text group by group in its own storage and returns the decoded bytes,
// which start where the text did. `status`: 0 decoded (also to an empty text), 1 empty text,
// 2 a length below 4 or not a multiple of 4; the result is empty unless 0. Characters outside
// the alphabet count as 61, and each trailing "=" drops one byte. Runs the active decoder.
std::string_view DecodeBase64(std::span<char> text, std::uint8_t& status);

// The ways of turning groups of four characters into three bytes. Every one gives the same
// bytes for every text; they differ only in speed.
enum class Base64Decoder : std::uint8_t {
    Scalar, // a table lookup per character, on every processor
    Avx2,   // 32 characters at a time, on x86 processors with AVX2
};

// Whether this processor (and its system) can run `decoder`.
bool Base64DecoderAvailable(Base64Decoder decoder);

// The decoder DecodeBase64 runs: AVX2 where available, chosen once, the scalar one elsewhere.
Base64Decoder ActiveBase64Decoder();

// DecodeBase64 with the given decoder; one the processor cannot run falls back to the scalar
// one.
std::string_view DecodeBase64With(Base64Decoder decoder, std::span<char> text, std::uint8_t& status);

// Field `index` (1 to 7) of a decoded record split at a one-character `separator` (NUL-
// terminated, may be null). Returns the status: 0, 5 (not exactly seven separators) or 8
// (null separator); `field` is emptied unless 0.
std::uint8_t PickPersDataField(std::string_view record, std::uint8_t index, const char* separator,
                               std::string& field);

// Reads, decodes and splits the record file `fileName` (a path as the host gives it, may be
// null) and returns field `index`; `status` gets 0 to 8. Never throws.
std::string ReadPersDataField(std::uint8_t index, const char* fileName, const char* separator,
                              std::uint8_t& status) noexcept;

} // namespace Velt_b64
