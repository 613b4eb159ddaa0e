#include "app/profile_transfer.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "lang/language.h"
#include "lang/text_format.h"
#include "profiles/profile_library.h"
#include "settings/config_file.h"
#include "settings/text_encoding.h"

namespace kovral {
namespace {

// config.bin's first byte as the file holds it: the session keeps the value
// of the start, and an Apply since may have changed it.
uint8_t StoredConfigFlag(SettingsSession& session) {
  const FileRead read = session.files().Read(session.paths().configBin, kConfigFileSize);
  if (read.status == FileRead::Status::kRead && read.bytes.size() == kConfigFileSize) return read.bytes[0];
  return session.firstRunFlag;
}

}  // namespace

FileChoice ProfileFileChoice(const MainTexts& texts, bool forExport) {
  FileChoice choice;
  choice.title = forExport ? texts.trayExportProfile : texts.trayImportProfile;
  while (!choice.title.empty() && (choice.title.back() == L'\u2026' || choice.title.back() == L'.'))
    choice.title.pop_back();
  choice.typeName = texts.profileFileType;
  choice.extension = L"kvprofile";
  choice.allFilesName = texts.allFilesType;
  if (forExport) choice.initialName = L"Kovral.kvprofile";
  return choice;
}

ProfileData SessionProfile(SettingsSession& session) {
  ProfileData profile;
  profile.config = session.config;
  profile.configFlag = StoredConfigFlag(session);
  ReadProfileFiles(session.ini(), session.files(), session.macroFile(), session.paths().strIni, profile);
  TakeWindowTexts(session, profile);
  return profile;
}

ProfileData ShownSessionProfile(SettingsSession& session, ProfileFollowing* following) {
  if (following)
    if (std::optional<ProfileData> shown = following->ShownProfile()) return *std::move(shown);
  return SessionProfile(session);
}

bool ExportSessionProfile(SettingsSession& session, const std::wstring& file, const MainTexts& texts,
                          ProfileFollowing* following) {
  const std::string text = ExportProfile(ShownSessionProfile(session, following));
  if (session.files().WriteReplace(file, std::vector<uint8_t>(text.begin(), text.end())) == 0) return true;
  session.messages().Show(FormatText(texts.profileWriteFailed, file), kCaptionWarning);
  return false;
}

bool ImportSessionProfile(SettingsSession& session, const std::wstring& file, const MainTexts& texts,
                          std::wstring* libraryNote) {
  const FileRead read = session.files().Read(file, kProfileSizeLimit);
  if (read.status == FileRead::Status::kTooLarge) {
    // In English, like the parser's words below.
    session.messages().Show(FormatText(texts.profileRefused, FromUtf8(ProfileTooLarge(file, read.size))),
                            kCaptionWarning);
    return false;
  }
  if (read.status != FileRead::Status::kRead) {
    session.messages().Show(FormatText(texts.profileReadFailed, file), kCaptionWarning);
    return false;
  }
  const ProfileImport imported =
      ImportProfile(std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()));
  if (!imported.profile) {
    // The parser's words are English, like the keys they are about.
    session.messages().Show(FormatText(texts.profileRefused, FromUtf8(imported.error)), kCaptionWarning);
    return false;
  }
  const ProfileData& profile = *imported.profile;

  IniStore& ini = session.ini();
  // record.ini, or the copy of the shown profile's macros, whose Apply saves
  // them into its file. All or nothing: a refused write leaves it as it was.
  const std::wstring& recordIni = session.macroFile();
  if (!WriteProfileMacros(ini, recordIni, profile.macros)) {
    session.messages().Show(FormatText(texts.settingsSaveFailed, recordIni), kCaptionWarning);
    return false;
  }

  session.config = profile.config;
  // record.ini cannot be put back by Cancel, so the slots that hold its
  // macros change in the record Cancel returns to as well.
  std::memcpy(session.committedConfig.macroSlots, profile.config.macroSlots, sizeof profile.config.macroSlots);
  session.pendingTexts.clear();
  for (int lang = 0; lang < kProfileLanguageCount; ++lang) {
    SettingsSession::SectionTexts& pending = session.pendingTexts.emplace_back();
    pending.section = kProfileTextSections[lang];
    std::copy(std::begin(profile.texts[lang]), std::end(profile.texts[lang]), std::begin(pending.texts));
  }
  if (const int lang = ProfileLanguageIndex(session.languageSection); lang >= 0)
    std::copy(std::begin(profile.texts[lang]), std::end(profile.texts[lang]), std::begin(session.ui.buttonText));
  // config.bin has no place for the programs a profile is for; the library
  // beside the program keeps them, unless a profile of that name is there.
  ProfileLibrary library(session.files(), session.paths().directory + kProfileFolderName);
  if (const std::string kept = KeepImportedPrograms(library, file, profile); !kept.empty() && libraryNote)
    *libraryNote = FromUtf8(kept);
  return true;
}

}  // namespace kovral
