// INTERIM (removed when the GDI measurer is merged): measures nothing.
#include "textedit/gdi_measurer.h"

namespace tstools::text {

int GdiMeasurer::PortKind() { return Port() ? 0 : kNoPort; }
bool GdiMeasurer::Measure(const PortStyle &, FontMetrics *, Fixed *) { return false; }
int GdiMeasurer::VerticalScale() { return 1; }
GrafPort *GdiMeasurer::Port() const { return *portRef_ && **portRef_ ? **portRef_ : nullptr; }

}  // namespace tstools::text
