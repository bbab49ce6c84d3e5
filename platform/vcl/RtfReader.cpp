#include <vcl/RtfReader.h>

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace vcl {

namespace {

using CodeTable = std::array<char32_t, 256>;

// The characters of a single-byte code page, or nullptr when the host's converter lacks it
// (or the page has characters of two bytes).
const CodeTable* codeTable(int codePage) {
    static std::mutex lock;
    static std::map<int, std::unique_ptr<CodeTable>> tables;
    std::lock_guard<std::mutex> guard(lock);
    auto found = tables.find(codePage);
    if (found != tables.end())
        return found->second.get();
    std::unique_ptr<CodeTable> table;
    if (codePage == 1250) {
        table = std::make_unique<CodeTable>();
        for (int b = 0; b < 256; ++b)
            (*table)[b] = rtl::cp1250ToUnicode(static_cast<unsigned char>(b));
    } else if (codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950 && codePage != 1361 &&
               codePage > 0 && codePage < 100000) {
        const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
        iconv_t cd = iconv_open("UTF-32LE", name.c_str());
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            table = std::make_unique<CodeTable>();
            for (int b = 0; b < 256; ++b) {
                char in = static_cast<char>(b);
                unsigned char out[8] = {};
                char* inp = &in;
                char* outp = reinterpret_cast<char*>(out);
                std::size_t inLeft = 1, outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) ||
                    outLeft != sizeof out - 4)
                    (*table)[b] = 0xFFFD;
                else
                    (*table)[b] = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
            }
            iconv_close(cd);
        }
    }
    return (tables[codePage] = std::move(table)).get();
}

// The code page of a font character set; 0 for the ANSI, default and symbol sets, which follow
// the document's code page.
int charsetCodePage(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0;
    }
}

// Where the text of a group goes.
enum class Dest { Text, FontTable, ColorTable, Skip };

