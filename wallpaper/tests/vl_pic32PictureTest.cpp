// The browsing window's rules without a window: captions by colour depth over bitmaps that
// ImageMagick writes, picture keys, the start folder.

#include "vl_pic32Picture.h"

#include <vcl/Bitmap.h>
#include <vcl/Picture.h>

#include <TestSupport.h>
#include <runtime/Cp1250.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace vl_pic32;
using rtl::operator""_w;

namespace {

void sh(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

// The bitmap behind a 40-byte info header without masks (ImageMagick writes 16 and 32 bits
// only with bit fields).
std::string withoutBitFields(const std::string& b) {
    auto u32 = [&](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, b.data() + at, 4);
        return v;
    };
    const std::string pixels = b.substr(u32(10));
    std::string head(54, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(head.data() + at, &v, 4); };
    head[0] = 'B', head[1] = 'M';
    put32(2, static_cast<std::uint32_t>(54 + pixels.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, u32(18));
    put32(22, u32(22));
    head[26] = 1;
    head[28] = b[28];
    put32(34, static_cast<std::uint32_t>(pixels.size()));
    return head + pixels;
}

struct CaptionCase {
    const char* file;
    const char* options; // ImageMagick's, "" for its default; "rewrite" variants below
    bool rewrite;
    const char* caption;
};

} // namespace

TEST(Caption, FollowsTheColourDepthOfEachBitmap) {
    vltest::TempDir dir("vlpic32");
    sh("convert -size 800x600 -seed 5 plasma:fractal -alpha off " + dir.File("src.png"));
    const CaptionCase cases[] = {
        {"las.bmp", "", false, "VELT: las.bmp (800 x 600) - 24bit color"},
        {"LAS.BMP", "", false, "VELT: LAS.BMP (800 x 600) - 24bit color"},
        {"mono.bmp", "-monochrome", false, "VELT: mono.bmp (800 x 600) - 1bit color"},
        {"p16.bmp", "-colors 16 -compress None", false, "VELT: p16.bmp (800 x 600) - 4bit color"},
        {"p256.bmp", "-colors 200 -type Palette -compress None", false,
         "VELT: p256.bmp (800 x 600) - 8bit color"},
        {"rle8.bmp", "-colors 200 -type Palette -compress RLE", false,
         "VELT: rle8.bmp (800 x 600) - 8bit color"},
        {"r16.bmp", "-define bmp:subtype=RGB555", true, "VELT: r16.bmp (800 x 600) - 15bit color"},
        {"b565.bmp", "-define bmp:subtype=RGB565", false, "VELT: b565.bmp (800 x 600) - 16bit color"},
        {"b555.bmp", "-define bmp:subtype=RGB555", false, "VELT: b555.bmp (800 x 600)(custom color)"},
        {"r32.bmp", "-alpha set", true, "VELT: r32.bmp (800 x 600) - 32bit color"},
        {"b32.bmp", "-alpha set", false, "VELT: b32.bmp (800 x 600)(custom color)"},
        {"os2.bmp", "BMP2:", false, "VELT: os2.bmp (800 x 600) - 24bit color"},
        {"morze.jpg", "", false, "VELT: morze.jpg"},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir.File(c.file);
        const std::string options = c.options;
        if (options == "BMP2:")
            sh("convert " + dir.File("src.png") + " BMP2:" + path);
        else
            sh("convert " + dir.File("src.png") + " " + options + " " + path);
        if (c.rewrite)
            vltest::WriteFile(path, withoutBitFields(vltest::ReadFile(path)));
        vcl::TPicture picture;
        picture.LoadFromFile(path);
        const std::string key = PictureKey(path);
        ASSERT_TRUE(IsPictureKey(key));
        EXPECT_EQ(PictureCaption("VELT: ", path, key, picture), c.caption);
    }
}

TEST(Caption, DepthTableRowByRow) {
    struct Row {
        int bpp;
        std::uint32_t compression, green;
        const char* text;
    };
    const Row rows[] = {
        {1, 0, 0, " - 1bit color"},        {1, 3, 0, " - 1bit color"},
        {4, 2, 0, " - 4bit color"},        {8, 1, 0, " - 8bit color"},
        {16, 0, 0, " - 15bit color"},      {16, 3, 0x07E0, " - 16bit color"},
        {16, 3, 0x03E0, "(custom color)"}, {16, 1, 0x07E0, "(custom color)"},
        {24, 0, 0, " - 24bit color"},      {24, 3, 0, " - 24bit color"},
        {32, 0, 0, " - 32bit color"},      {32, 3, 0xFF00, "(custom color)"},
        {2, 0, 0, "(custom color)"},       {64, 0, 0, "(custom color)"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ColorDepthText(r.bpp, r.compression, r.green), r.text) << r.bpp << "/" << r.compression;
}

TEST(PictureKey, ExtensionUpperCasedAndCutToFour) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\a.bmp", ".BMP"},      {"C:\\LAS.BMP", ".BMP"},   {"C:\\a.bmpx", ".BMP"},
        {"C:\\a.jpeg", ".JPE"},     {"C:\\a.jpg", ".JPG"},     {"C:\\a", ""},
        {"C:\\dir.bmp\\a", ""},     {"C:\\a.tar.jpg", ".JPG"}, {"C:\\x."_w, "."},
        {"C:\\ż.żółw"_w, ".ŻÓŁ"_w}, {"C:\\a.Jpg", ".JPG"},
    };
    for (const auto& [path, key] : cases)
        EXPECT_EQ(PictureKey(path), key) << path;
    EXPECT_TRUE(IsPictureKey(".BMP"));
    EXPECT_TRUE(IsPictureKey(".JPG"));
    EXPECT_FALSE(IsPictureKey(".JPE"));
    EXPECT_FALSE(IsPictureKey(""));
}

TEST(StartFolder, TapetyThenInneThenTheProgramFolder) {
    struct Case {
        std::vector<std::string> folders, files;
        std::string start;
    };
    const Case cases[] = {
        {{"Tapety", "Inne"}, {}, "Tapety\\"},
        {{"Inne"}, {}, "Inne\\"},
        {{}, {}, ""},
        {{"Inne"}, {"Tapety"}, "Inne\\"},
        {{}, {"Tapety", "Inne"}, ""},
        {{"tapety"}, {}, "Tapety\\"}, // found without regard to letter case, as on Windows
    };
    for (const Case& c : cases) {
        vltest::TempDir dir("vlpic32start");
        for (const std::string& f : c.folders)
            sh("mkdir " + dir.File(f));
        for (const std::string& f : c.files)
            vltest::WriteFile(dir.File(f), "x");
        const std::string program = dir.Path() + "\\";
        EXPECT_EQ(StartFolder(program), program + c.start);
    }
}
