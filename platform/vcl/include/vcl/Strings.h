#pragma once

// An ordered list of Windows-1250 texts as the list controls expose their lines
// (`LB1->Items().Add("...")`); changes show in the control at once.

#include <string>
#include <string_view>

namespace vcl {

class TStrings {
  public:
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s) = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Appends a line; returns its index.
    virtual int Add(const std::string& s) {
        Insert(Count(), s);
        return Count() - 1;
    }
    std::string operator[](int index) const { return Get(index); }
    std::string Strings(int index) const { return Get(index); }
    // Index of the first line equal to `s` (letter case ignored, as the toolkit's lists do), or -1.
    int IndexOf(std::string_view s) const;
    // All lines, each followed by CR LF.
    std::string Text() const;
};

} // namespace vcl
