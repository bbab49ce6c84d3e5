#include "VELTFindFileCode.h"

#include "vl_lib32.h"

#include <VL_LIB32.h>
#include <runtime/Export.h>
#include <windows/Windows.h>

#include <cstring>
#include <string>

namespace VL_LIB32 {

namespace {

ReturnedText FirstFileText;

// One platform search over `pattern`, closed before it returns, so that a walk never holds more
// than one search open.
template <typename OnEntry> void Search(const std::string& pattern, OnEntry&& onEntry) {
    win::WIN32_FIND_DATAA data;
    const win::HANDLE search = win::FindFirstFileA(pattern.c_str(), &data);
    if (search == win::INVALID_HANDLE_VALUE)
        return;
    struct Closer {
        win::HANDLE handle;
        ~Closer() { win::FindClose(handle); }
    } closer{search};
    do {
        onEntry(data);
    } while (win::FindNextFileA(search, &data));
}

std::string_view Name(const win::WIN32_FIND_DATAA& data) {
    return std::string_view(data.cFileName, strnlen(data.cFileName, sizeof data.cFileName));
}

bool IsFolder(const win::WIN32_FIND_DATAA& data) {
    return (data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

void FindFilesIn(rtl::TStringList& list, std::string_view dir, std::string_view mask) {
    // An empty folder would become "\", the root of the whole drive.
    if (dir.empty())
        return;
    std::string folder(dir);
    if (folder.back() != '\\')
        folder += '\\';

    std::string path;
    Search(folder + std::string(mask), [&](const win::WIN32_FIND_DATAA& data) {
        if (IsFolder(data))
            return;
        path.assign(folder).append(Name(data));
        list.Add(path);
    });

    rtl::TStringList folders;
    Search(folder + "*.*", [&](const win::WIN32_FIND_DATAA& data) {
        const std::string_view name = Name(data);
        if (!IsFolder(data) || name.empty() || name.front() == '.')
            return;
        path.assign(folder).append(name);
        folders.Add(path);
    });

    for (const std::string& subfolder : folders.Items())
        FindFilesIn(list, subfolder, mask);
}

} // namespace VL_LIB32

using namespace VL_LIB32;

VL_EXPORT void VL_STDCALL FindFiles(rtl::TStringList** List, const char* Dir, const char* Mask) {
    Guarded([&] {
        if (List && *List)
            FindFilesIn(**List, TextArg(Dir), TextArg(Mask));
    });
}

VL_EXPORT const char* VL_STDCALL FindFirstFile(const char* Dir, const char* Mask) {
    return Guarded<const char*>("", [&] {
        rtl::TStringList found;
        rtl::TStringList* list = &found;
        FindFiles(&list, Dir, Mask);
        return found.Count() > 0 ? FirstFileText.Set(found[0]) : FirstFileText.Empty();
    });
}
