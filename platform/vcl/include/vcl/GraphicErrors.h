#pragma once

// The failures of loading a picture: a file that cannot be opened, and one that holds no
// picture the toolkit can read (an unknown extension, a damaged bitmap, a bad JPEG).

#include <runtime/Exceptions.h>

namespace vcl {

// "Bitmap image is not valid", "Unknown picture file extension (.%s)", a JPEG decoder's text.
class EInvalidGraphic : public rtl::Exception {
  public:
    using Exception::Exception;
};

// "Cannot open file %s", with the platform's error code of the failed open.
class EFOpenError : public rtl::EInOutError {
  public:
    using EInOutError::EInOutError;
};

} // namespace vcl
