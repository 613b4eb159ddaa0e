// A stand-in for a game in the end-to-end tests: one plain window, titled
// with the executable's file name, at the place and size given on the
// command line. The tests build it under two names and click the windows in
// turn, so that each program takes the front as a game would.
//
//   kvgame_a.exe X Y WIDTH HEIGHT
//
// A click makes the window the front one: without a window manager under
// Wine nothing else activates it, and a person's click does on Windows.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
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
  if (argc != 5) {
    std::fwprintf(stderr, L"usage: %ls X Y WIDTH HEIGHT\n", argc > 0 ? argv[0] : L"kvgame");
    return 2;
  }
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
