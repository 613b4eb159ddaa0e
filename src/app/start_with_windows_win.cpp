#include <windows.h>

#include "app/start_with_windows.h"

namespace kovral {
namespace {

class SystemRunKey final : public RunKey {
 public:
  std::optional<std::wstring> Read() override {
    wchar_t value[2048] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    return std::wstring(value);
  }
  bool Write(const std::wstring& command) override {
    return RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, REG_SZ, command.c_str(),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  bool Remove() override {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
};

}  // namespace

std::unique_ptr<RunKey> MakeSystemRunKey() { return std::make_unique<SystemRunKey>(); }

}  // namespace kovral
