// The glyphs and the icon built into the program are bitmaps the toolkit loads, of the sizes
// the buttons and the window take, with the background colour in the bottom-left corner.

#include "vl_new32Glyphs.h"

#include <vcl/Bitmap.h>

#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(Glyphs, EachLoadsAsABitmapOfItsSize) {
    struct Case {
        const char* name;
        const unsigned char* data;
        std::size_t size;
        int side;
    } cases[] = {
        {"Sprawdz", VL_NEW32::SprawdzBmp, VL_NEW32::SprawdzBmpSize, 16},
        {"Koniec", VL_NEW32::KoniecBmp, VL_NEW32::KoniecBmpSize, 16},
        {"ProgramOld", VL_NEW32::ProgramOldBmp, VL_NEW32::ProgramOldBmpSize, 16},
        {"ProgramAkt", VL_NEW32::ProgramAktBmp, VL_NEW32::ProgramAktBmpSize, 16},
        {"VL_NEW32", VL_NEW32::VL_NEW32Bmp, VL_NEW32::VL_NEW32BmpSize, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vcl::TBitmap bmp;
        bmp.LoadFromMemory(c.data, c.size);
        EXPECT_EQ(bmp.Width(), c.side);
        EXPECT_EQ(bmp.Height(), c.side);
        EXPECT_EQ(bmp.BitsPerPixel(), 24);
        EXPECT_EQ(bmp.Image().pixel(0, c.side - 1) & 0xFFFFFF, 0xC0C0C0u);
        // Something is drawn on the background.
        int drawn = 0;
        for (int y = 0; y < c.side; ++y)
            for (int x = 0; x < c.side; ++x)
                drawn += (bmp.Image().pixel(x, y) & 0xFFFFFF) != 0xC0C0C0u;
        EXPECT_GT(drawn, c.side * c.side / 4);
    }
}

} // namespace
