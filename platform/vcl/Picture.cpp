#include <vcl/Picture.h>

#include <vcl/Bitmap.h>
#include <vcl/GraphicErrors.h>
#include <vcl/Icon.h>
#include <vcl/JPEGImage.h>

#include <runtime/SysUtils.h>

namespace vcl {

namespace {
// The text after the last dot of the file's name, as written; empty without a dot.
std::string extensionOf(const std::string& fileName) {
    const std::size_t nameStart = fileName.find_last_of("\\/:");
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart))
        return {};
    return fileName.substr(dot + 1);
}
} // namespace

TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const std::string& fileName) {
    const std::string ext = extensionOf(fileName);
    const std::string key = rtl::LowerCase(ext);
    std::unique_ptr<TGraphic> graphic;
    if (key == "bmp")
        graphic = std::make_unique<TBitmap>();
    else if (key == "jpg")
        graphic = std::make_unique<TJPEGImage>();
    else if (key == "ico")
        graphic = std::make_unique<TIcon>();
    else
        throw EInvalidGraphic(rtl::Format("Unknown picture file extension (.%s)", {ext}));
    graphic->LoadFromFile(fileName);
    m_graphic = std::move(graphic);
    changed();
}

void TPicture::Assign(const TPicture* source) {
    if (source == this)
        return;
    if (source && source->m_graphic && !source->m_graphic->Empty())
        m_graphic = source->m_graphic->Clone();
    else
        m_graphic.reset();
    changed();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    m_graphic = std::move(graphic);
    changed();
}

TBitmap* TPicture::Bitmap() const {
    return dynamic_cast<TBitmap*>(m_graphic.get());
}

void TPicture::changed() {
    if (OnChange)
        OnChange(this);
}

} // namespace vcl
