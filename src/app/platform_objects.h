#pragma once
// The platform objects both programs make at start and keep for the run:
// files, the INI store, the pointer settings, the colour and file choosers,
// the web-link opener and the start-with-the-system entry, as the launch
// options choose them (a fixed colour answer, a shell log for the tests).
#include <memory>

#include "app/app_services.h"
#include "app/launch_options.h"

namespace kovral {

struct PlatformObjects {
  std::unique_ptr<ConfigFileSystem> files;
  std::unique_ptr<IniStore> ini;
  std::unique_ptr<PointerSettingsApi> pointer;
  std::unique_ptr<ColorChooser> colors;
  std::unique_ptr<ShellOpener> shell;
  std::unique_ptr<RunKey> runKey;  // the platform's, set by the program once `files` exists
  std::unique_ptr<FileChooser> fileChooser;

  // Points the services at these objects.
  void Lend(AppServices& services) const;
};

// `systemShell`: the platform's own web-link opener, replaced by a log when
// the options name one.
PlatformObjects MakePlatformObjects(const LaunchOptions& options, std::unique_ptr<ShellOpener> systemShell);

}  // namespace kovral
