#pragma once

// An ordered list of texts, each with an optional object pointer beside it: the one list type
// the runtime's string list and the toolkit's control lines (list boxes, list rows, menus)
// share. A list that is stored elsewhere (in a widget) derives from it and supplies the six
// primitive operations; everything else is written once here.

#include <cstddef>
#include <string>
#include <string_view>

namespace rtl {

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings {
  public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s) = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Appends a text (a sorted list inserts it in order); returns its index.
    virtual int Add(const std::string& s);
    // Adds a text with its object; returns its index.
    int AddObject(const std::string& s, void* object);
    // The object kept with line `index` (nullptr when none was given).
    virtual void* GetObject(int index) const;
    virtual void PutObject(int index, void* object);
    void* Objects(int index) const { return GetObject(index); }

    std::string operator[](int index) const { return Get(index); }
    std::string Strings(int index) const { return Get(index); }
    // Index of the first line equal to `s` under the list's comparison, or -1.
    virtual int IndexOf(std::string_view s) const;
    int IndexOfObject(const void* object) const;

    // Replaces the lines (and objects) by those of `source`.
    void Assign(const TStrings& source);
    // Adds every line (and object) of `source`.
    void AddStrings(const TStrings& source);

    // Changes between BeginUpdate and the matching EndUpdate are shown once, at the end.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    // All lines, each followed by CR LF.
    std::string Text() const;
    // Replaces the lines by those of `text`, split at CR LF, LF or CR.
    void SetText(std::string_view text);

    // Binary search of a list kept in order; `index` is where the text is or would go
    // (before the first equal line when duplicates are accepted).
    bool Find(std::string_view s, int& index) const;

    // Sort order and equality of two lines: letter case ignored unless the list says otherwise.
    virtual int CompareStrings(std::string_view a, std::string_view b) const;

  protected:
    // Called when the first BeginUpdate starts and the last EndUpdate ends a batch.
    virtual void SetUpdateState(bool /*updating*/) {}
    // The index for a sorted insertion of `s` under the duplicate rule; -1 when it is ignored
    // (its existing index in `existing`). Raises EListError under dupError.
    int SortedAddIndex(std::string_view s, TDuplicates duplicates, int& existing) const;

  private:
    int m_updateCount = 0;
};

// `index` as a position, or EListError "List index out of bounds (%d)" unless
// 0 <= index < limit.
std::size_t CheckListIndex(int index, int limit);

} // namespace rtl
