#include "services/std_file.h"

#include <algorithm>
#include <cstring>

namespace tstools::services {

DialogTemplate TemplateFor(int requested, bool explorerStyle) {
  // 4002 is the host's "open or create" request in both styles.
  DialogTemplate t;
  t.offerCreate = requested == 4002;
  if (!explorerStyle) {
    t.resource = requested;
    return t;
  }
  switch (requested) {
    case 5037: t.resource = 4012; break;
    case 4000:
    case 4002: t.resource = 4010; break;
    case 4005: t.resource = 4011; break;
    default: t.resource = 4009; break;
  }
  return t;
}

uint32_t RequestFlags(bool save, bool explorerStyle, bool hasTemplate, const DialogTemplate &t) {
  using namespace dialog_flags;
  uint32_t flags = kHideReadOnly | kEnableHook;
  if (save) {
    flags |= kPathMustExist | kOverwritePrompt;
  } else {
    // The create offer replaces the requirement that the file exist.
    flags |= t.offerCreate ? (kPathMustExist | kCreatePrompt) : kFileMustExist;
  }
  if (explorerStyle) flags |= kExplorer;
  if (hasTemplate && t.resource != 0) flags |= kEnableTemplate;
  return flags;
}

void CentredOrigin(int areaLeft, int areaTop, int areaRight, int areaBottom, int w, int h, int &x, int &y) {
  // Widened so that extreme rectangles cannot overflow.
  const long long left = areaLeft + ((static_cast<long long>(areaRight) - areaLeft) - w) / 2;
  const long long top = areaTop + ((static_cast<long long>(areaBottom) - areaTop) - h) / 2;
  x = static_cast<int>(std::max<long long>(left, areaLeft));
  y = static_cast<int>(std::max<long long>(top, areaTop));
}

void BuildFilterName(uint8_t *name, std::string_view windowsName, const MacConverter &toMac) {
  const size_t n = std::min<size_t>(windowsName.size(), 255);
  name[0] = static_cast<uint8_t>(n);
  if (n == 0) return;
  std::memcpy(name + 1, windowsName.data(), n);
  if (toMac) toMac(name + 1, n);
}

bool IsFileItem(std::string_view item) {
  return !item.empty() && !(item.size() >= 2 && item.front() == '[' && item.back() == ']');
}

std::vector<size_t> RejectedFileItems(const std::vector<std::string> &items,
                                      const std::function<bool(std::string_view)> &rejects) {
  std::vector<size_t> out;
  if (!rejects) return out;
  for (size_t i = items.size(); i-- > 0;)
    if (IsFileItem(items[i]) && rejects(items[i])) out.push_back(i);
  return out;
}

bool WriteStdFileReply(uint8_t *reply, std::string_view chosenPath, const LeadTest &isLead,
                       const MacConverter &toMac) {
  // The last single-byte separator: trail bytes of double-byte characters may be 0x5C.
  size_t split = 0;
  for (size_t i = 0; i < chosenPath.size();) {
    const char c = chosenPath[i];
    const bool lead = isLead && isLead(static_cast<uint8_t>(c)) && i + 1 < chosenPath.size();
    if (!lead && (c == '\\' || c == '/' || c == ':')) split = i + 1;
    i += lead ? 2 : 1;
  }
  const std::string_view directory = chosenPath.substr(0, split);
  const std::string_view name = chosenPath.substr(split);
  if (name.empty() || name.size() > 255 || directory.size() >= kReplyDirectoryChars) {
    WriteCancelledReply(reply);
    return false;
  }
  reply[0] = 1;
  reply[1] = 0;
  uint8_t *str = reply + kReplyNameOffset;
  str[0] = static_cast<uint8_t>(name.size());
  std::memcpy(str + 1, name.data(), name.size());
  if (toMac) toMac(str + 1, name.size());
  reply[262] = 0;
  reply[270] = 1;
  reply[271] = 0;
  std::memcpy(reply + kReplyDirectoryOffset, directory.data(), directory.size());
  reply[kReplyDirectoryOffset + directory.size()] = 0;
  return true;
}

std::string ReplaceCaption(std::string_view title, std::string_view controlText, size_t limit) {
  std::string caption(title);
  caption += " - ";
  for (size_t i = 0; i < controlText.size(); ++i) {
    if (controlText[i] == '&') {
      if (i + 1 < controlText.size() && controlText[i + 1] == '&') caption.push_back('&'), ++i;
      continue;
    }
    caption.push_back(controlText[i]);
  }
  if (limit == 0) return {};
  if (caption.size() >= limit) caption.resize(limit - 1);
  return caption;
}

std::string InitialFileName(const uint8_t *defaultName, const MacConverter &toWindows) {
  if (!defaultName) return {};
  const size_t n = std::min<size_t>(defaultName[0], kReplyDirectoryChars - 1);
  std::string name(reinterpret_cast<const char *>(defaultName + 1), n);
  // A NUL inside the Str255 would end the dialog's copy early anyway.
  name.resize(std::strlen(name.c_str()));
  if (toWindows && !name.empty()) toWindows(reinterpret_cast<uint8_t *>(&name[0]), name.size());
  return name;
}

TypedNameCheck CheckTypedName(const std::string &name, const std::function<bool(const std::string &)> &exists) {
  if (name.empty() || name.find_first_of("*?") != std::string::npos) return TypedNameCheck::kRefuse;
  return exists && exists(name) ? TypedNameCheck::kAskReplace : TypedNameCheck::kReportMissing;
}

}  // namespace tstools::services
