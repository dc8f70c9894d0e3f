// Allocation failure at every step of the exports that allocate. The library's operator new
// is its own, so the test runs itself as a child with a fault plan in a named file mapping
// (frame/fault_injection.cpp) and arms "refuse the Nth allocation" for N = 1, 2, ...: each
// refused attempt gives the export's documented failure and changes nothing; the first
// unrefused one is a retry that succeeds.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/fault_picture.h"
#include "frame/fault_plan.h"
#include "support/child_process.h"
#include "support/dib_canvas.h"
#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

const char kSection[] = "Fault Injection With A Long Section Name";
const char kSectionKey[] = "Software\\Vantor Corp.\\Tessaly Pro\\Fault Injection With A Long Section Name";

tstools::FaultPlan *plan = nullptr;  // the child's view of the plan

std::string Value(const char *name) {
  char data[256] = {};
  DWORD size = sizeof data;
  return RegGetValueA(HKEY_CURRENT_USER, kSectionKey, name, RRF_RT_REG_SZ, nullptr, data, &size) ? "<none>" : data;
}

std::string Raw(const void *p, size_t n) { return std::string(static_cast<const char *>(p), n); }

// The state of a DC a port draws on: saved levels, clip, selected objects.
std::string DCState(HDC dc) {
  RECT clip{};
  INT_PTR state[] = {SaveDC(dc), GetClipBox(dc, &clip), INT_PTR(GetCurrentObject(dc, OBJ_PEN)),
                     INT_PTR(GetCurrentObject(dc, OBJ_BRUSH)), INT_PTR(GetCurrentObject(dc, OBJ_FONT))};
  RestoreDC(dc, -1);
  return Raw(state, sizeof state) + Raw(&clip, sizeof clip);
}

int CALLBACK TallySavedStates(HDC, HANDLETABLE *, METARECORD *r, int, LPARAM data) {
  auto *t = reinterpret_cast<int *>(data);
  if (r->rdFunction == META_SAVEDC) ++t[0];
  if (r->rdFunction == META_RESTOREDC) short(r->rdParm[0]) < 0 ? t[0] += short(r->rdParm[0]) : ++t[1];
  return 1;
}

// What each export may change, made afresh (faults disarmed) for every attempt: for drawing, a
// DC port in the xor pen mode, a high-resolution printer port (the patterned path), a port
// recording a metafile, a polygon of more vertices than the verbs keep on the stack, a picture.
struct World {
  Handle text = nullptr;
  Ptr ptr = nullptr;
  char buffer[MAX_PATH] = {};
  tstools::test::DibCanvas canvas{32, 32}, paper{32, 32}, scratch{8, 8};
  GrafPort port{}, printer{}, recording{};
  HGLOBAL poly = nullptr;
  Handle picture = nullptr;

  World() {
    MemFreeZone();  // a zone without an address table for Ptrs
    MemInitZone();
    PtrToHand("hello, world", &text, 12);
    for (const char *name : {"Written", "Appended", "Cleared"})
      RegSetKeyValueA(HKEY_CURRENT_USER, kSectionKey, name, REG_SZ, "old value", 10);
    QDrawCacheInit();
    canvas.OpenPort(&port);
    ML_PenMode(&port, patXor);
    ResetWinClipRgn(&port);  // the clip a verb applies lazily (a region of the DC's) is no change
    printer.portKind = portKindPrinter;
    printer.dc = paper.dc();
    ML_OpenPort(&printer);
    printer.printerHighRes = 1;
    recording.portKind = portKindPicture;
    recording.dc = CreateMetaFileA(nullptr);
    recording.portRect = Rect{0, 0, 32, 32};
    ML_OpenPort(&recording);
    const short size = 10 + 100 * 8;  // size and box, then 100 vertices of two 32-bit coordinates
    auto *record = static_cast<uint8_t *>(GlobalLock(poly = GlobalAlloc(GHND, size_t(size))));
    std::memcpy(record, &size, sizeof size);
    for (int i = 0; i < 100; ++i) {
      POINT v{i * 7 % 32, i * 13 % 32};
      std::memcpy(record + 10 + i * 8, &v, sizeof v);
    }
    GlobalUnlock(poly);
    std::vector<uint8_t> bytes = tstools::test::FaultPicture();
    PtrToHand(bytes.data(), &picture, Size(bytes.size()));
  }
  ~World() {
    ClosePort(&port);
    ClosePort(&printer);
    if (recording.dc) DeleteMetaFile(CloseMetaFile(recording.dc));
    recording.dc = recording.refDC = nullptr;  // the port's objects go back to their caches
    ClosePort(&recording);
    GlobalFree(poly);
  }

