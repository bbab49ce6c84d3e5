/*
 * VL_LIB32: the utility library's exports, for host programs.
 *
 * Bind every export by its exact name (dlopen/dlsym, or link against libVL_LIB32.so).
 * On 32-bit x86 the exports use the stdcall convention; elsewhere the C convention.
 *
 * Texts
 *   - NUL-terminated text (const char*): the library reads the bytes before the first 0 byte;
 *     a null address counts as the empty text. The library never writes to an argument text.
 *   - Length-counted string (VL_LongString, used by the "De" exports): the empty string is the
 *     null address; any other value is the address of the first character of a block laid out as
 *
 *         int32_t refCount;   -1 marks a constant that is never counted or freed
 *         int32_t length;     in bytes, not counting the final 0 byte
 *         char    chars[length];
 *         char    zero;       always 0
 *
 *     so the length lies in the 4 bytes before the characters and the count in the 4 before
 *     those. Counts change by atomic increments and decrements; a block is freed when its count
 *     drops to 0.
 *
 *     BOTH SIDES ALLOCATE AND FREE THESE BLOCKS WITH THE C LIBRARY'S malloc AND free.
 *     A host makes a block with malloc(8 + length + 1); it releases the last reference to a
 *     result block that the library made with free((char*)value - 8). The library takes and
 *     releases references to the host's blocks the same way.
 *
 *   - A "De" export receives, as its first argument, the address of the caller's own string
 *     variable. It stores a counted reference (count 1) to the result there and releases the
 *     reference that the variable held before. A string argument is only read: the library
 *     takes a reference of its own for the call and gives it back before returning.
 *   - A text returned by address belongs to the library: never free it; it stays unchanged at
 *     least until the next call into the library (copy it to keep it). It is never the null
 *     address: "nothing" is the address of a single 0 byte.
 *
 * Results
 *   - Boolean (uint8_t): 1 for true, 0 for false. Only the lowest byte of the return register is
 *     defined; a caller declaring a wider type must test the low byte only.
 *   - VbUsingWinNT returns exactly 1 or 0 as a 32-bit integer.
 *
 * No export raises an exception into the host or shows a message for a failure.
 */
#ifndef VL_LIB32_H
#define VL_LIB32_H

#include <stdint.h>

#if defined(__i386__)
#define VL_LIB32_CALL __attribute__((stdcall))
#else
#define VL_LIB32_CALL
#endif

#ifdef __cplusplus
#define VL_LIB32_API extern "C" __attribute__((visibility("default")))
namespace rtl {
class TStringList;
}
/* A C++ host passes the address of its variable that refers to an rtl::TStringList (or a class
   derived from it, see <runtime/StringList.h>); the library adds through the list's own Add. */
typedef rtl::TStringList* VL_StringListRef;
#else
#define VL_LIB32_API __attribute__((visibility("default")))
typedef void* VL_StringListRef;
#endif

typedef char* VL_LongString;

/* ---- Zip and unzip ----

   Archives are standard ZIP files (deflate, ZIP64 where sizes need it). Entry names are stored in
   UTF-8 with the UTF-8 flag when not ASCII; names read back become Windows-1250 (CP437 when the
   flag is clear), "?" standing for a character Windows-1250 lacks.

   Window: on entry 1 asks for the progress window (any other value: none, and *Window is left as
   it was). The window stands at the screen's top-left corner, on top, and stays open after the
   call with the totals ("Gotowe: ..."); *Window then holds its platform handle (on X11 the
   window id of the top-level window). Esc in the window destroys it (the handle is then no
   longer valid); its close box, or a close request sent to the handle, only hides it.
   The window is a Qt widget living on the calling thread. After the call, the host's message
   loop serves it: on Linux that is the GLib main loop of the calling thread (a GTK program runs
   one; a plain C host calls g_main_context_iteration(NULL, FALSE) now and then), as Qt's objects
   run on Qt's GLib event dispatcher and the library has no thread or loop of its own. A host
   without a display (and without QT_QPA_PLATFORM) gets no window, as if it had not asked.
   Only one zip call may run at a time.

   Results: -1 when the call fails before the archive work starts; otherwise the zip library's
   result: 0 success, 1 no archive started or open, 2 a name refused, 3 nothing to pack (no
   archive is written), 4 a file to pack cannot be read and 5 the archive cannot be written (in
   both cases no archive is written and an old one of that name stays as it was), 6 not an
   archive, 7 an entry fails its check (that file is not written), 8 an entry whose name would
   leave the target folder (absolute, a drive, "..") was skipped, 9 an encrypted entry or one of
   an unknown method was skipped. The counts shown are 32 bits; byte counts of 2 GiB to 4 GiB are
   shown as such. */

