// The rich-text view: news texts as word processors write them, read against unrtf as an
// independent reader; the formatting in the view's document; its lines; damaged and missing
// files; the control's own look.

#include <vcl/Application.h>
#include <vcl/Form.h>
#include <vcl/GraphicErrors.h>
#include <vcl/RichEdit.h>

#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>
#include <windows/Windows.h>

#include "TestSupport.h"

#include <QApplication>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace vcl;
using rtl::operator""_w;

namespace {

std::string sample(const std::string& name) {
    const char* root = std::getenv("VL_SOURCE_DIR");
    return std::string(root ? root : ".") + "/platform/vcl/tests/rtf/" + name;
}

// Lines with trailing blanks cut and no empty lines at the end.
std::vector<std::string> tidyLines(const QString& text) {
    std::vector<std::string> lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        lines.push_back(line.toStdString());
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

// The file's text as unrtf reads it. Its stock text output writes only the low byte of a
// character beyond ASCII, so a copy of its configuration writes each as "&#N;", decoded here.
std::vector<std::string> unrtfLines(const std::string& file) {
    vltest::TempDir conf("vl-unrtf");
    std::string config = vltest::ReadFile("/usr/share/unrtf/text.conf");
    if (config.empty())
        ADD_FAILURE() << "unrtf is not installed (Debian package unrtf)";
    config += "utf8_encoding\n\t\nunisymbol_print\n\t&#%;\nchars.nonbreaking_space\n\t&#160;\n";
    vltest::WriteFile(conf.File("text.conf"), config);
    std::string out;
    const int rc = vltest::RunProgram(
        {"/usr/bin/unrtf", "-P", conf.Path(), "--text", "--nopict", "--quiet", file}, &out);
    EXPECT_EQ(rc, 0) << "unrtf " << file;
    QString body;
    bool inBody = false;
    for (const QString& line : QString::fromUtf8(out).split(QLatin1Char('\n'))) {
        if (!inBody) {
            inBody = line == "-----------------";
            continue;
        }
        if (!line.startsWith("### "))
            body += line + '\n';
    }
    QString decoded;
    static const QRegularExpression entity("&#([0-9]+);");
    qsizetype at = 0;
    for (auto it = entity.globalMatch(body); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        decoded += body.mid(at, m.capturedStart() - at);
        const char32_t cp = m.captured(1).toUInt();
        decoded += QString::fromUcs4(&cp, 1);
        at = m.capturedEnd();
    }
    decoded += body.mid(at);
    decoded.replace(QChar::Nbsp, QLatin1Char(' '));
    return tidyLines(decoded);
}

class RichEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->CreateForm(form);
        edit = new TRichEdit(form);
        edit->SetBounds(0, 0, 251, 250);
    }
    void TearDown() override { Application->ResetForTesting(); }

    QTextEdit* view() const { return static_cast<QTextEdit*>(edit->Widget()); }
    QTextDocument* doc() const { return view()->document(); }
    std::vector<std::string> viewLines() const { return tidyLines(doc()->toPlainText()); }

    // The format of the fragment that holds `text` (UTF-8).
    QTextCharFormat formatOf(const char* text) const {
        const QString wanted = QString::fromUtf8(text);
        for (QTextBlock b = doc()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                if (it.fragment().text().contains(wanted))
                    return it.fragment().charFormat();
            }
        }
        ADD_FAILURE() << "no fragment holds " << text;
        return QTextCharFormat();
    }

    // Every fragment with its text and format, for comparing two states of the document.
    std::vector<std::pair<QString, QTextCharFormat>> fragments() const {
        std::vector<std::pair<QString, QTextCharFormat>> all;
        for (QTextBlock b = doc()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it)
                all.emplace_back(it.fragment().text(), it.fragment().charFormat());
            all.emplace_back(QString("<mark>"), b.charFormat());
        }
        return all;
    }

    TForm* form = nullptr;
    TRichEdit* edit = nullptr;
};

