#include "settings/settings_session.h"

#include <algorithm>
#include <iterator>

#include "lang/text_format.h"

namespace kovral {

SettingsSession::SettingsSession(AppPaths paths, IniStore& ini, ConfigFileSystem& files, MessageSink& messages)
    : paths_(std::move(paths)), ini_(ini), files_(files), messages_(messages) {}

ConfigLoadResult SettingsSession::Load() {
  const ConfigLoadResult result = LoadConfig(files_, messages_, paths_.configBin, config, firstRunFlag);
  committedConfig = config;
  return result;
}

std::wstring SettingsSession::ReadLanguageCode() { return kovral::ReadLanguageCode(ini_, paths_.strIni); }

bool SettingsSession::SaveLanguageChoice(LanguageChoice choice) {
  if (WriteLanguageCode(ini_, paths_.strIni, LanguageChoiceCode(choice))) return true;
  WarnIniWriteFailed();
  return false;
}

// A restart in the new language would show what the section keeps; the
// edits of this run are the user's and stay, in the language they were made
// in. Texts an import brought for the new language are edits too.
void SettingsSession::MoveTexts(std::wstring (&texts)[kButtonTextCount], std::wstring (&committed)[kButtonTextCount],
                                std::vector<SectionTexts>& pending, const std::wstring& oldSection,
                                const std::wstring& newSection, const std::wstring (&stored)[kButtonTextCount]) {
  bool edited[kButtonTextCount] = {};
  bool anyEdited = false;
  for (int i = 0; i < kButtonTextCount; ++i) anyEdited |= edited[i] = texts[i] != committed[i];
  const auto pendingFor = [&pending](const std::wstring& section) {
    return std::find_if(pending.begin(), pending.end(), [&](const SectionTexts& p) { return p.section == section; });
  };
  if (anyEdited) {
    auto old = pendingFor(oldSection);
    if (old == pending.end()) old = pending.insert(pending.end(), {oldSection, {}});
    std::copy(std::begin(texts), std::end(texts), std::begin(old->texts));
  }
  const std::vector<std::wstring> editedTexts(std::begin(texts), std::end(texts));
  std::copy(std::begin(stored), std::end(stored), std::begin(committed));
  if (const auto imported = pendingFor(newSection); imported != pending.end()) {
    std::copy(std::begin(imported->texts), std::end(imported->texts), std::begin(texts));
    return;
  }
  for (int i = 0; i < kButtonTextCount; ++i) texts[i] = edited[i] ? editedTexts[i] : committed[i];
}

// A configuration never saved shows the factory texts, and they are kept
// for the next start as a first run keeps them.
void SettingsSession::StoredTexts(UiLanguage language, bool factoryTexts, std::wstring (&out)[kButtonTextCount]) {
  const std::wstring section = SettingsSection(language);
  if (!factoryTexts) {
    for (int i = 0; i < kButtonTextCount; ++i) out[i] = ini_.Get(paths_.strIni, section, ButtonTextKey(i));
    return;
  }
  UiSettings factory;
  kovral::SetFirstRunButtonTexts(factory, MainTextsFor(language));
  std::copy(std::begin(factory.buttonText), std::end(factory.buttonText), std::begin(out));
  if (!WriteButtonTexts(ini_, paths_.strIni, section, factory) && !firstRunTextsWarned_) {
    WarnIniWriteFailed();
    firstRunTextsWarned_ = true;
  }
}

void SettingsSession::SwitchLanguage(UiLanguage language, bool factoryTexts) {
  const std::wstring oldSection = languageSection;
  SetLanguage(language);
  std::wstring stored[kButtonTextCount];
  StoredTexts(language, factoryTexts, stored);
  MoveTexts(ui.buttonText, committedButtonText, pendingTexts, oldSection, languageSection, stored);
}

void SettingsSession::Commit() {
  pendingTexts.clear();
  committedConfig = config;
  std::copy(std::begin(ui.buttonText), std::end(ui.buttonText), std::begin(committedButtonText));
}

void SettingsSession::Revert() {
  pendingTexts.clear();
  config = committedConfig;
  std::copy(std::begin(committedButtonText), std::end(committedButtonText), std::begin(ui.buttonText));
}

// The texts as stored are also what Cancel returns to until the next Apply.
void SettingsSession::ReadInterfaceSettings() {
  kovral::ReadInterfaceSettings(ini_, paths_.strIni, languageSection, ui);
  std::copy(std::begin(ui.buttonText), std::end(ui.buttonText), std::begin(committedButtonText));
}

bool SettingsSession::SaveAll() {
  const bool configSaved = SaveConfig(files_, messages_, paths_.configBin, config);
  bool textsSaved = WriteButtonTexts(ini_, paths_.strIni, languageSection, ui);
  for (const SectionTexts& pending : pendingTexts) {
    if (pending.section == languageSection) continue;  // the rows' texts, as edited since
    textsSaved = WriteButtonTexts(ini_, paths_.strIni, pending.section, pending.texts) && textsSaved;
  }
  if (!textsSaved) WarnIniWriteFailed();
  return configSaved && textsSaved;
}

// A program unpacked into a read-only folder would otherwise lose the user's
// texts and skin without a word. One message per save, however many keys failed.
bool SettingsSession::SaveButtonTexts() {
  if (WriteButtonTexts(ini_, paths_.strIni, languageSection, ui)) return true;
  WarnIniWriteFailed();
  return false;
}

// In a read-only folder config.bin never records that the program has saved,
// so the factory texts are tried at every start and again whenever the basic
// page is set up anew in the run. The user learns of it once; the same
// Warning again and again would only get in the way. Saves the user asked
// for still warn each time.
bool SettingsSession::SaveFirstRunButtonTexts() {
  if (WriteButtonTexts(ini_, paths_.strIni, languageSection, ui)) return true;
  if (!firstRunTextsWarned_) WarnIniWriteFailed();
  firstRunTextsWarned_ = true;
  return false;
}

bool SettingsSession::SaveSkinChoice(TextColorBytes color, const std::wstring& skinName) {
  ui.rColor = std::to_wstring(color.red);
  ui.gColor = std::to_wstring(color.green);
  ui.bColor = std::to_wstring(color.blue);
  ui.skinName = skinName;
  if (WriteSkinChoice(ini_, paths_.strIni, color, skinName)) return true;
  WarnIniWriteFailed();
  return false;
}

void SetFirstRunButtonTexts(UiSettings& ui, const MainTexts& texts) {
  std::wstring functionNames[16];
  for (int i = 0; i < 16; ++i) functionNames[i] = texts.functionList[i];
  SetFirstRunButtonTexts(ui, functionNames);
}

// The factory texts of a first run are the texts Cancel returns to.
void SettingsSession::SetFirstRunButtonTexts(const MainTexts& texts) {
  kovral::SetFirstRunButtonTexts(ui, texts);
  std::copy(std::begin(ui.buttonText), std::end(ui.buttonText), std::begin(committedButtonText));
}

void SettingsSession::WarnIniWriteFailed() {
  messages_.Show(FormatText(iniWriteFailureFormat_, paths_.strIni), L"Warning");
}

void SettingsSession::SetLanguage(UiLanguage language) {
  languageSection = SettingsSection(language);
  iniWriteFailureFormat_ = MainTextsFor(language).settingsSaveFailed;
}

}  // namespace kovral
