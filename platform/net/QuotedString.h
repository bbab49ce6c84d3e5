#pragma once

// The one quoting rule of the mail headers we write and read: a quoted string holds its text in
// double quotes, with a backslash before each double quote and backslash of the text.

#include <string>
#include <string_view>

namespace net::detail {

// `text` as a quoted string: `a"b\c` gives `"a\"b\\c"`.
std::string QuoteString(std::string_view text);

// The text of a quoted string (its quotes off, each backslash pair read as the character after
// the backslash); a text without surrounding quotes is given as it is.
std::string UnquoteString(std::string_view quoted);

// A display name as an address text carries it: quoted when it holds a character that has a
// meaning of its own in an address ("()<>[]:;@\,." or a double quote), as it is otherwise.
std::string DisplayName(std::string_view name);

} // namespace net::detail
