#pragma once

// The lines of the list controls (`LB1->Items().Add("...")`): the runtime's one string-list
// interface, so that a control's lines and a program's string list assign to each other.
// Changes to a control's lines show in the control at once.

#include <runtime/StringList.h>
#include <runtime/Strings.h>

namespace vcl {

using TStrings = rtl::TStrings;
using TStringList = rtl::TStringList;

} // namespace vcl
