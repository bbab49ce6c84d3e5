#pragma once

// The LZ-expansion file functions: open files by name with an open-file record that receives the
// platform's error code, and copy one open file into another, expanding files in the
// LZ-compressed "SZDD" format (as Debian's mscompress and the platform's COMPRESS write them)
// and copying any other file byte for byte.

#include <windows/Windows.h>

#include <cstdint>

namespace win {

using INT = int;
using WORD = std::uint16_t;

inline constexpr WORD OF_READ = 0x0000, OF_WRITE = 0x0001, OF_READWRITE = 0x0002, OF_CREATE = 0x1000,
                      OF_EXIST = 0x4000;
inline constexpr int OFS_MAXPATHNAME = 128;

// The open-file record: on failure nErrCode holds the platform's error code (ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED...), on success 0; szPathName the file's full path, cut to
// 127 characters.
struct OFSTRUCT {
    BYTE cBytes = sizeof(OFSTRUCT);
    BYTE fFixedDisk = 0;
    WORD nErrCode = 0;
    WORD Reserved1 = 0;
    WORD Reserved2 = 0;
    char szPathName[OFS_MAXPATHNAME] = {};
};

inline constexpr INT LZERROR_BADINHANDLE = -1, LZERROR_BADOUTHANDLE = -2, LZERROR_READ = -3,
                     LZERROR_WRITE = -4, LZERROR_GLOBALLOC = -5, LZERROR_GLOBLOCK = -6, LZERROR_BADVALUE = -7,
                     LZERROR_UNKNOWNALG = -8;

// Opens `fileName` as `style` asks: OF_EXIST tests that it can be opened and closes it again
// (the result is no handle to use), OF_CREATE creates the file or empties an existing one for
// writing, OF_READ opens it for reading and recognises the compressed format. A handle (0 or
// more) on success; on failure a negative value with the error code in the record:
// LZERROR_BADINHANDLE when the file cannot be opened, LZERROR_UNKNOWNALG for a compressed file
// of an unknown method, LZERROR_READ for a compressed file whose header is cut short.
INT LZOpenFileA(const char* fileName, OFSTRUCT* reOpenBuff, WORD style);

// Copies what is left of `source` into `dest`, expanded when the source is compressed. The number
// of bytes written (at most 2^31 - 1 is reported), or an LZERROR_ code: a handle that is not
// open, a read or a write that fails, compressed data that is damaged or cut short (LZERROR_READ).
LONG LZCopy(INT source, INT dest);

void LZClose(INT file);

} // namespace win