  // Closes the recording: every state it saved must be restored, one level back at a time
  // (an absolute level would be replayed as it is into whatever DC plays the metafile).
  void ExpectBalancedRecording() {
    HMETAFILE metafile = CloseMetaFile(recording.dc);
    int tally[2] = {};  // states open, absolute restores
    EnumMetaFile(scratch.dc(), metafile, TallySavedStates, reinterpret_cast<LPARAM>(tally));
    DeleteMetaFile(metafile);
    recording.dc = recording.refDC = nullptr;
    EXPECT_EQ(std::make_pair(tally[0], tally[1]), std::make_pair(0, 0)) << "states left saved, absolute restores";
  }
  // The ports and their DCs, the locks on the host's blocks, the GDI objects alive, and
  // which of a new port's pen, brush and font the caches make.
  std::string Drawing() {
    signed char pictureState = 0;
    MemGetHandleState(picture, &pictureState);
    GrafPort probe{};
    probe.dc = scratch.dc();
    ML_OpenPort(&probe);
    std::string state = Raw(&port, sizeof port) + Raw(&printer, sizeof printer) + Raw(&recording, sizeof recording) +
                        DCState(port.dc) + DCState(printer.dc) + (probe.penSlot ? "P" : "-") +
                        (probe.brushSlot ? "B" : "-") + (probe.fontSlot ? "F" : "-") + "|locks " +
                        std::to_string(GlobalFlags(poly) & GMEM_LOCKCOUNT) + "," + std::to_string(pictureState);
    ClosePort(&probe);
    return state + "|objects " + std::to_string(tstools::test::LiveGdiObjects());
  }

  std::string Snapshot() {
    Size size = -1;
    MemGetHandleSize(text, &size);
    unsigned char mapped[129] = {};
    for (int i = 0; i < 128; ++i) mapped[i] = static_cast<unsigned char>(0x80 + i);
    MapText(reinterpret_cast<Ptr>(mapped), 128, 0, 0);
    std::string fonts;
    for (short n = 0; GetCharSet(n) != -1; ++n) {
      unsigned char name[256];
      GetFontName(n, name);
      fonts += std::string(reinterpret_cast<char *>(name + 1), name[0]) + ",";
    }
    return std::string(*text, size_t(size)) + "|" + (ptr ? "ptr" : "-") + "|" + Value("Written") + "|" +
           Value("Appended") + "|" + Value("Cleared") + "|" + reinterpret_cast<char *>(mapped) + "|" + fonts;
  }
};

// kMemory: a Memory Manager export, the last error says -108 after a failure; kDrawing: ports,
// DCs, block locks, caches and GDI objects must be as they were too.
enum Kind { kOther, kMemory, kDrawing };

struct Operation {
  const char *name;
  long failure, success;
  Kind kind;
  long (*run)(World &);
  void (*prepare)(World &) = nullptr;  // before the state is taken, faults disarmed
};

const Pattern kGray = {{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}};
const Rect kDestination = {2, 2, 30, 30};

