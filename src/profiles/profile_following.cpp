#include "profiles/profile_following.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <string_view>
#include <utility>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/record_switch.h"
#include "lang/language.h"
#include "lang/text_format.h"
#include "settings/text_encoding.h"

namespace kovral {
namespace {

// The system's pointer settings, which the Desktop settings keep for every profile.
void TakePointerSettings(DeviceConfig& to, const DeviceConfig& from) {
  to.enhancePrecision = from.enhancePrecision;
  to.scrollOneScreen = from.scrollOneScreen;
  to.pointerSpeed = from.pointerSpeed;
  to.scrollLines = from.scrollLines;
  to.doubleClickSpeed = from.doubleClickSpeed;
}

}  // namespace

ProfileFollowing::ProfileFollowing(SettingsSession& session, ProfileLibrary& library)
    : session_(session),
      library_(library),
      follower_([this](const std::wstring& program) { return ProfileFor(program); }),
      marker_(session.files(), session.paths().directory + kSentMarkerName) {
  if (marker_.MayHoldOther()) follower_.MouseStateUnknown();
}

std::wstring ProfileFollowing::ShownMacroFile() const { return session_.paths().directory + kShownMacroFileName; }

// The file's bytes tell one version from the next: a problem is told again
// only once the user has changed the file.
void ProfileFollowing::NoteUnreadable(const std::wstring& name, const std::wstring& file, const std::string& problem) {
  const FileRead read = session_.files().Read(file, kProfileSizeLimit);
  const size_t version =
      std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(read.bytes.data()),
                                                     read.bytes.size())) ^
      (static_cast<size_t>(read.status) << 1) ^ read.size;
  const auto told = told_.find(FoldFileNameCase(name));
  if (told != told_.end() && told->second == version) return;
  told_[FoldFileNameCase(name)] = version;
  unreadable_.push_back({name, problem});
}

std::vector<UnreadableProfile> ProfileFollowing::TakeUnreadable() { return std::exchange(unreadable_, {}); }

bool ProfileFollowing::FileStillHolds(const SwitchTarget& target, const ProfileData& base) {
  const ProfileRead read = library_.Read(target.profile);
  if (!read.profile) return false;
  ProfileData kept = base;
  kept.programs = read.profile->programs;
  return ExportProfile(kept) == ExportProfile(*read.profile);
}

void ProfileFollowing::Reload() { Take(library_.List()); }

void ProfileFollowing::Take(ProfileListing listing) {
  ProfileListing before = std::move(listing_);
  listing_ = std::move(listing);
  // A profile that was for a program and broke would leave its game to the
  // Desktop settings without a word.
  for (const ProfileEntry& entry : listing_.profiles) {
    if (entry.Good()) continue;
    const auto was = std::find_if(before.profiles.begin(), before.profiles.end(), [&](const ProfileEntry& e) {
      return SameFileName(e.name, entry.name) && e.Good() && !e.programs.empty();
    });
    if (was != before.profiles.end()) NoteUnreadable(entry.name, entry.file, entry.problem);
  }
  follower_.LibraryChanged([this](const std::wstring& name) {
    return std::any_of(listing_.profiles.begin(), listing_.profiles.end(),
                       [&](const ProfileEntry& e) { return e.Good() && SameFileName(e.name, name); });
  });
  // A profile kept aside keeps its edits (an import, macros, values typed)
  // while its file holds what they were made on; saved over, renamed or
  // deleted meanwhile, its file is what counts now. The Desktop settings
  // live in config.bin and the window alone changes them, so their edits stay.
  std::erase_if(aside_, [this](const Shown& s) {
    return !s.target.desktop && (!s.base || !FileStillHolds(s.target, *s.base));
  });
  // The shown profile's file may be gone or renamed: its name follows it, so
  // an Apply does not write a deleted profile back.
  if (!shown_.desktop) {
    const auto it = std::find_if(listing_.profiles.begin(), listing_.profiles.end(),
                                 [&](const ProfileEntry& e) { return SameFileName(e.name, shown_.profile); });
    if (it != listing_.profiles.end()) shown_.profile = it->name;
  }
}

bool ProfileFollowing::AnyProgramNamed() const {
  return std::any_of(listing_.profiles.begin(), listing_.profiles.end(),
                     [](const ProfileEntry& e) { return e.Good() && !e.programs.empty(); });
}

// The listing is by name, so the first good profile naming the program is
// the one used, as the library's own lookup decides.
std::optional<std::wstring> ProfileFollowing::ProfileFor(const std::wstring& program) const {
  for (const ProfileEntry& entry : listing_.profiles) {
    if (!entry.Good()) continue;
    for (const std::wstring& named : entry.programs)
      if (SameFileName(named, program)) return entry.name;
  }
  return std::nullopt;
}

