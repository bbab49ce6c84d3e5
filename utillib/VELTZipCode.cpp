#include "VELTZipCode.h"

#include "VELTZipWindow.h"
#include "vl_lib32.h"

#include <VL_LIB32.h>
#include <runtime/Cp1250.h>
#include <runtime/Export.h>
#include <windows/Windows.h>
#include <zip/ZipLibrary.h>

#include <cmath>
#include <cstdio>

namespace VL_LIB32 {

using rtl::operator""_w;

TVELTZipWindow* ZipWindow = nullptr;
std::int32_t FilesDone = 0;
std::int32_t BytesDone = 0;
std::int32_t TotalBytes = 0;

namespace {

constexpr int kLetterR = win::faReadOnly, kLetterH = win::faHidden, kLetterS = win::faSysFile,
              kLetterN = win::faArchive;

std::string groupDigits(std::int64_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    int counted = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (counted > 0 && counted % 3 == 0)
            out.insert(out.begin(), ' ');
        out.insert(out.begin(), *it);
        ++counted;
    }
    return out;
}

// The number of files the current job has, so that a job without bytes can tell it is done.
std::int32_t JobFiles = 0;

} // namespace

int LetterSet(std::string_view attributes) {
    int set = 0;
    for (char c : attributes) {
        switch (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) {
        case 'R':
            set |= kLetterR;
            break;
        case 'H':
            set |= kLetterH;
            break;
        case 'S':
            set |= kLetterS;
            break;
        case 'N':
            set |= kLetterN;
            break;
        default:
            break;
        }
    }
    return set;
}

bool Selected(int attributes, int letterSet) {
    int a = attributes & win::faAnyFile;
    // Hidden and system entries count as archived: they need no N, only their own letters. One
    // that carries the archive attribute already carries into a bit no letter gives.
    if (a & (win::faHidden | win::faSysFile))
        a += win::faArchive;
    // An archived entry needs no letter for its archive bit; an entry without it needs N.
    a ^= win::faArchive;
    return (a & ~letterSet) == 0;
}

std::string SourceFolder(std::string_view sourceMask) {
    const std::size_t cut = sourceMask.find_last_of("\\:");
    return cut == std::string_view::npos ? std::string() : std::string(sourceMask.substr(0, cut + 1));
}

std::string ArchiveFolder(std::string_view zipName) {
    const std::size_t cut = zipName.find_last_of("\\:");
    if (cut == std::string_view::npos)
        return {};
    std::string folder(zipName.substr(0, cut + 1));
    const bool driveRoot = folder.size() == 3 && folder[1] == ':';
    if (folder.back() == '\\' && !driveRoot)
        folder.pop_back();
    return folder;
}

std::string GroupDigits(std::int32_t n) {
    return groupDigits(n);
}

int Percentage(std::int32_t done, std::int32_t total, bool finished) {
    const auto d = static_cast<std::uint32_t>(done), t = static_cast<std::uint32_t>(total);
    if (t == 0)
        return finished ? 100 : 0;
    return static_cast<int>(std::nearbyint(static_cast<double>(d) / static_cast<double>(t) * 100.0));
}

std::string ProgressText(int percentage) {
    char number[16];
    std::snprintf(number, sizeof number, "%4d", percentage);
    return "Wykonano: \n"_w + number + " %";
}

std::string EndText(std::int32_t files, std::int32_t bytes) {
    // A byte count of 2 GiB or more is shown as the unsigned number it is.
    return "Gotowe: \nPlików = "_w + groupDigits(files) + ", Bajtów = "_w +
           groupDigits(static_cast<std::uint32_t>(bytes));
}

std::string WindowCaption(std::string_view zipName) {
    std::string caption(zipName);
    for (char& c : caption)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return caption;
}

void ZipProgressCallback() {
    Guarded([] {
        ziplib::zGetRunTimeInfo(&FilesDone, &BytesDone);
        if (ZipWindow)
            ZipWindow->ShowProgress(
                BytesDone, ProgressText(Percentage(BytesDone, TotalBytes, FilesDone >= JobFiles)));
    });
}

