#pragma once

// Opening a picture file named in Windows form for one of the graphic loaders.

#include <QFile>

#include <memory>
#include <string>

namespace vcl::detail {

// The file open for reading; EFOpenError "Cannot open file %s" when it cannot be opened.
std::unique_ptr<QFile> openPictureFile(const std::string& fileName);

} // namespace vcl::detail
