// Pictures: bitmaps in every depth, compression and header version, decoded pixel for pixel as
// ImageMagick decodes them; damaged files; the choice of decoder by extension; shared copies;
// the image control's drawing and click.

#include <vcl/Application.h>
#include <vcl/Bitmap.h>
#include <vcl/Form.h>
#include <vcl/GraphicErrors.h>
#include <vcl/Image.h>
#include <vcl/JPEGImage.h>
#include <vcl/Picture.h>
#include <vcl/testing/UserInput.h>

#include <TestSupport.h>

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

using namespace vcl;

namespace {

// Runs a shell command (ImageMagick); its standard output.
std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int rc = ::pclose(p);
    if (status)
        *status = rc;
    return out;
}

std::uint32_t u32(const std::string& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
void put32(std::string& b, std::size_t at, std::uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}
void put16(std::string& b, std::size_t at, std::uint16_t v) {
    std::memcpy(b.data() + at, &v, 2);
}

// A file with a 40-byte info header (and three masks when given) in front of `pixels`.
std::string infoBitmap(std::int32_t width, std::int32_t height, int bpp, std::uint32_t compression,
                       const std::string& palette, const std::string& pixels,
                       const std::uint32_t* masks = nullptr) {
    const std::size_t masksSize = masks ? 12 : 0;
    const std::size_t offset = 14 + 40 + masksSize + palette.size();
    std::string f(offset, '\0');
    f[0] = 'B', f[1] = 'M';
    put32(f, 2, static_cast<std::uint32_t>(offset + pixels.size()));
    put32(f, 10, static_cast<std::uint32_t>(offset));
    put32(f, 14, 40);
    put32(f, 18, static_cast<std::uint32_t>(width));
    put32(f, 22, static_cast<std::uint32_t>(height));
    put16(f, 26, 1);
    put16(f, 28, static_cast<std::uint16_t>(bpp));
    put32(f, 30, compression);
    put32(f, 34, static_cast<std::uint32_t>(pixels.size()));
    put32(f, 46, static_cast<std::uint32_t>(palette.size() / 4));
    if (masks)
        for (int i = 0; i < 3; ++i)
            put32(f, 54 + 4 * i, masks[i]);
    std::memcpy(f.data() + 14 + 40 + masksSize, palette.data(), palette.size());
    return f + pixels;
}

struct Parsed {
    std::int32_t width, height;
    int bpp;
    std::string palette, pixels;
};
Parsed parse(const std::string& f) {
    Parsed p;
    const std::uint32_t off = u32(f, 10), hs = u32(f, 14);
    p.width = static_cast<std::int32_t>(u32(f, 18));
    p.height = static_cast<std::int32_t>(u32(f, 22));
    p.bpp = static_cast<unsigned char>(f[28]) | static_cast<unsigned char>(f[29]) << 8;
    const std::uint32_t paletteStart = 14 + hs + (u32(f, 30) == 3 && hs == 40 ? 12 : 0);
    p.palette = f.substr(paletteStart, off - paletteStart);
    p.pixels = f.substr(off);
    return p;
}

// A 4-bit bitmap run-length coded: each row starts in absolute mode, the rest in runs of pairs.
std::string rle4(const std::string& bitmap4) {
    const Parsed p = parse(bitmap4);
    const std::size_t rowBytes = (static_cast<std::size_t>(p.width) * 4 + 31) / 32 * 4;
    auto nibble = [&](int y, int x) {
        const unsigned char b = static_cast<unsigned char>(p.pixels[y * rowBytes + x / 2]);
        return x % 2 ? b & 0x0f : b >> 4;
    };
    std::string out;
    for (int y = 0; y < p.height; ++y) {
        int x = 0;
        const int absolute = std::min(p.width, 12);
        if (absolute >= 3) {
            out += '\0';
            out += static_cast<char>(absolute);
            std::string bytes;
            for (int i = 0; i < absolute; i += 2)
                bytes += static_cast<char>(nibble(y, i) << 4 | (i + 1 < absolute ? nibble(y, i + 1) : 0));
            if (bytes.size() % 2)
                bytes += '\0';
            out += bytes;
            x = absolute;
        }
        for (; x < p.width; x += 2) {
            const int n = std::min(2, p.width - x);
            out += static_cast<char>(n);
            out += static_cast<char>(nibble(y, x) << 4 | (n == 2 ? nibble(y, x + 1) : 0));
        }
        out += std::string("\0\0", 2);
    }
    out += std::string("\0\1", 2);
    return infoBitmap(p.width, p.height, 4, 2, p.palette, out);
}

// The bitmap rewritten behind a 40-byte header without masks; optionally each pixel's fourth
// byte cleared (as a 32-bit bitmap written by Windows holds it).
std::string withoutBitFields(const std::string& bitmap, bool clearFourthByte) {
    Parsed p = parse(bitmap);
    if (clearFourthByte)
        for (std::size_t i = 3; i < p.pixels.size(); i += 4)
            p.pixels[i] = 0;
    return infoBitmap(p.width, p.height, p.bpp, 0, "", p.pixels);
}

// 32-bit pixels with ten bits a colour, from an 8-bit-a-colour 32-bit bitmap.
std::string tenBitFields(const std::string& bitmap32) {
    const Parsed p = parse(bitmap32);
    std::string pixels;
    for (std::size_t i = 0; i + 3 < p.pixels.size(); i += 4) {
        auto c = [&](std::size_t k) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(p.pixels[i + k])) * 1023 / 255;
        };
        std::string px(4, '\0');
        put32(px, 0, c(2) << 20 | c(1) << 10 | c(0));
        pixels += px;
    }
    const std::uint32_t masks[] = {0x3ff00000, 0x000ffc00, 0x000003ff};
    return infoBitmap(p.width, p.height, 32, 3, "", pixels, masks);
}

