#include "dialogs/profiles_dialog_win.h"

#include <algorithm>

#include "lang/text_format.h"
#include "profiles/foreground_watch.h"
#include "settings/text_encoding.h"
#include "ui/text_fit.h"
#include "ui/text_win.h"
#include "ui/window_win.h"

namespace kovral {

CProfilesDialog::CProfilesDialog(DialogEnvironment environment, ProfilesDialogServices services)
    : CSkinDialog(layout::DialogKind::Profiles, std::move(environment)),
      services_(std::move(services)),
      texts_(ProfilesTextsFor(language())) {
  AddHoverTable(layout::profiles::ButtonElements());
}

void CProfilesDialog::CreateControls() {
  profileList_ = MakeControl(L"LISTBOX", kProfilesListId, layout::profiles::kList,
                             WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, L"");
  nameEdit_ = MakeControl(L"EDIT", kProfilesNameEditId, layout::profiles::kNameEdit, ES_AUTOHSCROLL | WS_TABSTOP, L"");
  SendMessageW(nameEdit_, EM_LIMITTEXT, kProfileNameLimit, 0);
  Fill();
  if (listing_.profiles.empty() && status_.empty()) Say(texts_.noProfiles);
  SetFocus(nameEdit_);
}

// The buttons, their texts and the last action's words, in the text colour.
void CProfilesDialog::AddOwnTexts(Scene& scene) const {
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
void CProfilesDialog::AddStatusLines(Scene& scene) const {
  const layout::Rect inner{layout::profiles::kStatus.left + 6, layout::profiles::kStatus.top + 4,
                           layout::profiles::kStatus.right - 6, layout::profiles::kStatus.bottom - 4};
  const int lineHeight = ui::FontsForLanguageCode(environment().languageCode, ui::CurrentWindowsVersion()).normal.height;
  const int maxLines = std::max(1, (inner.bottom - inner.top) / lineHeight);
  MemoryDC dc(nullptr);
  ScopedSelectObject selectFont(dc.get(), font());
  const auto measure = [&](std::wstring_view text) {
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  const layout::Rect device = ui::DeviceRect(inner, dpi());
  const std::vector<std::wstring> lines = ui::FitLines(status_, device.right - device.left, maxLines, measure);
  int top = inner.top + (inner.bottom - inner.top - lineHeight * static_cast<int>(lines.size())) / 2;
  for (const std::wstring& line : lines) {
    scene.AddText(line, {inner.left, top, inner.right, top + lineHeight}, ui::kTextLeft, environment().textColor);
    top += lineHeight;
  }
}

void CProfilesDialog::Fill(const std::wstring& profile, const std::wstring& program) {
  listing_ = services_.library.List();
  rows_ = ProfilesRows(listing_, services_.active ? services_.active() : std::nullopt, texts_);
  SendMessageW(profileList_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(profileList_, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  HDC dc = GetDC(profileList_);
  HGDIOBJ old = SelectObject(dc, font());
  for (const ProfilesRow& row : rows_) {
    SendMessageW(profileList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
    SIZE size{};
    GetTextExtentPoint32W(dc, row.text.c_str(), static_cast<int>(row.text.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(profileList_, dc);
  // A broken profile's reason is longer than the list is wide.
  SendMessageW(profileList_, LB_SETHORIZONTALEXTENT, widest + 8, 0);
  SendMessageW(profileList_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(profileList_, nullptr, TRUE);
  if (!profile.empty())
    if (const std::optional<size_t> row = RowOf(rows_, listing_, profile, program))
      SendMessageW(profileList_, LB_SETCURSEL, *row, 0);
  if (!listing_.problem.empty()) Say(FromUtf8(listing_.problem));
}

const ProfilesRow* CProfilesDialog::Selected() const {
  const LRESULT index = SendMessageW(profileList_, LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= rows_.size()) return nullptr;
  return &rows_[static_cast<size_t>(index)];
}

std::wstring CProfilesDialog::TypedName() const {
  std::wstring name = ui::WindowText(nameEdit_);
  const size_t first = name.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return name.substr(first, name.find_last_not_of(L" \t") - first + 1);
}

void CProfilesDialog::Say(std::wstring text) {
  status_ = std::move(text);
  Redraw({layout::profiles::kStatus});
}

void CProfilesDialog::Report(const std::string& problem, const std::wstring& done) {
  if (!problem.empty()) {
    Say(FormatText(texts_.notDone, FromUtf8(problem)));
    return;
  }
  if (services_.changed) services_.changed();
  Say(done);
}

// Enter in the Name box saves under the typed name, as a person who just
// typed a name means; it does not close the dialog and lose the name.
void CProfilesDialog::OnOK() {
  if (GetFocus() == nameEdit_) return Save();
  CSkinDialog::OnOK();
}

void CProfilesDialog::Save() {
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
  if (existing) {
    profile.programs = existing->programs;  // copied: the question box runs a message loop
    const std::wstring question = FormatText(texts_.confirmReplace, saved);
    if (MessageBoxW(hwnd_, question.c_str(), texts_.buttons[0], MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
      return;
  }
  const std::string problem = services_.library.Save(saved, profile, existing != nullptr);
  Report(problem, FormatText(texts_.saved, saved));
  if (problem.empty()) Fill(saved);
}

void CProfilesDialog::Rename() {
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

void CProfilesDialog::OpenProgramList() {
  if (!Selected()) return Say(texts_.chooseProfile);
  Win32ForegroundSource windows;
  openPrograms_ = OpenProgramNames(windows.OpenWindows());
  std::vector<std::wstring> entries;
  if (services_.files) entries.push_back(texts_.browse);
  entries.insert(entries.end(), openPrograms_.begin(), openPrograms_.end());
  OpenList(kProfilesProgramListId, layout::profiles::kProgramList, entries, layout::profiles::ButtonRect(2));
}

void CProfilesDialog::AddChosenProgram() {
  const LRESULT index = list() ? SendMessageW(list(), LB_GETCURSEL, 0, 0) : LB_ERR;
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
    const std::optional<std::wstring> file = services_.files->ChooseOpen(hwnd_, choice);
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

void CProfilesDialog::RemoveProgram() {
  const ProfilesRow* row = Selected();
  if (!row || !row->program) return Say(texts_.chooseProgram);
  const std::wstring profile = listing_.profiles[row->profile].name;
  const std::wstring program = listing_.profiles[row->profile].programs[*row->program];
  const std::string problem = services_.library.RemoveProgram(profile, program);
  Report(problem, FormatText(texts_.removed, program));
  Fill(profile);
}

void CProfilesDialog::Delete() {
  const ProfilesRow* row = Selected();
  if (!row) return Say(texts_.chooseProfile);
  const std::wstring name = listing_.profiles[row->profile].name;
  const std::wstring question = FormatText(texts_.confirmDelete, name);
  if (MessageBoxW(hwnd_, question.c_str(), texts_.buttons[4], MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  const std::string problem = services_.library.Delete(name);
  Report(problem, FormatText(texts_.deleted, name));
  Fill();
}

bool CProfilesDialog::OnFieldClick(layout::Point p) {
  const layout::Element* hit = layout::HitTest(layout::profiles::ButtonElements(), p);
  if (!hit) return false;
  if (hit->action != layout::Action::ProfileAddProgram && list()) CloseList();
  switch (hit->action) {
    case layout::Action::ProfileSave: Save(); break;
    case layout::Action::ProfileRename: Rename(); break;
    case layout::Action::ProfileAddProgram:
      if (list()) CloseList();
      else OpenProgramList();
      break;
    case layout::Action::ProfileRemoveProgram: RemoveProgram(); break;
    case layout::Action::ProfileDelete: Delete(); break;
    default: return false;
  }
  return true;
}

bool CProfilesDialog::OnControlCommand(int id, int code) {
  if (id == kProfilesProgramListId) {
    if (ListChooses(code)) AddChosenProgram();
    return true;
  }
  // A profile chosen in the list offers its name for a rename.
  if (id == kProfilesListId && code == LBN_SELCHANGE) {
    if (const ProfilesRow* row = Selected(); row && !row->program)
      SetWindowTextW(nameEdit_, listing_.profiles[row->profile].name.c_str());
    return true;
  }
  return false;
}

void CProfilesDialog::OnWheel(int delta) {
  HWND target = list() ? list() : profileList_;
  const WPARAM step = delta > 0 ? SB_LINEUP : SB_LINEDOWN;
  for (int i = 0; i < 3; ++i) SendMessageW(target, WM_VSCROLL, step, 0);
}

}  // namespace kovral
