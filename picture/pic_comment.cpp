// ML_PicComment: the two comments the library acts on.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "frame/export_guard.h"
#include "frame/library_globals.h"
#include "tstools/memory.h"
#include "tstools/picture_record.h"

namespace {

constexpr short kLineWidthComment = 182;
constexpr short kPostScriptComment = 192;
constexpr int kPostScriptPassthrough = 4115;  // POSTSCRIPT_PASSTHROUGH, Windows NT
constexpr int kPassthrough = 19;              // PASSTHROUGH

// The bytes the handle really holds.
size_t HeldBytes(Handle data) {
  Size size = 0;
  if (!data || MemGetHandleSize(data, &size) != noErr || size <= 0 || !*data) return 0;
  return size_t(size);
}

}  // namespace

void WINAPI ML_PicComment(GrafPtr port, short kind, short dataSize, Handle data) {
  if (!port) return;
  if (kind == kLineWidthComment) {
    if (port->portKind != portKindPrinter || !data) return;
    short words[2] = {0, 0};
    bool both = HeldBytes(data) >= sizeof words;
    if (both) std::memcpy(words, *data, sizeof words);
    port->hairline = !(both && words[0] == 1 && words[1] == 1);
  } else if (kind == kPostScriptComment && dataSize > 0 && port->dc) {
    size_t n = std::min(size_t(dataSize), HeldBytes(data));
    if (!n) return;
    tstools::Guarded(tstools::Nothing, [&] {
      std::vector<char> block(n + 2);
      uint16_t length = uint16_t(n);
      std::memcpy(block.data(), &length, 2);
      std::memcpy(block.data() + 2, *data, n);
      int escape = tstools::platform.isNT ? kPostScriptPassthrough : kPassthrough;
      Escape(port->dc, escape, int(block.size()), block.data(), nullptr);
    });
  }
}
