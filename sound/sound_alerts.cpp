#include "sound/sound_alerts.h"

#include <string>

#include "frame/settings_profile.h"
#include "memory/memory_state.h"
#include "sound/sound_settings.h"
#include "tstools/host_resource_ids.h"

namespace tstools::sound {

void ShowSoundError(HWND window, unsigned error) {
  if (!window || !IsWindowVisible(window)) return;
  std::string caption = LoadHostString(TSRES_STR_HOST_SECTION, 63);
  std::string text = LoadHostString(SoundMessageId(error));
  MessageBoxA(window, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

size_t ReadableBytesFrom(const void *p) {
  if (!p) return 0;
  if (size_t n = memory::memoryState.zone.BytesFrom(static_cast<const char *>(p))) return n;
  // Not ours: a resource or the host's own memory. Walk committed readable regions, up to a
  // bound far above any sound a handle can hold.
  constexpr size_t kMaxBytes = size_t(64) << 20;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  const char *at = static_cast<const char *>(p);
  size_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  while (total < kMaxBytes && VirtualQuery(at, &info, sizeof info) == sizeof info &&
         info.State == MEM_COMMIT && (info.Protect & kReadable) && !(info.Protect & PAGE_GUARD)) {
    const char *end = static_cast<const char *>(info.BaseAddress) + info.RegionSize;
    total += size_t(end - at);
    at = end;
  }
  return total < kMaxBytes ? total : kMaxBytes;
}

}  // namespace tstools::sound
