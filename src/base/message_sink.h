#pragma once
// What the user must see goes through this seam: the Win32 binding shows a
// message box with an OK button, tests record the calls.
#include <string>
#include <vector>

namespace kovral {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // An empty caption means the application's name.
  virtual void Show(const std::wstring& text, const std::wstring& caption) = 0;
};

// Keeps every message; used by tests and by the command-line tool, which prints them.
class RecordingMessageSink final : public MessageSink {
 public:
  struct Message {
    std::wstring text;
    std::wstring caption;
  };
  void Show(const std::wstring& text, const std::wstring& caption) override {
    messages.push_back({text, caption});
  }
  std::vector<Message> messages;
};

}  // namespace kovral
