#include "view/osd.h"

#include <algorithm>
#include <cstdlib>

#include "lang/dpi_labels.h"
#include "lang/main_texts.h"
#include "lang/notices.h"
#include "lang/osd_texts.h"
#include "lang/text_format.h"
#include "ui/dpi_scale.h"

namespace kovral {
namespace {

// A DrawTextW flag beyond text_style.h's: a profile name may hold "&", which
// must show as itself. A name too long for the widest panel ends in "...".
constexpr unsigned kNoPrefix = 0x800;     // DT_NOPREFIX

// Units of the panel.
constexpr int kBorder = 2;
constexpr int kPadding = 18;
constexpr int kHeadlineLine = 40;
constexpr int kDetailLine = 22;
constexpr int kSwatch = 20;
constexpr int kSwatchGap = 12;
constexpr int kMinWidth = 200;
// Wide enough for every fixed text; only a long profile name reaches it.
constexpr int kMaxWidth = 520;
// The least luma difference of a readable text from the panel's grey.
constexpr int kLeastTextContrast = 80 * 1000;
// From the work area's edge, clear of a game's own corner counters.
constexpr int kInset = 32;

OsdNotice Notice(std::wstring headline, std::wstring detail, const OsdTexts& words) {
  OsdNotice notice;
  notice.text = detail.empty() ? headline : headline + words.separator + detail;
  notice.headline = std::move(headline);
  notice.detail = std::move(detail);
  return notice;
}

OsdNotice DpiNotice(UiLanguage language, int stage, const std::wstring& label, ui::Rgb color) {
  const OsdTexts& words = OsdTextsFor(language);
  // A level the sensor's list lacks still names the stage.
  std::wstring headline = label.empty() ? std::wstring(L"DPI") : L"DPI " + label;
  OsdNotice notice =
      Notice(std::move(headline), FormatNumber(FormatNumber(words.stageOf, stage), kDpiStageCount), words);
  notice.swatch = color;
  return notice;
}

}  // namespace

std::optional<OsdNotice> DeviceOsdNotice(UiLanguage language, uint64_t type, int64_t value,
                                         const DeviceConfig& config, uint8_t sensorType) {
  const OsdTexts& words = OsdTextsFor(language);
  switch (type) {
    case kNoticeReportRate:
      switch (value) {
        case 1: return Notice(L"1000 Hz", {}, words);
        case 2: return Notice(L"500 Hz", {}, words);
        case 4: return Notice(L"250 Hz", {}, words);
        case 8: return Notice(L"125 Hz", {}, words);
      }
      return std::nullopt;
    case kNoticeDpiStage: {
      if (value < 1 || value > kDpiStageCount) return std::nullopt;
      const int s = static_cast<int>(value) - 1;
      return DpiNotice(language, s + 1, DpiLevelLabel(sensorType, config.dpiLevel[s]),
                       {config.dpiColor[3 * s], config.dpiColor[3 * s + 1], config.dpiColor[3 * s + 2]});
    }
    case kNoticeKeyMatrix:
      if (value < 1 || value > 2) return std::nullopt;
      return Notice(MainTextsFor(language).modeNames[value - 1], {}, words);
    case kNoticeMacroKey:
      if (value == 0) return std::nullopt;
      return Notice(FormatNumber(words.macroKey, value), {}, words);
  }
  return std::nullopt;
}

OsdNotice TextOsdNotice(std::wstring text) {
  OsdNotice notice;
  notice.headline = text;
  notice.text = std::move(text);
  return notice;
}

OsdNotice SampleOsdNotice(UiLanguage language) { return DpiNotice(language, 2, L"1600", {0, 255, 0}); }

NoticeWay ChooseNoticeWay(const NoticePreferences& preferences, bool inGame) {
  if (!inGame) return NoticeWay::Balloon;
  switch (preferences.style) {
    case NoticeStyle::OnScreen: return NoticeWay::OnScreen;
    case NoticeStyle::Balloons: return NoticeWay::Balloon;
    case NoticeStyle::Off: return NoticeWay::Nothing;
  }
  return NoticeWay::OnScreen;
}

OsdLook MakeOsdLook(ui::Rgb accent, ui::Rgb textColor) {
  OsdLook look;
  look.border = accent;
  // Rec. 601 luma, in 0..255000.
  const auto luma = [](ui::Rgb c) { return 299 * c.red + 587 * c.green + 114 * c.blue; };
  if (std::abs(luma(textColor) - luma(look.background)) >= kLeastTextContrast) look.text = textColor;
  return look;
}

// A bordered panel: the swatch (a DPI stage's colour) at the left of the
// main line, the second line under it in the same column.
OsdPanel LayoutOsd(const OsdNotice& notice, const OsdLook& look, const OsdTextWidth& width) {
  const int textLeft = kBorder + kPadding + (notice.swatch ? kSwatch + kSwatchGap : 0);
  int textWidth = width(notice.headline, SceneFont::Large);
  if (!notice.detail.empty()) textWidth = std::max(textWidth, width(notice.detail, SceneFont::Normal));
  OsdPanel panel;
  panel.size.width = std::clamp(textLeft + textWidth + kPadding + kBorder, kMinWidth, kMaxWidth);
  panel.size.height = 2 * (kBorder + kPadding) - 12 + kHeadlineLine + (notice.detail.empty() ? 0 : kDetailLine);
  const int w = panel.size.width;
  const int h = panel.size.height;
  Scene& scene = panel.scene;
  scene.AddFill({0, 0, w, h}, look.border);
  scene.AddFill({kBorder, kBorder, w - kBorder, h - kBorder}, look.background);
  const int top = kBorder + kPadding - 6;
  const layout::Rect headline{textLeft, top, w - kBorder - kPadding, top + kHeadlineLine};
  if (notice.swatch) {
    const int swatchTop = top + (kHeadlineLine - kSwatch) / 2;
    const int swatchLeft = kBorder + kPadding;
    // A thin frame in the text colour keeps a dark stage colour visible on the grey.
    scene.AddFill({swatchLeft, swatchTop, swatchLeft + kSwatch, swatchTop + kSwatch}, look.text);
    scene.AddFill({swatchLeft + 1, swatchTop + 1, swatchLeft + kSwatch - 1, swatchTop + kSwatch - 1}, *notice.swatch);
  }
  scene.AddText(notice.headline, headline, ui::kTextLeftEllipsis | kNoPrefix, look.text, SceneFont::Large);
  scene.AddText(notice.detail, {textLeft, headline.bottom, headline.right, headline.bottom + kDetailLine},
                ui::kTextLeftEllipsis | kNoPrefix, look.text, SceneFont::Normal);
  return panel;
}

layout::Rect PlaceOsd(const layout::Rect& workArea, layout::Size panel, OsdPosition position, int dpi) {
  const int inset = ui::DeviceLength(kInset, dpi);
  const int left = workArea.left + inset;
  const int right = workArea.right - inset - panel.width;
  const int centreX = workArea.left + (workArea.Width() - panel.width) / 2;
  const int top = workArea.top + inset;
  const int bottom = workArea.bottom - inset - panel.height;
  const int centreY = workArea.top + (workArea.Height() - panel.height) / 2;
  int x = centreX;
  int y = top;
  switch (position) {
    case OsdPosition::TopLeft: x = left; break;
    case OsdPosition::TopCentre: break;
    case OsdPosition::TopRight: x = right; break;
    case OsdPosition::BottomLeft: x = left; y = bottom; break;
    case OsdPosition::BottomRight: x = right; y = bottom; break;
    case OsdPosition::Centre: y = centreY; break;
  }
  // A monitor too small for the inset still shows the panel's start.
  x = std::max(workArea.left, std::min(x, workArea.right - panel.width));
  y = std::max(workArea.top, std::min(y, workArea.bottom - panel.height));
  return {x, y, x + panel.width, y + panel.height};
}

uint8_t OsdOpacity(int64_t elapsedMs) {
  if (elapsedMs < kOsdHoldMs) return 255;
  if (OsdOver(elapsedMs)) return 0;
  const int64_t left = kOsdHoldMs + kOsdFadeMs - elapsedMs;
  return static_cast<uint8_t>(left * 255 / kOsdFadeMs);
}

bool OsdOver(int64_t elapsedMs) { return elapsedMs >= kOsdHoldMs + kOsdFadeMs; }

int OsdNextTickMs(int64_t elapsedMs) {
  if (OsdOver(elapsedMs)) return 0;
  if (elapsedMs < kOsdHoldMs) return static_cast<int>(kOsdHoldMs - elapsedMs);
  return static_cast<int>(std::min<int64_t>(kOsdFadeStepMs, kOsdHoldMs + kOsdFadeMs - elapsedMs));
}

}  // namespace kovral
