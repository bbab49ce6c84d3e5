#pragma once

// Zip and unzip for hosts: which files go into an archive, the counts of the current job, and
// the texts of the progress window. The archive work itself is the zip library's.

#include <cstdint>
#include <string>
#include <string_view>

namespace VL_LIB32 {

class TVELTZipWindow;

// The progress window created last (only used within the call that created it), and the counts
// of the current or last job. They keep their values between calls.
extern TVELTZipWindow* ZipWindow;
extern std::int32_t FilesDone;
extern std::int32_t BytesDone;
extern std::int32_t TotalBytes;

// The attribute values of the letters R, H, S and N found in `attributes` (any letter case).
int LetterSet(std::string_view attributes);

// Whether an entry with `attributes` that the directory search yielded is packed.
bool Selected(int attributes, int letterSet);

// The folder part of a source mask, up to and including its last backslash or colon.
std::string SourceFolder(std::string_view sourceMask);

// The folder of an archive name, without its trailing backslash except at a drive's root;
// empty when the name has no folder part.
std::string ArchiveFolder(std::string_view zipName);

// The number in decimal with a space between groups of three characters from the right (the
// minus sign counts as a character).
std::string GroupDigits(std::int32_t n);

// The percentage of `done` in `total`, rounded half to even. The counts are read as unsigned
// 32-bit numbers, so totals of 2 GiB and more work; a zero total gives 100 once `finished`,
// else 0.
int Percentage(std::int32_t done, std::int32_t total, bool finished);

// "Wykonano: \n" and the percentage in "%4d", then " %".
std::string ProgressText(int percentage);
// "Gotowe: \nPlików = ..., Bajtów = ..." for the counts of a finished job.
std::string EndText(std::int32_t files, std::int32_t bytes);

// The archive name with the ASCII letters made lower case.
std::string WindowCaption(std::string_view zipName);

// Called by the zip library while it works, on the caller's thread: updates the counts and
// the newest progress window.
void ZipProgressCallback();

} // namespace VL_LIB32
