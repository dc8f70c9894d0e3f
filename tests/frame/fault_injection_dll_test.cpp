// Allocation failure at every step of the exports that allocate, through TSTOOLS.DLL. The
// library's operator new is its own, so the test runs itself as a child process with a fault
// plan in a named file mapping (see frame/fault_injection.cpp): before each attempt it arms
// "refuse the Nth allocation", for N = 1, 2, ... until the export completes. Each refused
// attempt must give the export's documented failure and leave everything as it was; the
// unrefused one is then a retry that succeeds.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "frame/fault_plan.h"
#include "support/child_process.h"
#include "tstools/tstools.h"

namespace {

const char kSection[] = "Fault Injection With A Long Section Name";
const char kSectionKey[] = "Software\\Vantor Corp.\\Tessaly Pro\\Fault Injection With A Long Section Name";

tstools::FaultPlan *plan = nullptr;  // the child's view of the plan

void SetValue(const char *name, const char *value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSectionKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value), DWORD(strlen(value) + 1));
  RegCloseKey(key);
}

std::string Value(const char *name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSectionKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<none>";
  char data[256] = {};
  DWORD size = sizeof data - 1;
  LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(data), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? data : "<none>";
}

// What each export may change, made afresh (with faults disarmed) for every attempt.
struct World {
  Handle text = nullptr, abc = nullptr;
  Ptr ptr = nullptr;
  char buffer[MAX_PATH] = {};

  World() {
    MemFreeZone();  // a zone without an address table for Ptrs
    MemInitZone();
    PtrToHand("hello, world", &text, 12);
    PtrToHand("abc", &abc, 3);
    SetValue("Written", "old value");
    SetValue("Appended", "old value");
    SetValue("Cleared", "once");
  }

  static std::string Bytes(Handle h) {
    Size size = -1;
    return MemGetHandleSize(h, &size) == noErr ? std::string(*h, size_t(size)) : "<gone>";
  }
  std::string Snapshot() {
    unsigned char mapped[129] = {};
    for (int i = 0; i < 128; ++i) mapped[i] = static_cast<unsigned char>(0x80 + i);
    MapText(reinterpret_cast<Ptr>(mapped), 128, 0, 0);
    std::string fonts;
    for (short n = 0; GetCharSet(n) != -1; ++n) {
      unsigned char name[256];
      GetFontName(n, name);
      fonts += std::string(reinterpret_cast<char *>(name + 1), name[0]) + ",";
    }
    return Bytes(text) + "|" + Bytes(abc) + "|" + (ptr ? "ptr" : "-") + "|" + Value("Written") + "|" +
           Value("Appended") + "|" + Value("Cleared") + "|" + reinterpret_cast<char *>(mapped) + "|" + fonts;
  }
};

struct Operation {
  const char *name;
  long failure, success;
  bool memory;  // a Memory Manager export: the last error says -108 after a failure
  long (*run)(World &);
};

const Operation kOperations[] = {
    {"PtrToXHand", memFullErr, noErr, true, [](World &w) -> long { return PtrToXHand(*w.text + 7, w.text, 5); }},
    {"PtrAndHand", memFullErr, noErr, true, [](World &w) -> long { return PtrAndHand(*w.text, w.text, 5); }},
    {"MemMunger insert", -1, 5, true, [](World &w) { return MemMunger(w.text, 0, nullptr, 0, *w.text + 7, 5); }},
    {"MemMunger replace", -1, 12, true, [](World &w) { return MemMunger(w.text, 0, *w.text + 7, 5, *w.text, 5); }},
    {"MemNewPtr", memFullErr, noErr, true, [](World &w) -> long { return MemNewPtr(&w.ptr, 8, 0); }},
    {"ML_WriteVantorProfileString", 0, 10, false,
     [](World &) { return ML_WriteVantorProfileString(kSection, "Written", "new value"); }},
    {"ML_AppendVantorProfileString", 0, 15, false,
     [](World &) { return ML_AppendVantorProfileString(kSection, "Appended", "tail"); }},
    {"ML_GetVantorProfileStringClear", 0, 4, false, [](World &w) {
       return ML_GetVantorProfileStringClear(kSection, "Cleared", "default", w.buffer, sizeof w.buffer);
     }},
    {"GetVantorDir", FALSE, TRUE, false, [](World &w) -> long { return GetVantorDir(w.buffer); }},
    {"InitCharset", 0, 0, false, [](World &) -> long { InitCharset(); return 0; }},
    {"InitFonts", 0, 0, false, [](World &) -> long { InitFonts(); return 0; }},
};

// The child: runs only with a plan from the parent below.
TEST(FaultInjectionChild, EveryAllocationOfEveryExport) {
  char name[MAX_PATH];
  DWORD n = GetEnvironmentVariableA(tstools::kFaultPlanVariable, name, sizeof name);
  if (n == 0 || n >= sizeof name) GTEST_SKIP() << "started by FaultInjection.EveryExportInAChildProcess";
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name);
  ASSERT_NE(mapping, nullptr);
  plan = static_cast<tstools::FaultPlan *>(MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(plan, nullptr);

  // The host's strings name the preferences section, whose mapping 1 InitCharset must choose.
  HMODULE resources = LoadLibraryExA("TSHOSTRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(SetTSToolsResourceInstance(resources));
  ML_WriteVantorProfileString("Preferences", "Character Mapping", "1");
  InitFonts();  // a table for a failing rebuild to keep

  for (const Operation &op : kOperations) {
    SCOPED_TRACE(op.name);
    for (long n = 1;; ++n) {
      ASSERT_LT(n, 20000) << "never completed";
      World w;
      const std::string before = w.Snapshot();
      plan->Arm(n);
      long result = op.run(w);
      bool refused = plan->refused > 0;
      plan->Arm(0);
      OSErr lastError = MemLastError();
      if (!refused) {
        EXPECT_EQ(result, op.success) << "the retry, after " << n - 1 << " refused allocations";
        break;
      }
      if (result == op.success && op.success != op.failure) continue;  // the failure was absorbed
      SCOPED_TRACE(n);
      EXPECT_EQ(result, op.failure);
      EXPECT_EQ(w.Snapshot(), before) << "a failed export changed the state";
      if (op.memory) {
        EXPECT_EQ(lastError, memFullErr);
      }
    }
  }
  HKEY preferences;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Preferences", 0, KEY_ALL_ACCESS,
                    &preferences) == ERROR_SUCCESS) {
    RegDeleteValueA(preferences, "Character Mapping");
    RegCloseKey(preferences);
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, kSectionKey);
  SetTSToolsResourceInstance(nullptr);
  FreeLibrary(resources);
  UnmapViewOfFile(plan);
  CloseHandle(mapping);
}

TEST(FaultInjection, EveryExportInAChildProcess) {
  std::string name = "tstools_fault_plan_" + std::to_string(GetCurrentProcessId());
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
  ASSERT_NE(mapping, nullptr);
  SetEnvironmentVariableA(tstools::kFaultPlanVariable, name.c_str());
  auto result = tstools::test::RunProgram(tstools::test::ProgramDirectory() + "frame_fault_injection_dll_tests.exe",
                                          "--gtest_filter=FaultInjectionChild.*");
  SetEnvironmentVariableA(tstools::kFaultPlanVariable, nullptr);
  CloseHandle(mapping);
  EXPECT_EQ(result.exitCode, 0u) << result.output;
  EXPECT_EQ(result.output.find("SKIPPED"), std::string::npos) << result.output;
}

}  // namespace