const Operation kOperations[] = {
    {"PtrToXHand", memFullErr, noErr, kMemory, [](World &w) -> long { return PtrToXHand(*w.text + 7, w.text, 5); }},
    {"MemMunger insert", -1, 5, kMemory, [](World &w) { return MemMunger(w.text, 0, nullptr, 0, *w.text + 7, 5); }},
    {"MemNewPtr", memFullErr, noErr, kMemory, [](World &w) -> long { return MemNewPtr(&w.ptr, 8, 0); }},
    {"ML_WriteVantorProfileString", 0, 10, kOther,
     [](World &) { return ML_WriteVantorProfileString(kSection, "Written", "new value"); }},
    {"ML_AppendVantorProfileString", 0, 15, kOther,
     [](World &) { return ML_AppendVantorProfileString(kSection, "Appended", "tail"); }},
    {"ML_GetVantorProfileStringClear", 0, 9, kOther, [](World &w) {
       return ML_GetVantorProfileStringClear(kSection, "Cleared", "default", w.buffer, sizeof w.buffer);
     }},
    {"GetVantorDir", FALSE, TRUE, kOther, [](World &w) -> long { return GetVantorDir(w.buffer); }},
    {"InitCharset", 0, 0, kOther, [](World &) -> long { InitCharset(); return 0; }},
    {"InitFonts", 0, 0, kOther, [](World &) -> long { InitFonts(); return 0; }},
    {"QDrawCacheInit", 0, 0, kDrawing, [](World &) -> long { QDrawCacheInit(); return 0; },
     [](World &) { QDrawCacheClose(); }},
    {"QDrawCacheClose", 0, 0, kDrawing, [](World &) -> long { QDrawCacheClose(); return 0; }},
    {"ML_FramePoly in the xor mode", 0, 0, kDrawing, [](World &w) -> long { ML_FramePoly(&w.port, w.poly); return 0; }},
    {"ML_FillPoly on a printer", 0, 0, kDrawing,
     [](World &w) -> long { ML_FillPoly(&w.printer, w.poly, &kGray); return 0; }},
    {"ML_DrawPicture", 0, 0, kDrawing,
     [](World &w) -> long { ML_DrawPicture(&w.port, PicHandle(w.picture), &kDestination); return 0; }},
    {"ML_DrawPicture recorded", 0, 0, kDrawing,
     [](World &w) -> long { ML_DrawPicture(&w.recording, PicHandle(w.picture), &kDestination); return 0; }},
    {"ML_OpenPicture", 0, 1, kDrawing, [](World &w) -> long {
       PicHandle recorded = ML_OpenPicture(&w.port, &kDestination);
       if (recorded) ML_KillPicture(&w.port, recorded);
       return recorded != nullptr;
     }},
    {"ML_BitmapToPict", memFullErr, noErr, kOther, [](World &w) -> long {
       HBITMAP bitmap = CreateBitmap(40, 6, 1, 32, nullptr);
       long result = ML_BitmapToPict(nullptr, bitmap, nullptr, w.picture);
       DeleteObject(bitmap);
       return result;
     }},
    {"GIFtoPICT", 0, 1, kOther, [](World &) -> long {
       // One black pixel: screen 1 x 1, a two-entry table, codes clear, 0, end in 3 bits.
       static const char gif[] = "GIF89a\1\0\1\0\x80\0\0\0\0\0\xFF\xFF\xFF"
                                 "\x2C\0\0\0\0\1\0\1\0\0\2\2\x44\1\0\x3B";
       Handle data = nullptr, picture = nullptr;
       if (PtrToHand(gif, &data, sizeof gif - 1) == noErr) picture = GIFtoPICT(data);
       MemDisposeHandle(data);
       MemDisposeHandle(picture);
       return picture != nullptr;
     }},
    {"BitmapToJPEG", 0, 1, kOther, [](World &) -> long {
       static const uint8_t pixels[4 * 12] = {0, 0, 255, 0, 255, 0, 255, 0, 0};
       BitmapDesc bitmap{pixels, nullptr, 12, 24, 4, 4};
       Handle jpeg = BitmapToJPEG(&bitmap);
       MemDisposeHandle(jpeg);
       return jpeg != nullptr;
     }},
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
    World warm;  // the caches then hold what it draws with: objects counted are leaks
    if (op.prepare) op.prepare(warm);
    op.run(warm);
    for (long n = 1;; ++n) {
      ASSERT_LT(n, 20000) << "never completed";
      SCOPED_TRACE(n);
      World w;
      if (op.prepare) op.prepare(w);
      auto state = [&] { return w.Snapshot() + (op.kind == kDrawing ? w.Drawing() : ""); };
      const std::string before = state();
      plan->Arm(n);
      long result = op.run(w);
      bool refused = plan->refused > 0;
      plan->Arm(0);
      OSErr lastError = MemLastError();
      const std::string after = state();
      if (op.kind == kDrawing) w.ExpectBalancedRecording();
      if (!refused) {
        EXPECT_EQ(result, op.success) << "the retry, after " << n - 1 << " refused allocations";
        break;
      }
      if (result == op.success && op.success != op.failure) continue;  // the failure was absorbed
      EXPECT_EQ(result, op.failure);
      EXPECT_EQ(after, before) << "a failed export changed the state";
      if (op.kind == kMemory) {
        EXPECT_EQ(lastError, memFullErr);
      }
    }
  }
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Vantor Corp.\\Tessaly Pro\\Preferences", "Character Mapping");
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
