#pragma once

// The rich-text reader behind the rich-text view: RTF bytes in, paragraphs of formatted runs
// out. It takes the code page of the document (\ansi, \ansicpg, \mac, \pc, \pca) and of each
// font (\fcharset), hexadecimal bytes (\'xx), Unicode characters (\uN with \ucN fallbacks),
// paragraphs, line breaks and tabs, the font and colour tables, sizes, bold, italic, underline
// and colour, and skips what a text view does not show (pictures, the document information,
// style sheets, headers and footers, and every group marked \*). Unknown control words are
// dropped. A damaged file gives what could be read before the damage; text after the closing
// brace of the document is ignored. Data that does not begin with "{\rtf" is plain text.
//
// Bytes of the text go through the font's character set (238 is Central European, Windows-1250;
// 204 Cyrillic, 161 Greek, ...); fonts of the ANSI or default set and files that name no code
// page use the document's code page, which is Windows-1250 unless the file names another.

#include <vcl/Colors.h>

#include <string>
#include <string_view>
#include <vector>

namespace vcl {

// The look of a run as the file gives it; what the file leaves open is the view's own.
struct TRtfCharFormat {
    std::string FontName; // UTF-8, as in the font table; empty: the view's face
    int HalfPoints = 0;   // size in half points (\fs); 0: the view's size
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    TColor Color = clDefault; // from the colour table; clDefault: the view's font colour

    bool operator==(const TRtfCharFormat&) const = default;
};

// Text of one look. Text is UTF-8; a line break inside the paragraph (\line) is U+2028 and a
// tab is "\t".
struct TRtfRun {
    std::string Text;
    TRtfCharFormat Format;
};

struct TRtfParagraph {
    std::vector<TRtfRun> Runs;
    // The look in force at the paragraph's end (an empty line has its height from it).
    TRtfCharFormat MarkFormat;

    // The paragraph's text, runs joined (UTF-8).
    std::string Text() const;
};

struct TRtfText {
    std::vector<TRtfParagraph> Paragraphs;
    // False when the data was not RTF and was read as plain text.
    bool IsRtf = false;

    // All paragraphs, each ended by "\n", line breaks as "\n" (UTF-8).
    std::string PlainText() const;
};

// Reads RTF (or, failing the "{\rtf" signature, plain text in the code page of the character
// set `plainCharset`, lines ended by CR LF, LF or CR). Never throws for any content; an empty
// last paragraph after the final \par is not kept, as the platform's rich edit drops it.
TRtfText ReadRtf(std::string_view data, int plainCharset = 1 /* DEFAULT_CHARSET */);

} // namespace vcl