// The same picture stored top-down.
std::string topDown(const std::string& bitmap24) {
    const Parsed p = parse(bitmap24);
    const std::size_t rowBytes = (static_cast<std::size_t>(p.width) * 24 + 31) / 32 * 4;
    std::string flipped;
    for (int y = p.height - 1; y >= 0; --y)
        flipped += p.pixels.substr(y * rowBytes, rowBytes);
    return infoBitmap(p.width, -p.height, 24, 0, "", flipped);
}

class PictureFiles {
  public:
    PictureFiles() : dir("vlpic") {
        // Plasma gives every colour level; the odd width pads each row.
        sh("convert -size 67x41 -seed 7 plasma:fractal -fill yellow -draw 'circle 30,20 36,26' -alpha off " +
           file("src.png"));
        sh("convert -size 67x41 -seed 7 plasma:fractal \\( -size 67x41 gradient:white-black \\) -alpha off "
           "-compose copy_opacity -composite " +
           file("srca.png"));
    }
    std::string file(const std::string& name) const { return dir.File(name); }
    void sh(const std::string& command) const {
        int status = 0;
        run(command + " 2>&1", &status);
        ASSERT_EQ(status, 0) << command;
    }
    std::string read(const std::string& name) const { return vltest::ReadFile(file(name)); }
    void write(const std::string& name, const std::string& bytes) const {
        vltest::WriteFile(file(name), bytes);
    }

    vltest::TempDir dir;
};

PictureFiles& files() {
    static PictureFiles f;
    return f;
}

// ImageMagick's decoding of a file, 8-bit RGBA, top row first.
std::string imageMagickPixels(const std::string& path) {
    return run("convert '" + path + "' -depth 8 rgba:- 2>/dev/null");
}

