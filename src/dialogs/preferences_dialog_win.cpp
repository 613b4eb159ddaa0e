#include "dialogs/preferences_dialog_win.h"

namespace kovral {

CPreferencesDialog::CPreferencesDialog(DialogEnvironment environment, PreferencesChoice current,
                                       std::function<void(OsdPosition)> showSample)
    : CSkinDialog(layout::DialogKind::Preferences, std::move(environment)),
      chosen(current),
      texts_(PreferencesTextsFor(language())),
      showSample_(std::move(showSample)) {
  AddHoverTable(layout::preferences::Elements());
}

void CPreferencesDialog::CreateControls() {
  languageText_ = MakeControl(L"STATIC", kPreferencesLanguageStatic, layout::preferences::kLanguageText,
                              SS_LEFT | SS_CENTERIMAGE, LanguageEntry(chosen.language, texts_));
}

void CPreferencesDialog::AddOwnTexts(Scene& scene) const {
  AddPreferencesScene(scene, chosen, texts_, environment().textColor,
                      [this](const layout::Element& e) { return IsLit(e); });
}

bool CPreferencesDialog::OnFieldClick(layout::Point p) {
  namespace prefs = layout::preferences;
  if (prefs::kLanguageField.Contains(p)) {
    if (list()) CloseList();
    else OpenList(kPreferencesLanguageList, prefs::kLanguageList, LanguageEntries(texts_), prefs::kLanguageField);
    return true;
  }
  const layout::Element* hit = layout::HitTest(prefs::Elements(), p);
  if (!hit) return false;
  if (hit->action == layout::Action::ShowSampleNotice) {
    if (showSample_) showSample_(chosen.notices.position);
    return true;
  }
  const layout::Rect oldPosition = prefs::PositionBoxRect(static_cast<int>(chosen.notices.position) + 1);
  const layout::Rect oldStyle = prefs::StyleBoxRect(static_cast<int>(chosen.notices.style) + 1);
  if (ClickPreference(chosen, *hit)) Redraw({oldPosition, oldStyle, hit->rect, prefs::kPositionName});
  return true;
}

bool CPreferencesDialog::OnControlCommand(int id, int code) {
  if (id != kPreferencesLanguageList) return false;
  if (ListChooses(code)) ChooseListedLanguage();
  return true;
}

void CPreferencesDialog::ChooseListedLanguage() {
  const LRESULT selection = list() ? SendMessageW(list(), LB_GETCURSEL, 0, 0) : LB_ERR;
  CloseList();
  if (selection < 0 || selection >= kLanguageChoiceCount) return;
  chosen.language = static_cast<LanguageChoice>(selection);
  SetWindowTextW(languageText_, LanguageEntry(chosen.language, texts_).c_str());
  InvalidateRect(languageText_, nullptr, TRUE);
}

void CPreferencesDialog::OnWheel(int delta) {
  if (!list()) return;
  const WPARAM step = delta > 0 ? SB_LINEUP : SB_LINEDOWN;
  for (int i = 0; i < 3; ++i) SendMessageW(list(), WM_VSCROLL, step, 0);
}

}  // namespace kovral
