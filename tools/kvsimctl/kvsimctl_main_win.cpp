// kvsimctl: sends one command to a running KALVORIN_DRX_Driver.exe that was
// started with --simulate, so a test can make the simulated mouse press its
// buttons, be unplugged and plugged in again, stop answering, or stall.
//
//   kvsimctl notify <code> <value>
//   kvsimctl raw <hex bytes>
//   kvsimctl unplug | plug
//   kvsimctl silent on|off
//   kvsimctl stall <count> <ms> | stall off
//
// Exit code 0 when the program accepted the command, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "simctl/sim_command.h"
#include "ui/window_win.h"

namespace {

// The program handles a command on its interface thread; an Apply in
// progress can hold it for a second or so. Beyond this it is hung.
constexpr UINT kReplyTimeoutMs = 15000;

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "kvsimctl: %s\n", why.c_str());
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> words(argv + 1, argv + argc);
  if (words.empty())
    return Fail("usage: kvsimctl notify <code> <value> | raw <hex bytes> | unplug | plug | silent on|off | "
                "stall <count> <ms> | stall off");
  const std::wstring text = kovral::JoinSimCommand(words);
  // Checked here too, so that a typo is explained instead of merely refused.
  kovral::SimCommandParse parse = kovral::ParseSimCommand(text);
  if (!parse.command) return Fail(Narrow(parse.error));

  HWND window = FindWindowW(kovral::ui::kMainWindowClass, nullptr);
  if (!window) return Fail("no window of class KV-305GMClass: the program is not running");

  COPYDATASTRUCT data{};
  data.dwData = kovral::kSimControlMagic;
  data.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(text.c_str());
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                           &reply))
    return Fail("the program did not answer (hung, or it ended)");
  switch (reply) {
    case TRUE:
      break;
    case kovral::kSimReplyBadCommand:
      return Fail("the program did not understand \"" + Narrow(text) + "\"");
    case kovral::kSimReplyRefused:
      return Fail("the simulated mouse cannot do \"" + Narrow(text) + "\" now (unplugged, or already in that state)");
    default:
      return Fail("the program refused \"" + Narrow(text) + "\": it was not started with --simulate");
  }
  std::printf("kvsimctl: %s: done\n", Narrow(text).c_str());
  return 0;
}