// Where the decoded picture differs from ImageMagick's ("" when nowhere).
std::string differenceFromImageMagick(const QImage& ours, const std::string& path) {
    const std::string theirs = imageMagickPixels(path);
    const QImage rgba = ours.convertToFormat(QImage::Format_RGBA8888);
    const std::size_t row = static_cast<std::size_t>(rgba.width()) * 4;
    if (theirs.size() != row * static_cast<std::size_t>(rgba.height()))
        return "ImageMagick gave " + std::to_string(theirs.size()) + " bytes";
    int count = 0;
    std::string first;
    for (int y = 0; y < rgba.height(); ++y)
        for (std::size_t i = 0; i < row; ++i) {
            const int a = static_cast<unsigned char>(theirs[y * row + i]), b = rgba.constScanLine(y)[i];
            if (a != b && count++ == 0)
                first = "pixel " + std::to_string(i / 4) + "," + std::to_string(y) + " channel " +
                        std::to_string(i % 4) + ": ImageMagick " + std::to_string(a) + ", ours " +
                        std::to_string(b);
        }
    return count ? std::to_string(count) + " differences, first at " + first : "";
}

struct DepthCase {
    const char* name;
    // Makes the file `name`.bmp from the sources.
    std::function<void(const PictureFiles&, const std::string& path)> make;
    int bitsPerPixel;
    std::uint32_t compression, greenMask, headerSize;
};

void imageMagick(const PictureFiles& f, const std::string& path, const std::string& options,
                 const char* source = "src.png", const char* prefix = "") {
    f.sh("convert " + f.file(source) + " " + options + " " + prefix + path);
}
std::function<void(const PictureFiles&, const std::string&)>
written(std::string options, const char* source = "src.png", const char* prefix = "") {
    return [=](const PictureFiles& f, const std::string& path) {
        imageMagick(f, path, options, source, prefix);
    };
}
std::function<void(const PictureFiles&, const std::string&)>
rewritten(std::string options, const char* source, std::function<std::string(const std::string&)> change) {
    return [=](const PictureFiles& f, const std::string& path) {
        imageMagick(f, path + ".im.bmp", options, source);
        vltest::WriteFile(path, change(vltest::ReadFile(path + ".im.bmp")));
    };
}

const DepthCase depthCases[] = {
    {"monochrome", written("-monochrome -compress None"), 1, BI_RGB, 0, 108},
    {"palette16", written("-colors 16 -compress None"), 4, BI_RGB, 0, 124},
    {"palette256", written("-colors 200 -type Palette -compress None"), 8, BI_RGB, 0, 124},
    {"rle8", written("-colors 200 -type Palette -compress RLE"), 8, BI_RLE8, 0, 124},
    {"rle4", rewritten("-colors 16 -compress None", "src.png", rle4), 4, BI_RLE4, 0, 40},
    {"rgb555",
     rewritten("-define bmp:subtype=RGB555", "src.png",
               [](const std::string& b) { return withoutBitFields(b, false); }),
     16, BI_RGB, 0, 40},
    {"bitfields565", written("-define bmp:subtype=RGB565"), 16, BI_BITFIELDS, 0x07E0, 124},
    {"bitfields555", written("-define bmp:subtype=RGB555"), 16, BI_BITFIELDS, 0x03E0, 124},
    {"rgb24", written(""), 24, BI_RGB, 0, 124},
    {"info24", written("", "src.png", "BMP3:"), 24, BI_RGB, 0, 40},
    {"bitfields32", written("-alpha set", "srca.png"), 32, BI_BITFIELDS, 0xFF00, 124},
    {"rgb32",
     rewritten("-alpha set", "src.png", [](const std::string& b) { return withoutBitFields(b, true); }), 32,
     BI_RGB, 0, 40},
    {"tenbit32", rewritten("-alpha set", "src.png", tenBitFields), 32, BI_BITFIELDS, 0x000ffc00, 40},
    {"topdown24",
     rewritten("", "src.png", [](const std::string& b) { return topDown(withoutBitFields(b, false)); }), 24,
     BI_RGB, 0, 40},
};

} // namespace

TEST(BitmapDepths, DecodeAsImageMagickDoesAndKeepTheHeaderFacts) {
    const PictureFiles& f = files();
    for (const DepthCase& c : depthCases) {
        SCOPED_TRACE(c.name);
        const std::string path = f.file(std::string(c.name) + ".bmp");
        c.make(f, path);
        TBitmap bitmap;
        ASSERT_NO_THROW(bitmap.LoadFromFile(path));
        EXPECT_EQ(bitmap.Width(), 67);
        EXPECT_EQ(bitmap.Height(), 41);
        EXPECT_EQ(bitmap.BitsPerPixel(), c.bitsPerPixel);
        EXPECT_EQ(bitmap.Compression(), c.compression);
        EXPECT_EQ(bitmap.GreenMask(), c.greenMask);
        EXPECT_EQ(bitmap.Header().headerSize, c.headerSize);
        EXPECT_EQ(differenceFromImageMagick(bitmap.Image(), path), "");
    }
}

