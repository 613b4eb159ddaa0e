#pragma once
// The message-box seam of the Qt shell: a modal box with an OK button.
#include <string>

#include "base/message_sink.h"

namespace kovral {

class MessageBoxQt final : public MessageSink {
 public:
  // `appName`: the caption of a message without one.
  explicit MessageBoxQt(std::wstring appName) : appName_(std::move(appName)) {}
  void Show(const std::wstring& text, const std::wstring& caption) override;

 private:
  std::wstring appName_;
};

}  // namespace kovral
