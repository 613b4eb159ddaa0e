#pragma once
// Message boxes with an OK button, owned by a window; an empty caption means
// the application's name.
#include <windows.h>

#include <string>

#include "base/message_sink.h"

namespace kovral {

class WindowMessageSink final : public MessageSink {
 public:
  explicit WindowMessageSink(std::wstring applicationName) : applicationName_(std::move(applicationName)) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  void Show(const std::wstring& text, const std::wstring& caption) override;

 private:
  std::wstring applicationName_;
  HWND owner_ = nullptr;
};

}  // namespace kovral
