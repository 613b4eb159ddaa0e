// Prints the layout tables as JSON for the skin generator, so the pictures
// are drawn from the same rectangles the program hit-tests. Built and run by
// scripts/make_skin.sh; not part of the program.
#include <cstdio>
#include <string>

#include "ui/skin_scale.h"
#include "view/layout.h"

using namespace kovral::layout;

namespace {

const char* ActionName(Action a) {
  switch (a) {
    case Action::None: return "None";
    case Action::Ok: return "Ok";
    case Action::Apply: return "Apply";
    case Action::Skins: return "Skins";
    case Action::Minimise: return "Minimise";
    case Action::Close: return "Close";
    case Action::BasicTab: return "BasicTab";
    case Action::AdvancedTab: return "AdvancedTab";
    case Action::Cancel: return "Cancel";
    case Action::WebLink: return "WebLink";
    case Action::ModeA: return "ModeA";
    case Action::ModeB: return "ModeB";
    case Action::KeyDefault: return "KeyDefault";
    case Action::KeyRow: return "KeyRow";
    case Action::ReportRate: return "ReportRate";
    case Action::DpiSelect: return "DpiSelect";
    case Action::DpiColor: return "DpiColor";
    case Action::LightBox: return "LightBox";
    case Action::DpiCell: return "DpiCell";
    case Action::PrecisionBox: return "PrecisionBox";
    case Action::OneScreenBox: return "OneScreenBox";
    case Action::PointerDefault: return "PointerDefault";
    case Action::StartRecording: return "StartRecording";
    case Action::StopRecording: return "StopRecording";
    case Action::MacroNew: return "MacroNew";
    case Action::MacroDelete: return "MacroDelete";
    case Action::MacroConfirm: return "MacroConfirm";
    case Action::MouseEventBox: return "MouseEventBox";
    case Action::PointerCell: return "PointerCell";
    case Action::DialogOk: return "DialogOk";
    case Action::DialogCancel: return "DialogCancel";
    case Action::DialogClose: return "DialogClose";
    case Action::RepeatMode: return "RepeatMode";
    case Action::ProfileSave: return "ProfileSave";
    case Action::ProfileRename: return "ProfileRename";
    case Action::ProfileAddProgram: return "ProfileAddProgram";
    case Action::ProfileRemoveProgram: return "ProfileRemoveProgram";
    case Action::ProfileDelete: return "ProfileDelete";
    case Action::NoticeStyle: return "NoticeStyle";
    case Action::OsdPosition: return "OsdPosition";
    case Action::StartWithWindows: return "StartWithWindows";
    case Action::SwitchAutomatically: return "SwitchAutomatically";
    case Action::ProfileNotices: return "ProfileNotices";
    case Action::ShowSampleNotice: return "ShowSampleNotice";
  }
  return "?";
}

const char* TextName(Text t) {
  switch (t) {
    case Text::PageTitle: return "PageTitle";
    case Text::WebLink: return "WebLink";
    case Text::KeySetting: return "KeySetting";
    case Text::ReportRateSetting: return "ReportRateSetting";
    case Text::DpiSetting: return "DpiSetting";
    case Text::DpiEffect: return "DpiEffect";
    case Text::ColorLabel: return "ColorLabel";
    case Text::SelectLabel: return "SelectLabel";
    case Text::LightModeLabel: return "LightModeLabel";
    case Text::LightParameterLabel: return "LightParameterLabel";
    case Text::LightEffectLabel: return "LightEffectLabel";
    case Text::MouseSpeed: return "MouseSpeed";
    case Text::ScrollingSpeed: return "ScrollingSpeed";
    case Text::DoubleClickSpeed: return "DoubleClickSpeed";
    case Text::EnhancePrecision: return "EnhancePrecision";
    case Text::ScrollOneScreen: return "ScrollOneScreen";
    case Text::MacroSetting: return "MacroSetting";
    case Text::SelectMacro: return "SelectMacro";
    case Text::KeyPressSequence: return "KeyPressSequence";
    case Text::RecordOption: return "RecordOption";
    case Text::StartRecording: return "StartRecording";
    case Text::StopRecording: return "StopRecording";
    case Text::MacroName: return "MacroName";
    case Text::LoopTimes: return "LoopTimes";
    case Text::InsertMouseEvent: return "InsertMouseEvent";
  }
  return "?";
}

std::string Narrow(const wchar_t* s) {
  std::string out;
  if (s == nullptr) return out;
  for (; *s; ++s) out += static_cast<char>(*s);  // skin file names are ASCII
  return out;
}

std::string RectJson(const Rect& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "]";
}

std::string Str(const std::string& s) { return "\"" + s + "\""; }

void Elements(const char* name, std::span<const Element> table, bool& first) {
  std::printf("%s%s: [", first ? "" : ",\n  ", Str(name).c_str());
  first = false;
  bool firstElement = true;
  for (const Element& e : table) {
    std::printf("%s\n    {\"action\": %s, \"index\": %d, \"step\": %d, \"rect\": %s, \"normal\": %s, \"over\": %s, "
                "\"hover\": %d}",
                firstElement ? "" : ",", Str(ActionName(e.action)).c_str(), e.index, e.step, RectJson(e.rect).c_str(),
                Str(Narrow(e.normalImage)).c_str(), Str(Narrow(e.overImage)).c_str(), static_cast<int>(e.hover));
    firstElement = false;
  }
  std::printf("]");
}

void Texts(const char* name, std::span<const TextItem> table, bool& first) {
  std::printf("%s%s: [", first ? "" : ",\n  ", Str(name).c_str());
  first = false;
  bool firstText = true;
  for (const TextItem& t : table) {
    std::printf("%s\n    {\"text\": %s, \"rect\": %s, \"format\": %u}", firstText ? "" : ",",
                Str(TextName(t.text)).c_str(), RectJson(t.rect).c_str(), t.format);
    firstText = false;
  }
  std::printf("]");
}

void Named(const std::string& name, const Rect& r, bool& first) {
  std::printf("%s\n    %s: %s", first ? "" : ",", Str(name).c_str(), RectJson(r).c_str());
  first = false;
}

}  // namespace

