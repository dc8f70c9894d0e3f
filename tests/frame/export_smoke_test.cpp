// Every export in the build's export list, resolved from TSTOOLS.DLL by its exported name and
// called once, as a host that loads the library by name would. On i686 the callee must remove
// exactly the argument bytes its decorated name announces and leave at most its result on the
// x87 stack; everywhere it must return and leave the floating-point control word as it was.
//
// Exports are called with zero words (a null port, handle or record is each export's
// documented no-op or error); kArguments lists the ones whose contract needs real arguments.
// The name of each export is written before its call, so a crash names its culprit.
#include <float.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "tstools/tstools.h"

#ifndef _WIN64
// cdecl: pushes `count` words (the last first) onto a 16-byte aligned stack, calls, returns the bytes the callee removed
// and stores how many values it left on the x87 stack (popping them).
extern "C" long tstools_call_counted(FARPROC function, const uintptr_t *words, size_t count, int *x87Left);
asm(R"(
    .text
    .globl _tstools_call_counted
_tstools_call_counted:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    leal (,%ecx,4), %eax
    subl %eax, %esp
    andl $-16, %esp
    addl %eax, %esp
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  movl %esp, %ebx
    call *8(%ebp)
    movl %esp, %edi
    subl %ebx, %edi
    fnstsw %ax
    shrl $11, %eax
    negl %eax
    andl $7, %eax
    movl 20(%ebp), %ecx
    movl %eax, (%ecx)
3:  testl %eax, %eax
    jz 4f
    fstp %st(0)
    decl %eax
    jmp 3b
4:  movl %edi, %eax
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");
#endif

namespace {

// One letter per argument: 0 a zero word, 1 a word of 1, d a zero double (two words on
// i686), b a zeroed 1 KiB buffer, t the clock now in Mac seconds (so setting it moves nothing).
struct Arguments {
  const char *name, *letters;
};
const Arguments kArguments[] = {
    {"AGetTime", "b"},      {"ASetTime", "b"},        {"Date2Secs", "bb"},     {"GetDateTime", "b"},
    {"GetTime", "b"},       {"ReadDateTime", "b"},    {"SecondsToDate", "0b"}, {"SetTime", "b"},
    {"SetDateTime", "t"},   {"ML_Annuity", "ddb"},    {"ML_Compound", "ddb"},  {"ML_Dec2Num", "bb"},
    {"ML_Infinity", "b"},   {"ML_Ln", "db"},          {"ML_Log2", "db"},       {"ML_NaN", "0b"},
    {"ML_Num2Double", "db"}, {"ML_RInt", "db"},       {"ML_RandomX", "b"},     {"ML_Str2Num", "bb"},
    {"ML_XpwrY", "ddb"},    {"Num2Dec", "bdb"},       {"Num2Str", "bdb"},       {"RelString", "bb01"},
};
// RelString is marked sensitive: its other path logs through OutputDebugString, whose
// exception ended the process under qemu when raised below this test's call stub.

#ifdef _WIN64
// Debugger raises a breakpoint with no debugger to take it: the call steps over it. Systems
// differ on whether the context already points past the int3.
LONG CALLBACK StepOverBreakpoint(EXCEPTION_POINTERS *info) {
  if (info->ExceptionRecord->ExceptionCode != EXCEPTION_BREAKPOINT) return EXCEPTION_CONTINUE_SEARCH;
  DWORD64 &next = info->ContextRecord->Rip;
  if (*reinterpret_cast<const unsigned char *>(next) == 0xCC) ++next;
  return EXCEPTION_CONTINUE_EXECUTION;
}
#endif

// Calls that end a facility the later calls rely on, and what starts it again.
void Restart(const std::string &name) {
  if (name == "MemFreeZone") MemInitZone();
  if (name == "QDrawCacheClose") QDrawCacheInit();
  if (name == "DisposeRefList") InitRefConList();
}

// What one call is given, released after it.
class Scratch {
 public:
  void Add(char letter, std::vector<uintptr_t> &words) {
    switch (letter) {
      case 'd':
#ifndef _WIN64
        words.push_back(0);
#endif
        [[fallthrough]];
      case '0': return words.push_back(0);
      case '1': return words.push_back(1);
      case 'b': buffers_.emplace_back(new uint64_t[128]()); return Push(buffers_.back().get(), words);
      case 't': {
        unsigned long now = 0;
        ReadDateTime(&now);
        return words.push_back(now);
      }
    }
    ADD_FAILURE() << "unknown argument letter " << letter;
  }

 private:
  static void Push(const void *p, std::vector<uintptr_t> &words) { words.push_back(reinterpret_cast<uintptr_t>(p)); }
  std::vector<std::unique_ptr<uint64_t[]>> buffers_;
};

struct Outcome {
  long bytesRemoved = 0;  // i686: argument bytes the callee popped
  int x87Left = 0;        // i686: values left on the x87 stack (1 for a floating-point result)
};

Outcome Call(FARPROC function, const std::vector<uintptr_t> &words) {
  Outcome outcome;
#ifdef _WIN64
  // The caller owns the argument area here: spare words are harmless.
  using Wide = uintptr_t(WINAPI *)(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                   uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t);
  uintptr_t w[12] = {};
  std::copy(words.begin(), words.begin() + std::min<size_t>(words.size(), 12), w);
  reinterpret_cast<Wide>(reinterpret_cast<void *>(function))(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9], w[10], w[11]);
#else
  outcome.bytesRemoved = tstools_call_counted(function, words.data(), words.size(), &outcome.x87Left);
#endif
  return outcome;
}

TEST(ExportTable, EveryExportTakesItsArgumentsAndReturns) {
  std::ifstream list(tstools::test::ProgramDirectory() + "..\\generated\\exports.txt");
  std::vector<std::string> symbols{std::istream_iterator<std::string>(list), {}};
  ASSERT_GT(symbols.size(), 200u) << "the build writes generated/exports.txt";
  HMODULE library = GetModuleHandleA("TSTOOLS.DLL");
  MemInitZone();
  QDrawCacheInit();
  InitRefConList();
#ifdef _WIN64
  PVOID handler = AddVectoredExceptionHandler(1, StepOverBreakpoint);
#endif

  for (const std::string &symbol : symbols) {
    SCOPED_TRACE(symbol);
    std::string name = symbol;
    long bytes = -1;  // i686: from the decoration
    size_t at = symbol.rfind('@');
    if (symbol[0] == '_' && at != std::string::npos) {
      name = symbol.substr(1, at - 1);
      bytes = std::atol(symbol.c_str() + at + 1);
    }
    FARPROC function = GetProcAddress(library, symbol.c_str());
    ASSERT_NE(function, nullptr);

#ifndef _WIN64
    // qemu ends the process at an int3, and at OutputDebugString's exception below the call stub.
    static const std::set<std::string> kSkipped = {"Debugger", "DebugStr", "KeyTrans", "DTInstall", "SetTrapAddress",
        "NSetTrapAddress", "Enqueue", "Dequeue", "SetCurrentA5", "SetA5", "SetUpA5", "RestoreA5", "Restart"};
    if (kSkipped.count(name)) continue;
#endif
    Scratch scratch;
    std::vector<uintptr_t> words;
    auto given = std::find_if(std::begin(kArguments), std::end(kArguments), [&](auto &a) { return name == a.name; });
    if (given != std::end(kArguments)) {
      for (const char *l = given->letters; *l; ++l) scratch.Add(*l, words);
    } else {
      words.resize(bytes >= 0 ? bytes / 4 : 12);
    }
    if (bytes >= 0 && long(words.size() * 4) != bytes) {
      ADD_FAILURE() << "kArguments gives " << name << " the wrong number of words";
      continue;
    }
    std::fprintf(stderr, "calling %s\n", symbol.c_str());  // a crash names its culprit
    unsigned control = _control87(0, 0);
    Outcome outcome = Call(function, words);
    EXPECT_EQ(_control87(0, 0), control) << name << " changed the floating-point control word";
    _control87(control, ~0u);
    if (bytes >= 0) {
      EXPECT_EQ(outcome.bytesRemoved, bytes) << name << " does not remove its " << bytes << " argument bytes";
      EXPECT_LE(outcome.x87Left, 1) << name << " leaves values on the x87 stack";
    }
    Restart(name);
  }
#ifdef _WIN64
  RemoveVectoredExceptionHandler(handler);
#endif
}

}  // namespace
