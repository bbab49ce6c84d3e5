#include <runtime/StringList.h>

#include <runtime/Exceptions.h>
#include <runtime/SysUtils.h>

#include <algorithm>
#include <numeric>

namespace rtl {

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return m_caseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::Add(const std::string& s) {
    if (!m_sorted) {
        m_items.push_back(s);
        m_objects.push_back(nullptr);
        return Count() - 1;
    }
    int existing = -1;
    const int index = SortedAddIndex(s, m_duplicates, existing);
    if (index < 0)
        return existing;
    m_items.insert(m_items.begin() + index, s);
    m_objects.insert(m_objects.begin() + index, nullptr);
    return index;
}

void TStringList::Put(int index, const std::string& s) {
    if (m_sorted)
        throw EListError("Operation not allowed on sorted list");
    m_items[CheckListIndex(index, Count())] = s;
}

void TStringList::Insert(int index, const std::string& s) {
    if (m_sorted)
        throw EListError("Operation not allowed on sorted list");
    const std::size_t at = CheckListIndex(index, Count() + 1);
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), s);
    m_objects.insert(m_objects.begin() + static_cast<std::ptrdiff_t>(at), nullptr);
}

void TStringList::Delete(int index) {
    const std::size_t at = CheckListIndex(index, Count());
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(at));
    m_objects.erase(m_objects.begin() + static_cast<std::ptrdiff_t>(at));
}

void TStringList::Clear() {
    m_items.clear();
    m_objects.clear();
}

void* TStringList::GetObject(int index) const {
    return m_objects[CheckListIndex(index, Count())];
}

void TStringList::PutObject(int index, void* object) {
    m_objects[CheckListIndex(index, Count())] = object;
}

int TStringList::IndexOf(std::string_view s) const {
    if (m_sorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    return TStrings::IndexOf(s);
}

void TStringList::Sort() {
    std::vector<std::size_t> order(m_items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return CompareStrings(m_items[a], m_items[b]) < 0;
    });
    std::vector<std::string> items;
    std::vector<void*> objects;
    items.reserve(order.size());
    objects.reserve(order.size());
    for (std::size_t i : order) {
        items.push_back(std::move(m_items[i]));
        objects.push_back(m_objects[i]);
    }
    m_items = std::move(items);
    m_objects = std::move(objects);
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
