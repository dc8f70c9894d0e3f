// Any command line or filter list, any index: records stay within their fields, every search
// is closed, filter texts fit a Str255 and appended names fit their buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "services/app_files.h"
#include "services/filter_list.h"
#include "services/std_file.h"

using namespace tstools::services;

// Most paths exist, under stored names cut from the path.
struct AnyFiles : FileLookup {
  int open = 0;
  bool First(const std::string &path, std::string &stored) override {
    if (open++ != 0) std::abort();
    stored = path.substr(path.size() / 2);
    return path.size() % 7 != 3 || (--open, false);
  }
  void Close() override { --open; }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  const int index = static_cast<int16_t>(data[0] << 8 | data[1]);
  const std::string_view text(reinterpret_cast<const char *>(data + 2), size - 2);
  const LeadByteTest lead = [&](uint8_t b) { return (data[0] & 1) && ((b >= 0x81 && b <= 0x9F) || b >= 0xE0); };
  AnyFiles files;
  const AppFile file = ResolveAppFile(text, index, files, lead);
  if (CountAppFiles(text, lead).count < 0 || files.open != 0 ||
      (file.resolved && (file.name.empty() || file.name.size() > 255 || file.directory.back() != '\\')))
    std::abort();
  uint8_t record[kAppFileRecordSize], reply[kReplySize], param[kFilterNameSize];
  BuildFilterName(param, text, nullptr), WriteAppFileRecord(record, file, nullptr);
  if (record[264] > 1 || !std::memchr(record + 266, 0, kMaxPathChars)) std::abort();
  const FilterList list = FilterList::Parse(text.data(), text.size());
  const std::string dialog = list.DialogText(), ext = list.DefaultExtension(index);
  if (dialog.size() < 2 || dialog.back() != 0 || dialog[dialog.size() - 2] != 0) std::abort();
  const std::string host = std::string(text) + std::string(2, '\0');  // as a host passes it, by address
  if (FilterList::FromHostText(host.c_str()).DialogText() != dialog) std::abort();
  if (list.MenuText(index).size() > 255 || ext.find_first_of("*?;") != std::string::npos) std::abort();
  std::string name(text.substr(0, 300));
  if (AppendDefaultExtension(name, ext, false, lead) && name.size() >= 260) std::abort();
  if (WriteStdFileReply(reply, text, lead, nullptr) && !std::memchr(reply + kReplyDirectoryOffset, 0, 260)) std::abort();
  return 0;
}
