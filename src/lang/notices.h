#pragma once
// The balloons of the notification-area icon: what the mouse reports about
// its own buttons, and whether it was found. The Win32 side shows what this
// returns.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lang/language.h"

namespace kovral {

// Notice types of WM_DEVICE_NOTIFY (wParam); lParam is the value.
constexpr uint64_t kNoticeReportRate = 5;     // value: report interval 1, 2, 4, 8 ms
constexpr uint64_t kNoticeDpiStage = 7;       // value: stage 1..4
constexpr uint64_t kNoticeKeyMatrix = 8;      // value: key matrix 1, 2
constexpr uint64_t kNoticeMacroKey = 9;       // value: macro number, not 0
constexpr uint64_t kNoticeMouseFound = 14;    // any value
constexpr uint64_t kNoticeMouseMissing = 15;  // any value

enum class BalloonIcon { Information, Warning };

struct Balloon {
  std::wstring title;  // "Info" or "Warning" in every language
  std::wstring text;
  uint32_t timeoutMs;
  BalloonIcon icon;
};

// The balloon for a notice, or nothing for types and values that show none.
// dpiLabel is appended to DPI stage notices.
std::optional<Balloon> NoticeBalloon(UiLanguage language, uint64_t type, int64_t value,
                                     std::wstring_view dpiLabel = {});

// settings/notice_balloon.h words a DPI stage notice with the record's levels.

// A profile switch that did not reach the mouse whole (`profile` empty: the
// Desktop settings); shown as the switch notices are, as a warning.
Balloon SwitchFailedBalloon(UiLanguage language, std::wstring_view profile);
// A profile a switch needed, or one that was for a program, cannot be read;
// `problem` is the reader's words (line and reason).
Balloon ProfileUnreadableBalloon(UiLanguage language, std::wstring_view profile, std::wstring_view problem);

}  // namespace kovral
