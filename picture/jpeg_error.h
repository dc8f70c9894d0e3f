// libjpeg's error manager for the JPEG cores. A fatal error formats "JPEG error #<code>" and
// longjmps back to the setjmp of the C-style function that drives libjpeg, so that frame and
// every frame between it and libjpeg must hold no object with a destructor. Warnings (a
// truncated file, corrupt data libjpeg works around) are counted, not shown.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>
#include <jerror.h>

namespace tstools::pict {

// The message code of a picture that would not fit in memory or in a handle.
constexpr int kJpegOutOfMemoryCode = 53;

struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int warnings;
  char message[JMSG_LENGTH_MAX];  // the formatted text of the fatal error
};

// Installs the manager on cinfo (before jpeg_create_*).
jpeg_error_mgr *InstallJpegErrorManager(JpegErrorManager *manager);

// Records the code's text in the manager without jumping (failures found by our own code).
void SetJpegFailure(JpegErrorManager *manager, int code);

}  // namespace tstools::pict