// Destinations whose content a text view does not show.
bool skippedDestination(std::string_view word) {
    static constexpr std::string_view kSkipped[] = {
        "pict",      "info",         "stylesheet",
        "header",    "headerl",      "headerr",
        "headerf",   "footer",       "footerl",
        "footerr",   "footerf",      "footnote",
        "xe",        "tc",           "txe",
        "private",   "template",     "filetbl",
        "revtbl",    "listtable",    "listoverridetable",
        "rsidtbl",   "themedata",    "colorschememapping",
        "datastore", "latentstyles", "generator",
        "userprops", "docvar",       "bkmkstart",
        "bkmkend",   "fldinst",      "nonshppict",
        "objdata",   "pntxta",       "pntxtb",
        "ftnsep",    "ftnsepc",      "ftncn",
        "aftnsep",   "aftnsepc",     "aftncn",
        "mmathPr",   "xmlnstbl",     "wgrffmtfilter",
        "pgdsctbl",
    };
    return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

// Special characters named by a control word.
std::optional<char32_t> namedCharacter(std::string_view word) {
    static constexpr std::pair<std::string_view, char32_t> kNamed[] = {
        {"tab", U'\t'},      {"line", 0x2028},    {"emdash", 0x2014},    {"endash", 0x2013},
        {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},   {"bullet", 0x2022},
        {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
        {"cell", U'\t'},     {"nestcell", U'\t'},
    };
    for (const auto& [name, cp] : kNamed) {
        if (name == word)
            return cp;
    }
    return std::nullopt;
}

// What a character of the text does: line and paragraph ends given as characters end lines
// and paragraphs; other control characters and the characters the document model keeps for
// itself (U+FDD0..U+FDEF, U+FFFE, U+FFFF) never show.
enum class CharKind { Shown, Dropped, LineBreak, ParagraphEnd };

CharKind classify(char32_t cp) {
    if (cp == U'\t')
        return CharKind::Shown;
    if (cp == U'\r' || cp == U'\n' || cp == 0x2029)
        return CharKind::ParagraphEnd;
    if (cp == 0x0B || cp == 0x2028)
        return CharKind::LineBreak;
    if (cp < 0x20 || cp == 0x7F || (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE || cp > 0x10FFFF)
        return CharKind::Dropped;
    return CharKind::Shown;
}

// Deeper groups than this share the state of the deepest kept one, so that a file of nothing
// but opening braces cannot take memory without bound.
constexpr std::size_t kMaxDepth = 256;
// The largest size the platform's rich edit takes, in half points.
constexpr int kMaxHalfPoints = 3276;

struct GroupState {
    Dest dest = Dest::Text;
    int font = -1; // font number, -1 for none
    int halfPoints = 0;
    bool bold = false, italic = false, underline = false;
    int color = -1; // colour table index, -1 for the view's colour
    int unicodeSkip = 1;
};

struct FontEntry {
    std::string name; // UTF-8
    int charset = -1;
    bool named = false; // the name's ";" was read
};

class Reader {
  public:
    Reader(std::string_view data) : m_in(data) {}

    TRtfText Read() {
        m_out.IsRtf = true;
        m_out.Paragraphs.emplace_back();
        run();
        finishParagraphs();
        return std::move(m_out);
    }

  private:
    // ---- lexing --------------------------------------------------------------------------

    bool atEnd() const { return m_pos >= m_in.size(); }
    unsigned char peek() const { return static_cast<unsigned char>(m_in[m_pos]); }
    static bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
    static int hexValue(unsigned char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    void run() {
        // The signature "{\rtf" opens the document group.
        while (!atEnd() && !m_done) {
            unsigned char c = peek();
            ++m_pos;
            switch (c) {
            case '{':
                m_skipUnits = 0;
                openGroup();
                break;
            case '}':
                m_skipUnits = 0;
                closeGroup();
                break;
            case '\\':
                controlSequence();
                break;
            case '\r':
            case '\n':
                break; // line ends of the file are not text
            default:
                if (consumeSkipUnit())
                    break;
                if (c == '\t')
                    character(U'\t');
                else if (c >= 0x20)
                    byte(c);
                break;
            }
        }
    }

    void openGroup() {
        ++m_depth;
        if (m_stack.size() < kMaxDepth) {
            m_stack.push_back(m_state);
        } else {
            ++m_overflow;
        }
    }

    void closeGroup() {
        if (m_depth == 0)
            return;
        --m_depth;
        if (m_depth == 0) {
            m_done = true; // the document ends with its group
            return;
        }
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        GroupState closing = m_state;
        m_state = m_stack.back();
        m_stack.pop_back();
        if (closing.dest == Dest::FontTable && m_state.dest != Dest::FontTable)
            m_fontEntry = -1;
    }

    // After "\": a control word with its parameter, or a control symbol.
    void controlSequence() {
        if (atEnd())
            return;
        unsigned char c = peek();
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        std::size_t start = m_pos;
        while (!atEnd() && isLetter(peek()) && m_pos - start < 32)
            ++m_pos;
        std::string_view word = m_in.substr(start, m_pos - start);
        while (!atEnd() && isLetter(peek()))
            ++m_pos; // an overlong word is unknown
        std::optional<int> param;
        bool negative = false;
        if (!atEnd() && peek() == '-' && m_pos + 1 < m_in.size() &&
            isDigit(static_cast<unsigned char>(m_in[m_pos + 1]))) {
            negative = true;
            ++m_pos;
        }
        if (!atEnd() && isDigit(peek())) {
            std::int64_t v = 0;
            while (!atEnd() && isDigit(peek())) {
                if (v < 100000000000)
                    v = v * 10 + (peek() - '0');
                ++m_pos;
            }
            v = std::min<std::int64_t>(v, INT32_MAX);
            param = static_cast<int>(negative ? -v : v);
        }
        if (!atEnd() && peek() == ' ')
            ++m_pos; // the delimiting space belongs to the word
        if (word == "bin") {
            // Binary data: its bytes are not RTF and are never shown.
            std::size_t n = param && *param > 0 ? static_cast<std::size_t>(*param) : 0;
            m_pos += std::min(n, m_in.size() - m_pos);
            consumeSkipUnit();
            return;
        }
        if (consumeSkipUnit())
            return;
        controlWord(word, param);
    }

    void controlSymbol(unsigned char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            if (!consumeSkipUnit())
                byte(c);
            return;
        case '\'': {
            int hi = atEnd() ? -1 : hexValue(peek());
            if (hi < 0)
                return; // a broken escape shows nothing
            ++m_pos;
            int lo = atEnd() ? -1 : hexValue(peek());
            if (lo < 0)
                return;
            ++m_pos;
            if (!consumeSkipUnit())
                byte(static_cast<unsigned char>(hi * 16 + lo));
            return;
        }
        case '*':
            // An optional destination: a reader that does not know it skips it.
            m_state.dest = Dest::Skip;
            return;
        case '\r':
        case '\n':
            if (!consumeSkipUnit())
                paragraph();
            return;
        default:
            break;
        }
        if (consumeSkipUnit())
            return;
        if (c == '~')
            character(0x00A0);
        else if (c == '_')
            character(U'-');
        // "\-" (optional hyphen), "\:", "\|" and unknown symbols show nothing.
    }

    // A skipped fallback character after \uN; true when the token was one.
    bool consumeSkipUnit() {
        if (m_skipUnits <= 0)
            return false;
        --m_skipUnits;
        return true;
    }

    // ---- control words -------------------------------------------------------------------

    void controlWord(std::string_view w, std::optional<int> param) {
        const int p = param.value_or(1);
        const bool on = !param || *param != 0;
        GroupState& s = m_state;
        if (s.dest == Dest::Skip)
            return;
        if (w == "fonttbl") {
            s.dest = Dest::FontTable;
            return;
        }
        if (w == "colortbl") {
            s.dest = Dest::ColorTable;
            m_colorPending = false;
            return;
        }
        if (skippedDestination(w)) {
            s.dest = Dest::Skip;
            return;
        }
        if (s.dest == Dest::FontTable) {
            if (w == "f") {
                m_fontEntry = p;
                m_fonts[p]; // the entry exists from its number on
            } else if (w == "fcharset" && m_fontEntry >= 0) {
                m_fonts[m_fontEntry].charset = p;
            } else if (w == "u" && param) {
                unicode(*param);
            } else if (w == "uc" && param && *param >= 0) {
                s.unicodeSkip = std::min(*param, 16);
            }
            return;
        }
        if (s.dest == Dest::ColorTable) {
            const int v = std::clamp(p, 0, 255);
            if (w == "red")
                m_red = v, m_colorPending = true;
            else if (w == "green")
                m_green = v, m_colorPending = true;
            else if (w == "blue")
                m_blue = v, m_colorPending = true;
            return;
        }
        // The document's code page (\ansi keeps the system's, Windows-1250).
        if (w == "ansicpg" && param) {
            m_codePage = *param;
        } else if (w == "mac") {
            m_codePage = 10000;
        } else if (w == "pc") {
            m_codePage = 437;
        } else if (w == "pca") {
            m_codePage = 850;
        } else if (w == "deff" && param) {
            m_defaultFont = *param;
            if (s.font < 0)
                setFontInAllStates(*param);
        }
        // Text.
        else if (w == "par" || w == "sect" || w == "page" || w == "row" || w == "nestrow") {
            paragraph();
        } else if (w == "u" && param) {
            unicode(*param);
        } else if (w == "uc" && param && *param >= 0) {
            s.unicodeSkip = std::min(*param, 16);
        } else if (auto named = namedCharacter(w)) {
            character(*named);
        }
        // Character formatting.
        else if (w == "plain") {
            s.font = m_defaultFont;
            s.halfPoints = 0;
            s.bold = s.italic = s.underline = false;
            s.color = -1;
        } else if (w == "f" && param) {
            s.font = *param;
        } else if (w == "fs") {
            s.halfPoints = param && *param > 0 ? std::min(*param, kMaxHalfPoints) : 0;
        } else if (w == "b") {
            s.bold = on;
        } else if (w == "i") {
            s.italic = on;
        } else if (w == "ulnone") {
            s.underline = false;
        } else if (w == "ul" || w == "uld" || w == "uldash" || w == "uldashd" || w == "uldashdd" ||
                   w == "uldb" || w == "ulhwave" || w == "ulldash" || w == "ulth" || w == "ulthd" ||
                   w == "ulthdash" || w == "ulthdashd" || w == "ulthdashdd" || w == "ulthldash" ||
                   w == "ululdbwave" || w == "ulw" || w == "ulwave") {
            s.underline = on;
        } else if (w == "cf") {
            s.color = param ? *param : -1;
        }
    }

    // The default font reaches the groups opened before the font table was read.
    void setFontInAllStates(int font) {
        for (GroupState& g : m_stack) {
            if (g.font < 0)
                g.font = font;
        }
        m_state.font = font;
    }

    // ---- text ----------------------------------------------------------------------------

    const CodeTable& currentTable() const {
        int codePage = 0;
        if (m_state.dest == Dest::FontTable) {
            if (m_fontEntry >= 0)
                codePage = charsetCodePage(m_fonts.at(m_fontEntry).charset);
        } else if (auto f = m_fonts.find(m_state.font); f != m_fonts.end()) {
            codePage = charsetCodePage(f->second.charset);
        }
        const CodeTable* table = codePage ? codeTable(codePage) : nullptr;
        if (!table)
            table = codeTable(m_codePage);
        if (!table)
            table = codeTable(1250);
        return *table;
    }

    // A byte of text, in the code page of the font in force.
    void byte(unsigned char b) {
        switch (m_state.dest) {
        case Dest::Skip:
            return;
        case Dest::ColorTable:
            if (b == ';') {
                m_colors.push_back(m_colorPending ? static_cast<TColor>(m_red | m_green << 8 | m_blue << 16)
                                                  : clDefault);
                m_red = m_green = m_blue = 0;
                m_colorPending = false;
            }
            return;
        case Dest::FontTable:
            if (b == ';') {
                if (m_fontEntry >= 0)
                    m_fonts[m_fontEntry].named = true;
                return;
            }
            break;
        case Dest::Text:
            break;
        }
        character(currentTable()[b]);
    }

    void unicode(int value) {
        char32_t cp = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        m_skipUnits = m_state.unicodeSkip;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            m_highSurrogate = cp;
            return;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            if (m_highSurrogate) {
                cp = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (cp - 0xDC00);
                m_highSurrogate = 0;
                character(cp);
            } else {
                character(0xFFFD);
            }
            return;
        }
        character(cp);
    }

    void character(char32_t cp) {
        if (m_highSurrogate) {
            m_highSurrogate = 0;
            append(0xFFFD); // a high surrogate without its low half
        }
        append(cp);
    }

    void append(char32_t cp) {
        switch (classify(cp)) {
        case CharKind::Dropped:
            return;
        case CharKind::ParagraphEnd:
            paragraph();
            return;
        case CharKind::LineBreak:
            cp = 0x2028;
            break;
        case CharKind::Shown:
            break;
        }
        switch (m_state.dest) {
        case Dest::Text:
            break;
        case Dest::FontTable:
            if (m_fontEntry >= 0 && !m_fonts[m_fontEntry].named && m_fonts[m_fontEntry].name.size() < 256)
                rtl::appendUtf8(m_fonts[m_fontEntry].name, cp);
            return;
        case Dest::ColorTable:
        case Dest::Skip:
            return;
        }
        TRtfParagraph& para = m_out.Paragraphs.back();
        TRtfCharFormat format = currentFormat();
        if (para.Runs.empty() || !(para.Runs.back().Format == format))
            para.Runs.push_back(TRtfRun{std::string(), std::move(format)});
        rtl::appendUtf8(para.Runs.back().Text, cp);
    }

    void paragraph() {
        if (m_state.dest != Dest::Text)
            return;
        m_out.Paragraphs.back().MarkFormat = currentFormat();
        m_out.Paragraphs.emplace_back();
    }

    TRtfCharFormat currentFormat() const {
        TRtfCharFormat f;
        if (auto font = m_fonts.find(m_state.font); font != m_fonts.end())
            f.FontName = std::string(rtl::TrimOf(font->second.name, " "));
        f.HalfPoints = m_state.halfPoints;
        f.Bold = m_state.bold;
        f.Italic = m_state.italic;
        f.Underline = m_state.underline;
        if (m_state.color >= 0 && static_cast<std::size_t>(m_state.color) < m_colors.size())
            f.Color = m_colors[static_cast<std::size_t>(m_state.color)];
        return f;
    }

    void finishParagraphs() {
        auto& paras = m_out.Paragraphs;
        if (paras.size() > 1 && paras.back().Runs.empty())
            paras.pop_back();
        else
            paras.back().MarkFormat = currentFormat();
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    bool m_done = false;
    std::size_t m_depth = 0, m_overflow = 0;
    GroupState m_state;
    std::vector<GroupState> m_stack;
    int m_skipUnits = 0;
    char32_t m_highSurrogate = 0;

    int m_codePage = 1250;
    int m_defaultFont = -1;
    std::map<int, FontEntry> m_fonts;
    int m_fontEntry = -1;
    std::vector<TColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorPending = false;

    TRtfText m_out;
};

TRtfText readPlainText(std::string_view data, int charset) {
    const int codePage = charsetCodePage(charset);
    const CodeTable* table = codePage ? codeTable(codePage) : nullptr;
    if (!table)
        table = codeTable(1250);
    TRtfText out;
    out.Paragraphs.emplace_back();
    std::string* text = nullptr;
    for (std::size_t i = 0; i < data.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
                ++i;
            out.Paragraphs.emplace_back();
            text = nullptr;
            continue;
        }
        char32_t cp = (*table)[c];
        const CharKind kind = classify(cp);
        if (kind == CharKind::Dropped)
            continue;
        if (kind == CharKind::LineBreak)
            cp = 0x2028;
        if (!text) {
            out.Paragraphs.back().Runs.emplace_back();
            text = &out.Paragraphs.back().Runs.back().Text;
        }
        rtl::appendUtf8(*text, cp);
    }
    if (out.Paragraphs.size() > 1 && out.Paragraphs.back().Runs.empty())
        out.Paragraphs.pop_back();
    return out;
}

} // namespace

std::string TRtfParagraph::Text() const {
    std::string s;
    for (const TRtfRun& r : Runs)
        s += r.Text;
    return s;
}

std::string TRtfText::PlainText() const {
    std::string s;
    for (const TRtfParagraph& p : Paragraphs) {
        std::string t = p.Text();
        for (std::size_t at; (at = t.find("\u2028")) != std::string::npos;)
            t.replace(at, 3, "\n");
        s += t;
        s += '\n';
    }
    return s;
}

TRtfText ReadRtf(std::string_view data, int plainCharset) {
    if (!data.starts_with("{\\rtf"))
        return readPlainText(data, plainCharset);
    return Reader(data).Read();
}

} // namespace vcl
