#pragma once
// The message-box seam of the Qt shell: a modal box with an OK button.
#include <string>

class QWidget;

#include "base/message_sink.h"

namespace kovral {

// A modal box over `owner` (nullptr: over no window) with OK, or Yes and No
// with No the default when `question`; true for OK or Yes. Its buttons sit in
// the middle, where a Windows message box has them.
bool RunMessageBoxQt(QWidget* owner, const std::wstring& caption, const std::wstring& text, bool question);

class MessageBoxQt final : public MessageSink {
 public:
  // `appName`: the caption of a message without one.
  explicit MessageBoxQt(std::wstring appName) : appName_(std::move(appName)) {}
  void Show(const std::wstring& text, const std::wstring& caption) override;

 private:
  std::wstring appName_;
};

}  // namespace kovral
