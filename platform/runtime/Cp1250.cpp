#include <runtime/Cp1250.h>

namespace rtl {

char32_t cp1250ToUnicode(unsigned char b) {
    return b < 0x80 ? b : detail::kHighToUnicode[b - 0x80];
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string cp1250ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text)
        appendUtf8(out, cp1250ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

// Decodes one UTF-8 sequence at `i`; returns false for a malformed one (advancing by one byte).
static bool decodeUtf8(std::string_view s, std::size_t& i, char32_t& cp) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra;
    char32_t min;
    if (c < 0x80) {
        cp = c;
        ++i;
        return true;
    } else if ((c & 0xE0) == 0xC0) {
        cp = c & 0x1F;
        extra = 1;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        cp = c & 0x0F;
        extra = 2;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        cp = c & 0x07;
        extra = 3;
        min = 0x10000;
    } else {
        ++i;
        return false;
    }
    if (i + extra >= s.size()) {
        ++i;
        return false;
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += 1 + extra;
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    return true;
}

static int reverseByte(char32_t cp) {
    if (cp < 0x80)
        return static_cast<int>(cp);
    if (cp > 0xFFFF)
        return -1;
    // A small direct table, built once, keeps host listings of large folders cheap.
    static const std::array<short, 0x10000> table = [] {
        std::array<short, 0x10000> t{};
        t.fill(-1);
        for (int b = 0x80; b < 0x100; ++b)
            t[detail::kHighToUnicode[b - 0x80]] = static_cast<short>(b);
        return t;
    }();
    return table[cp];
}

std::string utf8ToCp1250(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp;
        if (!decodeUtf8(text, i, cp)) {
            out += replacement;
            continue;
        }
        int b = reverseByte(cp);
        out += b < 0 ? replacement : static_cast<char>(b);
    }
    return out;
}

bool utf8FitsCp1250(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp;
        if (!decodeUtf8(text, i, cp) || reverseByte(cp) < 0)
            return false;
    }
    return true;
}

} // namespace rtl
