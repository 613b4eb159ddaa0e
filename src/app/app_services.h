#pragma once
// The platform objects the program runs on, made once at start: the real HID
// stack or the in-process simulated mouse, files, INI store, clock, pointer
// settings and message boxes.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "check/check_run.h"
#include "settings/app_paths.h"

namespace kovral {

class Clock;
class ColorChooser;
class ConfigFileSystem;
class FileChooser;
class HidPlatform;
class IniStore;
class MessageSink;
class PointerSettingsApi;
class RunKey;
class ShellOpener;
class SimMouse;

struct AppServices {
  HidPlatform* hid = nullptr;
  Clock* clock = nullptr;
  ConfigFileSystem* files = nullptr;
  IniStore* ini = nullptr;
  PointerSettingsApi* pointer = nullptr;
  MessageSink* messages = nullptr;
  ShellOpener* shell = nullptr;
  ColorChooser* colors = nullptr;
  FileChooser* fileChooser = nullptr;  // the profile items' file dialogs
  RunKey* runKey = nullptr;  // the user's Run key: "Start with Windows"
  // Where the user's files are; nothing: beside the executable.
  std::optional<AppPaths> paths;
  // The folders holding "Skins", in the order a skin is looked up
  // (SkinsHomesFor); none: the user's files' folder.
  std::vector<std::wstring> skinsHomes;
  // Where the link's HID trace goes; empty: no trace. Opened by the main
  // dialog once it knows it is the only copy, so a second copy started with
  // the same file does not empty the first one's trace.
  std::wstring traceFile;
  SimMouse* sim = nullptr;    // set only in simulated-mouse mode
  // The self-check to run once started (simulated-mouse mode only).
  std::optional<CheckPlan> check;
  std::wstring checkLog;
  int checkCycles = 1000;
  int checkEvery = 1;
};

}  // namespace kovral