int main() {
  std::printf("{\n  \"mainSize\": [%d, %d],\n  \"dialogSize\": [%d, %d],\n  ", kMainWindowSize.width,
              kMainWindowSize.height, kDialogSize.width, kDialogSize.height);
  bool first = true;
  Elements("common", CommonElements(), first);
  Elements("basic", BasicElements(), first);
  Elements("advanced", AdvancedElements(), first);
  Elements("dialogFrame", DialogFrameElements(), first);
  Elements("macroModeBoxes", macro::ModeBoxElements(), first);
  Elements("profileButtons", profiles::ButtonElements(), first);
  Elements("preferences", preferences::Elements(), first);
  Texts("basicTexts", BasicTexts(), first);
  Texts("advancedTexts", AdvancedTexts(), first);

  std::printf(",\n  \"rects\": {");
  bool firstRect = true;
  Named("pageTitle", kPageTitle, firstRect);
  Named("webLink", kWebLink, firstRect);
  for (int k = 1; k <= kKeyRowCount; ++k) {
    Named("keyRowNumber" + std::to_string(k), KeyRowNumberRect(k), firstRect);
    Named("keyRowText" + std::to_string(k), KeyRowTextRect(k), firstRect);
    Named("keyList" + std::to_string(k), KeyListRect(k), firstRect);
  }
  for (int r = 1; r <= kReportRateSegments; ++r) Named("reportRateLabel" + std::to_string(r), ReportRateLabelRect(r), firstRect);
  for (int s = 1; s <= kDpiStages; ++s) Named("dpiStageNumber" + std::to_string(s), DpiStageNumberRect(s), firstRect);
  for (int level = 1; level <= kDpiMaxLevels; ++level) {
    Named("dpiLevelLabel12_" + std::to_string(level), DpiLevelLabelRect(level, true), firstRect);
    if (level <= 8) Named("dpiLevelLabel8_" + std::to_string(level), DpiLevelLabelRect(level, false), firstRect);
  }
  for (int d = 1; d <= kLightBoxes; ++d) {
    Named("lightText" + std::to_string(d), LightTextRect(d), firstRect);
    Named("lightLabel" + std::to_string(d), LightLabelRect(d), firstRect);
  }
  Named("lightModeList", kLightModeList, firstRect);
  Named("lightParameterListLongest", LightParameterListRect(203), firstRect);
  Named("lightEffectList", kLightEffectList, firstRect);
  for (int row = 1; row <= kPointerRows; ++row) {
    for (int i = 1; i <= kPointerCells; ++i) {
      Named("pointerCellNumber" + std::to_string(row) + "_" + std::to_string(i), PointerCellNumberRect(row, i), firstRect);
    }
  }
  Named("mouseEventBox", kMouseEventBox, firstRect);
  Named("mouseEventText", kMouseEventText, firstRect);
  Named("mouseEventList", kMouseEventList, firstRect);
  Named("macroNameEdit", kMacroNameEdit, firstRect);
  Named("loopCountEdit", kLoopCountEdit, firstRect);
  Named("macroList", kMacroList, firstRect);
  Named("sequenceList", kSequenceList, firstRect);
  Named("combo.modifierField", combo::kModifierField, firstRect);
  Named("combo.modifierText", combo::kModifierText, firstRect);
  Named("combo.modifierList", combo::kModifierList, firstRect);
  Named("combo.firstKeyEdit", combo::kFirstKeyEdit, firstRect);
  Named("combo.secondKeyEdit", combo::kSecondKeyEdit, firstRect);
  Named("single.prompt", single::kPrompt, firstRect);
  Named("single.keyName", single::kKeyName, firstRect);
  Named("fire.keyField", fire::kKeyField, firstRect);
  Named("fire.keyText", fire::kKeyText, firstRect);
  Named("fire.keyList", fire::kKeyList, firstRect);
  Named("fire.speedEdit", fire::kSpeedEdit, firstRect);
  Named("fire.timesEdit", fire::kTimesEdit, firstRect);
  Named("fire.speedLabel", fire::kSpeedLabel, firstRect);
  Named("fire.timesLabel", fire::kTimesLabel, firstRect);
  for (int line = 0; line < 3; ++line) Named("fire.line" + std::to_string(line), fire::ExplanationLine(line), firstRect);
  Named("delay.edit", delay::kDelayEdit, firstRect);
  Named("delay.prompt", delay::kPrompt, firstRect);
  Named("delay.rangeHint", delay::kRangeHint, firstRect);
  Named("choice.chosenText", choice::kChosenText, firstRect);
  Named("choice.field", choice::kField, firstRect);
  Named("choice.mediaList", choice::kMediaList, firstRect);
  Named("choice.windowsList", choice::kWindowsList, firstRect);
  Named("macro.nameText", macro::kNameText, firstRect);
  Named("macro.field", macro::kField, firstRect);
  Named("macro.list", macro::kList, firstRect);
  Named("macro.prompt", macro::kPrompt, firstRect);
  for (int m = 1; m <= 3; ++m) Named("macro.modeText" + std::to_string(m), macro::ModeTextRect(m), firstRect);
  Named("skins.nameText", skins::kNameText, firstRect);
  Named("skins.swatch", skins::kSwatch, firstRect);
  Named("skins.field", skins::kField, firstRect);
  Named("skins.list", skins::kList, firstRect);
  Named("skins.hint", skins::kHint, firstRect);
  Named("profiles.list", profiles::kList, firstRect);
  Named("profiles.nameEdit", profiles::kNameEdit, firstRect);
  Named("profiles.nameLabel", profiles::kNameLabel, firstRect);
  Named("profiles.status", profiles::kStatus, firstRect);
  Named("preferences.languageField", preferences::kLanguageField, firstRect);
  Named("preferences.languageText", preferences::kLanguageText, firstRect);
  Named("preferences.screen", preferences::kScreen, firstRect);
  Named("preferences.showMe", preferences::kShowMe, firstRect);
  std::printf("\n  },\n  \"dialogs\": [");
  bool firstFace = true;
  for (const DialogFace& face : DialogFaces()) {
    std::printf("%s\n    {\"template\": %d, \"background\": %s, \"size\": [%d, %d]}", firstFace ? "" : ",",
                face.templateId, Str(Narrow(face.background)).c_str(), face.size.width, face.size.height);
    firstFace = false;
  }
  // The picture sets a skin can carry: the generator draws each one.
  std::printf("],\n  \"pictureSets\": [");
  bool firstSet = true;
  for (kovral::skin::PictureSet set : kovral::skin::kPictureSets) {
    std::printf("%s\n    {\"suffix\": %s, \"dpi\": %d}", firstSet ? "" : ",",
                Str(Narrow(kovral::skin::SuffixOf(set))).c_str(), kovral::skin::DpiOf(set));
    firstSet = false;
  }
  std::printf("]\n}\n");
  return 0;
}
