#include "check/check_run.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace kovral {
namespace {

// Allowances of a soak phase, whatever its length.
constexpr int64_t kObjectAllowance = 8;
constexpr int64_t kMemoryAllowance = 2 * 1024 * 1024;
// Scheduling on a loaded machine, on top of the computed bound.
constexpr double kMarginMs = 400;

std::string Format(const char* format, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

bool Passed(const FaultOutcome& o, double healthyMs, double linkBoundMs, double stallMs) {
  return o.fileWhole && o.recovered && o.applyMs <= FaultBoundMs(o.fault, healthyMs, linkBoundMs, stallMs);
}

}  // namespace

std::optional<CheckPlan> CheckPlanFromName(std::wstring_view name) {
  if (name == L"faults") return CheckPlan::Faults;
  if (name == L"soak") return CheckPlan::Soak;
  return std::nullopt;
}

const char* FaultKindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::Fail: return "fail";
    case FaultKind::Drop: return "drop";
    case FaultKind::Index: return "index";
    case FaultKind::Count: return "count";
    case FaultKind::Silent: return "silent";
    case FaultKind::Stall: return "stall";
  }
  return "?";
}

std::vector<FaultCase> FaultSweepPlan(size_t exchanges, size_t stallStep, size_t every, size_t offset) {
  std::vector<FaultCase> plan;
  if (every == 0) every = 1;
  for (FaultKind kind : {FaultKind::Fail, FaultKind::Drop})
    for (size_t p = offset % every; p < exchanges; p += every) plan.push_back({kind, p});
  plan.push_back({FaultKind::Index, 0});
  plan.push_back({FaultKind::Count, 0});
  plan.push_back({FaultKind::Silent, 0});
  if (stallStep > 0)
    for (size_t p = 0; p < exchanges; p += stallStep) plan.push_back({FaultKind::Stall, p});
  return plan;
}

double FaultBoundMs(const FaultCase& fault, double healthyMs, double linkBoundMs, double stallMs) {
  return healthyMs + linkBoundMs + (fault.kind == FaultKind::Stall ? stallMs : 0) + kMarginMs;
}

FaultSweepSummary Summarise(const std::vector<FaultOutcome>& outcomes, double healthyMs, double linkBoundMs,
                            double stallMs) {
  FaultSweepSummary s;
  s.cases = outcomes.size();
  for (const FaultOutcome& o : outcomes) {
    if (!Passed(o, healthyMs, linkBoundMs, stallMs)) ++s.failed;
    s.worstMs = std::max(s.worstMs, o.applyMs);
  }
  return s;
}

std::string FormatFaultReport(const std::vector<FaultOutcome>& outcomes, double healthyMs, double linkBoundMs,
                              double stallMs) {
  std::string report = Format("healthy apply %.1f ms, link bound %.0f ms, stall %.0f ms\n", healthyMs, linkBoundMs,
                              stallMs);
  for (FaultKind kind :
       {FaultKind::Fail, FaultKind::Drop, FaultKind::Index, FaultKind::Count, FaultKind::Silent, FaultKind::Stall}) {
    std::vector<FaultOutcome> ofKind;
    for (const FaultOutcome& o : outcomes)
      if (o.fault.kind == kind) ofKind.push_back(o);
    if (ofKind.empty()) continue;
    const FaultSweepSummary s = Summarise(ofKind, healthyMs, linkBoundMs, stallMs);
    report += Format("%-6s cases %zu survived %zu worst %.1f ms\n", FaultKindName(kind), s.cases, s.cases - s.failed,
                     s.worstMs);
  }
  for (const FaultOutcome& o : outcomes) {
    if (Passed(o, healthyMs, linkBoundMs, stallMs)) continue;
    report += Format("FAILED %s at %zu: %.1f ms (bound %.1f), file %s, %s\n", FaultKindName(o.fault.kind),
                     o.fault.position, o.applyMs, FaultBoundMs(o.fault, healthyMs, linkBoundMs, stallMs),
                     o.fileWhole ? "whole" : "TORN", o.recovered ? "recovered" : "NOT RECOVERED");
  }
  const FaultSweepSummary all = Summarise(outcomes, healthyMs, linkBoundMs, stallMs);
  report += Format("faults: %zu cases, %zu survived, %zu failed\n", all.cases, all.cases - all.failed, all.failed);
  return report;
}

bool CountersFlat(const SoakPhase& phase) {
  const ProcessCounters& a = phase.before;
  const ProcessCounters& b = phase.after;
  return b.handles - a.handles <= kObjectAllowance && b.gdiObjects - a.gdiObjects <= kObjectAllowance &&
         b.userObjects - a.userObjects <= kObjectAllowance && b.privateBytes - a.privateBytes <= kMemoryAllowance;
}

std::string FormatSoakReport(const std::vector<SoakPhase>& phases) {
  std::string report;
  bool allFlat = true;
  for (const SoakPhase& p : phases) {
    const bool flat = CountersFlat(p) && p.cycleFailures == 0;
    allFlat = allFlat && flat;
    report += Format(
        "%-8s cycles %d in %.1f s, failed cycles %d: handles %+" PRId64 " (%" PRId64 "), gdi %+" PRId64 " (%" PRId64
        "), user %+" PRId64 " (%" PRId64 "), private bytes %+" PRId64 " (%" PRId64 ") %s\n",
        p.name.c_str(), p.cycles, p.seconds, p.cycleFailures, p.after.handles - p.before.handles, p.after.handles,
        p.after.gdiObjects - p.before.gdiObjects, p.after.gdiObjects, p.after.userObjects - p.before.userObjects,
        p.after.userObjects, p.after.privateBytes - p.before.privateBytes, p.after.privateBytes,
        flat ? "flat" : "GROWING");
    if (p.after.probed) report += "         (handles and GDI objects probed: the system gives no counts)\n";
  }
  report += allFlat ? "soak: flat\n" : "soak: FAILED\n";
  return report;
}

}  // namespace kovral
