// A stand-in for a game in the end-to-end tests: one plain window, titled
// with the executable's file name, at the place and size given on the
// command line. The tests build it under two names and click the windows in
// turn, so that each program takes the front as a game would.
//
//   kvgame_a.exe X Y WIDTH HEIGHT [CLICKS]
//
// A click makes the window the front one: without a window manager under
// Wine nothing else activates it, and a person's click does on Windows.
// With CLICKS, a file, every click that reaches the window appends a line
// "x y" (client pixels): what a panel shown over the game let through.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring g_clickLog;

void LogClick(LPARAM lParam) {
  if (g_clickLog.empty()) return;
  FILE* file = _wfopen(g_clickLog.c_str(), L"ab");
  if (!file) return;
  std::fprintf(file, "%d %d\n", static_cast<int>(static_cast<short>(LOWORD(lParam))),
               static_cast<int>(static_cast<short>(HIWORD(lParam))));
  std::fclose(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      LogClick(lParam);
      SetForegroundWindow(window);
      SetActiveWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5 && argc != 6) {
    std::fwprintf(stderr, L"usage: %ls X Y WIDTH HEIGHT [CLICKS]\n", argc > 0 ? argv[0] : L"kvgame");
    return 2;
  }
  if (argc == 6) g_clickLog = argv[5];
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name = path;
  name = name.substr(name.find_last_of(L"\\/") + 1);

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // Each program its own colour, so a screenshot tells them apart.
  wc.hbrBackground = CreateSolidBrush(name.find(L"_b") != std::wstring::npos ? RGB(40, 90, 40) : RGB(90, 40, 40));
  wc.lpszClassName = L"KovralFrontProgram";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, name.c_str(), WS_POPUP | WS_BORDER | WS_VISIBLE,
                                _wtoi(argv[1]), _wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), nullptr, nullptr,
                                wc.hInstance, nullptr);
  if (!window) return 2;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
