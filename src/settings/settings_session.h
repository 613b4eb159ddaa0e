#pragma once
// Everything the program keeps between runs, with the files it lives in:
// config.bin for the record, str.ini for the interface settings.
#include <cstdint>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "settings/app_paths.h"
#include "settings/config_file.h"
#include "lang/language.h"
#include "lang/main_texts.h"
#include "settings/device_config.h"
#include "settings/ini_store.h"
#include "settings/ui_settings.h"

namespace kovral {

// The factory texts of both modes' buttons in the language of `texts`.
void SetFirstRunButtonTexts(UiSettings& ui, const MainTexts& texts);

class SettingsSession {
 public:
  SettingsSession(AppPaths paths, IniStore& ini, ConfigFileSystem& files, MessageSink& messages);

  const AppPaths& paths() const { return paths_; }
  // The record.ini the macro panel and the Macro Key dialog work on: the
  // Desktop settings' own, or the copy of the macros of a profile the
  // window shows (which go into its file at its Apply).
  const std::wstring& macroFile() const { return macroFile_.empty() ? paths_.recordIni : macroFile_; }
  void SetMacroFile(std::wstring path) { macroFile_ = std::move(path); }
  IniStore& ini() { return ini_; }
  ConfigFileSystem& files() { return files_; }
  MessageSink& messages() { return messages_; }

  // The text of the Warning about failed INI writes (one "%s" for the path).
  void SetIniWriteFailureFormat(std::wstring format) { iniWriteFailureFormat_ = std::move(format); }
  void SetLanguageSection(std::wstring section) { languageSection = std::move(section); }
  // The button texts' section and the failed-save warning of one interface language.
  void SetLanguage(UiLanguage language);

  // Loads config.bin into config and firstRunFlag, then takes committedConfig.
  ConfigLoadResult Load();
  // The "Lan" code of str.ini.
  std::wstring ReadLanguageCode();
  // Keeps the Preferences dialog's choice; a failure shows one Warning.
  bool SaveLanguageChoice(LanguageChoice choice);
  // The interface language changes while the program runs: the rows take
  // the button texts the new language's section keeps (the factory texts
  // where `factoryTexts`, as a first run shows them), but a row edited and
  // not yet applied keeps its edit, and the edited texts of the old language
  // are saved with the next Apply as its own.
  void SwitchLanguage(UiLanguage language, bool factoryTexts);
  // The Desktop settings' texts of a language: str.ini's, or the factory
  // texts (then written to str.ini) where `factoryTexts`.
  void StoredTexts(UiLanguage language, bool factoryTexts, std::wstring (&out)[kButtonTextCount]);
  // The button texts of languageSection, the colour texts and the skin name.
  void ReadInterfaceSettings();

  // Apply and OK: config.bin, then the button texts. False if either failed;
  // each failure has been shown to the user.
  bool SaveAll();
  // The button texts alone; a failure shows one Warning.
  bool SaveButtonTexts();
  // The factory texts of both modes' buttons in the language of `texts`, as a
  // configuration the program never saved shows them.
  void SetFirstRunButtonTexts(const MainTexts& texts);
  // The factory button texts of a first run: as SaveButtonTexts, but only the
  // first failure in the run shows its Warning.
  bool SaveFirstRunButtonTexts();
  // The skin chooser's OK: keeps the choice in ui and writes it; a failure shows one Warning.
  bool SaveSkinChoice(TextColorBytes color, const std::wstring& skinName);

  // OK and Apply take the record and the row texts as the state Cancel
  // returns to; Cancel restores both, so an Apply after it cannot save the
  // texts of discarded edits beside the restored record. Both drop the
  // pending texts of other languages (saved by then, or discarded).
  void Commit();
  void Revert();

  DeviceConfig config{};
  DeviceConfig committedConfig{};
  std::wstring committedButtonText[kButtonTextCount];
  uint8_t firstRunFlag = 0;
  UiSettings ui;
  std::wstring languageSection = L"Setting-EN";

  // The button texts of the other interface languages from an imported
  // profile: unsaved edits like the record, written by SaveAll.
  struct SectionTexts {
    std::wstring section;
    std::wstring texts[kButtonTextCount];
  };
  // One window state's texts moved from one language's section to another's:
  // the committed texts become `stored`, edited rows keep their edit, and the
  // old language's edits wait in `pending` for the next Apply.
  static void MoveTexts(std::wstring (&texts)[kButtonTextCount], std::wstring (&committed)[kButtonTextCount],
                        std::vector<SectionTexts>& pending, const std::wstring& oldSection,
                        const std::wstring& newSection, const std::wstring (&stored)[kButtonTextCount]);
  std::vector<SectionTexts> pendingTexts;

 private:
  void WarnIniWriteFailed();

  AppPaths paths_;
  std::wstring macroFile_;  // empty: record.ini
  IniStore& ini_;
  ConfigFileSystem& files_;
  MessageSink& messages_;
  std::wstring iniWriteFailureFormat_ = MainTextsFor(UiLanguage::English).settingsSaveFailed;
  bool firstRunTextsWarned_ = false;
};

}  // namespace kovral
