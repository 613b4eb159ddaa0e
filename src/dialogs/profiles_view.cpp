#include "dialogs/profiles_view.h"

#include <algorithm>

#include "lang/text_format.h"
#include "ui/dpi_scale.h"
#include "ui/text_fit.h"
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

ProfilesDialogModel::ProfilesDialogModel(DialogEnvironment environment, ProfilesDialogServices services,
                                         std::function<std::vector<FrontWindow>()> openWindows)
    : SkinDialogModel(layout::DialogKind::Profiles, std::move(environment)),
      services_(std::move(services)),
      openWindows_(std::move(openWindows)),
      texts_(ProfilesTextsFor(language())) {
  AddHoverTable(layout::profiles::ButtonElements());
}

void ProfilesDialogModel::Open() {
  ControlRequest list;
  list.kind = ControlKind::List;
  list.id = kProfilesListId;
  list.rect = layout::profiles::kList;
  list.tabStop = true;
  shell().CreateControl(list);
  ControlRequest name;
  name.kind = ControlKind::Edit;
  name.id = kProfilesNameEditId;
  name.rect = layout::profiles::kNameEdit;
  name.tabStop = true;
  name.limit = static_cast<int>(kProfileNameLimit);
  shell().CreateControl(name);
  Fill();
  if (listing_.profiles.empty() && status_.empty()) Say(texts_.noProfiles);
  shell().Focus(kProfilesNameEditId);
}

// The buttons, their texts and the last action's words, in the text colour.
void ProfilesDialogModel::AddOwnTexts(Scene& scene) const {
  const auto buttons = layout::profiles::ButtonElements();
  for (size_t i = 0; i < buttons.size(); ++i) {
    const layout::Element& e = buttons[i];
    scene.AddImage(IsLit(e) ? e.overImage : e.normalImage, e.rect);
    scene.AddText(texts_.buttons[i], e.rect, ui::kTextCentre, environment().textColor);
  }
  AddStatusLines(scene);
}

// The status in as many lines of the font as its box holds, measured with
// the dialog's font at its scale: a long name breaks within itself, and what
// still does not fit (a 64-character name of wide letters) ends with "…"
// rather than running past the box.
void ProfilesDialogModel::AddStatusLines(Scene& scene) const {
  const layout::Rect inner{layout::profiles::kStatus.left + 6, layout::profiles::kStatus.top + 4,
                           layout::profiles::kStatus.right - 6, layout::profiles::kStatus.bottom - 4};
  const int lineHeight = std::max(1, shell().LineHeight());
  const int maxLines = std::max(1, (inner.bottom - inner.top) / lineHeight);
  const layout::Rect device = ui::DeviceRect(inner, shell().Dpi());
  const std::vector<std::wstring> lines =
      ui::FitLines(status_, device.right - device.left, maxLines,
                   [this](std::wstring_view text) { return shell().TextWidth(text); });
  int top = inner.top + (inner.bottom - inner.top - lineHeight * static_cast<int>(lines.size())) / 2;
  for (const std::wstring& line : lines) {
    scene.AddText(line, {inner.left, top, inner.right, top + lineHeight}, ui::kTextLeft, environment().textColor);
    top += lineHeight;
  }
}

void ProfilesDialogModel::Fill(const std::wstring& profile, const std::wstring& program) {
  listing_ = services_.library.List();
  rows_ = ProfilesRows(listing_, services_.active ? services_.active() : std::nullopt, texts_);
  std::vector<std::wstring> texts;
  for (const ProfilesRow& row : rows_) texts.push_back(row.text);
  shell().SetListItems(kProfilesListId, texts);
  if (!profile.empty())
    if (const std::optional<size_t> row = RowOf(rows_, listing_, profile, program))
      shell().SelectListItem(kProfilesListId, static_cast<int>(*row));
  if (!listing_.problem.empty()) Say(FromUtf8(listing_.problem));
}

const ProfilesRow* ProfilesDialogModel::Selected() const {
  const int index = shell().ListSelection(kProfilesListId);
  if (index < 0 || static_cast<size_t>(index) >= rows_.size()) return nullptr;
  return &rows_[static_cast<size_t>(index)];
}

std::wstring ProfilesDialogModel::TypedName() const {
  const std::wstring name = shell().Text(kProfilesNameEditId);
  const size_t first = name.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return name.substr(first, name.find_last_not_of(L" \t") - first + 1);
}

void ProfilesDialogModel::Say(std::wstring text) {
  status_ = std::move(text);
  shell().Repaint({layout::profiles::kStatus});
}

void ProfilesDialogModel::Report(const std::string& problem, const std::wstring& done) {
  if (!problem.empty()) {
    Say(FormatText(texts_.notDone, FromUtf8(problem)));
    return;
  }
  if (services_.changed) services_.changed();
  Say(done);
}

// Enter in the Name box saves under the typed name, as a person who just
// typed a name means; it does not close the dialog and lose the name.
void ProfilesDialogModel::OnOk() {
  if (shell().HasFocus(kProfilesNameEditId)) return Save();
  SkinDialogModel::OnOk();
}