/* Packs the files that SourceMask ("C:\Data\*.txt") matches into ZipName, under their names
   alone, in the order of the directory search; the archive's folder is created with its parents.
   Attributes: letters in any case (others ignored): R admits read-only files, H hidden, S system
   files, N files without the archive attribute; "" packs the files that are neither hidden,
   system nor read-only and carry the archive attribute. Hidden and system files are packed only
   when they lack the archive attribute.
   Param4: deflate level 0 (store) to 9; any other value means 6.
   Param5: 1 stores every file without compression.
   Param6: 1 stores each file without compression (handed on per file).
   Param7: worker threads; 0 or less means one per core.
   -1 when the archive's folder cannot be created (or ZipName has none) or nothing matches
   SourceMask. */
VL_LIB32_API int32_t VL_LIB32_CALL VELTZip(const char* SourceMask, const char* ZipName, const char* Attributes,
                                           int32_t Param4, int32_t Param5, int32_t Param6, int32_t Param7,
                                           int32_t* Window);
/* Unpacks every file of ZipName below DestDir (one trailing backslash or none), which is created
   with its parents; the archive's folders are made below it.
   Param4: 1 ignores the archive's folder names: every file lands in DestDir itself.
   Param5: 1 keeps files that already exist (by default they are replaced).
   Param3, Param6: accepted, no effect.
   Every file is written under a temporary name and takes its own only once it is whole and
   checked. -1 when DestDir is empty or cannot be created, or ZipName is not a readable archive. */
VL_LIB32_API int32_t VL_LIB32_CALL VELTUnZip(const char* ZipName, const char* DestDir, int32_t Param3,
                                             int32_t Param4, int32_t Param5, int32_t Param6, int32_t* Window);
/* The number of files (folders not counted) in ZipName, -1 when it is not a readable archive. */
VL_LIB32_API int32_t VL_LIB32_CALL VELTNoFilesInZip(const char* ZipName);

/* ---- Random numbers and names, Windows NT test, registry reads ---- */

/* 0 to 9998. */
VL_LIB32_API int32_t VL_LIB32_CALL DeGetRandomNum(void);
/* Four upper-case hexadecimal digits, "0000" to "270E". */
VL_LIB32_API void VL_LIB32_CALL DeGetHexRandomName(VL_LongString* result);
VL_LIB32_API const char* VL_LIB32_CALL VbGetHexRandomName(void);
/* True when the platform identifier is 2 (the NT family). */
VL_LIB32_API uint8_t VL_LIB32_CALL DeUsingWinNT(void);
VL_LIB32_API int32_t VL_LIB32_CALL VbUsingWinNT(void);
/* RootIndex 0..6: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
   HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA; any other value (taken unsigned)
   HKEY_CURRENT_USER. KeyPath below the root (a leading backslash is ignored; empty = the root),
   ValueName empty = the default value. A REG_SZ or REG_EXPAND_SZ value up to its first 0 byte,
   unexpanded; a missing key or value, a value of another type or an unreadable one gives the
   empty string. Nothing is ever created or written. */
VL_LIB32_API void VL_LIB32_CALL DeGetRegistryStrValue(VL_LongString* result, int32_t RootIndex,
                                                      VL_LongString KeyPath, VL_LongString ValueName);
VL_LIB32_API const char* VL_LIB32_CALL VbGetRegistryStrValue(int32_t RootIndex, const char* KeyPath,
                                                             const char* ValueName);

/* ---- MD5 ---- */

/* 32 lower-case hexadecimal digits of the MD5 digest of all Text's bytes (0 bytes included). */
VL_LIB32_API void VL_LIB32_CALL DeMD5String(VL_LongString* result, VL_LongString Text);
/* Writes the 32 digits and a 0 byte (exactly 33 bytes) into Buffer and returns 1; for an empty
   or null Text returns 0 and leaves Buffer untouched. */
VL_LIB32_API uint8_t VL_LIB32_CALL VbMD5String(const char* Text, char* Buffer);

/* ---- File search ---- */

/* Adds to *List the path ("Dir\name") of every file matching Mask in Dir and below it,
   depth-first: a folder's files first, then each subfolder's whole listing in turn. Folders whose
   names begin with "." are not entered. An empty or null Dir finds nothing. */
VL_LIB32_API void VL_LIB32_CALL FindFiles(VL_StringListRef* List, const char* Dir, const char* Mask);
/* The first path FindFiles would list, or "" when there is none. */
VL_LIB32_API const char* VL_LIB32_CALL FindFirstFile(const char* Dir, const char* Mask);

/* ---- Folder dialogs ----

   Each dialog is a modal window of the calling thread: while it is open, the thread's other
   visible and enabled top-level windows are disabled; they are enabled again when it closes.
   The dialog is gone when the export returns. Without a display (and without QT_QPA_PLATFORM)
   no dialog can be shown and the call returns as if cancelled. */

