#include "simctl/sim_control.h"

#include "sim/sim_mouse.h"

namespace kovral {

bool ExecuteSimCommand(SimMouse& mouse, const SimCommand& command, std::wstring& why) {
  switch (command.kind) {
    case SimCommandKind::Notify:
      if (mouse.EmitNotification(command.code, command.value)) return true;
      why = L"the simulated mouse is unplugged";
      return false;
    case SimCommandKind::Raw:
      if (mouse.EmitRawNotification(command.report)) return true;
      why = L"the simulated mouse is unplugged";
      return false;
    case SimCommandKind::Unplug:
      if (!mouse.Plugged()) {
        why = L"the simulated mouse is already unplugged";
        return false;
      }
      mouse.Unplug();
      return true;
    case SimCommandKind::Plug:
      if (mouse.Plugged()) {
        why = L"the simulated mouse is already plugged in";
        return false;
      }
      mouse.Plug();
      return true;
    case SimCommandKind::Reenumerate:
      if (mouse.Reenumerate()) return true;
      why = L"the simulated mouse is unplugged";
      return false;
    case SimCommandKind::Silent:
      mouse.SetResponding(!command.on);
      return true;
    case SimCommandKind::Stall:
      mouse.StallNext(command.count, std::chrono::milliseconds(command.milliseconds));
      return true;
  }
  why = L"unknown command";
  return false;
}

}  // namespace kovral