ProfileFollowing::Shown ProfileFollowing::Capture() const {
  Shown state;
  state.target = shown_;
  state.config = session_.config;
  state.committed = session_.committedConfig;
  std::copy(std::begin(session_.ui.buttonText), std::end(session_.ui.buttonText), std::begin(state.texts));
  std::copy(std::begin(session_.committedButtonText), std::end(session_.committedButtonText),
            std::begin(state.committedTexts));
  state.pendingTexts = session_.pendingTexts;
  state.base = shownBase_;
  if (!shown_.desktop) state.macros = ReadProfileMacros(session_.ini(), session_.files(), session_.macroFile());
  return state;
}

// A profile's macros go into the copy the macro panel edits; the Desktop
// settings' are record.ini's. False when the copy could not be written.
bool ProfileFollowing::Restore(const Shown& state) {
  session_.config = state.config;
  session_.committedConfig = state.committed;
  std::copy(std::begin(state.texts), std::end(state.texts), std::begin(session_.ui.buttonText));
  std::copy(std::begin(state.committedTexts), std::end(state.committedTexts), std::begin(session_.committedButtonText));
  session_.pendingTexts = state.pendingTexts;
  shownBase_ = state.base;
  if (state.target.desktop) {
    session_.SetMacroFile(L"");
    return true;
  }
  session_.SetMacroFile(ShownMacroFile());
  return WriteProfileMacros(session_.ini(), session_.macroFile(), state.macros);
}

std::optional<ProfileFollowing::Shown> ProfileFollowing::StateFor(const SwitchTarget& target, std::string& problem) {
  if (target == shown_) return Capture();
  const auto aside = std::find_if(aside_.begin(), aside_.end(), [&](const Shown& s) { return s.target == target; });
  // The Desktop settings as the window holds them (edits and pointer values).
  const Shown desktop = shown_.desktop ? Capture() : Shown{};
  const auto desktopAside =
      std::find_if(aside_.begin(), aside_.end(), [](const Shown& s) { return s.target.desktop; });
  const DeviceConfig& desktopConfig = shown_.desktop ? desktop.config : desktopAside->config;
  if (aside != aside_.end()) {
    Shown state = *aside;
    if (!target.desktop) {
      TakePointerSettings(state.config, desktopConfig);
      TakePointerSettings(state.committed, desktopConfig);
    }
    return state;
  }
  if (target.desktop) {
    // The Desktop settings are always shown or kept aside; config.bin is
    // the record only if neither (cannot happen, but a switch must not
    // send an empty record).
    problem = "the Desktop settings are not known";
    return std::nullopt;
  }
  const ProfileRead read = library_.Read(target.profile);
  if (!read.profile) {
    problem = read.error;
    return std::nullopt;
  }
  Shown state;
  state.target = target;
  state.base = read.profile;
  state.macros = read.profile->macros;
  state.config = read.profile->config;
  TakePointerSettings(state.config, desktopConfig);
  state.committed = state.config;
  if (const int lang = ProfileLanguageIndex(session_.languageSection); lang >= 0) {
    std::copy(std::begin(read.profile->texts[lang]), std::end(read.profile->texts[lang]), std::begin(state.texts));
    std::copy(std::begin(state.texts), std::end(state.texts), std::begin(state.committedTexts));
  }
  return state;
}

std::optional<SwitchOutcome> ProfileFollowing::SendDue(DeviceLink& link, DeviceImage& image) {
  const std::optional<SwitchTarget> due = follower_.Due();
  if (!due) return std::nullopt;
  SwitchOutcome outcome;
  outcome.target = *due;
  std::optional<Shown> state = StateFor(*due, outcome.problem);
  if (!state) {
    follower_.Switched(*due, false);
    if (!due->desktop) {
      const auto entry = std::find_if(listing_.profiles.begin(), listing_.profiles.end(),
                                      [&](const ProfileEntry& e) { return SameFileName(e.name, due->profile); });
      NoteUnreadable(due->profile, entry != listing_.profiles.end() ? entry->file : library_.FileOf(due->profile),
                     outcome.problem);
    }
    return outcome;
  }
  // What the target last had applied goes to the mouse; unapplied edits
  // stay edits, as they would without a switch.
  marker_.Sending(due->desktop ? L"" : due->profile);
  outcome.sent = Switch(link, state->committed, image).complete;
  if (outcome.sent && due->desktop) marker_.DesktopHeld();
  follower_.Switched(*due, outcome.sent);
  if (*due != shown_) {
    std::erase_if(aside_, [&](const Shown& s) { return s.target == shown_ || s.target == *due; });
    aside_.push_back(Capture());
    if (!Restore(*state)) outcome.macroFileFailed = session_.macroFile();
    shown_ = *due;
    outcome.windowChanged = true;
  }
  return outcome;
}

