// XOpenURL: hands a URL found in the text to the shell, as a click on a link does.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "frame/export_guard.h"
#include "tstools/movies.h"

namespace {
// Longer than any command line the shell passes on: refused rather than cut short.
constexpr long kLongestUrl = 32767;
}  // namespace

Boolean WINAPI XOpenURL(const char *text, long length) {
  if (!text || length <= 0 || length > kLongestUrl) return false;
  return tstools::Guarded(Boolean(false), [&] {
    const std::string url(text, size_t(length));  // the text is counted, not terminated
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(GetDesktopWindow(), "open", url.c_str(), nullptr, nullptr,
                                                          SW_SHOWNORMAL));
    return Boolean(result > 32);
  });
}