QColor qtColor(TColor color) {
    const std::uint32_t rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

int pixels(int halfPoints) {
    return static_cast<int>(halfPoints * 96.0 / 144.0 + 0.5);
}

TEST_F(RichEditTest, LibreOfficeNewsTextReadsAsUnrtfReadsIt) {
    const std::string file = sample("news-libreoffice.rtf");
    edit->Lines().LoadFromFile(win::WindowsPath(file));
    const std::vector<std::string> expected = unrtfLines(file);
    ASSERT_EQ(expected.size(), 6u);
    EXPECT_EQ(viewLines(), expected);
    EXPECT_EQ(expected[3], "Zażółć gęślą jaźń. ZAŻÓŁĆ GĘŚLĄ JAŹŃ.");

    // The program's side reads Windows-1250; the \line stays inside its paragraph.
    ASSERT_EQ(edit->Lines().Count(), 5);
    EXPECT_EQ(edit->Lines().Get(0), "Nowa wersja programu Orvena 8");
    EXPECT_EQ(edit->Lines().Get(3),
              "Zażółć gęślą jaźń. ZAŻÓŁĆ GĘŚLĄ JAŹŃ.\vŁódź, Kraków, Gdańsk, Poznań, Śrem, Żary."_w);

    const QTextCharFormat heading = formatOf("Nowa wersja");
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.intProperty(QTextFormat::FontPixelSize), pixels(36));
    EXPECT_EQ(heading.fontFamilies().toStringList(), QStringList{"Liberation Serif"});
    const QTextCharFormat bold = formatOf("pogrubione");
    EXPECT_EQ(bold.fontWeight(), QFont::Bold);
    EXPECT_FALSE(bold.fontItalic());
    EXPECT_FALSE(bold.fontUnderline());
    // Writer leaves the body size to the style sheet: the view's own size.
    EXPECT_FALSE(bold.hasProperty(QTextFormat::FontPixelSize));
    const QTextCharFormat italic = formatOf("pochylone");
    EXPECT_TRUE(italic.fontItalic());
    EXPECT_EQ(italic.fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatOf("podkreślone").fontUnderline());
    EXPECT_FALSE(formatOf(" terminy.").fontUnderline());
    EXPECT_EQ(formatOf("Ważne").foreground().color(), QColor(192, 0, 0));
    // \cf0 is the table's automatic entry: the view's own colour.
    EXPECT_FALSE(formatOf("Pytania").hasProperty(QTextFormat::ForegroundBrush));
}

TEST_F(RichEditTest, HandWrittenWindows1250NewsTextReadsAsUnrtfReadsIt) {
    const std::string file = sample("news-cp1250.rtf");
    edit->Lines().LoadFromFile(win::WindowsPath(file));
    const std::vector<std::string> expected = unrtfLines(file);
    ASSERT_EQ(expected.size(), 7u);
    EXPECT_EQ(viewLines(), expected);
    EXPECT_EQ(expected[5], "Mała litera ą i wielka Ą, Żółć i źżśęń.");

    ASSERT_EQ(edit->Lines().Count(), 6);
    EXPECT_EQ(edit->Lines().Get(4), "Mała litera ą i wielka Ą, Żółć i źżśęń."_w);
    EXPECT_EQ(edit->Lines().Get(4).find('\xb9'), 12u); // "ą" is the byte B9 again
    EXPECT_EQ(edit->Lines().Get(5), "słowo na końcu."_w);

    const QTextCharFormat heading = formatOf("Aktualizacja");
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.intProperty(QTextFormat::FontPixelSize), pixels(28));
    EXPECT_EQ(heading.fontFamilies().toStringList(), QStringList{"Liberation Sans"}); // Arial's stand-in
    EXPECT_EQ(formatOf("Zmiany").intProperty(QTextFormat::FontPixelSize), pixels(20));
    EXPECT_EQ(formatOf("Zmiany").fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatOf("Pochylone").fontItalic());
    EXPECT_TRUE(formatOf("podkreślone").fontUnderline());
    EXPECT_FALSE(formatOf("podkreślone").fontItalic());
    EXPECT_EQ(formatOf("czerwone").foreground().color(), QColor(192, 0, 0));
    const QTextCharFormat address = formatOf("www.velt.example/serwis/");
    EXPECT_EQ(address.foreground().color(), QColor(0, 0, 128));
    EXPECT_EQ(address.fontFamilies().toStringList(), QStringList{"Liberation Mono"});
    EXPECT_FALSE(formatOf("Zmiany").hasProperty(QTextFormat::ForegroundBrush));
}

