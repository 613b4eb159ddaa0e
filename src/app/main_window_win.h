#pragma once
// What other windows and threads know about the main window: its private
// messages and its handle. The window class is ui::kMainWindowClass.
#include <windows.h>

namespace kovral {

// Notification-area icon messages; lParam is the mouse message over the icon.
inline constexpr UINT WM_TRAY_NOTIFY = WM_USER + 1;
// Device events and the handshake outcome; wParam code, lParam value.
inline constexpr UINT WM_DEVICE_NOTIFY = WM_USER + 2;
// WM_USER + 3 stays free: the recorder's keyboard hook runs on the interface
// thread and hands each key to the advanced page directly, which is what a
// message sent to the window would have done.
// Simulated-mouse mode: an interface arrival or removal of the simulator;
// wParam the event (DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE), lParam a
// heap DEV_BROADCAST_DEVICEINTERFACE_W the handler frees.
inline constexpr UINT WM_SIM_DEVICECHANGE = WM_APP + 1;
// Simulated-mouse self-checks: start the check once started.
inline constexpr UINT WM_RUN_CHECK = WM_APP + 5;
// The window in front may have changed, or what held a profile switch back
// may have ended: look at the front and send the switch that is due.
inline constexpr UINT WM_FRONT_MAYBE_CHANGED = WM_APP + 6;
// The profile library's reader has a new listing (LaterWork::TakeListing).
inline constexpr UINT WM_LIBRARY_READ = WM_APP + 12;
// The timers of the front's once-a-second check and of the wait after the
// mouse's collections arrived (each arrives on its own).
inline constexpr UINT_PTR kFrontCheckTimer = 0x4B46;
inline constexpr UINT_PTR kMouseArrivedTimer = 0x4B47;
// The one retry of a profile switch that did not reach the mouse whole.
inline constexpr UINT_PTR kSwitchRetryTimer = 0x4B48;

// Set once the main dialog exists; read by the keyboard hooks and the reader thread.
HWND MainWindowHandle();
void SetMainWindowHandle(HWND window);

}  // namespace kovral
