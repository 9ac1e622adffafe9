// The soak: the sheet opened and closed again and again while renders run, with effects
// picked, options changed, pages switched and Render clicked at moments a seeded
// generator picks. Counts hangs, renders side by side, threads left behind, and the
// process's GDI and USER objects and handles at the start, after the first half of the
// cycles, three quarters through and at the end; a leak is growth that keeps going over
// the second half.
// LMX_SOAK_CYCLES (default 25) and LMX_SOAK_SEED (default 11) set the run; scripts/soak
// runs 1,000 cycles. The last line of the output is the summary scripts/soak reports.
#include "sheet_fixture.h"

#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace lmx::test {
namespace {

// What is measured at each point of the run, by these names in the summary.
enum Kind { kGdi, kUser, kHandles, kThreads, kKinds };
const char* const kKindNames[kKinds] = {"GDI objects", "USER objects", "handles", "threads"};
using Counts = std::array<DWORD, kKinds>;

// The live GDI objects by type (OBJ_BITMAP, OBJ_FONT, ...), what a leak report names.
// Wine's GetGuiResources keeps no counts (it gives 0); there the GDI objects are the live
// entries of the handle table, which Wine finds by index alone.
std::map<DWORD, int> GdiObjectTypes() {
  std::map<DWORD, int> types;
  for (ULONG_PTR index = 1; index <= 0xFFFF; ++index)
    if (DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++types[type];
  return types;
}

std::string GdiGrowth(const std::map<DWORD, int>& before, const std::map<DWORD, int>& after) {
  std::string text;
  for (const auto& [type, count] : after) {
    const auto was = before.find(type);
    const int grew = count - (was == before.end() ? 0 : was->second);
    if (grew > 0) text += " type " + std::to_string(type) + ": +" + std::to_string(grew) + ";";
  }
  return text;
}

Counts Measure() {
  Counts c{};
  c[kGdi] = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (c[kGdi] == 0)
    for (const auto& [type, count] : GdiObjectTypes()) c[kGdi] += static_cast<DWORD>(count);
  // Without Wine's count, the USER objects are this process's windows.
  c[kUser] = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (c[kUser] == 0) {
    ForEachWindow([&](HWND top) {
      if (!IsOwnWindow(top)) return true;
      ++c[kUser];
      ForEachWindow([&](HWND) { return ++c[kUser] != 0; }, top);
      return true;
    });
  }
  // Wine's GetProcessHandleCount gives 0 too; its handles are small multiples of four,
  // each live one known to GetHandleInformation.
  const bool counted = GetProcessHandleCount(GetCurrentProcess(), &c[kHandles]) && c[kHandles] != 0;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; !counted && value < 0x10000; value += 4)
    c[kHandles] += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
    c[kThreads] += entry.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snapshot);
  return c;
}

// Counts settle a moment after a sheet closes (threads end, windows are destroyed).
Counts Settled(const Counts& start) {
  Counts now = Measure();
  WaitUntil([&] {
    now = Measure();
    return std::equal(now.begin(), now.end(), start.begin(), std::less_equal<DWORD>());
  }, 3000);
  return now;
}

unsigned long FromEnvironment(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  char* end = nullptr;
  const unsigned long value = text ? std::strtoul(text, &end, 10) : 0;
  return text && *text && *end == '\0' ? value : fallback;
}

class Soak : public SheetFixture {
 protected:
  // One random action on the sheet. False when the sheet stopped answering in time.
  bool Act(SheetRun& run, bool filterMode) {
    const int pages = filterMode ? 5 : 4;
    const int settings = pages - 1;
    const int page = run.CurrentIndex();
    switch (Pick(6)) {
      case 0: return run.ShowPage(Pick(pages));
      case 1:
        if (page != settings) run.Click(IDC_PANEL_RENDER);
        return true;
      case 2:
        if (page == 0) run.Click(IDC_FX_BUTTON_FIRST + Pick(5));
        return true;
      case 3: {
        int control = 0;
        if (page == 1) control = IDC_OPT_LIGHTING;
        if (filterMode && page == 2) control = IDC_FILTER_CENTER_OBJECTS;
        if (page == settings - 1) control = IDC_OBJ_ROTATES_WITH_PATH;
        if (control) run.Click(control);
        return true;
      }
      default: {
        // A moment: until the engine has taken one to three more frames, or a little while.
        const int target = engine_->CallCount() + 1 + Pick(3);
        WaitUntil([&] { return engine_->CallCount() >= target; }, 20 + Pick(150));
        return true;
      }
    }
  }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  std::mt19937 random_;
};

