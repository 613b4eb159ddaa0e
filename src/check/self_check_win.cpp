// The self-checks of simulated-mouse mode (--check): the real program, its
// real link and files, and a simulated mouse broken on purpose. The cases,
// their bounds and the report are in check_run.h; here they are run on the
// interface thread, with the queue handled between cases as a user's clicks
// would be.
#include <chrono>
#include <fstream>

#include "check/self_check_win.h"

#include "device/commands.h"
#include "device/device_link.h"
#include "device/protocol.h"
#include "dialogs/dialog_names.h"
#include "dialogs/skin_dialog_win.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/skins_dialog_win.h"
#include "pages/page_host_win.h"
#include "settings/config_file.h"
#include "settings/settings_session.h"
#include "sim/sim_mouse.h"
#include "view/osd_window_win.h"

namespace kovral {
namespace {

using SteadyClock = std::chrono::steady_clock;

double MillisecondsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

constexpr double kStallMs = 1000;  // longer than the link's bound

// A dialog of a soak cycle runs its own modal loop; the timer set before it
// starts fires inside that loop and ends the dialog once it is up.
constexpr UINT_PTR kEndDialogTimer = 0x4B56;

// One run of a check. The members name the main dialog's parts as the
// dialog does.
class SelfCheck {
 public:
  SelfCheck(const SelfCheckTarget& target, const SelfCheckRequest& request) : t_(target), request_(request) {}

  std::string RunFaultSweep();
  std::string RunSoak(int cycles);

 private:
  void SendAndSave() { t_.sendAndSave(); }
  void EndDialogLater();

