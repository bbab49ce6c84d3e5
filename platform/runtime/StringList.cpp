#include <runtime/StringList.h>

#include <runtime/Exceptions.h>
#include <runtime/SysUtils.h>

#include <algorithm>

namespace rtl {

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return m_caseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::Add(const std::string& s) {
    if (!m_sorted) {
        m_items.push_back(s);
        return Count() - 1;
    }
    int index;
    if (Find(s, index)) {
        if (m_duplicates == TDuplicates::dupIgnore)
            return index;
        if (m_duplicates == TDuplicates::dupError)
            throw Exception("String list does not allow duplicates");
    }
    m_items.insert(m_items.begin() + index, s);
    return index;
}

void TStringList::Put(int index, const std::string& s) {
    if (m_sorted)
        throw Exception("Operation not allowed on sorted list");
    m_items.at(static_cast<std::size_t>(index)) = s;
}

void TStringList::Insert(int index, const std::string& s) {
    if (m_sorted)
        throw Exception("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw Exception(Format("List index out of bounds (%d)", {index}));
    m_items.insert(m_items.begin() + index, s);
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw Exception(Format("List index out of bounds (%d)", {index}));
    m_items.erase(m_items.begin() + index);
}

int TStringList::IndexOf(std::string_view s) const {
    if (m_sorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(m_items[static_cast<std::size_t>(i)], s) == 0)
            return i;
    return -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(m_items[static_cast<std::size_t>(mid)], s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (m_duplicates != TDuplicates::dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    std::stable_sort(m_items.begin(), m_items.end(),
                     [this](const std::string& a, const std::string& b) { return CompareStrings(a, b) < 0; });
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !m_sorted)
        Sort();
    m_sorted = sorted;
}

void TStringList::SetCaseSensitive(bool c) {
    m_caseSensitive = c;
    if (m_sorted)
        Sort();
}

} // namespace rtl
