#pragma once
// The DPI of a window, and child windows placed by rectangles in 96-DPI
// units. Every window of the program asks here; dpi_scale.h does the
// arithmetic.
#include <windows.h>

#include "ui/dpi_scale.h"

namespace kovral::ui {

// The DPI the window is drawn at: GetDpiForWindow where the system has it
// (Windows 10 1607 on), else the DPI of the window's monitor (8.1 on), else
// the screen's LOGPIXELSX. Each call loads nothing: the entry points are
// looked up once.
int WindowDpi(HWND window);

// The DPI of a monitor (GetDpiForMonitor's effective DPI where the system
// has it), else the screen's: a window about to be made there is drawn at it.
int MonitorDpi(HMONITOR monitor);

// The DPI of the system (the taskbar's and the notification area's): what
// every monitor's DPI was at sign-in, GetDpiForSystem where the system has it.
int SystemDpi();

// Icon resource `id` at the size the system gives a small (16-unit) or large
// (32-unit) icon at `dpi`: the size of the icon file nearest above it,
// reduced smoothly, where comctl32 can (LoadIconWithScaleDown), else the
// nearest one Windows picks. The caller destroys it.
HICON LoadIconForDpi(HINSTANCE module, int id, bool small, int dpi);

// Icon resource `id` for the notification area, which draws at the system
// DPI: LoadIconMetric's small icon where comctl32 has it, else the small
// icon at SystemDpi(). The caller destroys it.
HICON LoadTrayIcon(HINSTANCE module, int id);

// A unit rectangle in the window's device pixels.
inline RECT DeviceRectOf(HWND window, const RECT& unitRect) { return DeviceRect(unitRect, WindowDpi(window)); }

// Creates a child control of `parent` over the unit rectangle mapped at the
// parent's DPI, and gives it the font (none: the control's default).
HWND CreateChildAt(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& unitRect,
                   int id, HFONT font);

// Moves and sizes a child control to the unit rectangle at its parent's DPI.
void PlaceChildAt(HWND child, const RECT& unitRect);

// After the parent's DPI changed (WM_DPICHANGED): every child made by
// CreateChildAt or placed by PlaceChildAt goes to its unit rectangle at the
// new DPI and takes the font made for it (none: keeps its own). A list
// measures its entries anew with the font.
void RescaleChildren(HWND parent, HFONT font);

// The unit rectangle a child was last placed at, if it was placed here.
bool ChildUnitRect(HWND child, RECT& unitRect);

}  // namespace kovral::ui
