#pragma once
// The program's self-checks in simulated-mouse mode (--check): every Apply
// exchange broken in turn, and long runs of unplugging, Apply, page switches
// and dialogs with the process's own resource counters read before and after.
// What is run, what counts as a pass and how the report reads is here; the
// main window runs the cases.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovral {

enum class CheckPlan { Faults, Soak };

// "faults" or "soak"; nothing for anything else.
std::optional<CheckPlan> CheckPlanFromName(std::wstring_view name);

enum class FaultKind {
  Fail,    // the call fails and has no effect
  Drop,    // the call succeeds but the mouse never sees it
  Index,   // the next indexed answer names an index out of range
  Count,   // the next data answer announces more bytes than the buffer holds
  Silent,  // the mouse stops answering for the whole Apply
  Stall,   // the call takes longer than the link's bound, then proceeds
};
const char* FaultKindName(FaultKind kind);

struct FaultCase {
  FaultKind kind = FaultKind::Fail;
  size_t position = 0;  // exchange position for Fail, Drop and Stall
};

// Fail and Drop at every one of `exchanges` positions (or, to save time, at
// every `every`-th one from `offset`), the answer faults and silence once
// each, and a stall at every `stallStep`-th position (a stall costs its whole
// length in real time).
std::vector<FaultCase> FaultSweepPlan(size_t exchanges, size_t stallStep, size_t every = 1, size_t offset = 0);

struct FaultOutcome {
  FaultCase fault;
  double applyMs = 0;      // how long the interface thread was held
  bool fileWhole = false;  // config.bin was the record before or the one applied
  bool recovered = false;  // the next healthy Apply went through
};

// An Apply may take what a healthy one takes, one link bound, one stall (when
// the case stalls) and a margin for a loaded machine.
double FaultBoundMs(const FaultCase& fault, double healthyMs, double linkBoundMs, double stallMs);

struct FaultSweepSummary {
  size_t cases = 0;
  size_t failed = 0;  // cases over their bound, with a torn file or no recovery
  double worstMs = 0;
};
FaultSweepSummary Summarise(const std::vector<FaultOutcome>& outcomes, double healthyMs, double linkBoundMs,
                            double stallMs);
std::string FormatFaultReport(const std::vector<FaultOutcome>& outcomes, double healthyMs, double linkBoundMs,
                              double stallMs);

// The process's own counts (GetProcessHandleCount, GetGuiResources,
// GetProcessMemoryInfo).
struct ProcessCounters {
  int64_t handles = 0;
  int64_t gdiObjects = 0;
  int64_t userObjects = 0;
  int64_t privateBytes = 0;
  // Handles or GDI objects were probed (the system gave no count): the
  // figures are table positions, not counts.
  bool probed = false;
};
ProcessCounters ReadProcessCounters();

struct SoakPhase {
  std::string name;
  int cycles = 0;
  double seconds = 0;
  ProcessCounters before;
  ProcessCounters after;
  int cycleFailures = 0;  // cycles that did not reach their end state in time
};

// Flat: a phase may grow by a few objects and a little memory that caches
// and the system keep once (a leak of one object per cycle shows as hundreds).
bool CountersFlat(const SoakPhase& phase);
std::string FormatSoakReport(const std::vector<SoakPhase>& phases);

}  // namespace kovral
