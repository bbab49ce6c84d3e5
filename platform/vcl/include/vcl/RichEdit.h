#pragma once

// A rich-text view: formatted paragraphs read from RTF (see RtfReader.h), shown read-only with
// word wrap, a caret for the keyboard and selection by mouse and keyboard. Text that the file
// leaves unformatted takes the control's font (face, size, colour); Color is the background.
//
//     RichEditRtf->Lines().LoadFromFile(RtfFile->Local->MyFile->FileName);
//     RichEditRtf->Lines().Insert(0, " ");
//     RichEditRtf->Lines().Delete(0);

#include <vcl/RichEditStrings.h>
#include <vcl/RtfReader.h>
#include <vcl/WinControl.h>

#include <string_view>

namespace vcl {

class TRichEdit : public TWinControl {
  public:
    explicit TRichEdit(TComponent* owner);
    ~TRichEdit() override;

    TRichEditStrings& Lines() { return m_lines; }
    const TRichEditStrings& Lines() const { return m_lines; }

    // Replaces the whole content with RTF bytes (plain text when they are not RTF), read in
    // the code page of the control's font character set.
    void LoadRichText(std::string_view data);

    // True (the default): the user cannot change the text.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);
    // bsSingle (the default) draws a sunken border, bsNone none.
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    // ssNone (the default), ssVertical, ssHorizontal or ssBoth; a bar shows only when needed.
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle bars);
    // True (the default): lines break at the control's right edge.
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

  protected:
    void ColorChanged() override;

  private:
    TRichEditStrings m_lines;
    bool m_readOnly = true;
    TBorderStyle m_borderStyle = bsSingle;
    TScrollStyle m_scrollBars = ssNone;
    bool m_wordWrap = true;
};

} // namespace vcl
