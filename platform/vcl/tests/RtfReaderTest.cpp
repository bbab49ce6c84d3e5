// The RTF reader on its own: characters and code pages, what is skipped, damaged files and
// data that is not RTF. Formatting is checked on the view's document (RichEditTest).

#include <vcl/RtfReader.h>

#include <gtest/gtest.h>

#include <string>

using namespace vcl;

namespace {

struct TextCase {
    const char* what;
    std::string rtf;
    std::string plain; // UTF-8, each paragraph ended by "\n"
};

void expectPlainText(const TextCase& c) {
    TRtfText text;
    ASSERT_NO_THROW(text = ReadRtf(c.rtf)) << c.what;
    EXPECT_EQ(text.PlainText(), c.plain) << c.what;
}

TEST(RtfReader, CharactersAndCodePages) {
    const TextCase cases[] = {
        {"Windows-1250 bytes", "{\\rtf1\\ansi\\ansicpg1250 \\'b9\\'e6\\'ea\\'b3\\'f1\\'f3\\'9c\\'9f\\'bf}",
         "ąćęłńóśźż\n"},
        {"capitals", "{\\rtf1\\ansi\\ansicpg1250 \\'a5\\'c6\\'ca\\'a3\\'d1\\'d3\\'8c\\'8f\\'af}",
         "ĄĆĘŁŃÓŚŹŻ\n"},
        {"upper-case hex digits", "{\\rtf1\\ansi\\ansicpg1250 \\'B9\\'BF}", "ąż\n"},
        {"no code page named: the system's", "{\\rtf1\\ansi \\'b9}", "ą\n"},
        {"Western code page named", "{\\rtf1\\ansi\\ansicpg1252 \\'b9\\'e6}", "¹æ\n"},
        {"font of set 238 in a Western file",
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset238 Arial;}{\\f1\\fcharset0 Arial;}}"
         "\\f0 \\'b9{\\f1 \\'b9}}",
         "ą¹\n"},
        {"font of the ANSI set follows the file's code page",
         "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'b3}", "ł\n"},
        {"Cyrillic font", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'c0\\'e1}", "Аб\n"},
        {"default font from \\deff before the table",
         "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f1\\fcharset204 X;}}\\'c0}", "А\n"},
        {"raw bytes above 127", "{\\rtf1\\ansi\\ansicpg1250 \xb9\xea}", "ąę\n"},
        {"Unicode with one fallback", "{\\rtf1 \\u261?\\u321?}", "ąŁ\n"},
        {"fallback as an escape", "{\\rtf1 \\u243\\'f3d\\u378\\'3f}", "ódź\n"},
        {"no fallback", "{\\rtf1 \\uc0\\u261?}", "ą?\n"},
        {"two fallbacks", "{\\rtf1 \\uc2\\u261??x\\u322\\'3f\\'3fy}", "ąxły\n"},
        {"fallback as a control word", "{\\rtf1 \\u8212\\emdash x}", "—x\n"},
        {"fallback ends with the group", "{\\rtf1 {\\uc3\\u261?}xy}", "ąxy\n"},
        {"\\uc kept per group", "{\\rtf1 {\\uc2 \\u261??}\\u322?z}", "ąłz\n"},
        {"negative Unicode", "{\\rtf1 \\u-3913?}", "\uf0b7\n"},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", "😀\n"},
        {"lone surrogates", "{\\rtf1 \\u-10179?x\\u-8704?}", "\ufffdx\ufffd\n"},
        {"paragraphs, line break, tab", "{\\rtf1 a\\par b\\line c\\tab d}", "a\nb\nc\td\n"},
        {"escaped symbols", "{\\rtf1 \\\\ \\{ \\}}", "\\ { }\n"},
        {"named characters",
         "{\\rtf1 \\~\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\-\\_}",
         "\u00a0—–‘’“”•-\n"},
        {"line ends of the file are not text", "{\\rtf1 ab\r\ncd\ne}", "abcde\n"},
        {"backslash before a line end is a paragraph", "{\\rtf1 a\\\r\nb}", "a\nb\n"},
        {"delimiting space belongs to the word", "{\\rtf1 \\b  two\\b0 x}", " twox\n"},
        {"last empty paragraph dropped", "{\\rtf1 a\\par}", "a\n"},
        {"empty paragraphs kept", "{\\rtf1 a\\par\\par\\par}", "a\n\n\n"},
        {"line and paragraph ends as characters", "{\\rtf1 a\\u13?b\\'0ac\\u8233?d\\u11?e\\'0bf}",
         "a\nb\nc\nd\ne\nf\n"},
        {"control and reserved characters dropped", "{\\rtf1 a\\'01\\u27?\\u64976?\\u65534?\\'7fb}", "ab\n"},
        {"table cells and rows", "{\\rtf1 \\trowd a\\cell b\\cell\\row c}", "a\tb\t\nc\n"},
    };
    for (const auto& c : cases)
        expectPlainText(c);
}

