#pragma once
// The program's command line: the normal start takes no arguments; a test or
// a person without the mouse starts it against the in-process simulator.
#include <optional>
#include <string>
#include <vector>

#include "app/check_run.h"
#include "ui/text_style.h"

namespace kovral {

struct LaunchOptions {
  bool simulate = false;
  // Sensor type the simulated mouse reports (its first sensor byte).
  int sensorType = 0;
  // Where the link's HID trace goes; empty: no trace.
  std::wstring traceFile;
  // Simulated-mouse mode only: addresses the web link opens are written to
  // this file instead of being opened.
  std::wstring shellLog;
  // Simulated-mouse mode only: the colour dialog is not shown; it answers
  // with this colour, or Cancel when `pickColorCancel` is set.
  std::optional<ui::Rgb> pickColor;
  bool pickColorCancel = false;
  // Simulated-mouse mode only: once started, the program runs its self-check
  // (every Apply exchange broken in turn, or the soak) and writes the report
  // to `checkLog`; it stays running afterwards.
  std::optional<CheckPlan> check;
  std::wstring checkLog;
  int checkCycles = 1000;  // soak cycles per phase (each dialog: a fiftieth)
  int checkEvery = 1;      // the fault sweep breaks every n-th exchange (from a position the clock picks)
};

struct LaunchParse {
  std::optional<LaunchOptions> options;  // empty on error
  std::wstring error;                    // what was wrong, for the user
};

// `args` excludes the program name.
LaunchParse ParseLaunchOptions(const std::vector<std::wstring>& args);

// The usage text shown when the command line cannot be understood.
const wchar_t* LaunchUsage();

// What the process does at start. The single-instance check comes before the
// command line is even looked at: a file dropped on the executable while the
// program runs, or any argument, must not bring up a usage box from a second
// copy. `anotherCopyRuns`: the program's mutex existed already.
struct LaunchDecision {
  bool run = false;      // go on with `options`
  int exitCode = 0;      // otherwise end the process with this
  std::wstring message;  // shown before ending; empty: end silently
  LaunchOptions options;
};
LaunchDecision DecideLaunch(bool anotherCopyRuns, const std::vector<std::wstring>& args);

}  // namespace kovral
