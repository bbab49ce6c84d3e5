#include <runtime/SysUtils.h>

#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <limits>
#include <string_view>

namespace rtl {

char AnsiUpperChar(char c) {
    return static_cast<char>(detail::kUpper[static_cast<unsigned char>(c)]);
}

char AnsiLowerChar(char c) {
    return static_cast<char>(detail::kLower[static_cast<unsigned char>(c)]);
}

std::string AnsiUpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AnsiUpperChar(c);
    return out;
}

std::string AnsiLowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AnsiLowerChar(c);
    return out;
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AnsiUpperChar(a[i]) != AnsiUpperChar(b[i]))
            return false;
    return true;
}

namespace {

// The accented upper-case letters of the code page under their base letter, in the order they
// sort after it: the Polish letter first (a < ą < á ...), so each letter has a weight of its own.
struct AccentedLetters {
    char base;
    std::u32string_view letters;
};
constexpr AccentedLetters kAccented[] = {
    {'A', U"\u0104\u00C1\u00C2\u0102\u00C4"},
    {'C', U"\u0106\u00C7\u010C"},
    {'D', U"\u010E\u0110"},
    {'E', U"\u0118\u00C9\u00CB\u011A"},
    {'I', U"\u00CD\u00CE"},
    {'L', U"\u0141\u0139\u013D"},
    {'N', U"\u0143\u0147"},
    {'O', U"\u00D3\u00D4\u0150\u00D6"},
    {'R', U"\u0154\u0158"},
    {'S', U"\u015A\u0160\u015E"},
    {'T', U"\u0164\u0162"},
    {'U', U"\u00DA\u016E\u0170\u00DC"},
    {'Y', U"\u00DD"},
    {'Z', U"\u0179\u017B\u017D"},
};

// Collation weight of a byte: punctuation and controls first, then digits, then letters in the
// Polish alphabet's order (a < ą < b < c < ć ...). Case is folded before the lookup.
struct Collation {
    std::array<int, 256> weight{};

