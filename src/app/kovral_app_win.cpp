#include "app/kovral_app_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "app/kovral_dlg_win.h"
#include "app/launch_options.h"
#include "app/platform_objects.h"
#include "app/start_with_windows.h"
#include "view/message_box_win.h"
#include "app/shell_opener.h"
#include "settings/app_paths.h"
#include "base/handles_win.h"
#include "ui/window_win.h"

namespace kovral {
namespace {

std::vector<std::wstring> CommandLineArguments() {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

constexpr wchar_t kSingleInstanceMutex[] = L"KV-305Mutex";

// One copy at a time. The mutex is never closed: it lives as long as the
// process, and the installer looks for it to know the program runs.
bool AnotherCopyRuns() {
  CreateMutexW(nullptr, FALSE, kSingleInstanceMutex);
  return GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

// A second copy leaves first thing, silently and without activating the
// first: before the command line, the window class or the simulated mouse.
int CKovralApp::Main() {
  const LaunchDecision launch = DecideLaunch(AnotherCopyRuns(), CommandLineArguments());
  WindowMessageSink messages(ApplicationName(ModulePath()));
  if (!launch.message.empty()) messages.Show(launch.message, L"");
  if (!launch.run) return launch.exitCode;
  const LaunchOptions& options = launch.options;

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  // The main dialog's template names this class, so it must exist first.
  // Without it there is no window to show: the process ends quietly.
  if (!ui::RegisterDialogClass(ui::kMainWindowClass)) return 1;
  GdiplusSession gdiplus;

  PlatformObjects platform = MakePlatformObjects(options, MakeSystemShell());
  platform.runKey = MakeSystemRunKey();
  AppServices services = platform.Lend(messages, options);

  CKovralDlg dialog(services, messages);
  dialog.RunModal();
  return 0;
}

}  // namespace kovral