TEST(RtfReader, UnknownAndSkippedContentNeverShows) {
    const TextCase cases[] = {
        {"unknown control words", "{\\rtf1 x\\foo123 y\\bar-5 z\\qux w}", "xyzw\n"},
        {"an overlong control word", "{\\rtf1 x\\" + std::string(100, 'q') + " y}", "xy\n"},
        {"unknown destination marked \\*", "{\\rtf1 a{\\*\\nowhere hidden {nested} text}b}", "ab\n"},
        {"picture with hex data", "{\\rtf1 a{\\pict\\wmetafile8 0100090000ff}b}", "ab\n"},
        {"picture with binary data", "{\\rtf1 a{\\pict\\bin5 }}{{\\}b}", "ab\n"},
        {"document information", "{\\rtf1 {\\info{\\title T}{\\author A}}x}", "x\n"},
        {"style sheet", "{\\rtf1 {\\stylesheet{\\s0 Normal;}{\\s1 Heading;}}x}", "x\n"},
        {"font and colour tables", "{\\rtf1 {\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}x}",
         "x\n"},
        {"font name alternatives", "{\\rtf1 {\\fonttbl{\\f0 Liberation Serif{\\*\\falt Times};}}x}", "x\n"},
        {"header and footer", "{\\rtf1 {\\header H}{\\footer F}x}", "x\n"},
        {"field: result shown, instruction not",
         "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}}", "shown\n"},
        {"text after the document", "{\\rtf1 abc} def", "abc\n"},
        {"destination in the middle of a group", "{\\rtf1 {a\\pict 00ff}b}", "ab\n"},
    };
    for (const auto& c : cases)
        expectPlainText(c);
}

TEST(RtfReader, DamagedFilesGiveWhatCouldBeRead) {
    const TextCase cases[] = {
        {"missing closing braces", "{\\rtf1 {\\b abc {\\i def", "abc def\n"},
        {"extra closing braces", "{\\rtf1 {abc}}} def}", "abc\n"},
        {"escape cut after the quote", "{\\rtf1 abc\\'", "abc\n"},
        {"escape cut after one digit", "{\\rtf1 abc\\'b", "abc\n"},
        {"escape with no hex digits", "{\\rtf1 abc\\'zzd}", "abczzd\n"},
        {"escape with one hex digit", "{\\rtf1 abc\\'bzd}", "abczd\n"},
        {"backslash at the end", "{\\rtf1 abc\\", "abc\n"},
        {"control word cut at the end", "{\\rtf1 abc\\pa", "abc\n"},
        {"\\u without a number", "{\\rtf1 abc\\u x}", "abcx\n"},
        {"\\u cut before its fallback", "{\\rtf1 abc\\u261", "abcą\n"},
        {"a hyphen without digits is text", "{\\rtf1 abc\\fs-", "abc-\n"},
        {"binary length past the end", "{\\rtf1 abc\\bin999999999 def}", "abc\n"},
        {"negative binary length", "{\\rtf1 abc\\bin-5 def}", "abcdef\n"},
        {"huge numbers",
         "{\\rtf1 \\fs99999999999999999 a\\u99999999999?b\\uc99999999999 \\u261" + std::string(16, '?') +
             "c}",
         "abąc\n"},
        {"NUL bytes", std::string("{\\rtf1 a\0b}", 11), "ab\n"},
        {"signature only", "{\\rtf", "\n"},
        {"colour table never ended", "{\\rtf1 {\\colortbl\\red255", "\n"},
        {"font table never ended", "{\\rtf1 {\\fonttbl{\\f0\\fcharset238 Ari", "\n"},
        {"font and colour numbers not in the tables", "{\\rtf1 \\f7\\cf9 x}", "x\n"},
    };
    for (const auto& c : cases)
        expectPlainText(c);
}