  const SelfCheckTarget& t_;
  const SelfCheckRequest& request_;
  HWND hwnd_ = t_.window;
  DeviceLink& link_ = t_.link;
  DeviceImage& image_ = t_.image;
  SettingsSession* settings_ = &t_.settings;
  CPageHost& pages_ = t_.pages;
};

// Handles the queue for up to `milliseconds`, or until `done` holds; false
// when `done` never held.
bool PumpUntil(int milliseconds, const std::function<bool()>& done) {
  const SteadyClock::time_point end = SteadyClock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done && done()) return true;
    if (SteadyClock::now() >= end) return !done;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

}  // namespace

void RunSelfCheck(const SelfCheckTarget& target, const SelfCheckRequest& request) {
  SelfCheck check(target, request);
  std::string report = request.plan == CheckPlan::Faults ? check.RunFaultSweep() : check.RunSoak(request.cycles);
  // Written whole at the end, so a reader that sees the file sees the report.
  const std::wstring temporary = request.log + L".part";
  {
    std::ofstream out(temporary.c_str(), std::ios::binary | std::ios::trunc);
    out << report;
  }
  MoveFileExW(temporary.c_str(), request.log.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Every exchange of Apply broken in turn. Between cases the record changes,
// so each Apply has an old and a new config.bin to be.
std::string SelfCheck::RunFaultSweep() {
  SimMouse& sim = t_.sim;
  if (link_.ready == 0) return "faults: the simulated mouse is not ready\n";
  const std::wstring configPath = settings_->paths().configBin;
  const auto fileBytes = [&] { return t_.files.ReadAll(configPath).value_or(std::vector<uint8_t>{}); };
  const auto healthyApply = [&] {
    sim.ClearFaults();
    sim.ClearRecord();
    return Apply(link_, settings_->config, image_, [&] { settings_->SaveAll(); });
  };

  healthyApply();  // the first Apply reads what later ones take for granted
  const SteadyClock::time_point start = SteadyClock::now();
  healthyApply();
  const double healthyMs = MillisecondsSince(start);
  const size_t exchanges = sim.Exchanges().size();
  const double boundMs = std::chrono::duration<double, std::milli>(protocol::kDataPhaseTimeout).count();

  // A sample starts where the clock says, so runs of it cover every position
  // in time; the report names the start, so a failure can be run again.
  const size_t every = static_cast<size_t>(request_.every);
  const size_t offset = every > 1 ? static_cast<size_t>(GetTickCount64() / 1000) % every : 0;
  std::vector<FaultOutcome> outcomes;
  for (const FaultCase& fault : FaultSweepPlan(exchanges, 10, every, offset)) {
    settings_->config.reportRate = settings_->config.reportRate == 1 ? 8 : 1;
    const std::vector<uint8_t> before = fileBytes();
    sim.ClearFaults();
    sim.ClearRecord();
    switch (fault.kind) {
      case FaultKind::Fail: sim.FailExchange(fault.position); break;
      case FaultKind::Drop: sim.DropExchange(fault.position); break;
      case FaultKind::Index: sim.AnswerWithIndex(0xEE); break;
      case FaultKind::Count: sim.AnswerWithCount(0xFF); break;
      case FaultKind::Silent: sim.SetResponding(false); break;
      case FaultKind::Stall:
        sim.StallExchange(fault.position, std::chrono::duration_cast<Micros>(std::chrono::duration<double, std::milli>(kStallMs)));
        break;
    }
    FaultOutcome outcome{fault};
    const SteadyClock::time_point applyStart = SteadyClock::now();
    SendAndSave();
    outcome.applyMs = MillisecondsSince(applyStart);
    sim.SetResponding(true);
    const std::vector<uint8_t> after = fileBytes();
    outcome.fileWhole = after == before || after == ConfigFileBytes(settings_->config, 1);
    PumpUntil(20, {});
    outcome.recovered = healthyApply() && link_.ready != 0;
    outcomes.push_back(outcome);
  }
  sim.ClearFaults();
  std::string sample;
  if (every > 1)
    sample = "fail and drop at one exchange in " + std::to_string(every) + ", from exchange " +
             std::to_string(offset) + "\n";
  return sample + FormatFaultReport(outcomes, healthyMs, boundMs, kStallMs);
}

void SelfCheck::EndDialogLater() { SetTimer(hwnd_, kEndDialogTimer, 10, nullptr); }

void OnSelfCheckTimer(HWND window, WPARAM timer) {
  if (timer != kEndDialogTimer) return;
  struct Search {
    HWND owner;
    HWND found = nullptr;
  } search{window};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (GetWindow(window, GW_OWNER) != s->owner || !IsWindowVisible(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;  // not up yet: the timer fires again
  KillTimer(window, kEndDialogTimer);
  PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
}

std::string SelfCheck::RunSoak(int cycles) {
  SimMouse& sim = t_.sim;
  std::vector<SoakPhase> phases;
  // `warmUp` cycles go first, unmeasured: the first of each kind of work
  // makes what is kept for the run (fonts, cached pictures, the reader's
  // events, the system's own caches).
  const auto phase = [&](const char* name, int count, int warmUp, const std::function<bool(int)>& cycle) {
    for (int i = 0; i < warmUp; ++i) cycle(i);
    PumpUntil(200, {});
    SoakPhase p;
    p.name = name;
    p.cycles = count;
    p.before = ReadProcessCounters();
    const SteadyClock::time_point start = SteadyClock::now();
    for (int i = 0; i < count; ++i)
      if (!cycle(i)) ++p.cycleFailures;
    p.seconds = MillisecondsSince(start) / 1000.0;
    PumpUntil(200, {});
    p.after = ReadProcessCounters();
    phases.push_back(p);
  };

  phase("plug", cycles, 2, [&](int i) {
    // A notice in flight as the mouse goes: the reader must not mind.
    sim.EmitNotification(7, static_cast<uint8_t>(1 + i % 4));
    sim.Unplug();
    if (!PumpUntil(3000, [&] { return link_.ready == 0; })) return false;
    sim.Plug();
    if (!PumpUntil(5000, [&] { return link_.ready != 0; })) return false;
    sim.EmitNotification(5, 1);
    return PumpUntil(1, {});
  });
  phase("apply", cycles, 2, [&](int i) {
    settings_->config.reportRate = i % 2 ? 8 : 1;
    SendAndSave();
    return PumpUntil(1, {}) && link_.ready != 0;
  });
  // Each of the mouse's in-game notices in turn, through the reader and the
  // notice path, onto the screen; most showings are ended at once (a new
  // notice replaces one showing the same way), every fiftieth runs its
  // whole hold and fade and ends on its own timer.
  if (t_.osd) {
    phase("osd", cycles, 2, [&](int i) {
      static constexpr std::pair<uint8_t, uint8_t> kNotices[] = {{7, 1}, {5, 1}, {7, 2}, {8, 2}, {9, 3}, {7, 4}, {8, 1}};
      const auto [code, value] = kNotices[i % std::size(kNotices)];
      sim.EmitNotification(code, value);
      if (!PumpUntil(2000, [&] { return t_.osd->showing(); })) return false;
      if (i % 50 == 49) return PumpUntil(kOsdHoldMs + kOsdFadeMs + 2000, [&] { return !t_.osd->showing(); });
      t_.osd->Hide();
      return PumpUntil(1, {});
    });
  }
  phase("pages", cycles, 2, [&](int i) {
    pages_.Show(i % 2 ? kBasicPage : kAdvancedPage);
    return PumpUntil(1, {});
  });
  const DialogEnvironment environment{t_.skinFolder, t_.textColor, t_.languageCode};
  const std::function<INT_PTR(int)> dialogs[] = {
      [&](int) { return CMediaDialog(environment).RunModal(); },
      [&](int) { return CWindowsDialog(environment).RunModal(); },
      [&](int) { return CFireKeyDialog(environment).RunModal(); },
      [&](int) { return CSingleDialog(environment).RunModal(); },
      [&](int) { return CComboDialog(environment).RunModal(); },
      [&](int) { return CDelayTimeDialog(environment).RunModal(); },
      [&](int) { return CMacroDialog(environment, {L"one", L"two"}).RunModal(); },
      [&](int) { return CSkinsDialog(environment, t_.skinName, t_.colors).RunModal(); },
  };
  // Under Wine on a display without a window manager, closing a dialog
  // waits two seconds for the window to be withdrawn: dialogs get a fiftieth
  // of the cycles, each kind in turn.
  const int dialogCycles = std::max(2, cycles / 50);
  double dialogMs[std::size(dialogs)] = {};
  phase("dialogs", dialogCycles * static_cast<int>(std::size(dialogs)), static_cast<int>(std::size(dialogs)),
        [&](int i) {
    const SteadyClock::time_point start = SteadyClock::now();
    EndDialogLater();
    const bool cancelled = dialogs[i % std::size(dialogs)](i) == IDCANCEL;
    dialogMs[i % std::size(dialogs)] += MillisecondsSince(start);
    return cancelled;
  });
  pages_.Show(kBasicPage);
  // How long one dialog takes to open and close, in the order above.
  std::string timing = "dialog open and close, ms each:";
  for (double total : dialogMs) timing += " " + std::to_string(static_cast<int>(total / (dialogCycles + 1)));  // with the warm-up
  return timing + "\n" + FormatSoakReport(phases);
}

}  // namespace kovral
