#pragma once
// Opening an address with the system's handler (the web link of the main
// window). Tests and the simulated-mouse mode bind a log instead, so a run
// under test can see what would have been opened without a browser.
#include <memory>
#include <string>

namespace kovral {

class ShellOpener {
 public:
  virtual ~ShellOpener() = default;
  // The shell's "open" verb, shown normally; the outcome is not examined.
  virtual void Open(const std::wstring& address) = 0;
};

// Appends each address as a UTF-8 line to a file and opens nothing.
class ShellLog final : public ShellOpener {
 public:
  explicit ShellLog(std::wstring file) : file_(std::move(file)) {}
  void Open(const std::wstring& address) override;

 private:
  std::wstring file_;
};

// ShellExecuteW (Win32 build only).
std::unique_ptr<ShellOpener> MakeSystemShell();

}  // namespace kovral
