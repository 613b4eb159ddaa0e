#include "settings/notice_preferences.h"

#include <cwctype>

namespace kovral {
namespace {

constexpr std::wstring_view kStyleWords[] = {L"OSD", L"Balloons", L"Off"};
constexpr std::wstring_view kPositionWords[] = {L"TopLeft",    L"TopCentre",   L"TopRight",
                                                L"BottomLeft", L"BottomRight", L"Centre"};
static_assert(std::size(kPositionWords) == kOsdPositionCount);

// A hand-edited file may say "osd" or " Off ": the words are the program's
// own, so letter case and surrounding blanks carry no meaning.
bool SameWord(std::wstring_view stored, std::wstring_view word) {
  while (!stored.empty() && std::iswspace(static_cast<wint_t>(stored.front()))) stored.remove_prefix(1);
  while (!stored.empty() && std::iswspace(static_cast<wint_t>(stored.back()))) stored.remove_suffix(1);
  if (stored.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(stored[i])) != std::towlower(static_cast<wint_t>(word[i]))) return false;
  }
  return true;
}

}  // namespace

std::wstring_view NoticeStyleKeyword(NoticeStyle style) { return kStyleWords[static_cast<int>(style)]; }

std::wstring_view OsdPositionKeyword(OsdPosition position) { return kPositionWords[static_cast<int>(position)]; }

NoticePreferences ReadNoticePreferences(IniStore& ini, const std::wstring& strIni) {
  NoticePreferences preferences;
  const std::wstring style = ini.Get(strIni, kNoticesSection, L"Style");
  for (int i = 0; i < static_cast<int>(std::size(kStyleWords)); ++i) {
    if (SameWord(style, kStyleWords[i])) preferences.style = static_cast<NoticeStyle>(i);
  }
  const std::wstring position = ini.Get(strIni, kNoticesSection, L"Position");
  for (int i = 0; i < kOsdPositionCount; ++i) {
    if (SameWord(position, kPositionWords[i])) preferences.position = static_cast<OsdPosition>(i);
  }
  return preferences;
}

bool WriteNoticePreferences(IniStore& ini, const std::wstring& strIni, const NoticePreferences& preferences) {
  bool allWritten =
      ini.Write(strIni, kNoticesSection, L"Style", std::wstring(NoticeStyleKeyword(preferences.style)));
  allWritten =
      ini.Write(strIni, kNoticesSection, L"Position", std::wstring(OsdPositionKeyword(preferences.position))) &&
      allWritten;
  return allWritten;
}

}  // namespace kovral
