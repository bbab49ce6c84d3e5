#pragma once

// The bitmaps of the window's speed buttons and its icon (update/res), built into the program
// as the bytes of whole bitmap files.

#include <cstddef>

namespace VL_NEW32 {

extern const unsigned char SprawdzBmp[]; // "&Sprawdź": a magnifying glass over a sheet
extern const std::size_t SprawdzBmpSize;
extern const unsigned char KoniecBmp[]; // "&Koniec": a door with an arrow leading out
extern const std::size_t KoniecBmpSize;
extern const unsigned char ProgramOldBmp[]; // update recommended: a warning triangle
extern const std::size_t ProgramOldBmpSize;
extern const unsigned char ProgramAktBmp[]; // no update needed: a green tick
extern const std::size_t ProgramAktBmpSize;
extern const unsigned char VL_NEW32Bmp[]; // the window's icon, 32 x 32
extern const std::size_t VL_NEW32BmpSize;

} // namespace VL_NEW32
