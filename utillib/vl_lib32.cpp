#include "vl_lib32.h"

#include "LibraryToolkit.h"
#include "SelectDirectoryForm.h"

#include <VL_LIB32.h>

#include <runtime/Export.h>
#include <vcl/BrowseForFolderForm.h>
#include <windows/ErrorMode.h>
#include <vcl/OpenDialog.h>
#include <vcl/OpenPictureDialog.h>
#include <vcl/SaveDialog.h>
#include <windows/LZExpand.h>
#include <windows/Windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace VL_LIB32 {

char ResultBuffer[ResultBufferSize];
rtl::LongString FolderText;
rtl::LongString CaptionText;
rtl::LongString RootText;

void StoreResult(rtl::LongString* variable, std::string_view bytes) {
    if (!variable)
        return;
    rtl::LongString fresh = rtl::LStrNew(bytes);
    rtl::LongString old = *variable;
    *variable = fresh;
    rtl::LStrRelease(old);
}

const char* ToResultBuffer(std::string_view text) {
    if (text.size() >= ResultBufferSize)
        text = {};
    text.copy(ResultBuffer, text.size());
    ResultBuffer[text.size()] = '\0';
    return ResultBuffer;
}

namespace {

bool IsDelimiter(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Unloading gives the module strings back; the result buffer is plain storage and stays.
__attribute__((destructor)) void ReleaseModuleStrings() {
    for (rtl::LongString* text : {&RootText, &CaptionText, &FolderText}) {
        rtl::LStrRelease(*text);
        *text = nullptr;
    }
}

// A drive given by its letter alone ("C:"): its root always exists as far as creation goes.
bool IsDriveSpec(std::string_view dir) {
    return dir.size() == 2 && dir[1] == ':';
}

// Two names of one existing file (another spelling, letter case, a link): its size, or -1.
std::int64_t SameFileSize(const std::string& a, const std::string& b) {
    auto open = [](const std::string& path) {
        return win::CreateFileA(path.c_str(), 0,
                                win::FILE_SHARE_READ | win::FILE_SHARE_WRITE | win::FILE_SHARE_DELETE,
                                nullptr, win::OPEN_EXISTING, 0, nullptr);
    };
    win::HANDLE first = open(a);
    if (first == win::INVALID_HANDLE_VALUE)
        return -1;
    win::HANDLE second = open(b);
    std::int64_t size = -1;
    win::BY_HANDLE_FILE_INFORMATION x, y;
    if (second != win::INVALID_HANDLE_VALUE && win::GetFileInformationByHandle(first, &x) &&
        win::GetFileInformationByHandle(second, &y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
        x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow)
        size = static_cast<std::int64_t>(x.nFileSizeHigh) << 32 | x.nFileSizeLow;
    if (second != win::INVALID_HANDLE_VALUE)
        win::CloseHandle(second);
    win::CloseHandle(first);
    return size;
}

} // namespace

std::string_view FolderPart(std::string_view path, bool keepDelimiter) {
    std::size_t last = path.size();
    while (last > 0 && !IsDelimiter(path[last - 1]))
        --last;
    if (last == 0)
        return {};
    const std::size_t at = last - 1;
    const bool keep = keepDelimiter || path[at] == ':' || at == 0 || IsDelimiter(path[at - 1]);
    return path.substr(0, keep ? last : at);
}

std::string_view FileNamePart(std::string_view path) {
    std::size_t last = path.size();
    while (last > 0 && !IsDelimiter(path[last - 1]))
        --last;
    return path.substr(last);
}

bool CreateFolderTree(std::string_view dir) {
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        dir.remove_suffix(1);
    const std::string text(dir);
    if (text.empty() || IsDriveSpec(text) || win::DirectoryExists(text))
        return true;
    const std::string_view parent = FolderPart(text, true);
    if (parent != dir && !CreateFolderTree(parent))
        return false;
    return win::CreateDirectoryA(text.c_str(), nullptr);
}

std::int32_t ForceCreateFolder(std::string_view dir) {
    const std::string text(dir);
    if (win::DirectoryExists(text))
        return -1;
    CreateFolderTree(text);
    return win::DirectoryExists(text) ? 0 : -2;
}

std::int32_t ForceCopy(const std::string& source, const std::string& dest) {
    win::OFSTRUCT sourceRecord, destRecord;
    if (win::LZOpenFileA(source.c_str(), &sourceRecord, win::OF_EXIST) < 0)
        return -static_cast<std::int32_t>(sourceRecord.nErrCode);
    // Opening the destination for writing would empty the source itself.
    if (const std::int64_t size = SameFileSize(source, dest); size >= 0)
        return static_cast<std::int32_t>(std::min<std::int64_t>(size, INT32_MAX));
    const win::INT in = win::LZOpenFileA(source.c_str(), &sourceRecord, win::OF_READ);
    if (in < 0)
        return win::LZERROR_BADINHANDLE; // what the copy would give; the destination stays as it was
    if (!dest.empty() && !FolderPart(dest, true).empty())
        CreateFolderTree(FolderPart(dest, true));
    const win::INT out = win::LZOpenFileA(dest.c_str(), &destRecord, win::OF_CREATE);
    if (out < 0) {
        win::LZClose(in);
        return -static_cast<std::int32_t>(destRecord.nErrCode);
    }
    const win::LONG copied = win::LZCopy(in, out);
    win::LZClose(in);
    win::LZClose(out);
    return copied;
}

namespace {

// A dialog of the library's, released before the export returns.
struct FreeForm {
    void operator()(vcl::TForm* form) const { form->Free(); }
};
template <class F> using DialogPtr = std::unique_ptr<F, FreeForm>;

// The error mode for the time a dialog is open, the earlier one put back after.
class ErrorModeScope {
  public:
    explicit ErrorModeScope(win::UINT mode) : m_previous(win::SetErrorMode(mode)) {}
    ~ErrorModeScope() { win::SetErrorMode(m_previous); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

  private:
    win::UINT m_previous;
};

} // namespace

std::optional<std::string> BrowseForFolder(std::string_view caption, std::string_view root) {
    StoreResult(&CaptionText, caption);
    StoreResult(&RootText, root);
    StoreResult(&FolderText, {});
    if (!ToolkitReady())
        return std::nullopt;
    std::string folder;
    {
        const ErrorModeScope mode(win::SEM_FAILCRITICALERRORS);
        DialogPtr<vcl::TBrowseForFolderForm> browser(
            new vcl::TBrowseForFolderForm(nullptr, std::string(caption), std::string(root)));
        if (browser->ShowModal() != vcl::mrOk)
            return std::nullopt;
        folder = browser->Folder();
    }
    // The caller's buffer holds 260 bytes: a longer path is never handed out (nor cut short).
    if (folder.empty() || folder.size() >= ResultBufferSize)
        return std::nullopt;
    StoreResult(&FolderText, folder);
    return folder;
}

std::optional<std::string> SelectDirectory(std::string_view initialDir) {
    StoreResult(&FolderText, initialDir);
    if (!ToolkitReady())
        return std::nullopt;
    std::string dir;
    {
        DialogPtr<TSelectDirectoryForm> dialog(new TSelectDirectoryForm(nullptr));
        dialog->OpenStartFolder(std::string(initialDir));
        if (dialog->ShowModal() != vcl::mrOk)
            return std::nullopt;
        dir = dialog->Directory();
    }
    StoreResult(&FolderText, dir);
    // A folder that cannot be made is still the answer, as typed.
    ForceCreateFolder(dir);
    return dir;
}

std::string ChosenFile(vcl::TOpenDialog& dialog) {
    if (!ToolkitReady() || !dialog.Execute())
        return {};
    return dialog.FileName();
}

std::string ShortForm(const std::string& path) {
    char buffer[win::MAX_PATH];
    const win::DWORD length = win::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return {};
    return std::string(buffer, length);
}

} // namespace VL_LIB32

using namespace VL_LIB32;

namespace {
// The texts the file dialogs return, one per export.
ReturnedText OpenFileText, SaveFileText, ImageFileText;
} // namespace

VL_EXPORT std::int32_t VL_STDCALL ForceCopyFile(const char* Source, const char* Dest) {
    return Guarded<std::int32_t>(win::LZERROR_BADINHANDLE, [&] {
        return ForceCopy(std::string(TextArg(Source)), std::string(TextArg(Dest)));
    });
}

VL_EXPORT std::int32_t VL_STDCALL ForceCreateDir(const char* Dir) {
    return Guarded<std::int32_t>(-2, [&] { return ForceCreateFolder(TextArg(Dir)); });
}

VL_EXPORT const char* VL_STDCALL GetLongPath(const char* Path, std::int32_t Mode) {
    return Guarded<const char*>(ToResultBuffer({}), [&] {
        const std::string text =
            Mode > 0 ? std::string(TextArg(Path)) : ShortForm(std::string(TextArg(Path)));
        StoreResult(&FolderText, text);
        return ToResultBuffer(FolderPart(text));
    });
}

VL_EXPORT const char* VL_STDCALL GetLongName(const char* Path, std::int32_t Mode) {
    return Guarded<const char*>(ToResultBuffer({}), [&] {
        const std::string text =
            Mode > 0 ? std::string(TextArg(Path)) : ShortForm(std::string(TextArg(Path)));
        StoreResult(&FolderText, text);
        return ToResultBuffer(FileNamePart(text));
    });
}

VL_EXPORT const char* VL_STDCALL SelectFolder(const char* Caption, const char* Root) {
    return Guarded<const char*>(ToResultBuffer({}), [&] {
        const std::optional<std::string> folder = BrowseForFolder(TextArg(Caption), TextArg(Root));
        return ToResultBuffer(folder ? *folder : std::string());
    });
}

VL_EXPORT std::uint8_t VL_STDCALL SelectFolderVB(const char* Caption, const char* Root, char* Buffer) {
    return Guarded<std::uint8_t>(0, [&]() -> std::uint8_t {
        const std::optional<std::string> folder = BrowseForFolder(TextArg(Caption), TextArg(Root));
        if (!folder || !Buffer)
            return 0;
        std::memcpy(Buffer, folder->c_str(), folder->size() + 1);
        return 1;
    });
}

VL_EXPORT const char* VL_STDCALL SelectFolderExt(const char* InitialDir) {
    return Guarded<const char*>(ToResultBuffer({}), [&] {
        const std::optional<std::string> dir = SelectDirectory(TextArg(InitialDir));
        return ToResultBuffer(dir ? *dir : std::string());
    });
}

VL_EXPORT const char* VL_STDCALL SelectFileOpen(const char* Title, const char* Filter, const char* InitialDir) {
    return Guarded<const char*>("", [&] {
        auto dialog = std::make_unique<vcl::TOpenDialog>(nullptr);
        dialog->SetTitle(std::string(TextArg(Title)));
        dialog->SetFilter(std::string(TextArg(Filter)));
        dialog->SetInitialDir(std::string(TextArg(InitialDir)));
        dialog->SetOptions({vcl::ofHideReadOnly});
        const std::string chosen = ChosenFile(*dialog);
        dialog.reset();
        return OpenFileText.Set(chosen);
    });
}

VL_EXPORT const char* VL_STDCALL SelectFileSaveAs(const char* Title, const char* FileName, const char* InitialDir) {
    return Guarded<const char*>("", [&] {
        auto dialog = std::make_unique<vcl::TSaveDialog>(nullptr);
        dialog->SetTitle(std::string(TextArg(Title)));
        dialog->SetFileName(std::string(TextArg(FileName)));
        dialog->SetInitialDir(std::string(TextArg(InitialDir)));
        dialog->SetOptions({vcl::ofOverwritePrompt, vcl::ofHideReadOnly});
        const std::string chosen = ChosenFile(*dialog);
        dialog.reset();
        return SaveFileText.Set(chosen);
    });
}

VL_EXPORT const char* VL_STDCALL SelectImageFile(const char* InitialDir) {
    return Guarded<const char*>("", [&] {
        auto dialog = std::make_unique<vcl::TOpenPictureDialog>(nullptr);
        dialog->SetFilter(PictureFilter);
        dialog->SetInitialDir(std::string(TextArg(InitialDir)));
        dialog->SetOptions({vcl::ofHideReadOnly});
        const std::string chosen = ChosenFile(*dialog);
        dialog.reset();
        return ImageFileText.Set(chosen);
    });
}
