// Differential fuzzing of the decoder and the field split: each result is checked against a
// slow, obvious version of the same rules, and every decoder the processor can run (the
// scalar one and AVX2) against the others.
//
// Input: byte 0 the field index, byte 1 the separator (0 means a null separator, 1 an empty
// one), the rest the Base64 text.

#include "PersData.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

unsigned slowValue(char c) {
    for (unsigned i = 0; i < kAlphabet.size(); ++i)
        if (kAlphabet[i] == c)
            return i;
    return 61;
}

std::string slowDecode(std::string_view in, std::uint8_t& status) {
    status = 0;
    if (in.empty()) {
        status = 1;
        return {};
    }
    if (in.size() < 4 || in.size() % 4 != 0) {
        status = 2;
        return {};
    }
    std::size_t pads = 0;
    for (std::size_t i = in.size(); i > 0 && in[i - 1] == '='; --i)
        ++pads;
    std::string out;
    for (std::size_t i = 0; i < in.size(); i += 4) {
        const unsigned w = slowValue(in[i]), x = slowValue(in[i + 1]), y = slowValue(in[i + 2]),
                       z = slowValue(in[i + 3]);
        out += static_cast<char>((w * 4 + x / 16) % 256);
        out += static_cast<char>((x * 16 + y / 4) % 256);
        out += static_cast<char>((y * 64 + z) % 256);
    }
    for (; pads > 0 && !out.empty(); --pads)
        out.pop_back();
    return out;
}

std::uint8_t slowPick(const std::string& record, std::uint8_t index, const char* separator,
                      std::string& field) {
    field.clear();
    if (index < 1 || index > 7)
        return 1;
    if (!separator)
        return 8;
    if (std::string_view(separator).size() != 1)
        return 5;
    std::string fields[8];
    int count = 0;
    for (char c : record) {
        if (c == separator[0]) {
            if (++count > 7)
                return 5;
        } else if (count < 7) {
            fields[count] += c;
        }
    }
    if (count != 7)
        return 5;
    field = fields[index - 1];
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t index = data[0] % 10;
    const char separatorText[2] = {static_cast<char>(data[1]), '\0'};
    const char* separator = data[1] == 0 ? nullptr : data[1] == 1 ? "" : separatorText;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    std::uint8_t status = 99, expectedStatus = 98;
    std::string buffer(text);
    const std::string_view decoded = Velt_b64::DecodeBase64(buffer, status);
    const std::string expected = slowDecode(text, expectedStatus);
    if (status != expectedStatus || decoded != expected)
        std::abort();
    for (const auto decoder : {Velt_b64::Base64Decoder::Scalar, Velt_b64::Base64Decoder::Avx2}) {
        if (!Velt_b64::Base64DecoderAvailable(decoder))
            continue;
        std::uint8_t own = 97;
        std::string copy(text);
        if (Velt_b64::DecodeBase64With(decoder, copy, own) != expected || own != expectedStatus)
            std::abort();
    }

    std::string field, expectedField;
    if (Velt_b64::PickPersDataField(decoded, index, separator, field) !=
            slowPick(expected, index, separator, expectedField) ||
        field != expectedField)
        std::abort();
    return 0;
}
