#include "app/main_window_win.h"

namespace kovral {
namespace {

HWND g_mainWindow = nullptr;

}  // namespace

HWND MainWindowHandle() { return g_mainWindow; }
void SetMainWindowHandle(HWND window) { g_mainWindow = window; }

}  // namespace kovral
