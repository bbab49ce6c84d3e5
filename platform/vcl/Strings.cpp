#include "Internal.h"

#include <runtime/Strings.h>

namespace vcl {

std::size_t detail::checkedIndex(int index, int limit) {
    return rtl::CheckListIndex(index, limit);
}

} // namespace vcl
