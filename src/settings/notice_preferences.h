#pragma once
// How the mouse's own changes and the profile switches are told, kept in
// section "Notices" of str.ini: "Style" ("OSD", "Balloons", "Off") and
// "Position" of the on-screen panel ("TopLeft", "TopCentre", "TopRight",
// "BottomLeft", "BottomRight", "Centre"). A str.ini without them (every
// earlier version's) gets the on-screen display at the top centre.
#include <string>
#include <string_view>

#include "settings/ini_store.h"

namespace kovral {

inline constexpr wchar_t kNoticesSection[] = L"Notices";

enum class NoticeStyle { OnScreen, Balloons, Off };
enum class OsdPosition { TopLeft, TopCentre, TopRight, BottomLeft, BottomRight, Centre };
inline constexpr int kOsdPositionCount = 6;

struct NoticePreferences {
  NoticeStyle style = NoticeStyle::OnScreen;
  OsdPosition position = OsdPosition::TopCentre;
  bool operator==(const NoticePreferences&) const = default;
};

std::wstring_view NoticeStyleKeyword(NoticeStyle style);
std::wstring_view OsdPositionKeyword(OsdPosition position);

// Unknown or missing values read as the defaults, in any letter case.
NoticePreferences ReadNoticePreferences(IniStore& ini, const std::wstring& strIni);
bool WriteNoticePreferences(IniStore& ini, const std::wstring& strIni, const NoticePreferences& preferences);

}  // namespace kovral