TEST_F(RichEditTest, TheNewsDisplayStepsLeaveTextAndLookAsLoaded) {
    // Load, insert a line holding one space before the first, delete the first line.
    edit->Lines().LoadFromFile(win::WindowsPath(sample("news-libreoffice.rtf")));
    const QString text = doc()->toPlainText();
    const auto before = fragments();
    const int count = edit->Lines().Count();

    edit->Lines().Insert(0, " ");
    EXPECT_EQ(edit->Lines().Count(), count + 1);
    EXPECT_EQ(edit->Lines().Get(0), " ");
    EXPECT_EQ(edit->Lines().Get(1), "Nowa wersja programu Orvena 8");
    EXPECT_EQ(formatOf(" ").fontWeight(), QFont::Bold); // the look of the line it went before

    edit->Lines().Delete(0);
    EXPECT_EQ(doc()->toPlainText(), text);
    EXPECT_EQ(edit->Lines().Count(), count);
    EXPECT_TRUE(fragments() == before);

    // Loading again replaces the whole content.
    edit->Lines().LoadFromFile(win::WindowsPath(sample("news-cp1250.rtf")));
    EXPECT_EQ(edit->Lines().Get(0), "Aktualizacja wersji 8.2");
    EXPECT_EQ(edit->Lines().Count(), 6);
}

TEST_F(RichEditTest, LinesInsertDeletePutAndIgnoreLinesThatDoNotExist) {
    TRichEditStrings& lines = edit->Lines();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Get(0), "");
    lines.Delete(0);
    lines.Insert(3, "x");
    lines.Insert(-1, "x");
    lines.Put(0, "x");
    EXPECT_EQ(lines.Count(), 0);

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> lines;
    };
    const Step steps[] = {
        {"add to an empty view", [&] { lines.Add("a"); }, {"a"}},
        {"add after the last", [&] { lines.Add("b"); }, {"a", "b"}},
        {"insert first", [&] { lines.Insert(0, "z"); }, {"z", "a", "b"}},
        {"insert at the end", [&] { lines.Insert(3, "c"); }, {"z", "a", "b", "c"}},
        {"put", [&] { lines.Put(1, "Łąka"_w); }, {"z", "Łąka"_w, "b", "c"}},
        {"line break inside a line", [&] { lines.Put(2, "b1\vb2"); }, {"z", "Łąka"_w, "b1\vb2", "c"}},
        {"delete in the middle", [&] { lines.Delete(1); }, {"z", "b1\vb2", "c"}},
        {"delete the last", [&] { lines.Delete(2); }, {"z", "b1\vb2"}},
        {"past the end ignored",
         [&] { lines.Delete(2), lines.Put(5, "q"), lines.Insert(9, "q"); },
         {"z", "b1\vb2"}},
        {"delete the first", [&] { lines.Delete(0); }, {"b1\vb2"}},
    };
    for (const auto& s : steps) {
        s.act();
        std::vector<std::string> got;
        for (int i = 0; i < lines.Count(); ++i)
            got.push_back(lines.Get(i));
        EXPECT_EQ(got, s.lines) << s.what;
    }
    EXPECT_EQ(lines.Text(), "b1\vb2\r\n");
    EXPECT_EQ(lines.IndexOf("B1\vB2"), 0);
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_TRUE(doc()->isEmpty());
}

TEST_F(RichEditTest, MissingFileRaisesTheFileOpenErrorAndKeepsTheContent) {
    edit->Lines().LoadFromFile(win::WindowsPath(sample("news-cp1250.rtf")));
    const QString before = doc()->toPlainText();
    vltest::TempDir dir("vl-richedit");
    const std::string missing = win::WindowsPath(dir.File("ox8_news.rtf"));
    try {
        edit->Lines().LoadFromFile(missing);
        ADD_FAILURE() << "no error for a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
        EXPECT_EQ(e.ErrorCode(), static_cast<int>(win::ERROR_FILE_NOT_FOUND));
    }
    EXPECT_EQ(doc()->toPlainText(), before);
    // A folder is no file either.
    EXPECT_THROW(edit->Lines().LoadFromFile(win::WindowsPath(dir.Path())), EFOpenError);
}

TEST_F(RichEditTest, FileThatIsNotRtfShowsAsPlainTextInTheViewsFont) {
    vltest::TempDir dir("vl-richedit");
    vltest::WriteFile(dir.File("news.rtf"), "Zwyk\xb3y tekst\r\nbez formatowania \\b {x}\r\n");
    edit->Font().SetStyle({fsBold});
    edit->Lines().LoadFromFile(win::WindowsPath(dir.File("news.rtf")));
    ASSERT_EQ(edit->Lines().Count(), 2);
    EXPECT_EQ(edit->Lines().Get(0), "Zwykły tekst"_w);
    EXPECT_EQ(edit->Lines().Get(1), "bez formatowania \\b {x}");
    const QTextCharFormat f = formatOf("Zwykły");
    EXPECT_FALSE(f.hasProperty(QTextFormat::FontWeight));
    EXPECT_TRUE(doc()->defaultFont().bold());
}

