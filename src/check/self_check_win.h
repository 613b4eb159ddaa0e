#pragma once
// The self-checks of simulated-mouse mode (--check), run on the real program:
// the main dialog's link, record and pages, its Apply and save, the dialogs a
// user opens, and a simulated mouse broken on purpose.
#include <windows.h>

#include <functional>
#include <string>

#include "check/check_run.h"
#include "ui/text_style.h"

namespace kovral {

class ColorChooser;
class OsdWindow;
class ConfigFileSystem;
class CPageHost;
class SettingsSession;
class SimMouse;
struct DeviceImage;
struct DeviceLink;

// What a check drives: the main dialog's own parts (the references follow
// its members, so a check sees each as it is at every step) and the platform
// objects of simulated-mouse mode.
struct SelfCheckTarget {
  HWND window;  // the dialogs' owner; its queue is handled between cases
  SimMouse& sim;
  ConfigFileSystem& files;
  ColorChooser& colors;
  DeviceLink& link;
  DeviceImage& image;
  SettingsSession& settings;
  CPageHost& pages;
  const std::wstring& skinFolder;
  const std::wstring& skinName;
  const ui::Rgb& textColor;
  const std::wstring& languageCode;
  std::function<void()> sendAndSave;  // Apply and save as OK does them
  OsdWindow* osd = nullptr;           // the on-screen display the mouse's notices go to
};

// The check asked for on the command line.
struct SelfCheckRequest {
  CheckPlan plan = CheckPlan::Faults;
  std::wstring log;  // where the report goes
  int cycles = 1000;
  int every = 1;
};

// Runs the check on the interface thread, handling the queue between cases
// as a user's clicks would, and writes the report to the request's log.
void RunSelfCheck(const SelfCheckTarget& target, const SelfCheckRequest& request);

// WM_TIMER of the main window: a dialog of a soak cycle is ended once it is up.
void OnSelfCheckTimer(HWND window, WPARAM timer);

}  // namespace kovral
