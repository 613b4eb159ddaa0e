#include "view/message_box_win.h"

namespace kovral {

void WindowMessageSink::Show(const std::wstring& text, const std::wstring& caption) {
  MessageBoxW(owner_, text.c_str(), caption.empty() ? applicationName_.c_str() : caption.c_str(), MB_OK);
}

}  // namespace kovral
