#pragma once

// Recursive file search over the platform's directory search.

#include <runtime/StringList.h>

#include <string_view>

namespace VL_LIB32 {

// Adds "dir\name" for every file matching `mask` in `dir` and below it to `list` (through its
// own Add), depth-first: the folder's files, then each subfolder's whole listing in turn.
// Folders whose names begin with "." are not entered; an empty `dir` finds nothing.
void FindFilesIn(rtl::TStringList& list, std::string_view dir, std::string_view mask);

} // namespace VL_LIB32