namespace {

void ProfileTexts(const std::optional<ProfileData>& profile, const std::wstring& section,
                  std::wstring (&out)[kButtonTextCount]) {
  const int lang = ProfileLanguageIndex(section);
  if (!profile || lang < 0) return;
  std::copy(std::begin(profile->texts[lang]), std::end(profile->texts[lang]), std::begin(out));
}

}  // namespace

void ProfileFollowing::SwitchLanguage(UiLanguage language, bool factoryTexts) {
  const std::wstring oldSection = session_.languageSection;
  if (shown_.desktop) {
    session_.SwitchLanguage(language, factoryTexts);
  } else {
    session_.SetLanguage(language);
    std::wstring stored[kButtonTextCount];
    ProfileTexts(shownBase_, session_.languageSection, stored);
    SettingsSession::MoveTexts(session_.ui.buttonText, session_.committedButtonText, session_.pendingTexts,
                               oldSection, session_.languageSection, stored);
  }
  for (Shown& state : aside_) {
    std::wstring stored[kButtonTextCount];
    if (state.target.desktop)
      session_.StoredTexts(language, factoryTexts, stored);
    else
      ProfileTexts(state.base, session_.languageSection, stored);
    SettingsSession::MoveTexts(state.texts, state.committedTexts, state.pendingTexts, oldSection,
                               session_.languageSection, stored);
  }
}

// The rows as shown are the language's texts, and edits of the other
// languages wait in pendingTexts; both go over what the profile held.
void TakeWindowTexts(const SettingsSession& session, ProfileData& profile) {
  for (const SettingsSession::SectionTexts& pending : session.pendingTexts)
    if (const int lang = ProfileLanguageIndex(pending.section); lang >= 0)
      std::copy(std::begin(pending.texts), std::end(pending.texts), std::begin(profile.texts[lang]));
  if (const int lang = ProfileLanguageIndex(session.languageSection); lang >= 0)
    std::copy(std::begin(session.ui.buttonText), std::end(session.ui.buttonText), std::begin(profile.texts[lang]));
}

std::optional<ProfileData> ProfileFollowing::ShownProfile() {
  if (shown_.desktop || !shownBase_) return std::nullopt;
  ProfileData profile = *shownBase_;
  profile.programs.clear();
  const DeviceConfig own = profile.config;
  profile.config = session_.config;
  TakePointerSettings(profile.config, own);
  profile.macros = ReadProfileMacros(session_.ini(), session_.files(), session_.macroFile());
  TakeWindowTexts(session_, profile);
  return profile;
}

bool ProfileFollowing::ApplyAndSave(DeviceLink& link, DeviceImage& image, const MainTexts& texts) {
  bool saved = false;
  if (shown_.desktop) {
    marker_.Sending(L"");
    const bool complete = Apply(link, session_.config, image, [&] { saved = session_.SaveAll(); });
    if (complete) marker_.DesktopHeld();
    follower_.Applied(shown_, complete);
    return saved;
  }
  const SwitchTarget target = shown_;
  marker_.Sending(target.profile);
  const bool complete = Apply(link, session_.config, image, [&] {
    // Everything comes from what the window shows but the programs, which
    // the Profiles dialog may have changed in the file meanwhile. A file
    // deleted or broken behind the window is not written back.
    const ProfileRead read = library_.Read(target.profile);
    std::string problem = read.error;
    std::optional<ProfileData> profile = ShownProfile();
    if (read.profile && profile) {
      profile->programs = read.profile->programs;
      problem = library_.Save(target.profile, *profile, true);
    }
    saved = problem.empty();
    if (saved) shownBase_ = std::move(profile);
    if (!saved)
      session_.messages().Show(FormatText(texts.profileWriteFailed,
                                          library_.FileOf(target.profile) + L" (" + FromUtf8(problem) + L")"),
                               kCaptionWarning);
  });
  follower_.Applied(target, complete);
  return saved;
}

void ProfileFollowing::Leave(DeviceLink& link, DeviceImage& image) {
  // The copy of a profile's macros is of this run only.
  if (session_.files().Exists(ShownMacroFile())) session_.files().Remove(ShownMacroFile());
  const std::optional<SwitchTarget>& active = follower_.active();
  if (link.ready == 0 || (active && active->desktop && !marker_.MayHoldOther())) return;
  std::string problem;
  if (const std::optional<Shown> desktop = StateFor(SwitchTarget::Desktop(), problem)) {
    marker_.Sending(L"");
    if (Switch(link, desktop->committed, image).complete) {
      marker_.DesktopHeld();
      follower_.Applied(SwitchTarget::Desktop(), true);
    }
  }
}

Balloon ProfileFollowing::NoticeBalloon(const MainTexts& texts, const SwitchTarget& target) {
  std::wstring text = target.desktop ? std::wstring(texts.desktopSwitchNotice)
                                     : FormatText(texts.profileSwitchNotice, target.profile);
  return {kCaptionInfo, std::move(text), 3000, BalloonIcon::Information};
}

}  // namespace kovral
