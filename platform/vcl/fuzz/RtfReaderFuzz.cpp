// libFuzzer target: the RTF reader and the rich-text view's document built from what it read.

#include "RtfDocument.h"

#include <vcl/RtfReader.h>

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv); // the document's fonts need it
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    const vcl::TRtfText text = vcl::ReadRtf(in, size % 2 ? 238 : 204);
    if (text.Paragraphs.empty())
        std::abort(); // there is always at least one paragraph
    QTextDocument doc;
    vcl::detail::fillTextDocument(doc, text);
    if (static_cast<std::size_t>(doc.blockCount()) != text.Paragraphs.size())
        std::abort(); // one block per paragraph
    (void)doc.toPlainText();
    return 0;
}
