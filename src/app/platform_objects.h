#pragma once
// The platform objects both programs make at start and keep for the run:
// the clock and the mouse (the system's HID devices or the simulated mouse),
// files, the INI store, the pointer settings, the colour and file choosers,
// the web-link opener and the start-with-the-system entry, as the launch
// options choose them (a fixed colour answer, a shell log for the tests).
#include <memory>

#include "app/app_services.h"
#include "app/launch_options.h"
#include "device/clock.h"
#include "device/hid_system.h"
#include "sim/sim_mouse.h"

namespace kovral {

struct PlatformObjects {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<SimMouse> sim;  // only with --simulate
  std::unique_ptr<HidPlatform> hid;
  std::unique_ptr<ConfigFileSystem> files;
  std::unique_ptr<IniStore> ini;
  std::unique_ptr<PointerSettingsApi> pointer;
  std::unique_ptr<ColorChooser> colors;
  std::unique_ptr<ShellOpener> shell;
  std::unique_ptr<RunKey> runKey;  // the platform's, set by the program once `files` exists
  std::unique_ptr<FileChooser> fileChooser;

  // Services pointing at these objects, with the options' trace file and
  // self-check.
  AppServices Lend(MessageSink& messages, const LaunchOptions& options) const;
};

// `systemShell`: the platform's own web-link opener, replaced by a log when
// the options name one.
PlatformObjects MakePlatformObjects(const LaunchOptions& options, std::unique_ptr<ShellOpener> systemShell);

}  // namespace kovral