TEST(BitmapDepths, OS2CoreHeaders) {
    const PictureFiles& f = files();
    for (auto [name, options, bpp] : {std::tuple{"os2_24", "", 24},
                                      {"os2_4", "-colors 16", 4},
                                      {"os2_8", "-colors 200 -type Palette", 8}}) {
        SCOPED_TRACE(name);
        const std::string path = f.file(std::string(name) + ".bmp");
        f.sh("convert " + f.file("src.png") + " " + options + " -compress None BMP2:" + path);
        TBitmap bitmap;
        ASSERT_NO_THROW(bitmap.LoadFromFile(path));
        EXPECT_EQ(bitmap.Header().headerSize, 12u);
        EXPECT_EQ(bitmap.BitsPerPixel(), bpp);
        EXPECT_EQ(differenceFromImageMagick(bitmap.Image(), path), "");
    }
}

TEST(BitmapDepths, TheFourthByteOfA32BitPixelWithoutBitFieldsIsNoAlpha) {
    const PictureFiles& f = files();
    const std::string im = f.file("alpha.im.bmp");
    imageMagick(f, im, "-alpha set", "srca.png");
    const std::string bytes = withoutBitFields(vltest::ReadFile(im), false);
    TBitmap bitmap;
    bitmap.LoadFromMemory(bytes.data(), bytes.size());
    EXPECT_FALSE(bitmap.Image().hasAlphaChannel());
    EXPECT_EQ(qAlpha(bitmap.Image().pixel(0, 40)), 255);
}

namespace {
struct DamageCase {
    const char* name;
    std::function<void(std::string&)> damage;
};
} // namespace

TEST(BitmapDamage, EveryDamagedFileIsNotValid) {
    const PictureFiles& f = files();
    const std::string path = f.file("good24.bmp");
    imageMagick(f, path, "", "src.png");
    const std::string good = withoutBitFields(vltest::ReadFile(path), false);
    const DamageCase cases[] = {
        {"empty", [](std::string& b) { b.clear(); }},
        {"signature only", [](std::string& b) { b.resize(2); }},
        {"header cut", [](std::string& b) { b.resize(30); }},
        {"pixels cut", [](std::string& b) { b.resize(b.size() - 100); }},
        {"last byte missing", [](std::string& b) { b.pop_back(); }},
        {"not BM", [](std::string& b) { b[0] = 'X'; }},
        {"pixel offset beyond the file", [](std::string& b) { put32(b, 10, 0x7fffffff); }},
        {"pixel offset inside the header", [](std::string& b) { put32(b, 10, 20); }},
        {"header size 20", [](std::string& b) { put32(b, 14, 20); }},
        {"header size huge", [](std::string& b) { put32(b, 14, 0xfffffff0); }},
        {"width zero", [](std::string& b) { put32(b, 18, 0); }},
        {"width negative", [](std::string& b) { put32(b, 18, 0xffffff00); }},
        {"height zero", [](std::string& b) { put32(b, 22, 0); }},
        {"height most negative", [](std::string& b) { put32(b, 22, 0x80000000); }},
        {"absurd dimensions", [](std::string& b) { put32(b, 18, 0x7fffffff), put32(b, 22, 0x7fffffff); }},
        {"rows beyond the file", [](std::string& b) { put32(b, 22, 100000); }},
        {"two planes", [](std::string& b) { put16(b, 26, 2); }},
        {"7 bits a pixel", [](std::string& b) { put16(b, 28, 7); }},
        {"RLE8 at 24 bits", [](std::string& b) { put32(b, 30, BI_RLE8); }},
        {"bit fields at 24 bits", [](std::string& b) { put32(b, 30, BI_BITFIELDS); }},
        {"embedded JPEG", [](std::string& b) { put32(b, 30, 4); }},
        {"palette of 1000 colours", [](std::string& b) { put16(b, 28, 8), put32(b, 46, 1000); }},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = good;
        c.damage(bytes);
        TBitmap bitmap;
        try {
            bitmap.LoadFromMemory(bytes.data(), bytes.size());
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Bitmap image is not valid");
        }
        EXPECT_TRUE(bitmap.Empty());
        // The same through a file.
        f.write("damaged.bmp", bytes);
        TPicture picture;
        EXPECT_THROW(picture.LoadFromFile(f.file("damaged.bmp")), EInvalidGraphic);
    }
}