namespace {

// Opens the window of a new job (the counters already hold its start), or none when the
// toolkit cannot show one.
void OpenWindow(const std::string& zipName) {
    ZipWindow = TVELTZipWindow::Open(WindowCaption(zipName));
}

// The end of a job with a window: the final counts shown and the window's handle given back.
void FinishWindow(std::int32_t* window) {
    if (!ZipWindow)
        return;
    ZipWindow->ShowEnd(BytesDone, EndText(FilesDone, BytesDone));
    *window = static_cast<std::int32_t>(ZipWindow->Handle());
}

std::int32_t Zip(const char* SourceMask, const char* ZipName, const char* Attributes, std::int32_t Param4,
                 std::int32_t Param5, std::int32_t Param6, std::int32_t Param7, std::int32_t* Window) {
    const std::string mask(TextArg(SourceMask));
    const std::string zipName(TextArg(ZipName));
    const std::string source = SourceFolder(mask);
    const std::string folder = ArchiveFolder(zipName);
    const bool storeAll = Param5 == 1;
    const int letters = LetterSet(TextArg(Attributes));
    std::int32_t result = -1;

    if (folder.empty() || !win::ForceDirectories(folder))
        return result;
    win::TSearchRec rec;
    if (win::FindFirst(mask, letters, rec) != 0)
        return result;

    TotalBytes = 0;
    JobFiles = 0;
    ziplib::zCreateNewZip(zipName.c_str());
    do {
        if (!Selected(rec.Attr, letters))
            continue;
        const std::string path = source + rec.Name;
        if (ziplib::zOrderFile(path.c_str(), rec.Name.c_str(), Param6) != 0)
            continue;
        ++JobFiles;
        // The size from the file system, without reading the file.
        win::HANDLE file = win::CreateFileA(path.c_str(), 0, win::FILE_SHARE_READ, nullptr, win::OPEN_EXISTING,
                                            win::FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != win::INVALID_HANDLE_VALUE) {
            TotalBytes = static_cast<std::int32_t>(static_cast<std::uint32_t>(TotalBytes) +
                                                   win::GetFileSize(file, nullptr));
            win::CloseHandle(file);
        }
    } while (win::FindNext(rec) == 0);
    win::FindClose(rec);
    FilesDone = 0;
    BytesDone = 0;

    const bool withWindow = Window && *Window == 1;
    if (withWindow)
        OpenWindow(zipName);
    result = ziplib::zCompressFiles("", Param4, Param7, storeAll, -1, "",
                                    withWindow && ZipWindow ? ZipProgressCallback : nullptr);
    ziplib::zGetRunTimeInfo(&FilesDone, &BytesDone);
    ziplib::zCloseZipFile();
    if (withWindow)
        FinishWindow(Window);
    return result;
}

std::int32_t UnZip(const char* ZipName, const char* DestDir, std::int32_t Param3, std::int32_t Param4,
                   std::int32_t Param5, std::int32_t Param6, std::int32_t* Window) {
    std::string target(TextArg(DestDir));
    if (!target.empty() && target.back() == '\\')
        target.pop_back();
    const bool junkPaths = Param4 == 1, keepExisting = Param5 == 1, flag6 = Param6 == 1;
    std::int32_t result = -1;

    if (target.empty() || !win::ForceDirectories(target))
        return result;
    const std::string zipName(TextArg(ZipName));
    if (ziplib::zOpenZipFile(zipName.c_str()) != 0) {
        ziplib::zCloseZipFile();
        return result;
    }
    FilesDone = 0;
    BytesDone = 0;
    TotalBytes = ziplib::zGetTotalBytes();
    JobFiles = ziplib::zGetTotalFiles();

    const bool withWindow = Window && *Window == 1;
    if (withWindow)
        OpenWindow(zipName);
    const std::string folder = target + '\\';
    result = ziplib::zExtractAll(folder.c_str(), Param3, junkPaths, false, keepExisting, flag6,
                                 withWindow && ZipWindow ? ZipProgressCallback : nullptr);
    ziplib::zGetRunTimeInfo(&FilesDone, &BytesDone);
    ziplib::zCloseZipFile();
    if (withWindow)
        FinishWindow(Window);
    return result;
}

} // namespace

} // namespace VL_LIB32

using namespace VL_LIB32;

VL_EXPORT std::int32_t VL_STDCALL VELTZip(const char* SourceMask, const char* ZipName, const char* Attributes,
                                          std::int32_t Param4, std::int32_t Param5, std::int32_t Param6,
                                          std::int32_t Param7, std::int32_t* Window) {
    return Guarded<std::int32_t>(-1, [&] {
        return Zip(SourceMask, ZipName, Attributes, Param4, Param5, Param6, Param7, Window);
    });
}

VL_EXPORT std::int32_t VL_STDCALL VELTUnZip(const char* ZipName, const char* DestDir, std::int32_t Param3,
                                            std::int32_t Param4, std::int32_t Param5, std::int32_t Param6,
                                            std::int32_t* Window) {
    return Guarded<std::int32_t>(-1, [&] { return UnZip(ZipName, DestDir, Param3, Param4, Param5, Param6, Window); });
}

VL_EXPORT std::int32_t VL_STDCALL VELTNoFilesInZip(const char* ZipName) {
    return Guarded<std::int32_t>(-1, [&] {
        std::int32_t result = -1;
        const std::string zipName(TextArg(ZipName));
        if (ziplib::zOpenZipFile(zipName.c_str()) == 0)
            result = ziplib::zGetTotalFiles();
        ziplib::zCloseZipFile();
        return result;
    });
}
