// Finds the next font inclusion comment ("%%IncludeFont: name" or
// "%%IncludeResource: font name") in a block of PostScript text held in a Str255.
#pragma once

#include <cstdint>

namespace tstools::services {

// Scans text line by line from its first character (a line ends at a carriage return or a
// line feed; CR LF counts as one end). Returns true when a font comment was found: position
// gets the index (first character 1) of the line after it, at most length + 1. Returns false
// and leaves position alone otherwise. In either case, once a "%%" line was read, name gets
// the word after the last one's keyword as a Str255 (hosts read it only on true).
// Nothing outside text's length byte is read; name must hold 256 bytes.
bool NextFontComment(const unsigned char *text, int16_t *position, unsigned char *name);

}  // namespace tstools::services
