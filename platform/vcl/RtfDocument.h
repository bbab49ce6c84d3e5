#pragma once

// The rich-text view's document from what the RTF reader gave: one block per paragraph, one
// fragment per run. What the file leaves open (face, size, colour) is not set, so the
// document's default font and the view's text colour apply there.
// Plain text (no RTF) takes the view's font throughout.

#include <vcl/RtfReader.h>

#include <QTextCharFormat>

class QTextDocument;

namespace vcl::detail {

// The character format of a run; sizes become pixel heights at 96 pixels per inch, as the
// toolkit's fonts are.
QTextCharFormat rtfCharFormat(const TRtfCharFormat& format);

// Replaces the whole content of `doc` with `text`.
void fillTextDocument(QTextDocument& doc, const TRtfText& text);

} // namespace vcl::detail
