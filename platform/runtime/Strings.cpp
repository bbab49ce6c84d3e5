#include <runtime/Strings.h>

#include <runtime/Exceptions.h>
#include <runtime/SysUtils.h>

namespace rtl {

std::size_t CheckListIndex(int index, int limit) {
    if (index < 0 || index >= limit)
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return static_cast<std::size_t>(index);
}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, void* object) {
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void* TStrings::GetObject(int index) const {
    CheckListIndex(index, Count());
    return nullptr;
}

void TStrings::PutObject(int index, void*) {
    CheckListIndex(index, Count());
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const {
    return AnsiCompareText(a, b);
}

int TStrings::IndexOf(std::string_view s) const {
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (CompareStrings(Get(i), s) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const void* object) const {
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (GetObject(i) == object)
            return i;
    }
    return -1;
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        AddStrings(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::AddStrings(const TStrings& source) {
    const int n = source.Count(); // fixed first: a list may be added to itself
    BeginUpdate();
    try {
        for (int i = 0; i < n; ++i)
            AddObject(source.Get(i), source.GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (m_updateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (m_updateCount > 0 && --m_updateCount == 0)
        SetUpdateState(false);
}

std::string TStrings::Text() const {
    std::string out;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    try {
        Clear();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                Add(std::string(text.substr(start)));
                break;
            }
            Add(std::string(text.substr(start, end - start)));
            start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Find(std::string_view s, int& index) const {
    // Lower bound: the first line not sorting before `s`.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareStrings(Get(mid), s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareStrings(Get(lo), s) == 0;
}

int TStrings::SortedAddIndex(std::string_view s, TDuplicates duplicates, int& existing) const {
    int index;
    if (Find(s, index)) {
        if (duplicates == TDuplicates::dupIgnore) {
            existing = index;
            return -1;
        }
        if (duplicates == TDuplicates::dupError)
            throw EListError("String list does not allow duplicates");
        // After the equal lines, so that equal texts keep the order they came in.
        while (index < Count() && CompareStrings(Get(index), s) == 0)
            ++index;
    }
    return index;
}

} // namespace rtl
