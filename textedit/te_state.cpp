// The text engine's process state.
#include "textedit/te_state.h"

namespace tstools::text {

TextEngineState textState;

}  // namespace tstools::text
