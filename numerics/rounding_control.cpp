#include "numerics/rounding_control.h"

#if !defined(__i386__) && !defined(__x86_64__)
#include <cfenv>
#endif

namespace tstools::numerics {
namespace {

#if defined(__i386__) || defined(__x86_64__)

// x87 rounding control: bits 10-11 of the control word. MXCSR: bits 13-14. Both encode
// 0 nearest, 1 down, 2 up, 3 toward zero.
constexpr unsigned kX87Shift = 10;
constexpr unsigned kMxcsrShift = 13;

// SANE direction (0 nearest, 1 up, 2 down, 3 zero) to the hardware field and back.
constexpr unsigned kHardwareField[4] = {0, 2, 1, 3};
constexpr int kSaneDirection[4] = {0, 2, 1, 3};

unsigned short ReadX87ControlWord() {
  unsigned short cw;
  asm volatile("fnstcw %0" : "=m"(cw));
  return cw;
}

void WriteX87ControlWord(unsigned short cw) { asm volatile("fldcw %0" : : "m"(cw)); }

unsigned ReadMxcsr() {
  unsigned value;
  asm volatile("stmxcsr %0" : "=m"(value));
  return value;
}

void WriteMxcsr(unsigned value) { asm volatile("ldmxcsr %0" : : "m"(value)); }

void WriteHardwareDirection(int direction) {
  unsigned field = kHardwareField[direction & 3];
  unsigned short cw = ReadX87ControlWord();
  WriteX87ControlWord(static_cast<unsigned short>((cw & ~(3u << kX87Shift)) | (field << kX87Shift)));
  unsigned csr = ReadMxcsr();
  WriteMxcsr((csr & ~(3u << kMxcsrShift)) | (field << kMxcsrShift));
}

int ReadHardwareDirection() {
#if defined(__x86_64__)
  return kSaneDirection[(ReadMxcsr() >> kMxcsrShift) & 3];
#else
  return kSaneDirection[(ReadX87ControlWord() >> kX87Shift) & 3];
#endif
}

#else  // other processors: the C library's floating-point environment

constexpr int kFenvMode[4] = {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};

void WriteHardwareDirection(int direction) { std::fesetround(kFenvMode[direction & 3]); }

int ReadHardwareDirection() {
  int mode = std::fegetround();
  for (int i = 0; i < 4; ++i)
    if (kFenvMode[i] == mode) return i;
  return 0;
}

#endif

}  // namespace

void SetRoundingDirection(int direction) { WriteHardwareDirection(direction); }

int GetRoundingDirection() { return ReadHardwareDirection(); }

ScopedNearestRounding::ScopedNearestRounding() : saved_(ReadHardwareDirection()) {
  if (saved_ != 0) WriteHardwareDirection(0);
}

ScopedNearestRounding::~ScopedNearestRounding() {
  if (saved_ != 0) WriteHardwareDirection(saved_);
}

}  // namespace tstools::numerics
