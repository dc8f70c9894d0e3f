// Allocation failure at every step of each portable operation behind an export that
// allocates: this program's operator new refuses the Nth allocation, N = 1, 2, ..., and the
// export's guard must give its documented result with nothing changed; a retry then succeeds.
// AddressSanitizer's leak check (native build) catches whatever a failed step leaks.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "font/charset.h"
#include "font/font_table_rules.h"
#include "frame/export_guard.h"
#include "frame/fault_picture.h"
#include "frame/fault_plan.h"
#include "frame/profile_paths.h"
#include "memory/zone.h"
#include "numerics/decimal_conversion.h"
#include "picture/pict_player.h"

namespace {
tstools::FaultPlan plan{};
}  // namespace

// The forms the containers use, and the nothrow one, whose blocks these deletes also free.
// (The zone's record pages are aligned and do not come through here.)
void *operator new(std::size_t n) {
  if (!plan.Refuse())
    if (void *p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void *operator new(std::size_t n, const std::nothrow_t &) noexcept {
  return plan.Refuse() ? nullptr : std::malloc(n ? n : 1);
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }

namespace tstools {
namespace {

using memory::HandleRef;
using memory::Zone;

// What a playback must give back however it ends: the port, and each image's clip state.
struct BalanceSink : pict::PictSink {
  int open = 0, imageStates = 0;
  pict::PictRect DestinationClipBox() override { return {-32768, -32768, 32767, 32767}; }
  void BeginPlayback(pict::PictPoint) override { ++open; }
  void EndPlayback() override { --open; }
  pict::PictPoint PenLocation() override { return {}; }
  void SetPenLocation(pict::PictPoint) override {}
  void MoveTo(pict::PictPoint) override {}
  void LineTo(pict::PictPoint) override {}
  void SaveImageState() override { ++imageStates; }
  void RestoreImageState() override { --imageStates; }
  std::string FontSubstitute(const std::string &face) override { return face + " substitute"; }
};

// Everything an operation may change, set up with faults disarmed. Arguments are made here
// too, so that only the operation itself allocates while a plan is armed.
struct World {
  memory::MallocBlockSource source;
  Zone zone{source};   // holds "hello, world" and "abc"
  Zone fresh{source};  // no record page or address table yet
  HandleRef text = nullptr, abc = nullptr;
  char *ptr = nullptr;
  std::string key, longName = std::string(40, 'k');
  PrinterSetting printer{"old device", "old driver", "old port"};
  std::string number;
  MappingPair mapping = BuiltInMapping(1);
  std::string mappingText = "0x8E 0xE9\n0xE9 0x8E # swapped\n";
  std::string decimalText = "1" + std::string(250, '0') + "e999";  // beyond the double range
  unsigned char formatted[256] = {};
  std::vector<uint8_t> picture = test::FaultPicture();
  BalanceSink sink;

  World() {
    memory::PtrToHand(zone, "hello, world", &text, 12);
    memory::PtrToHand(zone, "abc", &abc, 3);
  }

  static std::string Bytes(Zone &z, HandleRef h) {
    long size = -1;
    if (z.GetHandleSize(h, &size) != memory::kNoErr) return "<gone>";
    signed char lock = 0;
    z.GetHandleState(h, &lock);
    return std::string(*h, static_cast<size_t>(size)) + "/" + std::to_string(lock);
  }
  // The whole observable state, as text to compare.
  std::string Snapshot() {
    return Bytes(zone, text) + "|" + Bytes(zone, abc) + "|" + std::to_string(zone.LiveHandles()) + "," +
           std::to_string(zone.LivePtrs()) + "," + std::to_string(fresh.LiveHandles()) + "," +
           std::to_string(fresh.LivePtrs()) + "|" + key + "|" + printer.device + "," +
           printer.driver + "," + printer.port + "|" + number + "|" +
           std::to_string(mapping.macToWin[0x8E]) + "|" + reinterpret_cast<char *>(formatted) + "|" +
           std::to_string(sink.open) + "," + std::to_string(sink.imageStates);
  }
};

struct Operation {
  const char *name;
  long failure;        // what the export returns when an allocation fails
  Zone World::*zone;   // Memory Manager operations: the zone whose last error says -108
  bool allocates;      // false: its export is left unguarded, so it must never allocate
  long (*run)(World &);
};

const Operation kOperations[] = {
    {"NewHandle adds the first record page", memory::kMemFullErr, &World::fresh, true,
     [](World &w) -> long { HandleRef h; return w.fresh.NewHandle(&h, 8, true); }},
    {"NewPtr adds the first address table", memory::kMemFullErr, &World::fresh, true,
     [](World &w) -> long { return w.fresh.NewPtr(&w.ptr, 8, false); }},
    {"PtrToXHand from inside the handle", memory::kMemFullErr, &World::zone, true,
     [](World &w) -> long { return memory::PtrToXHand(w.zone, *w.text + 7, w.text, 5); }},
    {"PtrAndHand from inside the handle", memory::kMemFullErr, &World::zone, true,
     [](World &w) -> long { return memory::PtrAndHand(w.zone, *w.text, w.text, 5); }},
    {"Munger inserts a slice of itself", -1, &World::zone, true,
     [](World &w) { return memory::Munger(w.zone, w.text, 0, nullptr, 0, *w.text + 7, 5); }},
    {"Munger replaces with pattern and replacement inside", -1, &World::zone, true,
     [](World &w) { return memory::Munger(w.zone, w.text, 0, *w.text + 7, 5, *w.text, 5); }},
    {"settings: registry key of a section", 0, nullptr, true,
     [](World &w) -> long { w.key = SectionRegistryKey(w.longName, w.longName); return 1; }},
    {"fonts: printer setting", 0, nullptr, true,
     [](World &w) -> long { return ParsePrinterSetting("A printer with a long name,a_long_driver_name,a_long_port_name:", w.printer); }},
    {"charset: custom mapping table", 0, nullptr, false, [](World &w) -> long {
       return ParseCustomMapping(w.mappingText.data(), w.mappingText.size(), w.mapping) == TableLoadError::kNone;
     }},
    {"charset: NumToString text", 0, nullptr, false,
     [](World &w) -> long { w.number = FormatDecimal(INT32_MIN); return 1; }},
    {"numerics: Str2Num beyond the double range", 0, nullptr, false,
     [](World &w) -> long { return numerics::ParseNumber(reinterpret_cast<const unsigned char *>(w.decimalText.data()), w.decimalText.size()) > 0; }},
    {"numerics: Num2Str with 200 fraction digits", 0, nullptr, false, [](World &w) -> long {
       int digits = 200;
       return numerics::FormatNumber(1, &digits, 1.0 / 3, numerics::kToNearest, w.formatted);
     }},
    {"picture: playback of clip, font name, text, polygon, region, masked pixel map", 0, nullptr, true,
     [](World &w) -> long {
       pict::PlayResult r = pict::PlayPicture(w.picture.data(), w.picture.size(), nullptr, w.sink, {0, 0, 40, 40});
       return r.outcome == pict::PlayOutcome::kEnded;
     }},
};

// One attempt on w with the Nth allocation refused (0: none), through the export's guard.
long Attempt(const Operation &op, World &w, long n, bool *refused) {
  auto body = [&] { return op.run(w); };
  plan.Arm(n);
  long result = op.zone ? memory::GuardedZoneCall(w.*op.zone, op.failure, body) : Guarded(op.failure, body);
  *refused = plan.refused > 0;
  plan.Arm(0);
  return result;
}

TEST(FaultInjection, EveryAllocationOfEveryOperationFailsCleanly) {
  for (const Operation &op : kOperations) {
    SCOPED_TRACE(op.name);
    World reference;
    bool refused = false;
    plan.Arm(LONG_MAX);
    const long success = op.run(reference);
    const long allocations = plan.counted;
    plan.Arm(0);
    const std::string done = reference.Snapshot();
    ASSERT_NE(success, op.failure);
    EXPECT_EQ(allocations > 0, op.allocates) << allocations << " allocations";

    for (long n = 1; n <= allocations; ++n) {
      SCOPED_TRACE(n);
      World w;
      const std::string before = w.Snapshot();
      long result = Attempt(op, w, n, &refused);
      short lastError = op.zone ? (w.*op.zone).LastError() : 0;  // before Snapshot sets it
      ASSERT_TRUE(refused);
      if (result == success && w.Snapshot() == done) continue;  // the failure was absorbed
      ASSERT_EQ(result, op.failure);
      EXPECT_EQ(w.Snapshot(), before) << "a failed operation changed the state";
      if (op.zone) {
        EXPECT_EQ(lastError, memory::kMemFullErr);
      }
      EXPECT_EQ(Attempt(op, w, 0, &refused), success) << "the retry";
      EXPECT_EQ(w.Snapshot(), done);
    }
  }
}

}  // namespace
}  // namespace tstools
