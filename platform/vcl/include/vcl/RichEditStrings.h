#pragma once

// The lines of a rich-text view: its paragraphs as Windows-1250 texts (a line break inside a
// paragraph reads as "\v", characters outside the code page as "?"). Lines that do not exist
// are ignored by Insert, Delete and Put and read as empty texts, as the platform's rich edit
// does; a line inserted or replaced takes the look of the text it goes before.

#include <vcl/Strings.h>

#include <string>

namespace vcl {

class TRichEdit;

class TRichEditStrings : public TStrings {
  public:
    explicit TRichEditStrings(TRichEdit* edit) : m_edit(edit) {}

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;

    // Replaces the whole content with the file at the Windows-form `path`, read as rich text
    // (plain text when it is not RTF). A file that cannot be opened raises EFOpenError (GraphicErrors.h)
    // "Cannot open file <path>" and leaves the content as it was.
    void LoadFromFile(const std::string& path);

  private:
    TRichEdit* m_edit;
};

} // namespace vcl
