#include "RtfDocument.h"

#include "Internal.h"

#include <runtime/Cp1250.h>

#include <QFontDatabase>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace vcl::detail {

QTextCharFormat rtfCharFormat(const TRtfCharFormat& format) {
    QTextCharFormat f;
    if (!format.FontName.empty()) {
        // A face the host has is used as it is; Windows faces get the toolkit's stand-ins.
        QString family = QString::fromStdString(format.FontName);
        if (!QFontDatabase::hasFamily(family)) {
            TFont face;
            face.SetName(rtl::utf8ToCp1250(format.FontName));
            family = QString::fromStdString(face.HostFamily());
        }
        f.setFontFamilies({family});
    }
    if (format.HalfPoints > 0)
        f.setProperty(QTextFormat::FontPixelSize,
                      static_cast<int>(std::lround(format.HalfPoints * 96.0 / 144.0)));
    // The file always decides these three (off unless it turns them on).
    f.setFontWeight(format.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(format.Italic);
    f.setFontUnderline(format.Underline);
    if (format.Color != clDefault)
        f.setForeground(toQColor(format.Color));
    return f;
}

void fillTextDocument(QTextDocument& doc, const TRtfText& text) {
    doc.clear();
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    // Plain text takes the view's own font throughout.
    auto format = [&](const TRtfCharFormat& f) { return text.IsRtf ? rtfCharFormat(f) : QTextCharFormat(); };
    bool first = true;
    for (const TRtfParagraph& para : text.Paragraphs) {
        const QTextCharFormat mark = format(para.MarkFormat);
        if (first)
            cursor.setBlockCharFormat(mark);
        else
            cursor.insertBlock(QTextBlockFormat(), mark);
        first = false;
        for (const TRtfRun& run : para.Runs)
            cursor.insertText(QString::fromStdString(run.Text), format(run.Format));
    }
    cursor.endEditBlock();
}

} // namespace vcl::detail
