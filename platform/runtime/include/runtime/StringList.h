#pragma once

// The toolkit's string list: an ordered list of texts, optionally kept sorted, whose add
// operation a program may override (the library's file search adds through it).

#include <string>
#include <string_view>
#include <vector>

namespace rtl {

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList {
  public:
    TStringList() = default;
    virtual ~TStringList() = default;

    // Appends (or, when sorted, inserts in order); returns the index of the text.
    // A sorted list with dupIgnore returns the existing index; with dupError it raises.
    virtual int Add(const std::string& s);

    int Count() const { return static_cast<int>(m_items.size()); }
    const std::string& operator[](int index) const { return m_items.at(static_cast<std::size_t>(index)); }
    const std::string& Strings(int index) const { return (*this)[index]; }
    void Put(int index, const std::string& s);
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear() { m_items.clear(); }

    int IndexOf(std::string_view s) const;
    // Binary search of a sorted list; `index` is where the text is or would go.
    bool Find(std::string_view s, int& index) const;
    void Sort();

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates d) { m_duplicates = d; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool c);

    const std::vector<std::string>& Items() const { return m_items; }

  protected:
    int CompareStrings(std::string_view a, std::string_view b) const;

  private:
    std::vector<std::string> m_items;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = TDuplicates::dupIgnore;
};

} // namespace rtl
