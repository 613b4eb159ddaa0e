#include "ui/window_dpi_win.h"

#include "base/handles_win.h"

namespace kovral::ui {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
// shcore's GetDpiForMonitor, with MDT_EFFECTIVE_DPI (0) as the kind.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <class Fn>
Fn LoadEntry(const wchar_t* module, const char* name, bool load) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle && load) handle = LoadLibraryW(module);
  if (!handle) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

struct DpiEntries {
  GetDpiForWindowFn forWindow = LoadEntry<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow", false);
  GetDpiForMonitorFn forMonitor = LoadEntry<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor", true);
};

const DpiEntries& Entries() {
  static const DpiEntries entries;
  return entries;
}

int ScreenDpi() {
  const WindowDC screen(nullptr);
  return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
}

}  // namespace

int WindowDpi(HWND window) {
  const DpiEntries& entries = Entries();
  if (window && entries.forWindow) {
    const UINT dpi = entries.forWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  if (entries.forMonitor) {
    HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                              : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    UINT x = 0;
    UINT y = 0;
    if (monitor && SUCCEEDED(entries.forMonitor(monitor, 0, &x, &y)) && x > 0) return static_cast<int>(x);
  }
  return UsableDpi(ScreenDpi());
}

HWND CreateChildAt(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& unitRect,
                   int id, HFONT font) {
  const RECT r = DeviceRectOf(parent, unitRect);
  HWND control = CreateWindowExW(0, className, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void PlaceChildAt(HWND child, const RECT& unitRect) {
  const RECT r = DeviceRectOf(GetParent(child), unitRect);
  SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kovral::ui
