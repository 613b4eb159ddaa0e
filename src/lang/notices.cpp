#include "lang/notices.h"

#include <iterator>
#include <utility>

#include "lang/main_texts.h"

namespace kovral {
namespace {

constexpr uint32_t kEventTimeoutMs = 5000;
// Found / not found are shown only briefly: they come at every start and plug.
constexpr uint32_t kPresenceTimeoutMs = 100;

// Every balloon carries the information icon, the warning too: that is the
// look the program has always had, and the title already says "Warning".
Balloon Info(std::wstring text, uint32_t timeout) {
  return {kCaptionInfo, std::move(text), timeout, BalloonIcon::Information};
}

}  // namespace

std::optional<Balloon> NoticeBalloon(UiLanguage language, uint64_t type, int64_t value,
                                     std::wstring_view dpiLabel) {
  const MainTexts& t = MainTextsFor(language);
  switch (type) {
    case kNoticeReportRate:
      switch (value) {
        case 1: return Info(t.reportRateNotices[0], kEventTimeoutMs);
        case 2: return Info(t.reportRateNotices[1], kEventTimeoutMs);
        case 4: return Info(t.reportRateNotices[2], kEventTimeoutMs);
        case 8: return Info(t.reportRateNotices[3], kEventTimeoutMs);
      }
      return std::nullopt;
    case kNoticeDpiStage:
      if (value < 1 || value > static_cast<int64_t>(std::size(t.dpiStageNotices))) return std::nullopt;
      return Info(std::wstring(t.dpiStageNotices[value - 1]) + std::wstring(dpiLabel), kEventTimeoutMs);
    case kNoticeKeyMatrix:
      if (value < 1 || value > 2) return std::nullopt;
      return Info(t.keyMatrixNotices[value - 1], kEventTimeoutMs);
    case kNoticeMacroKey:
      if (value == 0) return std::nullopt;
      return Info(std::wstring(t.macroKeyNotice) + std::to_wstring(value), kEventTimeoutMs);
    case kNoticeMouseFound:
      return Info(t.mouseFoundNotice, kPresenceTimeoutMs);
    case kNoticeMouseMissing: {
      Balloon b = Info(t.mouseMissingNotice, kPresenceTimeoutMs);
      b.title = kCaptionWarning;
      return b;
    }
  }
  return std::nullopt;
}

}  // namespace kovral
