#include <vcl/Strings.h>

#include "Internal.h"

#include <runtime/SysUtils.h>

#include <stdexcept>

namespace vcl {

std::size_t detail::checkedIndex(int index, int limit) {
    if (index < 0 || index >= limit)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return static_cast<std::size_t>(index);
}

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
