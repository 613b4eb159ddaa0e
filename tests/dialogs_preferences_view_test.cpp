#include <gtest/gtest.h>

#include "dialogs/preferences_view.h"
#include "dialogs_fake_shell.h"
#include "ui/skin_files.h"

namespace kovral {
namespace {

namespace p = layout::preferences;

const layout::Element& ElementOf(layout::Action action, int index) {
  const layout::Element* e = layout::FindElement(p::Elements(), action, index);
  EXPECT_NE(e, nullptr);
  return *e;
}

TEST(PreferencesView, StylesAndPlacesAreOneOfSeveralAndTheSwitchesTurnOver) {
  PreferencesChoice choice;
  EXPECT_TRUE(ClickPreference(choice, ElementOf(layout::Action::NoticeStyle, 3)));
  EXPECT_EQ(choice.notices.style, NoticeStyle::Off);
  EXPECT_FALSE(ClickPreference(choice, ElementOf(layout::Action::NoticeStyle, 3))) << "a ticked style untick itself";
  EXPECT_EQ(choice.notices.style, NoticeStyle::Off);
  EXPECT_TRUE(ClickPreference(choice, ElementOf(layout::Action::OsdPosition, 5)));
  EXPECT_EQ(choice.notices.position, OsdPosition::BottomRight);
  EXPECT_TRUE(ClickPreference(choice, ElementOf(layout::Action::StartWithWindows, 1)));
  EXPECT_TRUE(choice.startWithWindows);
  EXPECT_TRUE(ClickPreference(choice, ElementOf(layout::Action::SwitchAutomatically, 2)));
  EXPECT_FALSE(choice.switches.automatic);
  EXPECT_TRUE(choice.switches.notices);
  EXPECT_TRUE(ClickPreference(choice, ElementOf(layout::Action::ProfileNotices, 3)));
  EXPECT_FALSE(choice.switches.notices);
  const PreferencesChoice before = choice;
  EXPECT_FALSE(ClickPreference(choice, ElementOf(layout::Action::ShowSampleNotice, 0)));
  EXPECT_EQ(choice, before);
}

// What the picture ticks is what the choice holds, box by box.
TEST(PreferencesView, TheSceneTicksTheChoiceAndNamesThePlace) {
  PreferencesChoice choice;
  choice.notices = {NoticeStyle::Balloons, OsdPosition::Centre};
  choice.startWithWindows = true;
  choice.switches.automatic = false;
  const PreferencesTexts& texts = PreferencesTextsFor(UiLanguage::SimplifiedChinese);
  Scene scene;
  AddPreferencesScene(scene, choice, texts, {1, 2, 3}, {});
  const auto ticked = [&](const layout::Rect& r) {
    return std::wstring(scene.ImageAt({r.left, r.top})) == skin::kPaneTick;
  };
  for (int s = 1; s <= 3; ++s) EXPECT_EQ(ticked(p::StyleBoxRect(s)), s == 2) << "style " << s;
  for (int i = 1; i <= kOsdPositionCount; ++i) EXPECT_EQ(ticked(p::PositionBoxRect(i)), i == 6) << "place " << i;
  EXPECT_TRUE(ticked(p::SwitchBoxRect(1)));
  EXPECT_FALSE(ticked(p::SwitchBoxRect(2)));
  EXPECT_TRUE(ticked(p::SwitchBoxRect(3)));
  ASSERT_NE(scene.TextIn(p::kPositionName), nullptr);
  EXPECT_EQ(scene.TextIn(p::kPositionName)->text, L"居中");
  ASSERT_NE(scene.TextIn(p::StyleTextRect(1)), nullptr);
  EXPECT_EQ(scene.TextIn(p::StyleTextRect(1))->text, L"屏幕显示");
  ASSERT_NE(scene.TextIn(p::kShowMe), nullptr);
  EXPECT_EQ(scene.TextIn(p::kShowMe)->text, texts.showMe);
  ASSERT_NE(scene.TextIn(p::SwitchTextRect(1)), nullptr);
  EXPECT_EQ(scene.TextIn(p::SwitchTextRect(1))->text, L"开机时启动");
  // On the Linux desktop the box names the desktop session.
  choice.startupPlace = StartupPlace::Desktop;
  Scene desktop;
  AddPreferencesScene(desktop, choice, PreferencesTextsFor(UiLanguage::English), {1, 2, 3}, {});
  ASSERT_NE(desktop.TextIn(p::SwitchTextRect(1)), nullptr);
  EXPECT_EQ(desktop.TextIn(p::SwitchTextRect(1))->text, L"Start with the desktop");
}

TEST(PreferencesView, TheLanguagesAreNamedInTheirOwnWriting) {
  for (UiLanguage l : {UiLanguage::English, UiLanguage::SimplifiedChinese, UiLanguage::TraditionalChinese}) {
    const PreferencesTexts& texts = PreferencesTextsFor(l);
    EXPECT_EQ(LanguageEntries(texts),
              (std::vector<std::wstring>{texts.systemDefault, L"English", L"简体中文", L"繁體中文"}));
  }
  EXPECT_EQ(LanguageEntry(LanguageChoice::System, PreferencesTextsFor(UiLanguage::TraditionalChinese)), L"系統預設");
}

// OK stores only what changed, and draws everything anew only when the
// language shown changes.
TEST(PreferencesView, OkStoresWhatChangedAndRedrawsOnlyForAnotherLanguage) {
  PreferencesChoice before;
  before.language = LanguageChoice::English;
  EXPECT_EQ(DecidePreferencesOk(before, before, 0x0804).storeLanguage, false);
  EXPECT_FALSE(DecidePreferencesOk(before, before, 0x0804).switchLanguage);

  PreferencesChoice after = before;
  after.language = LanguageChoice::System;
  PreferencesOutcome o = DecidePreferencesOk(before, after, 0x0409);
  EXPECT_TRUE(o.storeLanguage);
  EXPECT_FALSE(o.switchLanguage) << "English on an English system is what is shown";
  o = DecidePreferencesOk(before, after, 0x0C04);
  EXPECT_TRUE(o.switchLanguage);
  EXPECT_EQ(o.language, UiLanguage::TraditionalChinese);
  EXPECT_FALSE(o.storeNotices || o.setStartWithWindows || o.storeSwitches);

  after = before;
  after.notices.position = OsdPosition::TopLeft;
  o = DecidePreferencesOk(before, after, 0x0409);
  EXPECT_TRUE(o.storeNotices);
  EXPECT_FALSE(o.storeLanguage || o.switchLanguage || o.setStartWithWindows || o.storeSwitches);
  after = before;
  after.startWithWindows = true;
  after.switches.notices = false;
  o = DecidePreferencesOk(before, after, 0x0409);
  EXPECT_TRUE(o.setStartWithWindows);
  EXPECT_TRUE(o.storeSwitches);
  EXPECT_FALSE(o.storeNotices);
}

// Every box and text has its own place on the face, above OK and Cancel.
TEST(PreferencesView, NothingOnTheFaceOverlaps) {
  std::vector<layout::Rect> rects = {p::kLanguageField, p::kNoticesLabel, p::kPositionLabel, p::kPositionName};
  for (int s = 1; s <= 3; ++s) {
    rects.push_back(p::StyleTextRect(s));
    rects.push_back(p::SwitchTextRect(s));
  }
  for (const layout::Element& e : p::Elements()) {
    EXPECT_LE(e.rect.bottom, layout::kDialogOk.top - 10);
    EXPECT_LE(e.rect.right, layout::kDialogSize.width - 14);
    if (e.action != layout::Action::OsdPosition) rects.push_back(e.rect);
    else EXPECT_TRUE(Intersects(e.rect, p::kScreen)) << "a place outside the screen";
  }
  for (size_t i = 0; i < rects.size(); ++i)
    for (size_t j = i + 1; j < rects.size(); ++j)
      EXPECT_FALSE(Intersects(rects[i], rects[j])) << i << " and " << j;
}

// The dialog through a recording shell: a language chosen in the list is
// shown and kept; the sample shows at the place chosen so far; a click on
// another place repaints the old box, the new one and the place's name.
TEST(PreferencesView, TheDialogKeepsTheChosenLanguageAndShowsTheSampleWhereChosen) {
  std::vector<OsdPosition> samples;
  PreferencesChoice chosen;
  PreferencesDialogModel model({L"s", {255, 255, 255}, L"en"}, chosen, [&](OsdPosition p) { samples.push_back(p); });
  testing::RecordingDialogShell shell;
  model.Attach(shell);
  model.Open();
  EXPECT_EQ(shell.texts[kPreferencesLanguageStatic], PreferencesTextsFor(UiLanguage::English).systemDefault);
  model.OnClick({p::kLanguageField.left + 2, p::kLanguageField.top + 2});
  shell.selection[kPreferencesLanguageList] = 2;
  model.OnListEvent(kPreferencesLanguageList, ui::ListEvent::EnterPressed);
  EXPECT_EQ(chosen.language, LanguageChoice::SimplifiedChinese);
  EXPECT_EQ(shell.texts[kPreferencesLanguageStatic], L"简体中文");

  const layout::Element& place = ElementOf(layout::Action::OsdPosition, 5);
  const layout::Element& sample = ElementOf(layout::Action::ShowSampleNotice, 0);
  shell.Take();
  model.OnClick({place.rect.left + 1, place.rect.top + 1});
  EXPECT_EQ(shell.Take(), std::vector<std::string>{"repaint 4"});
  model.OnClick({sample.rect.left + 1, sample.rect.top + 1});
  EXPECT_EQ(samples, std::vector<OsdPosition>{OsdPosition::BottomRight});
}

}  // namespace
}  // namespace kovral
