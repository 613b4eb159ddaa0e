#pragma once
// The platform objects the program runs on, made once at start: the real HID
// stack or the in-process simulated mouse, files, INI store, clock, pointer
// settings and message boxes.
#include <memory>

namespace kovral {

class Clock;
class ConfigFileSystem;
class HidPlatform;
class HidTrace;
class IniStore;
class MessageSink;
class PointerSettingsApi;
class SimMouse;

struct AppServices {
  HidPlatform* hid = nullptr;
  Clock* clock = nullptr;
  ConfigFileSystem* files = nullptr;
  IniStore* ini = nullptr;
  PointerSettingsApi* pointer = nullptr;
  MessageSink* messages = nullptr;
  HidTrace* trace = nullptr;  // null: no trace
  SimMouse* sim = nullptr;    // set only in simulated-mouse mode
};

}  // namespace kovral
