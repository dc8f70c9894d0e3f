// What other subsystems ask to be told when the font table changes. Kept apart from the
// font table so code compiled into white-box tests can set them without the whole table.
#include "font/font_manager.h"

namespace tstools {

void (*onFontTableReplaced)() = nullptr;
void (*onFontTableBuilt)() = nullptr;

}  // namespace tstools
