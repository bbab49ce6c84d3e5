#include <vcl/RichEdit.h>

#include "Internal.h"
#include "RtfDocument.h"
#include <vcl/GraphicErrors.h>

#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>
#include <windows/Windows.h>

#include <QEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <string>

namespace vcl {

namespace {

// The text area (the view's viewport) keeps its own pointer; a cursor the control is given
// goes there too, and the text pointer comes back with the default.
void applyViewportCursor(QTextEdit* edit) {
    if (edit->testAttribute(Qt::WA_SetCursor))
        edit->viewport()->setCursor(edit->cursor());
    else
        edit->viewport()->setCursor(Qt::IBeamCursor);
}

class ViewportCursor : public QObject {
  public:
    explicit ViewportCursor(QTextEdit* edit) : QObject(edit), m_edit(edit) { edit->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_edit && event->type() == QEvent::CursorChange)
            applyViewportCursor(m_edit);
        return false;
    }

  private:
    QTextEdit* m_edit;
};

QTextEdit* makeRichEditWidget() {
    auto* w = detail::makeWidget<QTextEdit>();
    w->setAcceptRichText(false); // pasted text never brings HTML
    w->setUndoRedoEnabled(false);
    w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w->setFrameShape(QFrame::Panel);
    w->setFrameShadow(QFrame::Sunken);
    w->document()->setDocumentMargin(1);
    new ViewportCursor(w);
    return w;
}

QTextEdit* textEdit(const TRichEdit* edit) {
    return edit->WidgetAs<QTextEdit>();
}

QTextDocument* document(const TRichEdit* edit) {
    QTextEdit* w = textEdit(edit);
    return w ? w->document() : nullptr;
}

// The format of the text at the start of a block: what a line inserted before it takes.
QTextCharFormat leadingFormat(const QTextBlock& block) {
    QTextBlock::iterator it = block.begin();
    if (!it.atEnd())
        return it.fragment().charFormat();
    return block.charFormat();
}

// A line's text for the document: CR and LF end it, "\v" is a line break inside it.
QString lineText(const std::string& s) {
    QString text = detail::toQt(s);
    text.replace(QLatin1Char('\v'), QChar::LineSeparator);
    return text;
}

// Reads the whole file the way the toolkit's file streams do (others may read, none write).
std::string readWholeFile(const std::string& path) {
    win::HANDLE h = win::CreateFileA(path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ, nullptr,
                                     win::OPEN_EXISTING, 0, nullptr);
    if (h == win::INVALID_HANDLE_VALUE)
        throw EFOpenError("Cannot open file " + path, static_cast<int>(win::GetLastError()));
    std::string data;
    char buffer[65536];
    for (;;) {
        win::DWORD got = 0;
        if (!win::ReadFile(h, buffer, sizeof buffer, &got, nullptr)) {
            const int code = static_cast<int>(win::GetLastError());
            win::CloseHandle(h);
            throw rtl::EInOutError("Stream read error", code);
        }
        if (got == 0)
            break;
        data.append(buffer, got);
    }
    win::CloseHandle(h);
    return data;
}

} // namespace

// ---- TRichEditStrings --------------------------------------------------------------------

int TRichEditStrings::Count() const {
    QTextDocument* doc = document(m_edit);
    if (!doc)
        return 0;
    // The paragraph mark that ends the text opens no line of its own.
    int n = doc->blockCount();
    if (doc->lastBlock().length() <= 1)
        --n;
    return n;
}

std::string TRichEditStrings::Get(int index) const {
    if (index < 0 || index >= Count())
        return std::string();
    QString text = document(m_edit)->findBlockByNumber(index).text();
    text.replace(QChar::LineSeparator, QLatin1Char('\v'));
    return detail::fromQt(text);
}

void TRichEditStrings::Put(int index, const std::string& s) {
    if (index < 0 || index >= Count())
        return;
    QTextBlock block = document(m_edit)->findBlockByNumber(index);
    const QTextCharFormat format = leadingFormat(block);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(lineText(s), format);
}

void TRichEditStrings::Insert(int index, const std::string& s) {
    const int count = Count();
    if (index < 0 || index > count)
        return;
    QTextDocument* doc = document(m_edit);
    if (index < count) {
        // The new line goes before line `index` and takes its look.
        QTextBlock block = doc->findBlockByNumber(index);
        const QTextCharFormat format = leadingFormat(block);
        const QTextBlockFormat blockFormat = block.blockFormat();
        QTextCursor cursor(block);
        cursor.beginEditBlock();
        cursor.insertText(lineText(s), format);
        cursor.insertBlock(blockFormat, format);
        cursor.endEditBlock();
        return;
    }
    // After the last line: an empty last paragraph takes the text and stays last; otherwise
    // the text becomes a new last paragraph.
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    const bool endsWithMark = doc->lastBlock().length() <= 1;
    cursor.beginEditBlock();
    if (!endsWithMark)
        cursor.insertBlock();
    cursor.insertText(lineText(s), cursor.charFormat());
    if (endsWithMark)
        cursor.insertBlock();
    cursor.endEditBlock();
}

void TRichEditStrings::Delete(int index) {
    const int count = Count();
    if (index < 0 || index >= count)
        return;
    QTextDocument* doc = document(m_edit);
    QTextBlock block = doc->findBlockByNumber(index);
    QTextCursor cursor(block);
    QTextBlock next = block.next();
    if (next.isValid())
        cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
    else
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TRichEditStrings::Clear() {
    if (QTextDocument* doc = document(m_edit))
        doc->clear();
}

void TRichEditStrings::LoadFromFile(const std::string& path) {
    const std::string data = readWholeFile(path);
    m_edit->LoadRichText(data);
}

// ---- TRichEdit -----------------------------------------------------------------------------

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner, makeRichEditWidget()), m_lines(this) {
    SetBounds(Left(), Top(), 185, 89);
    SetColor(clWindow);
    SetReadOnly(true);
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::LoadRichText(std::string_view data) {
    QTextEdit* w = textEdit(this);
    if (!w)
        return;
    const TRtfText text = ReadRtf(data, Font().Charset());
    detail::fillTextDocument(*w->document(), text);
    w->moveCursor(QTextCursor::Start);
}

void TRichEdit::SetReadOnly(bool value) {
    m_readOnly = value;
    if (QTextEdit* w = textEdit(this)) {
        w->setReadOnly(value);
        // Read-only text keeps a caret for the keyboard, as the platform's rich edit does.
        if (value)
            w->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // Qt resets the text area's pointer on these changes.
        applyViewportCursor(w);
    }
}

void TRichEdit::SetBorderStyle(TBorderStyle style) {
    m_borderStyle = style == bsNone ? bsNone : bsSingle;
    if (QTextEdit* w = textEdit(this))
        w->setFrameShape(m_borderStyle == bsNone ? QFrame::NoFrame : QFrame::Panel);
}

void TRichEdit::SetScrollBars(TScrollStyle bars) {
    m_scrollBars = bars;
    QTextEdit* w = textEdit(this);
    if (!w)
        return;
    const bool vertical = bars == ssVertical || bars == ssBoth;
    const bool horizontal = bars == ssHorizontal || bars == ssBoth;
    w->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    w->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TRichEdit::SetWordWrap(bool value) {
    m_wordWrap = value;
    if (QTextEdit* w = textEdit(this))
        w->setLineWrapMode(value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TRichEdit::ColorChanged() {
    if (Widget())
        detail::setPaletteColor(Widget(), {QPalette::Base}, Color());
}

} // namespace vcl
