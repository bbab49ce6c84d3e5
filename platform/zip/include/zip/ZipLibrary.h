#pragma once

// The zip library: nine operations over one current archive, in the order its callers use them.
//
// Packing:    zCreateNewZip, zOrderFile for each file, zCompressFiles, zGetRunTimeInfo, zCloseZipFile.
// Unpacking:  zOpenZipFile, zGetTotalFiles / zGetTotalBytes, zExtractAll, zGetRunTimeInfo,
//             zCloseZipFile.
//
// Archives are standard ZIP files (stored and deflated entries, ZIP64 when sizes, offsets or the
// number of entries need it) that Info-ZIP and Python's zipfile read. Paths are Windows-form
// Windows-1250 texts, mapped onto the host by the Windows layer. Entry names are kept in UTF-8 in
// the archive, with the UTF-8 flag when they are not ASCII; names read back become Windows-1250
// (a name without the flag is CP437), "?" standing for a character the code page lacks.
//
// Packing compresses the files on worker threads, several files (and the parts of a large file)
// at once, and writes the archive in queue order into a temporary file beside it, which replaces
// the archive only when it is whole. Unpacking works on several entries at once; every file is
// written under a temporary name in its folder and takes its own name only once it is whole and
// its check sum is right. An entry whose name would leave the target folder (absolute, a drive
// letter, a ".." component, a colon) is skipped.
//
// The progress callback runs only on the thread that called zCompressFiles or zExtractAll, at
// most about thirty times a second and once more when the work ends. zGetRunTimeInfo reports the
// files done and the uncompressed bytes done so far, exactly. Counts are 32 bits: a byte count
// of 2 GiB or more wraps as an unsigned 32-bit number.
//
// One archive at a time: the operations share the library's state and must not run on two
// threads at once.

#include <cstdint>

namespace ziplib {

using ProgressCallback = void (*)();

// Results. zOrderFile, zOpenZipFile and the two jobs give 0 on success and one of these otherwise.
inline constexpr int ZIP_OK = 0;
inline constexpr int ZIP_NO_ARCHIVE = 1;       // no archive started or open
inline constexpr int ZIP_BAD_NAME = 2;         // empty name, or one already queued
inline constexpr int ZIP_NOTHING_QUEUED = 3;   // no file queued: no archive is written
inline constexpr int ZIP_READ_FAILED = 4;      // a queued file cannot be read: no archive is written
inline constexpr int ZIP_WRITE_FAILED = 5;     // the archive or an unpacked file cannot be written
inline constexpr int ZIP_NOT_AN_ARCHIVE = 6;   // missing, unreadable or not a zip archive
inline constexpr int ZIP_DAMAGED_ENTRY = 7;    // an entry fails its check: that file is not written
inline constexpr int ZIP_UNSAFE_NAME = 8;      // an entry's name would leave the target: skipped
inline constexpr int ZIP_UNSUPPORTED_ENTRY = 9; // encrypted or of an unknown method: skipped

// Starts a new archive named `zipName` (it replaces a file of that name when packing succeeds)
// and clears the queue. 0, or ZIP_BAD_NAME for an empty name.
int zCreateNewZip(const char* zipName);

// Queues the file at `path` under the entry name `name` (a backslash in it becomes "/");
// `storeOnly` = 1 keeps that file uncompressed. 0 when queued; ZIP_NO_ARCHIVE without a new
// archive, ZIP_BAD_NAME for an empty name or one queued already (letter case ignored).
int zOrderFile(const char* path, const char* name, int storeOnly);

// Packs the queued files, in queue order. `level` is the deflate level 0-9 (0 stores; any other
// value means 6); `threads` the number of workers (0 or less: one per core); `storeAll` keeps
// every file uncompressed. `reservedText`, `reserved` and `reservedText2` are accepted and have no
// effect. The archive is complete (or untouched) when it returns.
int zCompressFiles(const char* reservedText, int level, int threads, bool storeAll, int reserved,
                   const char* reservedText2, ProgressCallback callback);

// Opens an archive for reading. 0, or ZIP_NOT_AN_ARCHIVE (the archive is then not open).
int zOpenZipFile(const char* zipName);

// The number of files (folders not counted) in the open archive; 0 when none is open.
int zGetTotalFiles();

// Their uncompressed size together, comparable with the bytes zGetRunTimeInfo reports.
int zGetTotalBytes();

// Unpacks every file of the open archive into `targetFolder` (a trailing backslash is allowed),
// creating the folders the entries name. `junkPaths` puts every file into the target folder
// itself; `keepExisting` leaves files that exist already as they are (by default they are
// replaced). `reserved`, `reservedFlag` and `reservedFlag2` are accepted and have no effect.
// The files that can be unpacked are unpacked even when others fail; the result is the first
// failure met, in archive order.
int zExtractAll(const char* targetFolder, int reserved, bool junkPaths, bool reservedFlag, bool keepExisting,
                bool reservedFlag2, ProgressCallback callback);

// The files done and the uncompressed bytes done of the current or last job (null addresses are
// passed over).
void zGetRunTimeInfo(std::int32_t* filesDone, std::int32_t* bytesDone);

// Ends the work on the current archive: the queue is dropped, an open archive closed. Safe to
// call when nothing is open. The counts of the last job stay.
int zCloseZipFile();

} // namespace ziplib
