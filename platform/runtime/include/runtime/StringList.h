#pragma once

// The runtime's string list: texts kept in memory, optionally sorted, whose add operation a
// program may override (the library's file search adds through it).

#include <runtime/Strings.h>

#include <string>
#include <string_view>
#include <vector>

namespace rtl {

class TStringList : public TStrings {
  public:
    TStringList() = default;

    // Appends (or, when sorted, inserts in order); returns the index of the text.
    // A sorted list with dupIgnore returns the existing index; with dupError it raises.
    int Add(const std::string& s) override;

    int Count() const override { return static_cast<int>(m_items.size()); }
    std::string Get(int index) const override { return (*this)[index]; }
    const std::string& operator[](int index) const { return m_items[CheckListIndex(index, Count())]; }
    const std::string& Strings(int index) const { return (*this)[index]; }
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;

    int IndexOf(std::string_view s) const override;
    void Sort();

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates d) { m_duplicates = d; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool c);

    const std::vector<std::string>& Items() const { return m_items; }

    int CompareStrings(std::string_view a, std::string_view b) const override;

  private:
    std::vector<std::string> m_items;
    std::vector<void*> m_objects; // beside m_items, same length
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = TDuplicates::dupIgnore;
};

} // namespace rtl
