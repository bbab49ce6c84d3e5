// Directory search with the platform's first/next/close semantics and its DOS wildcards,
// and the toolkit's attribute-filtered search over it.

#include "WinInternal.h"

#include <runtime/Cp1250.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
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

// Letter case by the code page's table, inline: the search compares every listed name.
unsigned char upper(char c) {
    return rtl::detail::kUpper[static_cast<unsigned char>(c)];
}

// One pass over the name with the set of mask positions reached so far, so that the time
// grows with the name times the mask, never with the number of stars. The DOS star cannot
// consume the name's last full stop, whatever came before it, so the set is all the state
// there is; a single backtracking point would lose matches such as "a.xb.xc" ~ "*.x*.", where
// the first star must take the longer way.
class Matcher {
  public:
    explicit Matcher(std::string_view expr) : m_expr(expr), m_now(expr.size() + 1), m_next(expr.size() + 1) {}

    bool operator()(std::string_view name) {
        const std::size_t lastDot = name.rfind('.');
        std::fill(m_now.begin(), m_now.end(), 0);
        m_now[0] = 1;
        for (std::size_t n = 0;; ++n) {
            const bool atEnd = n == name.size();
            // Positions reached without taking a character.
            for (std::size_t e = 0; e < m_expr.size(); ++e) {
                if (!m_now[e])
                    continue;
                const char c = m_expr[e];
                if (c == '*' || c == kDosStar || (c == kDosQm && (atEnd || name[n] == '.')) ||
                    (c == kDosDot && atEnd))
                    m_now[e + 1] = 1;
            }
            if (atEnd)
                return m_now[m_expr.size()] != 0;
            if (!m_expr.empty() && m_now[m_expr.size() - 1] && m_expr.back() == '*')
                return true; // a final star takes the rest, whatever it is
            const char ch = name[n];
            std::fill(m_next.begin(), m_next.end(), 0);
            bool any = false;
            for (std::size_t e = 0; e < m_expr.size(); ++e) {
                if (!m_now[e])
                    continue;
                const char c = m_expr[e];
                if (c == '*' || (c == kDosStar && n != lastDot)) {
                    m_next[e] = 1; // the star takes this character and may take more
                } else if ((c == kDosQm && ch != '.') || (c == kDosDot && ch == '.') ||
                           (c != kDosStar && c != kDosQm && c != kDosDot &&
                            (c == ch || upper(c) == upper(ch)))) {
                    m_next[e + 1] = 1;
                } else {
                    continue;
                }
                any = true;
            }
            if (!any)
                return false;
            std::swap(m_now, m_next);
        }
    }

  private:
    std::string_view m_expr;
    std::vector<unsigned char> m_now, m_next; // mask positions reached before / after a character
};

// Which entries a search keeps, judged from the folder listing's entry type alone so that the
// ones left out cost no lookup.
enum class Keep : unsigned char { All, NoFolders };

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The name the program sees: the host name itself when it is pure ASCII, else `buffer`.
std::string_view shownName(std::string_view hostName, std::string& buffer) {
    if (isAscii(hostName))
        return hostName;
    buffer = rtl::utf8ToCp1250(hostName);
    return buffer;
}

// The matching entries of one folder, read once, in the search's order.
class Listing {
  public:
    Listing() = default;
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    ~Listing() { close(); }

    // Reads "folder\mask"; 0 or the platform's error code. `passedOver` is set when entries
    // matched but `keep` left them out.
    DWORD read(std::string_view pattern, Keep keep, bool& passedOver);

    std::size_t size() const { return m_entries.size(); }
    std::string_view name(std::size_t i) const {
        return std::string_view(m_pool).substr(m_entries[i].offset, m_entries[i].length);
    }
    const char* cName(std::size_t i) const { return m_pool.c_str() + m_entries[i].offset; }
    unsigned char type(std::size_t i) const { return m_entries[i].type; }

