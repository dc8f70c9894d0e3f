// The message a sound failure shows the user, and the Memory Manager handles sounds live in.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tstools::sound {

// Multimedia errors the library itself reports.
constexpr unsigned kNoDeviceError = 6;  // no driver
constexpr unsigned kNoMemoryError = 7;

// A task-modal exclamation box for the multimedia error (or string id 129 and above), owned by
// the window; none when the window is not visible, so hidden callers are never blocked.
void ShowSoundError(HWND window, unsigned error);

// The bytes a caller's bare pointer may be read through: the rest of the Memory Manager block
// holding it, else the rest of the committed readable memory from it.
size_t ReadableBytesFrom(const void *p);

}  // namespace tstools::sound
