// The Type 1 font manager's settings file lists each installed font in its "Fonts" section
// as "metrics file path,outline file path"; downloading needs the outline file.
#pragma once

#include <cstddef>
#include <string_view>

namespace tstools::services {

// Room for the value of an entry: two paths of up to 259 characters, the comma, the NUL and
// two spare characters, so that a value that reaches the end of the buffer is known to be cut.
constexpr size_t kAtmValueBytes = 2 * 260 + 2;

// The outline path in a value read into a buffer of bufferBytes (length is what the profile
// reader returned). Empty, meaning the font is not available, when the value has no comma,
// nothing after it, a path too long to open, or filled the buffer: a cut path could name
// another file.
std::string_view OutlinePathFromAtmEntry(const char *value, size_t length, size_t bufferBytes);

}  // namespace tstools::services
