// ML_CountAppFiles and ML_GetAppFiles: the command-line rules are portable; here the file
// system answers the lookups and the code page says which bytes lead a double-byte character.
#include <windows.h>

#include <string>

#include "font/charset.h"
#include "frame/export_guard.h"
#include "services/app_files.h"
#include "tstools/app_files.h"

namespace tstools::services {
namespace {

bool SystemLeadByte(uint8_t byte) { return IsDBCSLeadByte(byte) != 0; }

// One search handle at a time, closed by the resolver after every lookup that found something.
class SystemLookup : public FileLookup {
 public:
  ~SystemLookup() override { Close(); }  // a throw between First and Close leaks nothing
  bool First(const std::string &path, std::string &storedName) override {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    search_ = search;
    found.cFileName[MAX_PATH - 1] = '\0';
    storedName = found.cFileName;
    return true;
  }
  void Close() override {
    if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
    search_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE search_ = INVALID_HANDLE_VALUE;
};

void ToMac(uint8_t *text, size_t length) { MapBytes(text, length, ActiveMapping().winToMac); }

}  // namespace
}  // namespace tstools::services

using namespace tstools;
using namespace tstools::services;

void WINAPI ML_CountAppFiles(short *message, short *count, const char *commandLine) {
  Guarded(Nothing, [&] {
    const AppFileCount found = CountAppFiles(commandLine ? commandLine : "", SystemLeadByte);
    if (message) *message = found.print ? 1 : 0;
    if (count) *count = found.count;
  });
}

/* ML_GetAppFiles: the record is written only after the document was resolved (or found
 * missing), so running out of memory leaves it as it was. */
void WINAPI ML_GetAppFiles(short index, AppFileRecord *record, const char *commandLine) {
  if (!record) return;
  Guarded(Nothing, [&] {
    SystemLookup lookup;
    const AppFile file = ResolveAppFile(commandLine ? commandLine : "", index, lookup, SystemLeadByte);
    WriteAppFileRecord(reinterpret_cast<uint8_t *>(record), file, ToMac);
  });
}