    Collation() {
        for (int b = 0; b < 256; ++b) {
            unsigned char u = detail::kUpper[b];
            int w = u; // punctuation, controls and symbols keep their byte order, before digits
            if (u >= '0' && u <= '9')
                w = 1000 + (u - '0');
            else if (u >= 'A' && u <= 'Z')
                w = 2000 + (u - 'A') * 40;
            for (const AccentedLetters& group : kAccented) {
                int rank = 1;
                for (char32_t letter : group.letters) {
                    if (cp1250ToUnicode(u) == letter)
                        w = 2000 + (group.base - 'A') * 40 + rank;
                    ++rank;
                }
            }
            weight[b] = w;
        }
    }
};

const Collation& collation() {
    static const Collation c;
    return c;
}

// Hyphen and apostrophe count only where everything else is equal (the platform's word sort:
// "co-op" sorts beside "coop", "can't" beside "cant").
bool wordSortIgnores(char c) {
    return c == '-' || c == '\'';
}

int compareWeights(std::string_view a, std::string_view b, bool wordSort) {
    const auto& w = collation().weight;
    std::size_t i = 0, j = 0;
    for (;;) {
        if (wordSort) {
            while (i < a.size() && wordSortIgnores(a[i]))
                ++i;
            while (j < b.size() && wordSortIgnores(b[j]))
                ++j;
        }
        if (i == a.size() || j == b.size())
            break;
        int wa = w[static_cast<unsigned char>(a[i++])];
        int wb = w[static_cast<unsigned char>(b[j++])];
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    const bool restA = i < a.size(), restB = j < b.size();
    return restA == restB ? 0 : (restA ? 1 : -1);
}

std::string withoutIgnored(std::string_view s) {
    std::string out;
    for (char c : s)
        if (!wordSortIgnores(c))
            out += c;
    return out;
}

int compareBytes(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int AnsiCompareText(std::string_view a, std::string_view b) {
    if (int c = compareWeights(a, b, true))
        return c;
    return compareWeights(a, b, false);
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    if (int c = compareWeights(a, b, true))
        return c;
    // Same letters: lower case sorts before upper case, as the platform's collation does; then
    // the hyphens and apostrophes; then the bytes, so that only equal texts compare equal.
    const std::string la = withoutIgnored(a), lb = withoutIgnored(b);
    for (std::size_t i = 0; i < la.size() && i < lb.size(); ++i) {
        bool lowerA = AnsiLowerChar(la[i]) == la[i], lowerB = AnsiLowerChar(lb[i]) == lb[i];
        if (lowerA != lowerB)
            return lowerA ? -1 : 1;
    }
    if (int c = compareWeights(a, b, false))
        return c;
    return compareBytes(a, b);
}

bool AnsiNameLess(std::string_view a, std::string_view b) {
    const int c = AnsiCompareText(a, b);
    return c != 0 ? c < 0 : AnsiCompareStr(a, b) < 0;
}

std::string_view TrimLeftOf(std::string_view s, std::string_view chars) {
    const std::size_t b = s.find_first_not_of(chars);
    return b == std::string_view::npos ? s.substr(s.size()) : s.substr(b);
}

std::string_view TrimRightOf(std::string_view s, std::string_view chars) {
    const std::size_t e = s.find_last_not_of(chars);
    return s.substr(0, e == std::string_view::npos ? 0 : e + 1);
}

std::string_view TrimOf(std::string_view s, std::string_view chars) {
    return TrimRightOf(TrimLeftOf(s, chars), chars);
}

// What Trim removes: the codes 0 to 32.
static constexpr std::array<char, 33> kControlsAndSpaceCodes = [] {
    std::array<char, 33> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = static_cast<char>(i);
    return codes;
}();
static constexpr std::string_view kControlsAndSpace(kControlsAndSpaceCodes.data(),
                                                    kControlsAndSpaceCodes.size());

std::string Trim(std::string_view s) {
    return std::string(TrimOf(s, kControlsAndSpace));
}

std::string TrimLeft(std::string_view s) {
    return std::string(TrimLeftOf(s, kControlsAndSpace));
}

std::string TrimRight(std::string_view s) {
    return std::string(TrimRightOf(s, kControlsAndSpace));
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string IntToStr(std::int64_t value) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

static bool parseInteger(std::string_view s, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    unsigned long long magnitude = 0;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(-(lo + 1)) + 1 : static_cast<unsigned long long>(hi);
    for (; i < s.size(); ++i) {
        int d = HexDigitValue(s[i]);
        if (d < 0 || d >= base)
            return false;
        if (magnitude > (std::numeric_limits<unsigned long long>::max() - d) / base)
            return false;
        magnitude = magnitude * base + d;
        // Hexadecimal forms may fill the whole width, as the platform allows ($FFFFFFFF is -1).
        if (base == 10 && magnitude > limit)
            return false;
    }
    if (base == 16) {
        unsigned long long width = static_cast<unsigned long long>(hi) * 2 + 1;
        if (magnitude > width)
            return false;
        std::int64_t v = magnitude > static_cast<unsigned long long>(hi)
                             ? static_cast<std::int64_t>(magnitude - width - 1)
                             : static_cast<std::int64_t>(magnitude);
        out = negative ? -v : v;
        return true;
    }
    out = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

static EConvertError notAnInteger(std::string_view s) {
    return EConvertError(Format("'%s' is not a valid integer value", {s}));
}

int StrToInt(std::string_view s) {
    std::int64_t v;
    if (!parseInteger(s, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                      v))
        throw notAnInteger(s);
    return static_cast<int>(v);
}

std::int64_t StrToInt64(std::string_view s) {
    std::int64_t v;
    if (!parseInteger(s, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(),
                      v))
        throw notAnInteger(s);
    return v;
}

int StrToIntDef(std::string_view s, int fallback) {
    std::int64_t v;
    if (!parseInteger(s, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                      v))
        return fallback;
    return static_cast<int>(v);
}

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(s);
    std::string out;
    std::size_t pos = 0;
    while (true) {
        std::size_t hit = s.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

namespace {

struct Spec {
    bool left = false;
    int width = -1;
    int precision = -1;
    char conv = 0;
};

void pad(std::string& out, const std::string& body, const Spec& spec) {
    int fill = spec.width - static_cast<int>(body.size());
    if (fill > 0 && !spec.left)
        out.append(static_cast<std::size_t>(fill), ' ');
    out += body;
    if (fill > 0 && spec.left)
        out.append(static_cast<std::size_t>(fill), ' ');
}

std::string digits(std::uint64_t v, int base) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v, base);
    std::string s(buf, r.ptr);
    for (char& c : s)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

EConvertError badFormat(std::string_view format) {
    return EConvertError(Format("Format '%s' invalid or incompatible with argument", {format}));
}

} // namespace

std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= format.size())
            throw badFormat(format);
        if (format[i] == '%') {
            out += '%';
            continue;
        }
        Spec spec;
        if (format[i] == '-') {
            spec.left = true;
            ++i;
        }
        auto number = [&](int& target) {
            if (i < format.size() && format[i] >= '0' && format[i] <= '9') {
                target = 0;
                while (i < format.size() && format[i] >= '0' && format[i] <= '9')
                    target = target * 10 + (format[i++] - '0');
            }
        };
        number(spec.width);
        if (i < format.size() && format[i] == '.') {
            ++i;
            spec.precision = 0;
            number(spec.precision);
        }
        if (i >= format.size() || next == args.end())
            throw badFormat(format);
        spec.conv = static_cast<char>(format[i] | 0x20);
        const auto& arg = next->value;
        ++next;
        std::string body;
        switch (spec.conv) {
        case 'd':
        case 'u':
        case 'x': {
            bool negative = false;
            std::uint64_t magnitude;
            if (auto* s = std::get_if<std::int64_t>(&arg)) {
                if (spec.conv == 'd') {
                    negative = *s < 0;
                    magnitude =
                        negative ? 0 - static_cast<std::uint64_t>(*s) : static_cast<std::uint64_t>(*s);
                } else {
                    // %u and %x show a 32-bit value's bits, as the platform's 32-bit Format does.
                    magnitude = (*s >= INT32_MIN && *s <= UINT32_MAX) ? static_cast<std::uint32_t>(*s)
                                                                      : static_cast<std::uint64_t>(*s);
                }
            } else if (auto* u = std::get_if<std::uint64_t>(&arg)) {
                magnitude = *u;
            } else {
                throw badFormat(format);
            }
            body = digits(magnitude, spec.conv == 'x' ? 16 : 10);
            if (spec.precision > static_cast<int>(body.size()))
                body.insert(0, static_cast<std::size_t>(spec.precision) - body.size(), '0');
            if (negative)
                body.insert(0, 1, '-');
            break;
        }
        case 's': {
            auto* s = std::get_if<std::string_view>(&arg);
            if (!s)
                throw badFormat(format);
            body = spec.precision >= 0 ? std::string(s->substr(0, static_cast<std::size_t>(spec.precision)))
                                       : std::string(*s);
            break;
        }
        case 'f': {
            double v;
            if (auto* d = std::get_if<double>(&arg))
                v = *d;
            else if (auto* s = std::get_if<std::int64_t>(&arg))
                v = static_cast<double>(*s);
            else
                throw badFormat(format);
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", spec.precision < 0 ? 2 : spec.precision, v);
            body = buf;
            break;
        }
        default:
            throw badFormat(format);
        }
        pad(out, body, spec);
    }
    return out;
}

} // namespace rtl
