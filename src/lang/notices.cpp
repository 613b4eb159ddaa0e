#include "lang/notices.h"

#include <iterator>
#include <utility>

#include "lang/main_texts.h"
#include "lang/text_format.h"

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

// Switch warnings stay up longer than the switch notices: the user is
// playing and may look late.
constexpr uint32_t kSwitchWarningTimeoutMs = 8000;

struct SwitchWarningTexts {
  const wchar_t* profileFailed;  // %s: the profile
  const wchar_t* desktopFailed;
  const wchar_t* unreadable;  // %s: the profile, then %s: the problem
};

const SwitchWarningTexts& SwitchWarningsFor(UiLanguage language) {
  static constexpr SwitchWarningTexts kEnglish{L"Profile %s did not reach the mouse.",
                                               L"The Desktop settings did not reach the mouse.",
                                               L"Profile %s cannot be read: %s"};
  static constexpr SwitchWarningTexts kSimplified{L"配置文件 %s 未能发送到鼠标。", L"桌面设置未能发送到鼠标。",
                                                  L"无法读取配置文件 %s：%s"};
  static constexpr SwitchWarningTexts kTraditional{L"設定檔 %s 未能傳送到滑鼠。", L"桌面設定未能傳送到滑鼠。",
                                                   L"無法讀取設定檔 %s：%s"};
  switch (language) {
    case UiLanguage::SimplifiedChinese: return kSimplified;
    case UiLanguage::TraditionalChinese: return kTraditional;
    default: return kEnglish;
  }
}

Balloon Warning(std::wstring text) {
  return {kCaptionWarning, std::move(text), kSwitchWarningTimeoutMs, BalloonIcon::Information};
}

}  // namespace

Balloon SwitchFailedBalloon(UiLanguage language, std::wstring_view profile) {
  const SwitchWarningTexts& t = SwitchWarningsFor(language);
  return Warning(profile.empty() ? std::wstring(t.desktopFailed) : FormatText(t.profileFailed, profile));
}

// Filled one placeholder at a time from the left, so a "%s" in the name is
// never taken for the second one.
Balloon ProfileUnreadableBalloon(UiLanguage language, std::wstring_view profile, std::wstring_view problem) {
  const std::wstring_view pattern = SwitchWarningsFor(language).unreadable;
  const size_t first = pattern.find(L"%s");
  return Warning(std::wstring(pattern.substr(0, first)) + std::wstring(profile) +
                 FormatText(pattern.substr(first + 2), problem));
}

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
