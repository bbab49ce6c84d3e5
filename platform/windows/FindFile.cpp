// Directory search with the platform's first/next/close semantics and its DOS wildcards,
// and the toolkit's attribute-filtered search over it.

#include "windows/WinInternal.h"

#include "runtime/Cp1250.h"
#include "runtime/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace win {

namespace {

// The wildcard characters the platform turns a DOS mask into before matching.
constexpr char kDosStar = '<'; // any characters up to the name's last full stop
constexpr char kDosQm = '>';   // any one character, or none before a full stop or the end
constexpr char kDosDot = '"';  // a full stop, or the end of the name

std::string dosExpression(std::string_view mask) {
    if (mask == "*.*")
        return "*";
    std::string e(mask);
    for (std::size_t i = 0; i < e.size(); ++i) {
        char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
        if (mask[i] == '*' && next == '.')
            e[i] = kDosStar;
        else if (mask[i] == '?')
            e[i] = kDosQm;
        else if (mask[i] == '.' && (next == '?' || next == '*' || next == '\0'))
            e[i] = kDosDot;
    }
    return e;
}

bool matchAt(std::string_view name, std::size_t n, std::string_view expr, std::size_t e,
             std::size_t lastDot) {
    while (e < expr.size()) {
        char c = expr[e];
        if (c == '*') {
            for (std::size_t k = n; k <= name.size(); ++k)
                if (matchAt(name, k, expr, e + 1, lastDot))
                    return true;
            return false;
        }
        if (c == kDosStar) {
            // May take characters up to, not past, the last full stop of the name.
            std::size_t limit = (lastDot != std::string_view::npos && lastDot >= n) ? lastDot : name.size();
            for (std::size_t k = n; k <= limit; ++k)
                if (matchAt(name, k, expr, e + 1, lastDot))
                    return true;
            return false;
        }
        if (c == kDosQm) {
            if (n == name.size() || name[n] == '.') {
                ++e;
                continue;
            }
            ++n;
            ++e;
            continue;
        }
        if (c == kDosDot) {
            if (n == name.size()) {
                ++e;
                continue;
            }
            if (name[n] != '.')
                return false;
            ++n;
            ++e;
            continue;
        }
        if (n == name.size())
            return false;
        if (c != name[n] && rtl::AnsiUpperChar(c) != rtl::AnsiUpperChar(name[n]))
            return false;
        ++n;
        ++e;
    }
    return n == name.size();
}

struct FindObject {
    std::string folder;             // host folder
    std::vector<std::string> names; // host names that match, in search order
    std::size_t next = 0;
};

std::mutex g_findMutex;
std::unordered_set<FindObject*>& liveSearches() {
    static std::unordered_set<FindObject*> searches;
    return searches;
}

FindObject* lookupSearch(HANDLE h) {
    std::lock_guard lock(g_findMutex);
    auto* obj = static_cast<FindObject*>(h);
    return liveSearches().count(obj) ? obj : nullptr;
}

// Fills `data` for the next entry that can still be read; false when none is left.
bool fillNext(FindObject& f, WIN32_FIND_DATAA& data) {
    while (f.next < f.names.size()) {
        const std::string& name = f.names[f.next++];
        std::string full = (f.folder == "/" ? "" : f.folder) + "/" + name;
        struct stat st;
        if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0)
            continue; // gone since the search began
        std::string shown = rtl::utf8ToCp1250(name);
        if (shown.size() >= MAX_PATH)
            continue;
        data = WIN32_FIND_DATAA{};
        data.dwFileAttributes = detail::attributesOf(full, name, st);
        data.ftLastWriteTime = st.st_mtim.tv_sec;
        if (!S_ISDIR(st.st_mode)) {
            auto size = static_cast<std::uint64_t>(st.st_size);
            data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
            data.nFileSizeLow = static_cast<DWORD>(size);
        }
        std::memcpy(data.cFileName, shown.c_str(), shown.size() + 1);
        return true;
    }
    return false;
}

} // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
    std::string expr = dosExpression(mask);
    return matchAt(name, 0, expr, 0, name.rfind('.'));
}

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
    if (!pattern || !data)
        return detail::fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    std::string_view p(pattern);
    std::size_t cut = p.find_last_of("\\/");
    if (cut == std::string_view::npos && p.size() >= 2 && p[1] == ':')
        cut = 1;
    std::string_view folderPart =
        cut == std::string_view::npos ? std::string_view(".") : p.substr(0, cut + 1);
    std::string_view mask = cut == std::string_view::npos ? p : p.substr(cut + 1);
    if (mask.empty())
        return detail::fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);

    auto r = detail::resolve(folderPart);
    if (r.badPath)
        return detail::fail(r.badPath, INVALID_HANDLE_VALUE);
    DIR* dir = ::opendir(r.host.c_str());
    if (!dir)
        return detail::fail(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND,
                            INVALID_HANDLE_VALUE);

    auto* f = new FindObject{r.host, {}, 0};
    const std::string expr = dosExpression(mask);
    bool dots[2] = {false, false};
    while (dirent* e = ::readdir(dir)) {
        std::string_view n(e->d_name);
        if (n == "." || n == "..") {
            dots[n.size() - 1] = true;
            continue;
        }
        std::string shown = rtl::utf8ToCp1250(n);
        if (matchAt(shown, 0, expr, 0, shown.rfind('.')))
            f->names.emplace_back(n);
    }
    ::closedir(dir);
    // Names in the host's byte order, so every search of an unchanged folder gives one order.
    std::sort(f->names.begin(), f->names.end());
    // The platform lists "." and ".." first, and not at all at a drive's root.
    if (!detail::isDriveRoot(r.host)) {
        std::vector<std::string> lead;
        if (dots[0] && MatchesMask(".", mask))
            lead.emplace_back(".");
        if (dots[1] && MatchesMask("..", mask))
            lead.emplace_back("..");
        f->names.insert(f->names.begin(), lead.begin(), lead.end());
    }
    if (!fillNext(*f, *data)) {
        delete f;
        return detail::fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    {
        std::lock_guard lock(g_findMutex);
        liveSearches().insert(f);
    }
    SetLastError(ERROR_SUCCESS);
    return f;
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data) {
    FindObject* f = lookupSearch(search);
    if (!f || !data)
        return detail::fail(ERROR_INVALID_HANDLE, FALSE);
    if (!fillNext(*f, *data))
        return detail::fail(ERROR_NO_MORE_FILES, FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL FindClose(HANDLE search) {
    FindObject* f = nullptr;
    {
        std::lock_guard lock(g_findMutex);
        auto it = liveSearches().find(static_cast<FindObject*>(search));
        if (it != liveSearches().end()) {
            f = *it;
            liveSearches().erase(it);
        }
    }
    if (!f)
        return detail::fail(ERROR_INVALID_HANDLE, FALSE);
    delete f;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

// ---- The toolkit's search ------------------------------------------------------------

namespace {

void fillRec(TSearchRec& rec) {
    rec.Time = rec.FindData.ftLastWriteTime;
    rec.Size = (static_cast<std::int64_t>(rec.FindData.nFileSizeHigh) << 32) | rec.FindData.nFileSizeLow;
    rec.Attr = static_cast<int>(rec.FindData.dwFileAttributes);
    rec.Name = rec.FindData.cFileName;
}

// Skips the entries that carry an excluded attribute; 0 or the platform's error code.
int findMatching(TSearchRec& rec) {
    while (rec.FindData.dwFileAttributes & static_cast<DWORD>(rec.ExcludeAttr)) {
        if (!FindNextFileA(rec.FindHandle, &rec.FindData))
            return static_cast<int>(GetLastError());
    }
    fillRec(rec);
    return 0;
}

} // namespace

int FindFirst(std::string_view path, int attr, TSearchRec& rec) {
    rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    std::string pattern(path);
    rec.FindHandle = FindFirstFileA(pattern.c_str(), &rec.FindData);
    if (rec.FindHandle == INVALID_HANDLE_VALUE)
        return static_cast<int>(GetLastError());
    int result = findMatching(rec);
    if (result != 0)
        FindClose(rec);
    return result;
}

int FindNext(TSearchRec& rec) {
    if (!FindNextFileA(rec.FindHandle, &rec.FindData))
        return static_cast<int>(GetLastError());
    return findMatching(rec);
}

void FindClose(TSearchRec& rec) {
    if (rec.FindHandle != INVALID_HANDLE_VALUE) {
        FindClose(rec.FindHandle);
        rec.FindHandle = INVALID_HANDLE_VALUE;
    }
}

} // namespace win