TEST_F(RichEditTest, DamagedFilesShowWhatCouldBeRead) {
    const std::string whole = vltest::ReadFile(sample("news-libreoffice.rtf"));
    edit->LoadRichText(whole);
    const QStringList full = doc()->toPlainText().split('\n');
    vltest::TempDir dir("vl-richedit");
    for (std::size_t cut = 0; cut < whole.size(); cut += 61) {
        vltest::WriteFile(dir.File("cut.rtf"), whole.substr(0, cut));
        ASSERT_NO_THROW(edit->Lines().LoadFromFile(win::WindowsPath(dir.File("cut.rtf")))) << cut;
        // Every paragraph before the last one read is whole and as in the complete file.
        QStringList got = doc()->toPlainText().split('\n');
        got.removeLast(); // split always gives at least one
        ASSERT_LE(got.size(), full.size()) << cut;
        for (qsizetype i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], full[i]) << "cut at " << cut;
    }
    // Unbalanced groups and a truncated escape: the text before the damage shows.
    edit->LoadRichText("{\\rtf1\\ansi\\ansicpg1250 {\\b Nag\\'b3\\'f3wek}\\par {{tre\\'9c\\'e6 \\'b");
    EXPECT_EQ(edit->Lines().Get(0), "Nagłówek"_w);
    EXPECT_EQ(edit->Lines().Get(1), "treść "_w);
    edit->LoadRichText("{\\rtf1 koniec}}}} i dalej");
    EXPECT_EQ(doc()->toPlainText(), "koniec");
}

TEST_F(RichEditTest, LookOfTheControl) {
    edit->SetBorderStyle(bsNone);
    edit->SetScrollBars(ssVertical);
    edit->SetTabStop(false);
    edit->SetColor(clMenu);
    edit->Font().SetName("MS Sans Serif");
    edit->Font().SetHeight(-11);
    edit->Font().SetCharset(EASTEUROPE_CHARSET);
    edit->Font().SetColor(clActiveCaption);
    edit->SetHint("Dodatkowe informacje o aktualizacji na serwerze"_w);
    edit->SetShowHint(true);

    EXPECT_EQ(view()->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(view()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(view()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view()->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(view()->palette().color(QPalette::Base), qtColor(clMenu));
    EXPECT_EQ(view()->palette().color(QPalette::Text), qtColor(clActiveCaption));
    EXPECT_EQ(doc()->defaultFont().pixelSize(), 11);
    EXPECT_EQ(view()->toolTip(), QString::fromUtf8("Dodatkowe informacje o aktualizacji na serwerze"));
    EXPECT_TRUE(view()->isReadOnly());
    EXPECT_EQ(view()->lineWrapMode(), QTextEdit::WidgetWidth);

    // The hourglass shows over the text too, and the text pointer comes back after it.
    EXPECT_EQ(view()->viewport()->cursor().shape(), Qt::IBeamCursor);
    edit->SetCursor(crHourGlass);
    EXPECT_EQ(view()->viewport()->cursor().shape(), Qt::WaitCursor);
    edit->SetReadOnly(true);
    EXPECT_EQ(view()->viewport()->cursor().shape(), Qt::WaitCursor);
    edit->SetCursor(crDefault);
    EXPECT_EQ(view()->viewport()->cursor().shape(), Qt::IBeamCursor);

    // A long text gets the vertical bar; typing changes nothing.
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; i < 60; ++i)
        rtf += "Linia " + std::to_string(i) + "\\par ";
    edit->LoadRichText(rtf + "}");
    form->Show();
    edit->SetFocus();
    QApplication::processEvents();
    EXPECT_TRUE(view()->verticalScrollBar()->isVisible());
    QTest::keyClicks(view(), "abc");
    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_EQ(edit->Lines().Count(), 60);
    EXPECT_EQ(edit->Lines().Get(0), "Linia 0");
    // The caret starts at the top after a load.
    EXPECT_EQ(view()->textCursor().position(), 0);
    EXPECT_EQ(view()->verticalScrollBar()->value(), 0);
}

} // namespace
