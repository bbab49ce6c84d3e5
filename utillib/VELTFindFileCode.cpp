#include "VELTFindFileCode.h"

#include "vl_lib32.h"

#include <VL_LIB32.h>
#include <runtime/Export.h>
#include <windows/Windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace VL_LIB32 {

namespace {

ReturnedText FirstFileText;

} // namespace

void FindFilesIn(rtl::TStringList& list, std::string_view dir, std::string_view mask) {
    // An empty folder would become "\", the root of the whole drive.
    if (dir.empty())
        return;
    std::string folder(dir);
    if (folder.back() != '\\')
        folder += '\\';

    // The walk needs only each entry's name and whether it is a folder. A listing is read whole
    // and closed before the next one, so a walk never holds more than one folder open; one
    // listing of the folder serves for its files too, unless the mask names another folder.
    std::string path;
    std::vector<win::FolderEntry> entries;
    const bool maskHere = mask.find_first_of("\\/") == std::string_view::npos;
    if (!maskHere) {
        win::ListFolder((folder + std::string(mask)).c_str(), entries);
        for (const win::FolderEntry& entry : entries) {
            if (!entry.folder)
                list.Add(path.assign(folder).append(entry.name));
        }
    }

    rtl::TStringList folders;
    win::ListFolder((folder + "*.*").c_str(), entries);
    if (maskHere) {
        for (const win::FolderEntry& entry : entries) {
            if (!entry.folder && win::MatchesMask(entry.name, mask))
                list.Add(path.assign(folder).append(entry.name));
        }
    }
    for (const win::FolderEntry& entry : entries) {
        if (entry.folder && !entry.name.empty() && entry.name.front() != '.')
            folders.Add(path.assign(folder).append(entry.name));
    }

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