    bool isOpen() const { return m_dir != nullptr; }
    int fd() const { return ::dirfd(m_dir); }
    const std::string& prefix() const { return m_prefix; }
    void close() {
        if (m_dir)
            ::closedir(m_dir);
        m_dir = nullptr;
    }

  private:
    struct Entry {
        std::uint32_t offset; // in m_pool, where the name is followed by a 0 byte
        std::uint32_t length;
        unsigned char type; // d_type
    };
    void add(std::string_view name, unsigned char type) {
        m_entries.push_back(
            {static_cast<std::uint32_t>(m_pool.size()), static_cast<std::uint32_t>(name.size()), type});
        m_pool.append(name).push_back('\0');
    }

    DIR* m_dir = nullptr; // kept open for lookups by name
    std::string m_prefix; // the folder's host path ended by "/"
    std::string m_pool;   // host names, one after another: no allocation per entry
    std::vector<Entry> m_entries;
};

DWORD Listing::read(std::string_view p, Keep keep, bool& passedOver) {
    std::size_t cut = p.find_last_of("\\/");
    if (cut == std::string_view::npos && p.size() >= 2 && p[1] == ':')
        cut = 1;
    std::string_view folderPart =
        cut == std::string_view::npos ? std::string_view(".") : p.substr(0, cut + 1);
    std::string_view mask = cut == std::string_view::npos ? p : p.substr(cut + 1);
    if (mask.empty())
        return ERROR_FILE_NOT_FOUND;

    auto r = detail::resolve(folderPart);
    if (r.badPath)
        return r.badPath;
    m_dir = ::opendir(r.host.c_str());
    if (!m_dir)
        return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
    m_prefix = std::move(r.host);
    if (m_prefix.back() != '/')
        m_prefix += '/';

    const std::string expr = dosExpression(mask);
    Matcher matches(expr);
    bool dots[2] = {false, false};
    std::string converted;
    while (dirent* e = ::readdir(m_dir)) {
        std::string_view n(e->d_name);
        if (n == "." || n == "..") {
            dots[n.size() - 1] = true;
            continue;
        }
        // The mask applies to the name the program sees.
        if (!matches(shownName(n, converted)))
            continue;
        if (keep == Keep::NoFolders && e->d_type == DT_DIR) {
            passedOver = true;
            continue;
        }
        add(n, e->d_type);
    }
    // Names in the host's byte order, so every search of an unchanged folder gives one order.
    std::sort(m_entries.begin(), m_entries.end(), [this](const Entry& a, const Entry& b) {
        return std::string_view(m_pool).substr(a.offset, a.length) <
               std::string_view(m_pool).substr(b.offset, b.length);
    });
    // The platform lists "." and ".." first, and not at all at a drive's root.
    if (!detail::isDriveRoot(m_prefix)) {
        const std::size_t before = m_entries.size();
        for (std::string_view dot : {std::string_view("."), std::string_view("..")}) {
            if (!dots[dot.size() - 1] || !matches(dot))
                continue;
            if (keep == Keep::NoFolders)
                passedOver = true;
            else
                add(dot, DT_DIR);
        }
        std::rotate(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(before),
                    m_entries.end());
    }
    return 0;
}

