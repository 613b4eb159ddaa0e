#pragma once
// The on-screen display: what a notice of the mouse or a profile switch
// shows, how its panel is laid out, where on the monitor it goes and how long
// it stays. The window that shows it (osd_window_win.cpp) only executes this.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "lang/language.h"
#include "settings/device_config.h"
#include "settings/notice_preferences.h"
#include "ui/text_style.h"
#include "view/layout.h"
#include "view/scene.h"

namespace kovral {

struct OsdNotice {
  std::wstring headline;          // the large main line: "DPI 1600", "1000 Hz", "Profile: NAME"
  std::wstring detail;            // a smaller second line ("stage 2 of 4"), or empty
  std::optional<ui::Rgb> swatch;  // a DPI stage's indicator colour
  std::wstring text;              // the whole notice in words: the window's text
  bool operator==(const OsdNotice&) const = default;
};

// The panel for a notice of the mouse (the types of lang/notices.h), or
// nothing where its balloon would be nothing too, and for the start-up
// notices, which are not told on the screen.
std::optional<OsdNotice> DeviceOsdNotice(UiLanguage language, uint64_t type, int64_t value,
                                         const DeviceConfig& config, uint8_t sensorType);
// A notice of one line: the profile switches and any other in-game notice
// worded as a balloon.
OsdNotice TextOsdNotice(std::wstring text);
// What the Preferences dialog's "Show me" shows: a DPI stage notice.
OsdNotice SampleOsdNotice(UiLanguage language);

// How a notice is told. In-game notices follow the preferences; the others
// (the mouse found or missing at start) are always balloons.
enum class NoticeWay { OnScreen, Balloon, Nothing };
NoticeWay ChooseNoticeWay(const NoticePreferences& preferences, bool inGame);

// The panel's colours: the skin's dark dialog grey, its accent for the
// border, the user's text colour.
struct OsdLook {
  ui::Rgb background{0x28, 0x28, 0x28};
  ui::Rgb border{0, 200, 255};
  ui::Rgb text{255, 255, 255};
};

// The look with the skin's accent and the user's text colour; a text colour
// too close to the grey to be read (a dark one chosen for the pages' light
// parts) gives way to white.
OsdLook MakeOsdLook(ui::Rgb accent, ui::Rgb textColor);

// Font heights of the two lines, in units (character height).
inline constexpr int kOsdHeadlineHeight = 30;
inline constexpr int kOsdDetailHeight = 16;

// A text's width in units in one of the panel's fonts.
using OsdTextWidth = std::function<int(const std::wstring& text, SceneFont font)>;

struct OsdPanel {
  layout::Size size;  // units
  Scene scene;        // drawn from (0, 0)
};
OsdPanel LayoutOsd(const OsdNotice& notice, const OsdLook& look, const OsdTextWidth& width);

// Where a panel of `panel` device pixels goes in a monitor's work area
// (device pixels), inset from its edges by the same distance at every scale.
layout::Rect PlaceOsd(const layout::Rect& workArea, layout::Size panel, OsdPosition position, int dpi);

// How long a notice shows: held, then faded out, then gone.
inline constexpr int kOsdHoldMs = 1200;
inline constexpr int kOsdFadeMs = 300;
inline constexpr int kOsdFadeStepMs = 30;
// The panel's opacity (255 opaque) `elapsedMs` after it was shown; 0 once over.
uint8_t OsdOpacity(int64_t elapsedMs);
bool OsdOver(int64_t elapsedMs);
// How long until the picture next changes: the rest of the hold, then one
// fade step; 0 once over (nothing more to wait for).
int OsdNextTickMs(int64_t elapsedMs);

}  // namespace kovral