TEST(BitmapDamage, RunLengthBitmapsStoredTopDownAreNotValid) {
    const PictureFiles& f = files();
    const std::string path = f.file("rle8td.bmp");
    imageMagick(f, path, "-colors 200 -type Palette -compress RLE");
    std::string bytes = vltest::ReadFile(path);
    put32(bytes, 22, static_cast<std::uint32_t>(-41));
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromMemory(bytes.data(), bytes.size()), EInvalidGraphic);
}

TEST(PictureLoading, TheExtensionChoosesTheDecoder) {
    const PictureFiles& f = files();
    f.sh("convert " + f.file("src.png") + " " + f.file("LAS.BMP"));
    f.sh("convert " + f.file("src.png") + " " + f.file("las.jpg"));
    f.sh("cp " + f.file("LAS.BMP") + " " + f.file("a.bmpx"));
    f.sh("convert " + f.file("src.png") + " -define icon:auto-resize=16,48,32 " + f.file("app.ico"));
    f.write("bad.jpg", "not a picture at all");
    f.write("noext", "x");

    TPicture picture;
    picture.LoadFromFile(f.file("LAS.BMP"));
    ASSERT_NE(picture.Bitmap(), nullptr);
    EXPECT_EQ(picture.Width(), 67);
    EXPECT_EQ(picture.Bitmap()->BitsPerPixel(), 24);

    picture.LoadFromFile(f.file("las.jpg"));
    EXPECT_EQ(picture.Bitmap(), nullptr);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 67);
    EXPECT_EQ(picture.Height(), 41);

    picture.LoadFromFile(f.file("app.ico"));
    EXPECT_EQ(picture.Width(), 48);

    struct Failure {
        std::string file, message;
    };
    const std::string missing = f.file("missing.bmp");
    const Failure failures[] = {
        {f.file("a.bmpx"), "Unknown picture file extension (.bmpx)"},
        {f.file("noext"), "Unknown picture file extension (.)"},
        {f.file("a.jpeg"), "Unknown picture file extension (.jpeg)"},
        {missing, "Cannot open file " + missing},
        {f.dir.Path() + "/nofolder/x.jpg", "Cannot open file " + f.dir.Path() + "/nofolder/x.jpg"},
        {f.file("bad.jpg"), "JPEG error: "},
    };
    for (const Failure& c : failures) {
        SCOPED_TRACE(c.file);
        try {
            picture.LoadFromFile(c.file);
            ADD_FAILURE() << "loaded";
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(e.Message().substr(0, c.message.size()), c.message);
            if (c.message.starts_with("Cannot"))
                EXPECT_NE(dynamic_cast<const EFOpenError*>(&e), nullptr);
            else
                EXPECT_NE(dynamic_cast<const EInvalidGraphic*>(&e), nullptr);
        }
        // A failed load keeps the picture held before.
        EXPECT_EQ(picture.Width(), 48);
    }
}

TEST(PictureLoading, AWindowsPathReachesTheFile) {
    const PictureFiles& f = files();
    f.sh("convert " + f.file("src.png") + " " + f.file("win.bmp"));
    std::string windows = "C:" + f.file("win.bmp");
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    TPicture picture;
    picture.LoadFromFile(windows);
    EXPECT_EQ(picture.Width(), 67);
}

