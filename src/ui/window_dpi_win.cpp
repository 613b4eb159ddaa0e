#include "ui/window_dpi_win.h"

#include <cstdint>

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

using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
// comctl32 6's icon loaders; the program's manifest asks for version 6, so
// the module is loaded, but an older system's comctl32 has neither.
using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);

struct DpiEntries {
  GetDpiForWindowFn forWindow = LoadEntry<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow", false);
  GetDpiForMonitorFn forMonitor = LoadEntry<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor", true);
  GetDpiForSystemFn forSystem = LoadEntry<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem", false);
  GetSystemMetricsForDpiFn metricsForDpi =
      LoadEntry<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi", false);
  LoadIconWithScaleDownFn iconScaleDown =
      LoadEntry<LoadIconWithScaleDownFn>(L"comctl32.dll", "LoadIconWithScaleDown", true);
  LoadIconMetricFn iconMetric = LoadEntry<LoadIconMetricFn>(L"comctl32.dll", "LoadIconMetric", true);
};

const DpiEntries& Entries() {
  static const DpiEntries entries;
  return entries;
}

// Each child keeps its unit rectangle in a window property, so that a DPI
// change can place it again without its page knowing. The four edges are
// packed into the property's handle (16 bits each; units are far smaller).
ATOM UnitRectAtom() {
  static const ATOM atom = GlobalAddAtomW(L"Kovral.UnitRect");
  return atom;
}

void RememberUnitRect(HWND child, const RECT& r) {
  const auto edge = [](LONG v) { return static_cast<std::uint64_t>(static_cast<std::uint16_t>(v)); };
  const std::uint64_t packed = edge(r.left) | edge(r.top) << 16 | edge(r.right) << 32 | edge(r.bottom) << 48;
  SetPropW(child, MAKEINTATOM(UnitRectAtom()), reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(packed)));
}

BOOL CALLBACK RescaleChild(HWND child, LPARAM fontParam) {
  RECT unit{};
  if (!ChildUnitRect(child, unit)) return TRUE;
  PlaceChildAt(child, unit);
  if (fontParam) SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(fontParam), TRUE);
  return TRUE;
}

struct RescaleRequest {
  HWND parent;
  HFONT font;
};

int ScreenDpi() {
  const WindowDC screen(nullptr);
  return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
}

}  // namespace

int SystemDpi() {
  const DpiEntries& entries = Entries();
  if (entries.forSystem) {
    const UINT dpi = entries.forSystem();
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return UsableDpi(ScreenDpi());
}

HICON LoadIconForDpi(HINSTANCE module, int id, bool small, int dpi) {
  const DpiEntries& entries = Entries();
  dpi = UsableDpi(dpi);
  int size = 0;
  if (entries.metricsForDpi) size = entries.metricsForDpi(small ? SM_CXSMICON : SM_CXICON, static_cast<UINT>(dpi));
  if (size <= 0) size = DeviceLength(small ? 16 : 32, dpi);
  HICON icon = nullptr;
  if (entries.iconScaleDown && SUCCEEDED(entries.iconScaleDown(module, MAKEINTRESOURCEW(id), size, size, &icon)) &&
      icon)
    return icon;
  return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

HICON LoadTrayIcon(HINSTANCE module, int id) {
  const DpiEntries& entries = Entries();
  HICON icon = nullptr;
  constexpr int kSmallMetric = 0;  // LIM_SMALL
  if (entries.iconMetric && SUCCEEDED(entries.iconMetric(module, MAKEINTRESOURCEW(id), kSmallMetric, &icon)) && icon)
    return icon;
  return LoadIconForDpi(module, id, true, SystemDpi());
}

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

int MonitorDpi(HMONITOR monitor) {
  const DpiEntries& entries = Entries();
  UINT x = 0;
  UINT y = 0;
  if (monitor && entries.forMonitor && SUCCEEDED(entries.forMonitor(monitor, 0, &x, &y)) && x > 0)
    return static_cast<int>(x);
  return UsableDpi(ScreenDpi());
}

HWND CreateChildAt(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& unitRect,
                   int id, HFONT font) {
  const RECT r = DeviceRectOf(parent, unitRect);
  HWND control = CreateWindowExW(0, className, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (!control) return nullptr;
  RememberUnitRect(control, unitRect);
  if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void PlaceChildAt(HWND child, const RECT& unitRect) {
  const RECT r = DeviceRectOf(GetParent(child), unitRect);
  SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RememberUnitRect(child, unitRect);
}

bool ChildUnitRect(HWND child, RECT& unitRect) {
  const HANDLE value = GetPropW(child, MAKEINTATOM(UnitRectAtom()));
  if (!value) return false;
  const auto packed = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(value));
  const auto edge = [&](int shift) { return static_cast<LONG>(static_cast<std::int16_t>((packed >> shift) & 0xFFFF)); };
  unitRect = RECT{edge(0), edge(16), edge(32), edge(48)};
  return true;
}

// Only the parent's own children: a list's scroll bar or an edit's parts are
// placed by their control.
void RescaleChildren(HWND parent, HFONT font) {
  RescaleRequest request{parent, font};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM p) -> BOOL {
        const auto* r = reinterpret_cast<const RescaleRequest*>(p);
        if (GetParent(child) != r->parent) return TRUE;
        return RescaleChild(child, reinterpret_cast<LPARAM>(r->font));
      },
      reinterpret_cast<LPARAM>(&request));
}

}  // namespace kovral::ui
