// The soak: the sheet opened and closed again and again while renders run, with effects
// picked, options changed, pages switched and Render clicked at moments a seeded
// generator picks. Counts hangs, renders side by side, threads left behind, and the
// process's GDI and USER objects and handles at the start, after the first half of the
// cycles, three quarters through and at the end; a leak is growth that keeps going over
// the second half.
//
// LMX_SOAK_CYCLES (default 25) and LMX_SOAK_SEED (default 11) set the run; scripts/soak
// runs 1,000 cycles. The last line of the output is the summary scripts/soak reports.
#include "sheet_fixture.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace lmx::test {
namespace {

struct Counts {
  DWORD gdi = 0;
  DWORD user = 0;
  DWORD handles = 0;
  DWORD threads = 0;
};

// One count at each point of the run, as "a -> b -> c -> d".
std::string Course(const std::vector<Counts>& points, DWORD Counts::*count) {
  std::string text;
  for (const Counts& c : points) text += (text.empty() ? "" : " -> ") + std::to_string(c.*count);
  return text;
}

// The live GDI objects by type (OBJ_BITMAP, OBJ_FONT, ...), what a leak report names.
// Wine's GetGuiResources keeps no counts (it gives 0); there the GDI objects are the live
// entries of the handle table, which Wine finds by index alone.
std::map<DWORD, int> GdiObjectTypes() {
  std::map<DWORD, int> types;
  for (ULONG_PTR index = 1; index <= 0xFFFF; ++index)
    if (DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++types[type];
  return types;
}

DWORD GdiObjects() {
  DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (n == 0)
    for (const auto& [type, count] : GdiObjectTypes()) n += static_cast<DWORD>(count);
  return n;
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

// Wine's GetProcessHandleCount gives 0 as well; its system handle list holds the truth.
// The list (class 16): a count, then its entries, aligned for the object's address.
struct SystemHandleEntry {
  ULONG ownerProcess;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct SystemHandleList {
  ULONG count;
  SystemHandleEntry first;
};
#ifdef _WIN64
static_assert(sizeof(SystemHandleEntry) == 24 && offsetof(SystemHandleList, first) == 8, "64-bit layout");
#else
static_assert(sizeof(SystemHandleEntry) == 16 && offsetof(SystemHandleList, first) == 4, "32-bit layout");
#endif

DWORD KernelHandles() {
  DWORD n = 0;
  GetProcessHandleCount(GetCurrentProcess(), &n);
  if (n != 0) return n;
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<BYTE> buffer(1 << 16);
  ULONG needed = 0;
  LONG status;
  while ((status = query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()), &needed)) == kLengthMismatch)
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
  if (status < 0) return 0;
  ULONG count = 0;
  std::memcpy(&count, buffer.data(), sizeof count);
  constexpr size_t kEntriesAt = offsetof(SystemHandleList, first);
  const size_t fits = (buffer.size() - kEntriesAt) / sizeof(SystemHandleEntry);
  for (size_t i = 0; i < std::min<size_t>(count, fits); ++i) {
    SystemHandleEntry entry;
    std::memcpy(&entry, buffer.data() + kEntriesAt + i * sizeof entry, sizeof entry);
    n += entry.ownerProcess == GetCurrentProcessId();
  }
  return n;
}

// Without Wine's count, the USER objects are counted as this process's windows.
DWORD UserObjects() {
  DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (n != 0) return n;
  ForEachWindow([&](HWND top) {
    if (!IsOwnWindow(top)) return true;
    ++n;
    ForEachWindow([&](HWND) { return ++n != 0; }, top);
    return true;
  });
  return n;
}

Counts Measure() {
  Counts c;
  c.gdi = GdiObjects();
  c.user = UserObjects();
  c.handles = KernelHandles();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++c.threads;
  CloseHandle(snapshot);
  return c;
}

// A leak grows with the cycles: from the first checkpoint to the second and again to the
// third. A single rise is something Wine makes once and keeps, late when the machine is
// busy (a cache filled at its first use, the event of a lock that first meets contention).
bool KeepsGrowing(DWORD first, DWORD second, DWORD third) { return second > first && third > second; }

// Counts settle a moment after a sheet closes (threads end, windows are destroyed).
Counts Settled(const Counts& start) {
  Counts now = Measure();
  WaitUntil([&] {
    now = Measure();
    return now.gdi <= start.gdi && now.user <= start.user && now.handles <= start.handles &&
           now.threads <= start.threads;
  }, 3000);
  return now;
}

unsigned long FromEnvironment(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  unsigned long value = std::strtoul(text, &end, 10);
  return end && *end == '\0' ? value : fallback;
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
  const std::vector<Counts> points = {start, warm, mid, end};
  std::printf(
      "soak: %lu cycles (seed %lu), %lu hangs, %d renders at most at once, %d engine calls; GDI objects %s, "
      "USER objects %s, handles %s, threads %s (at the start, after %lu and %lu cycles, at the end)\n",
      done, seed, hangs, maxActive, engine_->CallCount(), Course(points, &Counts::gdi).c_str(),
      Course(points, &Counts::user).c_str(), Course(points, &Counts::handles).c_str(),
      Course(points, &Counts::threads).c_str(), warmCycles, midCycles);
  std::fflush(stdout);
  EXPECT_EQ(hangs, 0u);
  EXPECT_EQ(done, cycles);
  EXPECT_EQ(maxActive, 1) << "never two renders at once";
  EXPECT_FALSE(KeepsGrowing(warm.gdi, mid.gdi, end.gdi))
      << "GDI objects, grown by type:" << GdiGrowth(warmTypes, GdiObjectTypes());
  EXPECT_FALSE(KeepsGrowing(warm.user, mid.user, end.user)) << "USER objects";
  EXPECT_FALSE(KeepsGrowing(warm.handles, mid.handles, end.handles)) << "handles";
  EXPECT_LE(end.threads, start.threads) << "threads";
  EXPECT_TRUE(boxes_.Texts().empty()) << "no message box";
}

}  // namespace
}  // namespace lmx::test
