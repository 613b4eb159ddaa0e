#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>

#include "check/check_run.h"

namespace kovral {

namespace {

// Where the system does not count (Wine answers 0 for handles and GUI
// objects), the tables are probed instead: a handle or GDI object made now
// takes the lowest free entry, or a new one at the top once the free ones are
// used up, so objects leaked cycle after cycle push the probe up.
int64_t ProbeHandleTable() {
  HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!probe) return 0;
  const auto slot = static_cast<int64_t>(reinterpret_cast<uintptr_t>(probe) >> 2);
  CloseHandle(probe);
  return slot;
}

int64_t ProbeGdiTable() {
  constexpr int kProbes = 64;
  HBRUSH probes[kProbes] = {};
  int64_t highest = 0;
  for (HBRUSH& brush : probes) {
    brush = CreateSolidBrush(RGB(1, 2, 3));
    highest = std::max<int64_t>(highest, reinterpret_cast<uintptr_t>(brush) & 0xFFFF);
  }
  for (HBRUSH brush : probes)
    if (brush) DeleteObject(brush);
  return highest;
}

}  // namespace

ProcessCounters ReadProcessCounters() {
  ProcessCounters c;
  HANDLE self = GetCurrentProcess();
  DWORD handles = 0;
  if (GetProcessHandleCount(self, &handles)) c.handles = handles;
  if (c.handles == 0) {
    c.handles = ProbeHandleTable();
    c.probed = true;
  }
  c.gdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
  if (c.gdiObjects == 0) {
    c.gdiObjects = ProbeGdiTable();
    c.probed = true;
  }
  c.userObjects = GetGuiResources(self, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    // Wine leaves PrivateUsage at 0; its commit charge is the same quantity.
    c.privateBytes = static_cast<int64_t>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
  }
  return c;
}

}  // namespace kovral