TEST(PictureLoading, ACopySharesThePixelsAndAnEmptySourceClears) {
    const PictureFiles& f = files();
    f.sh("convert " + f.file("src.png") + " " + f.file("share.jpg"));
    TPicture a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    a.LoadFromFile(f.file("share.jpg"));
    b.Assign(&a);
    ASSERT_NE(b.Graphic(), nullptr);
    EXPECT_NE(b.Graphic(), a.Graphic());
    EXPECT_EQ(b.Graphic()->Image().constBits(), a.Graphic()->Image().constBits());
    EXPECT_EQ(changes, 1);
    TPicture empty;
    b.Assign(&empty);
    EXPECT_EQ(b.Graphic(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(a.Width(), 67);
}

namespace {
// Smooth scaling blends neighbours a little even in the middle of a cell.
bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8 &&
           std::abs(qBlue(a) - qBlue(b)) <= 8;
}

class ImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 200, 150);
        form->SetColor(clBtnFace);
        image = new TImage(form);
        image->SetBounds(10, 10, 60, 40);
        const PictureFiles& f = files();
        // 4 x 2 pixels: red, green, blue, white over black, white, black, red.
        f.sh("convert -size 1x1 xc:red xc:lime xc:blue xc:white +append \\( -size 1x1 xc:black xc:white "
             "xc:black xc:red "
             "+append \\) -append " +
             f.file("tiny.bmp"));
        tiny.LoadFromFile(f.file("tiny.bmp"));
    }
    void TearDown() override {
        form->Free();
        Application->ResetForTesting();
    }
    QImage shot() { return image->Widget()->grab().toImage(); }

    TForm* form = nullptr;
    TImage* image = nullptr;
    TPicture tiny;
};
} // namespace

TEST_F(ImageTest, NaturalSizeFromTheTopLeftStretchFillsAndEmptyClears) {
    form->Show();
    const QRgb face = shot().pixel(30, 30);
    image->SetPicture(tiny);
    QImage s = shot();
    EXPECT_EQ(s.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(s.pixel(3, 0), qRgb(255, 255, 255));
    EXPECT_EQ(s.pixel(3, 1), qRgb(255, 0, 0));
    EXPECT_EQ(s.pixel(4, 0), face);
    EXPECT_EQ(s.pixel(30, 30), face);

    image->SetStretch(true);
    s = shot();
    // Each source pixel covers 15 x 20; the middle of each cell keeps its colour.
    for (auto [x, y, colour] : {std::tuple{7, 10, qRgb(255, 0, 0)},
                                {37, 10, qRgb(0, 0, 255)},
                                {52, 30, qRgb(255, 0, 0)},
                                {22, 30, qRgb(255, 255, 255)},
                                {59, 39, qRgb(255, 0, 0)}})
        EXPECT_TRUE(near(s.pixel(x, y), colour)) << x << "," << y << ": " << std::hex << s.pixel(x, y);

    TPicture empty;
    image->SetPicture(empty);
    EXPECT_EQ(image->Picture().Width(), 0);
    s = shot();
    EXPECT_EQ(s.pixel(7, 10), face);
}

TEST_F(ImageTest, APictureLargerThanTheControlIsCut) {
    const PictureFiles& f = files();
    f.sh("convert " + f.file("src.png") + " " + f.file("big.bmp"));
    image->Picture().LoadFromFile(f.file("big.bmp"));
    form->Show();
    const QImage s = shot();
    const QImage& picture = image->Picture().Graphic()->Image();
    EXPECT_EQ(s.size(), QSize(60, 40));
    for (auto [x, y] : {std::pair{0, 0}, {59, 0}, {0, 39}, {59, 39}, {31, 17}})
        EXPECT_EQ(s.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
}

TEST_F(ImageTest, AClickRaisesOnClick) {
    int clicks = 0;
    image->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, image);
        ++clicks;
    };
    image->SetPicture(tiny);
    ASSERT_TRUE(vcl::testing::ShowAndWait(*form));
    vcl::testing::ClickAt(*image, 2, 1);
    vcl::testing::ClickAt(*image, 50, 35); // where the picture does not reach
    EXPECT_EQ(clicks, 2);
}
