#include "picture/jpeg_error.h"

#include <cstring>

namespace tstools::pict {
namespace {

void FormatMessage(j_common_ptr cinfo, char *buffer) {
  std::snprintf(buffer, JMSG_LENGTH_MAX, "JPEG error #%d", cinfo->err->msg_code);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto *manager = reinterpret_cast<JpegErrorManager *>(cinfo->err);
  FormatMessage(cinfo, manager->message);
  std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) reinterpret_cast<JpegErrorManager *>(cinfo->err)->warnings++;
}

void OutputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr *InstallJpegErrorManager(JpegErrorManager *manager) {
  std::memset(manager, 0, sizeof *manager);
  jpeg_std_error(&manager->pub);
  manager->pub.error_exit = ErrorExit;
  manager->pub.emit_message = EmitMessage;
  manager->pub.output_message = OutputMessage;
  manager->pub.format_message = FormatMessage;
  return &manager->pub;
}

void SetJpegFailure(JpegErrorManager *manager, int code) {
  std::snprintf(manager->message, sizeof manager->message, "JPEG error #%d", code);
}

}  // namespace tstools::pict
