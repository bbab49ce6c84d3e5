#include "Strings.h"

#include <runtime/SysUtils.h>

namespace vcl {

int TStrings::IndexOf(std::string_view s) const {
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (rtl::AnsiSameText(Get(i), s))
            return i;
    }
    return -1;
}

std::string TStrings::Text() const {
    std::string out;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

} // namespace vcl
