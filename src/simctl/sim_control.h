#pragma once
// Runs the control channel's commands on the in-process simulated mouse.
#include <string>

#include "simctl/sim_command.h"

namespace kovral {

class SimMouse;

// What the program's device-change handling receives for one collection of
// the simulated mouse: the same event and interface name a real arrival or
// removal broadcast carries.
struct SimDeviceChange {
  uint32_t eventType = 0;  // DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE
  std::wstring interfaceName;
};

// True when the simulated mouse did it; otherwise `why` says what stood in
// the way (an unplugged mouse sends no reports, a plugged one cannot be
// plugged in again).
bool ExecuteSimCommand(SimMouse& mouse, const SimCommand& command, std::wstring& why);

}  // namespace kovral