// Looks up entry `i`, following a link and falling back to the link itself when it leads
// nowhere; false when the entry is gone.
bool lookUp(const Listing& l, std::size_t i, struct stat& st) {
    return ::fstatat(l.fd(), l.cName(i), &st, 0) == 0 ||
           ::fstatat(l.fd(), l.cName(i), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

struct FindObject {
    Listing listing;
    std::size_t next = 0;
};

detail::HandleTable<FindObject>& searches() {
    static detail::HandleTable<FindObject> table;
    return table;
}

// Fills `data` for the next entry that can still be read; false when none is left.
bool fillNext(FindObject& f, WIN32_FIND_DATAA& data) {
    Listing& l = f.listing;
    std::string converted;
    while (f.next < l.size() && l.isOpen()) {
        const std::size_t i = f.next++;
        const std::string_view shown = shownName(l.name(i), converted);
        if (shown.size() >= MAX_PATH)
            continue;
        struct stat st;
        if (!lookUp(l, i, st))
            continue; // gone since the search began
        data = WIN32_FIND_DATAA{};
        data.dwFileAttributes =
            detail::attributesFrom(detail::storedAttributesAt(l.fd(), l.prefix(), l.cName(i)), l.name(i), st);
        data.ftLastWriteTime = st.st_mtim.tv_sec;
        if (!S_ISDIR(st.st_mode)) {
            auto size = static_cast<std::uint64_t>(st.st_size);
            data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
            data.nFileSizeLow = static_cast<DWORD>(size);
        }
        std::memcpy(data.cFileName, shown.data(), shown.size());
        data.cFileName[shown.size()] = '\0';
        return true;
    }
    l.close(); // nothing more to look up: the folder's descriptor goes back now
    return false;
}

// Opens a search over "folder\mask" and fills `data` with its first entry. `passedOver` tells
// whether entries matched but `keep` left them out.
HANDLE startSearch(const char* pattern, WIN32_FIND_DATAA* data, Keep keep, bool& passedOver) {
    if (!pattern || !data)
        return detail::fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    auto f = std::make_unique<FindObject>();
    if (DWORD error = f->listing.read(pattern, keep, passedOver))
        return detail::fail(error, INVALID_HANDLE_VALUE);
    if (!fillNext(*f, *data))
        return detail::fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    SetLastError(ERROR_SUCCESS);
    return searches().add(f.release());
}

} // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
    const std::string expr = dosExpression(mask);
    return Matcher(expr)(name);
}

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
    bool passedOver = false;
    return startSearch(pattern, data, Keep::All, passedOver);
}

bool ListFolder(const char* pattern, std::vector<FolderEntry>& entries) {
    entries.clear();
    if (!pattern)
        return detail::fail(ERROR_INVALID_PARAMETER, false);
    Listing l;
    bool passedOver = false;
    if (DWORD error = l.read(pattern, Keep::All, passedOver))
        return detail::fail(error, false);
    entries.reserve(l.size());
    std::string converted;
    for (std::size_t i = 0; i < l.size(); ++i) {
        const std::string_view shown = shownName(l.name(i), converted);
        if (shown.size() >= MAX_PATH)
            continue;
        // The listed type answers for folders and plain files; links and unknown types are
        // looked up as the search looks them up.
        bool folder = l.type(i) == DT_DIR;
        if (l.type(i) == DT_LNK || l.type(i) == DT_UNKNOWN) {
            struct stat st;
            if (!lookUp(l, i, st))
                continue;
            folder = S_ISDIR(st.st_mode);
        }
        entries.push_back({std::string(shown), folder});
    }
    if (entries.empty())
        return detail::fail(ERROR_FILE_NOT_FOUND, false);
    SetLastError(ERROR_SUCCESS);
    return true;
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data) {
    FindObject* f = searches().find(search);
    if (!f || !data)
        return detail::fail(ERROR_INVALID_HANDLE, FALSE);
    if (!fillNext(*f, *data))
        return detail::fail(ERROR_NO_MORE_FILES, FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL FindClose(HANDLE search) {
    FindObject* f = searches().take(search);
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
    // Folders the set leaves out are passed over by their listed type, without a lookup.
    bool passedOver = false;
    rec.FindHandle = startSearch(pattern.c_str(), &rec.FindData,
                                 rec.ExcludeAttr & faDirectory ? Keep::NoFolders : Keep::All, passedOver);
    if (rec.FindHandle == INVALID_HANDLE_VALUE) {
        // Matching entries that were all passed over end the search as excluded ones do.
        if (passedOver && GetLastError() == ERROR_FILE_NOT_FOUND)
            return static_cast<int>(ERROR_NO_MORE_FILES);
        return static_cast<int>(GetLastError());
    }
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