void ProfilesDialogModel::Save() {
  const std::wstring name = TypedName();
  if (name.empty()) return Say(texts_.typeName);
  if (std::wstring unusable = UnusableProfileName(name, texts_); !unusable.empty()) return Say(std::move(unusable));
  ProfileData profile = services_.currentSettings();
  // Saving over a profile is how a user updates it, so it is offered after a
  // question; the programs stay the profile's, not the window's. A broken
  // profile is left for the user to mend or delete: its programs cannot be
  // read, so they could not be kept.
  const ProfileEntry* existing = ProfileNamed(listing_, name);
  if (existing && !existing->Good()) return Say(FormatText(texts_.nameTaken, existing->name));
  const std::wstring saved = existing ? existing->name : name;
  const bool replace = existing != nullptr;
  if (existing) {
    profile.programs = existing->programs;  // copied: the question box runs a message loop
    if (!shell().Ask(FormatText(texts_.confirmReplace, saved), texts_.buttons[0])) return;
  }
  const std::string problem = services_.library.Save(saved, profile, replace);
  Report(problem, FormatText(texts_.saved, saved));
  if (problem.empty()) Fill(saved);
}

void ProfilesDialogModel::Rename() {
  const ProfilesRow* row = Selected();
  if (!row) return Say(texts_.chooseProfile);
  const std::wstring from = listing_.profiles[row->profile].name;
  const std::wstring to = TypedName();
  if (to.empty()) return Say(texts_.typeName);
  if (std::wstring unusable = UnusableProfileName(to, texts_); !unusable.empty()) return Say(std::move(unusable));
  if (const ProfileEntry* taken = ProfileNamed(listing_, to); taken && !SameFileName(taken->name, from))
    return Say(FormatText(texts_.nameTaken, taken->name));
  const std::string problem = services_.library.Rename(from, to);
  Report(problem, FormatText(texts_.renamed, to));
  Fill(problem.empty() ? to : from);
}

void ProfilesDialogModel::OpenProgramList() {
  if (!Selected()) return Say(texts_.chooseProfile);
  openPrograms_ = OpenProgramNames(openWindows_ ? openWindows_() : std::vector<FrontWindow>{});
  std::vector<std::wstring> entries;
  if (services_.files) entries.push_back(texts_.browse);
  entries.insert(entries.end(), openPrograms_.begin(), openPrograms_.end());
  OpenList(kProfilesProgramListId, layout::profiles::kProgramList, entries, layout::profiles::ButtonRect(2));
}

void ProfilesDialogModel::AddChosenProgram(int index) {
  CloseList();
  const ProfilesRow* row = Selected();
  if (index < 0 || !row) return;
  const std::wstring profile = listing_.profiles[row->profile].name;
  std::wstring program;
  const size_t first = services_.files ? 1 : 0;
  if (static_cast<size_t>(index) < first) {
    FileChoice choice;
    choice.title = texts_.buttons[2];
    while (!choice.title.empty() && (choice.title.back() == L'\u2026' || choice.title.back() == L'.'))
      choice.title.pop_back();
    choice.typeName = texts_.programFileType;
    choice.extension = L"exe";
    choice.allFilesName = L"*.*";
    const std::optional<std::wstring> file = services_.files->ChooseOpen(shell().ChooserOwner(), choice);
    if (!file) return;
    program = *file;
  } else if (static_cast<size_t>(index) - first < openPrograms_.size()) {
    program = openPrograms_[static_cast<size_t>(index) - first];
  } else {
    return;
  }
  const std::wstring file(ProgramFileName(program));
  if (NamesProgram(listing_.profiles[row->profile].programs, file)) return Say(FormatText(texts_.programThere, file));
  const std::string problem = services_.library.AddProgram(profile, program);
  Report(problem, FormatText(texts_.added, file));
  Fill(profile, file);
}

void ProfilesDialogModel::RemoveProgram() {
  const ProfilesRow* row = Selected();
  if (!row || !row->program) return Say(texts_.chooseProgram);
  const std::wstring profile = listing_.profiles[row->profile].name;
  const std::wstring program = listing_.profiles[row->profile].programs[*row->program];
  const std::string problem = services_.library.RemoveProgram(profile, program);
  Report(problem, FormatText(texts_.removed, program));
  Fill(profile);
}

void ProfilesDialogModel::Delete() {
  const ProfilesRow* row = Selected();
  if (!row) return Say(texts_.chooseProfile);
  const std::wstring name = listing_.profiles[row->profile].name;
  if (!shell().Ask(FormatText(texts_.confirmDelete, name), texts_.buttons[4])) return;
  const std::string problem = services_.library.Delete(name);
  Report(problem, FormatText(texts_.deleted, name));
  Fill();
}

void ProfilesDialogModel::OnFieldClick(layout::Point p) {
  const layout::Element* hit = layout::HitTest(layout::profiles::ButtonElements(), p);
  if (!hit) return;
  if (hit->action != layout::Action::ProfileAddProgram && listOpen()) CloseList();
  switch (hit->action) {
    case layout::Action::ProfileSave: Save(); break;
    case layout::Action::ProfileRename: Rename(); break;
    case layout::Action::ProfileAddProgram:
      if (listOpen()) CloseList();
      else OpenProgramList();
      break;
    case layout::Action::ProfileRemoveProgram: RemoveProgram(); break;
    case layout::Action::ProfileDelete: Delete(); break;
    default: break;
  }
}

void ProfilesDialogModel::OnListChoice(int, int index) { AddChosenProgram(index); }

// A profile chosen in the list offers its name for a rename.
void ProfilesDialogModel::OnListSelected(int id) {
  if (id != kProfilesListId) return;
  if (const ProfilesRow* row = Selected(); row && !row->program)
    shell().SetText(kProfilesNameEditId, listing_.profiles[row->profile].name);
}

// The wheel scrolls the open program list, else the profiles.
void ProfilesDialogModel::OnWheel(int delta) {
  shell().ScrollList(listOpen() ? openListId() : kProfilesListId, delta > 0 ? -3 : 3);
}

}  // namespace kovral
