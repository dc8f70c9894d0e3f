// Measures styles on the engine's measuring port through GDI. Windows glue.
#pragma once

#include <tstools/grafport.h>

#include "textedit/measurer.h"

namespace tstools::text {

class GdiMeasurer : public Measurer {
 public:
  // portRef: the address of the location holding the address of the location holding the
  // port (the record's copy of the engine's reference), read at every use.
  explicit GdiMeasurer(GrafPort ***portRef) : portRef_(portRef) {}
  int PortKind() override;
  bool Measure(const PortStyle &style, FontMetrics *info, Fixed widths[256]) override;
  int VerticalScale() override;
  // The port measured on now, or null.
  GrafPort *Port() const;

 private:
  GrafPort ***portRef_;
};

}  // namespace tstools::text
