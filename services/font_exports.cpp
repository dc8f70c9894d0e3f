// DownloadFont and ML_GetNextDSC: the Type 1 font manager's settings file and the outline file
// come from the system here; the rest is the portable download and scanner.
#include <windows.h>

#include <string>
#include <vector>

#include "frame/export_guard.h"
#include "services/dsc_scanner.h"
#include "services/font_download.h"
#include "tstools/ps_fonts.h"

namespace tstools::services {
namespace {

// No Type 1 outline comes near this; a bigger file is not read into memory.
constexpr DWORD kMaxFontFileBytes = 64u << 20;

class SystemFontFiles : public FontFileSource {
 public:
  size_t AtmEntry(const char *key, char *value, size_t bufferBytes) override {
    char dir[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 0;
    std::string file(dir, n);
    if (file.back() != '\\') file += '\\';
    file += "atm.ini";
    return GetPrivateProfileStringA("Fonts", key, "", value, DWORD(bufferBytes), file.c_str());
  }

  bool ReadFile(const char *path, std::vector<uint8_t> &bytes) override {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    struct Closer {
      HANDLE file;
      ~Closer() { CloseHandle(file); }  // closed before any piece goes out, and on a throw
    } closer{file};
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxFontFileBytes) return false;
    bytes.resize(size);
    DWORD got = 0;
    return size == 0 || (::ReadFile(file, bytes.data(), size, &got, nullptr) && got == size);
  }
};

// The host's routine for this one download: a download started from inside it has its own.
class RoutineSink : public PieceSink {
 public:
  explicit RoutineSink(FontPieceProc routine) : routine_(routine) {}
  void Piece(unsigned char *piece) override { routine_(piece, 0); }

 private:
  FontPieceProc routine_;
};

}  // namespace
}  // namespace tstools::services

using namespace tstools;
using namespace tstools::services;

/* DownloadFont: true once the whole outline file was read and sent; the file is closed
 * before the first piece goes to the host, so the routine may do anything with it. */
Boolean WINAPI DownloadFont(ConstStr255Param fontName, FontPieceProc output) {
  if (!fontName || !output) return FALSE;
  return Guarded(Boolean(FALSE), [&]() -> Boolean {
    SystemFontFiles source;
    RoutineSink sink(output);
    return DownloadFontFile(fontName, source, sink) ? TRUE : FALSE;
  });
}

short WINAPI ML_GetNextDSC(ConstStr255Param text, short *position, StringPtr name) {
  if (!text || !position || !name) return 0;
  return NextFontComment(text, position, name) ? 1 : 0;
}
