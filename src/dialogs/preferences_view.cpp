#include "dialogs/preferences_view.h"

namespace kovral {

std::vector<std::wstring> LanguageEntries(const PreferencesTexts& texts) {
  std::vector<std::wstring> entries;
  for (int i = 0; i < kLanguageChoiceCount; ++i) entries.push_back(LanguageEntry(static_cast<LanguageChoice>(i), texts));
  return entries;
}

std::wstring LanguageEntry(LanguageChoice choice, const PreferencesTexts& texts) {
  switch (choice) {
    case LanguageChoice::System: return texts.systemDefault;
    case LanguageChoice::English: return kLanguageNames[0];
    case LanguageChoice::SimplifiedChinese: return kLanguageNames[1];
    case LanguageChoice::TraditionalChinese: return kLanguageNames[2];
  }
  return texts.systemDefault;
}

// The styles and the places are each one choice of several, so a click on
// the ticked box keeps it; the switches turn over.
bool ClickPreference(PreferencesChoice& choice, const layout::Element& element) {
  const PreferencesChoice before = choice;
  switch (element.action) {
    case layout::Action::NoticeStyle:
      choice.notices.style = static_cast<NoticeStyle>(element.index - 1);
      break;
    case layout::Action::OsdPosition:
      choice.notices.position = static_cast<OsdPosition>(element.index - 1);
      break;
    case layout::Action::StartWithWindows:
      choice.startWithWindows = !choice.startWithWindows;
      break;
    case layout::Action::SwitchAutomatically:
      choice.switches.automatic = !choice.switches.automatic;
      break;
    case layout::Action::ProfileNotices:
      choice.switches.notices = !choice.switches.notices;
      break;
    default:
      return false;
  }
  return !(choice == before);
}

bool IsTicked(const PreferencesChoice& choice, const layout::Element& element) {
  switch (element.action) {
    case layout::Action::NoticeStyle: return static_cast<int>(choice.notices.style) == element.index - 1;
    case layout::Action::OsdPosition: return static_cast<int>(choice.notices.position) == element.index - 1;
    case layout::Action::StartWithWindows: return choice.startWithWindows;
    case layout::Action::SwitchAutomatically: return choice.switches.automatic;
    case layout::Action::ProfileNotices: return choice.switches.notices;
    default: return false;
  }
}

void AddPreferencesScene(Scene& scene, const PreferencesChoice& choice, const PreferencesTexts& texts,
                         ui::Rgb textColor, const LitTest& lit) {
  namespace p = layout::preferences;
  scene.AddText(texts.languageHeading, p::kLanguageLabel, ui::kTextLeft, textColor);
  scene.AddText(texts.noticesHeading, p::kNoticesLabel, ui::kTextLeft, textColor);
  scene.AddText(texts.positionHeading, p::kPositionLabel, ui::kTextLeft, textColor);
  for (const layout::Element& e : p::Elements()) {
    if (e.action == layout::Action::ShowSampleNotice) {
      scene.AddImage(lit && lit(e) ? e.overImage : e.normalImage, e.rect);
      scene.AddText(texts.showMe, e.rect, ui::kTextCentre, textColor);
      continue;
    }
    scene.AddImage(IsTicked(choice, e) ? e.overImage : e.normalImage, e.rect);
    switch (e.action) {
      case layout::Action::NoticeStyle:
        scene.AddText(texts.styles[e.index - 1], p::StyleTextRect(e.index), ui::kTextLeft, textColor);
        break;
      case layout::Action::StartWithWindows:
        scene.AddText(choice.startupPlace == StartupPlace::Desktop ? texts.startWithDesktop : texts.startWithWindows,
                      p::SwitchTextRect(e.index), ui::kTextLeft, textColor);
        break;
      case layout::Action::SwitchAutomatically:
        scene.AddText(texts.switchAutomatically, p::SwitchTextRect(e.index), ui::kTextLeft, textColor);
        break;
      case layout::Action::ProfileNotices:
        scene.AddText(texts.profileNotices, p::SwitchTextRect(e.index), ui::kTextLeft, textColor);
        break;
      default:
        break;
    }
  }
  scene.AddText(texts.positions[static_cast<int>(choice.notices.position)], p::kPositionName, ui::kTextCentre,
                textColor);
}

// Choosing "System default" on a system of the language shown already, or
// that language by name, changes what str.ini says and nothing on the screen.
PreferencesOutcome DecidePreferencesOk(const PreferencesChoice& before, const PreferencesChoice& after,
                                       uint16_t systemLangId) {
  PreferencesOutcome outcome;
  outcome.storeLanguage = after.language != before.language;
  outcome.language = EffectiveLanguage(after.language, systemLangId);
  outcome.switchLanguage = outcome.language != EffectiveLanguage(before.language, systemLangId);
  outcome.storeNotices = !(after.notices == before.notices);
  outcome.setStartWithWindows = after.startWithWindows != before.startWithWindows;
  outcome.storeSwitches = !(after.switches == before.switches);
  return outcome;
}

PreferencesDialogModel::PreferencesDialogModel(DialogEnvironment environment, PreferencesChoice& chosen,
                                               std::function<void(OsdPosition)> showSample)
    : SkinDialogModel(layout::DialogKind::Preferences, std::move(environment)),
      chosen_(chosen),
      texts_(PreferencesTextsFor(language())),
      showSample_(std::move(showSample)) {
  AddHoverTable(layout::preferences::Elements());
}

void PreferencesDialogModel::Open() {
  ControlRequest languageText;
  languageText.id = kPreferencesLanguageStatic;
  languageText.rect = layout::preferences::kLanguageText;
  languageText.text = LanguageEntry(chosen_.language, texts_);
  shell().CreateControl(languageText);
}

void PreferencesDialogModel::AddOwnTexts(Scene& scene) const {
  AddPreferencesScene(scene, chosen_, texts_, environment().textColor,
                      [this](const layout::Element& e) { return IsLit(e); });
}

// A click repaints the boxes it may have unticked (the old place and style)
// with the one it hit and the place's name.
void PreferencesDialogModel::OnFieldClick(layout::Point p) {
  namespace prefs = layout::preferences;
  if (prefs::kLanguageField.Contains(p)) {
    if (listOpen()) CloseList();
    else OpenList(kPreferencesLanguageList, prefs::kLanguageList, LanguageEntries(texts_), prefs::kLanguageField);
    return;
  }
  const layout::Element* hit = layout::HitTest(prefs::Elements(), p);
  if (!hit) return;
  if (hit->action == layout::Action::ShowSampleNotice) {
    if (showSample_) showSample_(chosen_.notices.position);
    return;
  }
  const layout::Rect oldPosition = prefs::PositionBoxRect(static_cast<int>(chosen_.notices.position) + 1);
  const layout::Rect oldStyle = prefs::StyleBoxRect(static_cast<int>(chosen_.notices.style) + 1);
  if (ClickPreference(chosen_, *hit)) shell().Repaint({oldPosition, oldStyle, hit->rect, prefs::kPositionName});
}

void PreferencesDialogModel::OnListChoice(int, int index) {
  CloseList();
  if (index < 0 || index >= kLanguageChoiceCount) return;
  chosen_.language = static_cast<LanguageChoice>(index);
  shell().SetText(kPreferencesLanguageStatic, LanguageEntry(chosen_.language, texts_));
  shell().RedrawControl(kPreferencesLanguageStatic);
}

}  // namespace kovral
