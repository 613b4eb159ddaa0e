#include <windows.h>
#include <shellapi.h>

#include "app/shell_opener.h"
#include "app/main_window_win.h"

namespace kovral {
namespace {

class SystemShell final : public ShellOpener {
 public:
  void Open(const std::wstring& address) override {
    ShellExecuteW(MainWindowHandle(), L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
};

}  // namespace

std::unique_ptr<ShellOpener> MakeSystemShell() { return std::make_unique<SystemShell>(); }

}  // namespace kovral
