#pragma once
// The on-screen display's window: a layered, topmost, click-through tool
// window that is never activated, so the game in front keeps the front, the
// keyboard and every click. It exists only while a notice shows; its timer
// runs only then. What it shows, where and for how long is view/osd.h.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "base/handles_win.h"
#include "settings/notice_preferences.h"
#include "ui/window_win.h"
#include "view/osd.h"

namespace kovral {

// Exactly these, and nothing that could take the front or show in the
// taskbar or the task switcher.
inline constexpr DWORD kOsdExStyle =
    WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

// The panel drawn at a DPI: a top-down 32-bit DIB section, premultiplied
// and opaque wherever the panel is, as UpdateLayeredWindow takes it.
struct OsdPicture {
  OwnedBitmap bitmap;
  int width = 0;
  int height = 0;
  const std::uint8_t* bits = nullptr;  // B, G, R, A rows, top row first
};
// `languageCode` picks the face as every window's does (ui/font_choice.h).
OsdPicture RenderOsd(const OsdNotice& notice, const OsdLook& look, int dpi, const std::wstring& languageCode);

// The skin's accent: the colour of the title mark every dialog picture of a
// skin carries at its top left; the Default skin's cyan when it cannot be read.
ui::Rgb SkinAccent(const std::wstring& skinFolder);

class OsdWindow final : public ui::Window {
 public:
  OsdWindow() = default;
  ~OsdWindow() override;

  // Shows the notice on the monitor of the window in front, replacing the
  // one showing. False when the window could not be made.
  bool Show(const OsdNotice& notice, const OsdLook& look, OsdPosition position, const std::wstring& languageCode);
  // Ends the showing now, as the end of its fade does: the window, its
  // picture and its timer are gone.
  void Hide();
  bool showing() const { return hwnd_ != nullptr; }

 protected:
  ui::MsgResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static std::span<const ui::MessageEntry<OsdWindow>> Messages();
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
  LRESULT OnNcHitTest(WPARAM, LPARAM) { return HTTRANSPARENT; }
  // Hands the picture to the system at the opacity.
  bool Present(std::uint8_t opacity, const POINT* at);

  OsdPicture picture_;
  ULONGLONG shownAt_ = 0;
};

}  // namespace kovral
