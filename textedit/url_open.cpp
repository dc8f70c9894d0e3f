// XOpenURL: hands a URL found in the text to the shell, as a click on a link does.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "frame/export_guard.h"
#include "textedit/typing_rules.h"
#include "tstools/charset.h"
#include "tstools/movies.h"

namespace {
// Longer than any command line the shell passes on: refused rather than cut short.
constexpr long kLongestUrl = 32767;
}  // namespace

Boolean WINAPI XOpenURL(const char *text, long length) {
  if (!text || length <= 0 || length > kLongestUrl) return false;
  // Only a URL of a scheme the engine recognises: the shell would run a bare path or command.
  if (!tstools::text::UrlSchemeOf(reinterpret_cast<const uint8_t *>(text), length)) return false;
  return tstools::Guarded(Boolean(false), [&] {
    std::string url(text, size_t(length));  // the text is counted, not terminated
    if (url.find('\0') != std::string::npos) return Boolean(false);
    MapText(url.data(), long(url.size()), 0, 0);  // Mac text to the Windows code page
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(GetDesktopWindow(), "open", url.c_str(), nullptr, nullptr,
                                                          SW_SHOWNORMAL));
    return Boolean(result > 32);
  });
}
