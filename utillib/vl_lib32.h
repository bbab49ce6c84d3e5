#pragma once

// The library unit: the state the exports share and the rules every export follows at the
// boundary with its host (texts in, strings out, nothing thrown across).

#include <runtime/LongString.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include <pthread.h>

namespace vcl {
class TOpenDialog;
}

namespace VL_LIB32 {

inline constexpr std::size_t ResultBufferSize = 260;

// The text SelectFolder, SelectFolderExt, GetLongPath and GetLongName return by address.
extern char ResultBuffer[ResultBufferSize];
// What the folder dialogs and the path exports last worked with; released when unloaded.
extern rtl::LongString FolderText;
extern rtl::LongString CaptionText;
extern rtl::LongString RootText;

// The bytes of a NUL-terminated argument; a null address is the empty text.
inline std::string_view TextArg(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

// A host's length-counted string, held by a reference of the library's own for one call.
class StringArg {
  public:
    explicit StringArg(rtl::LongString value) : m_value(value) { rtl::LStrAddRef(m_value); }
    ~StringArg() { rtl::LStrRelease(m_value); }
    StringArg(const StringArg&) = delete;
    StringArg& operator=(const StringArg&) = delete;

    std::string_view View() const { return rtl::LStrView(m_value); }

  private:
    rtl::LongString m_value;
};

// A string the library made for one call, released when the call ends.
class OwnedString {
  public:
    explicit OwnedString(std::string_view bytes) : m_value(rtl::LStrNew(bytes)) {}
    ~OwnedString() { rtl::LStrRelease(m_value); }
    OwnedString(const OwnedString&) = delete;
    OwnedString& operator=(const OwnedString&) = delete;

    rtl::LongString Value() const { return m_value; }
    rtl::LongString* Variable() { return &m_value; }

  private:
    rtl::LongString m_value;
};

// Copies a result text and its 0 byte into ResultBuffer and returns the buffer's address. A text
// longer than the buffer's 259 characters gives the empty text: a cut path would name another
// folder or file.
const char* ToResultBuffer(std::string_view text);

// The folder part of a path: everything before its last "\", "/" or ":", that delimiter included
// when it is a ":" or when it is a "\" or "/" that begins the text or follows another delimiter
// (so a drive root keeps its backslash). With `keepDelimiter` the last delimiter is always kept.
std::string_view FolderPart(std::string_view path, bool keepDelimiter = false);
// Everything after the last "\", "/" or ":", or the whole text when there is none.
std::string_view FileNamePart(std::string_view path);

// Creates a folder with all its missing parents, outermost first; false when a step fails.
bool CreateFolderTree(std::string_view dir);
// ForceCreateDir: -1 the folder already existed, 0 created, -2 not created.
std::int32_t ForceCreateFolder(std::string_view dir);
// ForceCopyFile: bytes written, or a negative error code.
std::int32_t ForceCopy(const std::string& source, const std::string& dest);
// The shell's folder browser over `caption` and `root` (module strings stored as it goes): the
// chosen folder, or nothing when cancelled, when no window can be shown or when the path would
// not fit the 260-byte buffers.
std::optional<std::string> BrowseForFolder(std::string_view caption, std::string_view root);
// The directory dialog starting at `initialDir`: the folder typed or chosen (made with its
// missing parents), or nothing when cancelled or when no window can be shown.
std::optional<std::string> SelectDirectory(std::string_view initialDir);
// The picture dialog's list of the picture formats, all of them first.
inline constexpr const char* PictureFilter =
    "All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
    "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";

// Shows a file dialog modally (nothing when no window can be shown); the chosen file's full
// path, or "" when the user cancelled.
std::string ChosenFile(vcl::TOpenDialog& dialog);

// The path in its short form: the path itself when it exists, else empty (no 8.3 names here).
std::string ShortForm(const std::string& path);

// Stores a new string (count 1) into the caller's variable and releases what it held before.
void StoreResult(rtl::LongString* variable, std::string_view bytes);

// A text the library returns by address: it stays put until the same export is called again on
// the same thread, and "nothing" is an empty text, never the null address. One per calling
// thread, so that host threads never see or disturb each other's text; kept under a thread key
// deleted when the library is unloaded (a thread_local with a destructor would keep the library
// mapped after the host's dlclose).
class ReturnedText {
  public:
    ReturnedText() {
        m_ready =
            ::pthread_key_create(&m_key, [](void* text) { delete static_cast<std::string*>(text); }) == 0;
    }
    ~ReturnedText() {
        if (!m_ready)
            return;
        // The unloading thread's text goes now; a thread still running keeps its few bytes.
        delete static_cast<std::string*>(::pthread_getspecific(m_key));
        ::pthread_key_delete(m_key);
    }
    ReturnedText(const ReturnedText&) = delete;
    ReturnedText& operator=(const ReturnedText&) = delete;

    // Raises std::bad_alloc when the thread's text cannot be kept (the export's guard answers).
    const char* Set(std::string_view bytes) {
        std::string& text = mine();
        text.assign(bytes.data(), bytes.size());
        return text.c_str();
    }
    const char* Empty() { return Set({}); }

  private:
    std::string& mine() {
        if (!m_ready)
            throw std::bad_alloc();
        auto* text = static_cast<std::string*>(::pthread_getspecific(m_key));
        if (!text) {
            auto fresh = std::make_unique<std::string>();
            if (::pthread_setspecific(m_key, fresh.get()) != 0)
                throw std::bad_alloc();
            text = fresh.release();
        }
        return *text;
    }

    pthread_key_t m_key{};
    bool m_ready = false;
};

// Runs an export's body so that no exception reaches the host; `failure` is the result then.
template <typename R, typename Body> R Guarded(R failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

template <typename Body> void Guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

} // namespace VL_LIB32
