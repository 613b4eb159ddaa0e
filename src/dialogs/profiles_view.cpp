#include "dialogs/profiles_view.h"

#include <algorithm>

#include "lang/text_format.h"
#include "settings/text_encoding.h"

namespace kovral {

std::vector<ProfilesRow> ProfilesRows(const ProfileListing& listing, const std::optional<SwitchTarget>& active,
                                      const ProfilesTexts& texts) {
  std::vector<ProfilesRow> rows;
  for (size_t i = 0; i < listing.profiles.size(); ++i) {
    const ProfileEntry& entry = listing.profiles[i];
    ProfilesRow row{entry.name, i, std::nullopt};
    if (!entry.Good()) {
      row.text += L" \u2014 " + FromUtf8(entry.problem);
    } else if (active && !active->desktop && SameFileName(active->profile, entry.name)) {
      row.text += L"  ";
      row.text += texts.active;
    }
    rows.push_back(std::move(row));
    for (size_t p = 0; p < entry.programs.size(); ++p) rows.push_back({L"      " + entry.programs[p], i, p});
  }
  return rows;
}

std::optional<size_t> RowOf(const std::vector<ProfilesRow>& rows, const ProfileListing& listing,
                            const std::wstring& profile, const std::wstring& program) {
  for (size_t r = 0; r < rows.size(); ++r) {
    const ProfileEntry& entry = listing.profiles[rows[r].profile];
    if (!SameFileName(entry.name, profile)) continue;
    if (program.empty() && !rows[r].program) return r;
    if (!program.empty() && rows[r].program && SameFileName(entry.programs[*rows[r].program], program)) return r;
  }
  return std::nullopt;
}

std::wstring UnusableProfileName(std::wstring_view name, const ProfilesTexts& texts) {
  if (ProfileNameProblem(name).empty()) return {};
  return FormatText(SameFileName(name, kDesktopProfileName) ? texts.desktopName : texts.nameUnusable, name);
}

const ProfileEntry* ProfileNamed(const ProfileListing& listing, std::wstring_view name) {
  for (const ProfileEntry& entry : listing.profiles)
    if (SameFileName(entry.name, name)) return &entry;
  return nullptr;
}

std::vector<std::wstring> OpenProgramNames(const std::vector<FrontWindow>& windows) {
  std::vector<std::wstring> names;
  for (const FrontWindow& w : windows) {
    if (w.own || w.program.empty()) continue;
    if (std::none_of(names.begin(), names.end(), [&](const std::wstring& n) { return SameFileName(n, w.program); }))
      names.push_back(w.program);
  }
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return FoldFileNameCase(a) < FoldFileNameCase(b);
  });
  return names;
}

}  // namespace kovral
