#pragma once
// The on-screen display's window in the Qt shell: frameless, above other
// windows, transparent for input and shown without activating, so the game
// in front keeps the focus and every click. It shows only while a notice
// does; what, where and how long is view/osd.h.
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

#include "settings/notice_preferences.h"
#include "view/osd.h"

namespace kovral {

// The panel drawn at a DPI, opaque where the panel is. `languageCode` picks
// the face as every window's does (ui/font_choice.h).
QImage RenderOsdQt(const OsdNotice& notice, const OsdLook& look, int dpi, const std::wstring& languageCode);

// The skin's accent: the colour of the title mark every dialog picture of a
// skin carries at its top left; the Default skin's cyan when it cannot be read.
ui::Rgb SkinAccentQt(const std::wstring& skinFolder);

class OsdWindowQt final : public QWidget {
 public:
  OsdWindowQt();

  // Shows the notice on the screen under the pointer (where the player
  // looks; X has no portable "window in front" to ask), replacing the one
  // showing.
  void ShowNotice(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
                  const std::wstring& languageCode);
  // Ends the showing now, as the end of its fade does.
  void HideNotice();
  bool showing() const { return isVisible(); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  void Tick();

  QImage picture_;
  QElapsedTimer shown_;
  QTimer timer_;
};

}  // namespace kovral
