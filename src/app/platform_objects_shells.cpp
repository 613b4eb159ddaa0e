#include "app/platform_objects.h"

#include "app/shell_opener.h"
#include "app/start_with_windows.h"
#include "pages/page_pointer.h"
#include "settings/config_file.h"
#include "settings/ini_store.h"
#include "ui/color_chooser.h"
#include "ui/file_chooser.h"

namespace kovral {

void PlatformObjects::Lend(AppServices& services) const {
  services.files = files.get();
  services.ini = ini.get();
  services.pointer = pointer.get();
  services.colors = colors.get();
  services.shell = shell.get();
  services.runKey = runKey.get();
  services.fileChooser = fileChooser.get();
}

PlatformObjects MakePlatformObjects(const LaunchOptions& options, std::unique_ptr<ShellOpener> systemShell) {
  PlatformObjects made;
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
