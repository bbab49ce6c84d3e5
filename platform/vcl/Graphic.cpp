#include <vcl/Graphic.h>

#include "PictureFile.h"
#include <vcl/GraphicErrors.h>

#include <runtime/SysUtils.h>
#include <windows/Windows.h>

#include <QFileInfo>
#include <QImage>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vcl {

namespace detail {
std::unique_ptr<QFile> openPictureFile(const std::string& fileName) {
    const std::string host = win::HostPath(fileName);
    auto fail = [&](win::DWORD code) -> std::unique_ptr<QFile> {
        throw EFOpenError(rtl::Format("Cannot open file %s", {fileName}), static_cast<int>(code));
    };
    if (host.empty())
        return fail(win::ERROR_PATH_NOT_FOUND);
    if (QFileInfo(QString::fromStdString(host)).isDir())
        return fail(win::ERROR_ACCESS_DENIED);
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(win::ErrorFromErrno(errno));
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(win::ERROR_ACCESS_DENIED);
    }
    return file;
}
} // namespace detail

TGraphic::TGraphic() : m_image(std::make_unique<QImage>()) {}

TGraphic::TGraphic(const TGraphic& other) : TObject(), m_image(std::make_unique<QImage>(*other.m_image)) {}

TGraphic::~TGraphic() = default;

int TGraphic::Width() const {
    return m_image->width();
}

int TGraphic::Height() const {
    return m_image->height();
}

bool TGraphic::Empty() const {
    return m_image->isNull();
}

const QImage& TGraphic::Image() const {
    return *m_image;
}

void TGraphic::SetImage(const QImage& image) {
    *m_image = image;
}

} // namespace vcl