TEST_F(Soak, SheetsOpenedAndClosedDuringRendersLeaveNothingBehind) {
  const unsigned long cycles = FromEnvironment("LMX_SOAK_CYCLES", 25);
  const unsigned long seed = FromEnvironment("LMX_SOAK_SEED", 11);
  random_.seed(static_cast<std::mt19937::result_type>(seed));
  SetRegistryDword("Prev_Frames", 6);
  SetRegistryDword("Prev_Render", 1);
  Load();
  engine_->Reset(2);  // every frame takes a little while: renders are often under way

  // One sheet first: what the first sheet of a process sets up once is not a leak.
  ASSERT_EQ(Open().Close(PSBTN_CANCEL), 1);
  run_.reset();
  // Wine's user32 keeps a cache of device contexts (each with its clipping region) and
  // comctl32 a few pens, brushes and bitmaps; they fill within the first cycles and then
  // stay. So a leak is judged from the counts after the first half of the cycles (at most
  // 50), three quarters through and at the end: anything that grows with the cycles
  // rises twice.
  const Counts start = Measure();
  const unsigned long warmCycles = std::min(cycles / 2, 50ul);
  const unsigned long midCycles = (warmCycles + cycles) / 2;
  Counts warm = start, mid = start;
  std::map<DWORD, int> warmTypes = GdiObjectTypes();
  unsigned long hangs = 0, done = 0;
  for (; done < cycles && hangs == 0; ++done) {
    if (done == warmCycles) {
      warm = Settled(start);
      warmTypes = GdiObjectTypes();
    }
    if (done == midCycles) mid = Settled(warm);
    const bool filterMode = Pick(10) == 0;
    SheetRun& run = Open(filterMode ? 1 : 0);
    if (!run.sheet()) {
      ++hangs;
      break;
    }
    bool answering = true;
    for (int action = 0, count = 2 + Pick(10); action < count && answering; ++action) answering = Act(run, filterMode);
    const bool ok = Pick(2) == 0;
    run.Press(ok ? PSBTN_OK : PSBTN_CANCEL);
    const int result = run.Finish(20000);
    if (!answering || result == -100) {
      ++hangs;
      ADD_FAILURE() << "cycle " << done << ": the sheet stopped answering";
      break;
    }
    EXPECT_EQ(result, ok ? 0 : 1) << "cycle " << done;
    EXPECT_EQ(engine_->Active(), 0) << "cycle " << done << ": a render runs after the sheet closed";
    run_.reset();
  }
  const Counts end = Settled(mid);
  const int maxActive = engine_->MaxActive();
  std::string courses;
  for (int kind = 0; kind < kKinds; ++kind)
    courses += std::string(", ") + kKindNames[kind] + " " + std::to_string(start[kind]) + " -> " +
               std::to_string(warm[kind]) + " -> " + std::to_string(mid[kind]) + " -> " + std::to_string(end[kind]);
  std::printf("soak: %lu cycles (seed %lu), %lu hangs, %d renders at most at once, %d engine calls%s "
              "(at the start, after %lu and %lu cycles, at the end)\n",
              done, seed, hangs, maxActive, engine_->CallCount(), courses.c_str(), warmCycles, midCycles);
  std::fflush(stdout);
  EXPECT_EQ(hangs, 0u);
  EXPECT_EQ(done, cycles);
  EXPECT_EQ(maxActive, 1) << "never two renders at once";
  // A leak grows with the cycles: from the first checkpoint to the second and again to the
  // third. A single rise is something Wine makes once and keeps, late when the machine is
  // busy (a cache filled at its first use, the event of a lock that first meets contention).
  for (int kind : {kGdi, kUser, kHandles})
    EXPECT_FALSE(mid[kind] > warm[kind] && end[kind] > mid[kind])
        << kKindNames[kind] << (kind == kGdi ? ", grown by type:" + GdiGrowth(warmTypes, GdiObjectTypes()) : "");
  EXPECT_LE(end[kThreads], start[kThreads]) << "threads";
  EXPECT_TRUE(boxes_.Texts().empty()) << "no message box";
}

}  // namespace
}  // namespace lmx::test
