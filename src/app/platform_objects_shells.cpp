#include "app/platform_objects.h"

#include "app/shell_opener.h"
#include "app/start_with_windows.h"
#include "device/clock.h"
#include "device/hid_system.h"
#include "pages/page_pointer.h"
#include "settings/config_file.h"
#include "settings/ini_store.h"
#include "sim/sim_mouse.h"
#include "ui/color_chooser.h"
#include "ui/file_chooser.h"

namespace kovral {

AppServices PlatformObjects::Lend(MessageSink& messages, const LaunchOptions& options) const {
  AppServices services;
  services.hid = hid.get();
  services.clock = clock.get();
  services.sim = sim.get();
  services.messages = &messages;
  services.files = files.get();
  services.ini = ini.get();
  services.pointer = pointer.get();
  services.colors = colors.get();
  services.shell = shell.get();
  services.runKey = runKey.get();
  services.fileChooser = fileChooser.get();
  services.traceFile = options.traceFile;
  services.check = options.check;
  services.checkLog = options.checkLog;
  services.checkCycles = options.checkCycles;
  services.checkEvery = options.checkEvery;
  return services;
}

PlatformObjects MakePlatformObjects(const LaunchOptions& options, std::unique_ptr<ShellOpener> systemShell) {
  PlatformObjects made;
  made.clock = MakeSystemClock();
  if (options.simulate) {
    SimOptions simOptions;
    simOptions.sensorType = static_cast<uint8_t>(options.sensorType);
    // A simulated mouse left running for hours must not keep every exchange;
    // the fault sweep reads back at most one Apply's.
    simOptions.recordLimit = 512;
    made.sim = std::make_unique<SimMouse>(*made.clock, simOptions);
    made.hid = std::make_unique<SimHidPlatform>(*made.sim);
  } else {
    made.hid = MakeSystemHidPlatform();
  }
  made.files = MakeSystemFileSystem();
  made.ini = MakeSystemIniStore();
  made.pointer = MakeSystemPointerSettings();
  if (options.pickColor || options.pickColorCancel)
    made.colors = std::make_unique<FixedColorChooser>(options.pickColor);
  else
    made.colors = MakeSystemColorChooser();
  made.shell = options.shellLog.empty() ? std::move(systemShell) : std::make_unique<ShellLog>(options.shellLog);
  made.fileChooser = MakeSystemFileChooser();
  return made;
}

}  // namespace kovral