TEST(RtfReader, DeepNestingAndLongInputStayBounded) {
    const std::string deep =
        "{\\rtf1 " + std::string(200000, '{') + "\\b x" + std::string(200000, '}') + "y}";
    TRtfText closed = ReadRtf(deep);
    EXPECT_EQ(closed.PlainText(), "xy\n");
    ASSERT_EQ(closed.Paragraphs[0].Runs.size(), 2u);
    EXPECT_TRUE(closed.Paragraphs[0].Runs[0].Format.Bold);
    EXPECT_FALSE(closed.Paragraphs[0].Runs[1].Format.Bold); // the groups closed, bold with them
    const std::string open = "{\\rtf1 " + std::string(200000, '{') + "\\b deep";
    TRtfText text = ReadRtf(open);
    EXPECT_EQ(text.PlainText(), "deep\n");
    ASSERT_EQ(text.Paragraphs.size(), 1u);
    EXPECT_TRUE(text.Paragraphs[0].Runs[0].Format.Bold);
    const std::string escapes = "{\\rtf1 " + std::string(100000, '\\') + "}";
    EXPECT_NO_THROW(ReadRtf(escapes));
}

TEST(RtfReader, DataThatIsNotRtfIsPlainText) {
    struct Case {
        const char* what;
        std::string data;
        std::string plain;
    };
    const Case cases[] = {
        {"Windows-1250 text, three kinds of line end", "Zwyk\xb3y tekst\r\ndruga\rtrzecia\nczwarta",
         "Zwykły tekst\ndruga\ntrzecia\nczwarta\n"},
        {"empty", "", "\n"},
        {"last line end makes no line", "jeden\r\n", "jeden\n"},
        {"empty lines kept", "a\r\n\r\nb", "a\n\nb\n"},
        {"braces without the signature", "{rtf1 \\b x}", "{rtf1 \\b x}\n"},
        {"signature not at the start", " {\\rtf1 x}", " {\\rtf1 x}\n"},
        {"control characters dropped", std::string("a\0b\x01\x1b\tc", 7), "ab\tc\n"},
        {"vertical tab is a line break", "a\vb", "a\nb\n"},
    };
    for (const auto& c : cases) {
        TRtfText text = ReadRtf(c.data);
        EXPECT_FALSE(text.IsRtf) << c.what;
        EXPECT_EQ(text.PlainText(), c.plain) << c.what;
    }
    EXPECT_TRUE(ReadRtf("{\\rtf1 x}").IsRtf);
    // The character set of the view's font decides the code page of plain text.
    EXPECT_EQ(ReadRtf("\xc0", 204).PlainText(), "А\n");
    EXPECT_EQ(ReadRtf("\xb9", 238).PlainText(), "ą\n");
}

TEST(RtfReader, RunsMergeWhileTheLookStaysTheSame) {
    TRtfText text = ReadRtf("{\\rtf1 ab{c}\\b d{\\b0 e}\\fs30\\par x}");
    ASSERT_EQ(text.Paragraphs.size(), 2u);
    const auto& runs = text.Paragraphs[0].Runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Text, "abc");
    EXPECT_EQ(runs[1].Text, "d");
    EXPECT_TRUE(runs[1].Format.Bold);
    EXPECT_EQ(runs[2].Text, "e");
    EXPECT_FALSE(runs[2].Format.Bold);
    // The mark takes the look in force at \par (bold, 15 points).
    EXPECT_TRUE(text.Paragraphs[0].MarkFormat.Bold);
    EXPECT_EQ(text.Paragraphs[0].MarkFormat.HalfPoints, 30);
}

} // namespace