/* The folder browser "Browse for Folder": Caption above a tree whose one top item is the folder
   Root (a full path, "C:\Data"), or the drives of the drive table when Root is empty or names
   no folder. Only folders are listed. The chosen folder ("C:\Data\Out") in the 260-byte result
   buffer, or "" when cancelled. */
VL_LIB32_API const char* VL_LIB32_CALL SelectFolder(const char* Caption, const char* Root);
/* The same browser; the chosen folder and a 0 byte (at most 260 bytes) are written to Buffer and
   the result is 1. Cancelled: 0, and Buffer is not touched. */
VL_LIB32_API uint8_t VL_LIB32_CALL SelectFolderVB(const char* Caption, const char* Root, char* Buffer);
/* The dialog "Select Directory", starting in InitialDir (relative to the current folder; a
   folder that cannot be opened leaves it at the current folder, or the root of the drive it
   names). Every folder the dialog opens becomes the process's current folder, and stays so
   after the call. "OK" on a folder that does not exist asks to create it ("&No" goes back to
   the dialog). The folder as shown or typed, created with its missing parents, in the result
   buffer; "" when cancelled. */
VL_LIB32_API const char* VL_LIB32_CALL SelectFolderExt(const char* InitialDir);

/* ---- File dialogs ----

   Modal windows of the library's own toolkit (Qt widgets on the calling thread, which must be
   the thread of the host's Qt application when it has one): while one is open the thread's
   other top-level windows are disabled, and they are enabled again when it closes. Each dialog
   is taken down before the export returns. The result is the chosen file's full path in
   Windows form ("C:\Dane\plik.txt", at most 259 characters), or "" when the user cancelled or
   no window can be shown (no display and no QT_QPA_PLATFORM). After a choice the process's
   current folder is the chosen file's folder; while a dialog is open it follows the folder list.
   A typed name is taken against the open folder; a name with "*" or "?" sets the file list's
   mask instead, and a folder's name opens that folder. */

/* Title: the window title ("" gives "Open"). Filter: "Description|mask|..." with ";" between the
   masks of one entry, the first entry selected ("" lists all files). InitialDir: the start folder
   ("" or one that cannot be opened: the current folder). The file need not exist. */
VL_LIB32_API const char* VL_LIB32_CALL SelectFileOpen(const char* Title, const char* Filter, const char* InitialDir);
/* Title ("" gives "Save As"), FileName: the proposed name (with a folder, that folder opens),
   InitialDir as above. Choosing an existing file asks "... already exists. Do you want to replace
   it?"; "No" keeps the dialog open. Nothing is written. */
VL_LIB32_API const char* VL_LIB32_CALL SelectFileSaveAs(const char* Title, const char* FileName,
                                                        const char* InitialDir);
/* The open dialog ("Open") with a preview panel; the filter lists All (*.bmp;*.ico;*.emf;*.wmf),
   Bitmaps (*.bmp), Icons (*.ico), Enhanced Metafiles (*.emf) and Metafiles (*.wmf). Bitmaps and
   icons show in the preview; metafiles are listed but show as no picture on Linux. */
VL_LIB32_API const char* VL_LIB32_CALL SelectImageFile(const char* InitialDir);

/* ---- Forced copy, folders and path parts ---- */

/* Copies Source to Dest, creating Dest's folder with its missing parents first; a file in the
   LZ-compressed "SZDD" format is expanded, any other copied byte for byte. The number of bytes
   written, or a negative error code: a negated platform error code of the open that failed
   (-2 a missing file, -3 a missing path, -5 denied access) or an LZ error (-1 to -8). When Source
   and Dest name the same file (also through another spelling, letter case or a link) nothing is
   written and the result is the file's size. */
VL_LIB32_API int32_t VL_LIB32_CALL ForceCopyFile(const char* Source, const char* Dest);
/* -1 the folder already exists, 0 it was created with its missing parents, -2 it was not. */
VL_LIB32_API int32_t VL_LIB32_CALL ForceCreateDir(const char* Dir);
/* The folder part ("C:\Data" of "C:\Data\file.txt"; a drive root keeps its backslash) and the
   file-name part of Path, in the library's 260-byte result buffer, which both share with the
   folder dialogs. Mode above 0 splits Path as given; otherwise its short form, which is Path
   itself when it exists (no 8.3 names on Linux) and empty when it does not. A part longer than
   259 characters gives the empty text. */
VL_LIB32_API const char* VL_LIB32_CALL GetLongPath(const char* Path, int32_t Mode);
VL_LIB32_API const char* VL_LIB32_CALL GetLongName(const char* Path, int32_t Mode);

#endif
