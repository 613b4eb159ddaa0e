#include "profiles/profile_following.h"

#include <algorithm>
#include <iterator>
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
      follower_([this](const std::wstring& program) { return ProfileFor(program); }) {}

void ProfileFollowing::Reload() { Take(library_.List()); }

void ProfileFollowing::Take(ProfileListing listing) {
  listing_ = std::move(listing);
  follower_.LibraryChanged([this](const std::wstring& name) {
    return std::any_of(listing_.profiles.begin(), listing_.profiles.end(),
                       [&](const ProfileEntry& e) { return e.Good() && SameFileName(e.name, name); });
  });
  // A profile kept aside may have been saved, renamed or deleted meanwhile:
  // its file is what counts now. The Desktop settings live in config.bin and
  // the window alone changes them, so their edits stay.
  std::erase_if(aside_, [](const Shown& s) { return !s.target.desktop; });
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
  return state;
}

void ProfileFollowing::Restore(const Shown& state) {
  session_.config = state.config;
  session_.committedConfig = state.committed;
  std::copy(std::begin(state.texts), std::end(state.texts), std::begin(session_.ui.buttonText));
  std::copy(std::begin(state.committedTexts), std::end(state.committedTexts), std::begin(session_.committedButtonText));
  session_.pendingTexts = state.pendingTexts;
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
    return outcome;
  }
  // What the target last had applied goes to the mouse; unapplied edits
  // stay edits, as they would without a switch.
  outcome.sent = Switch(link, state->committed, image).complete;
  follower_.Switched(*due, outcome.sent);
  if (*due != shown_) {
    std::erase_if(aside_, [&](const Shown& s) { return s.target == shown_ || s.target == *due; });
    aside_.push_back(Capture());
    Restore(*state);
    shown_ = *due;
    outcome.windowChanged = true;
  }
  return outcome;
}

bool ProfileFollowing::ApplyAndSave(DeviceLink& link, DeviceImage& image, const MainTexts& texts) {
  bool saved = false;
  if (shown_.desktop) {
    const bool complete = Apply(link, session_.config, image, [&] { saved = session_.SaveAll(); });
    follower_.Applied(shown_, complete);
    return saved;
  }
  const SwitchTarget target = shown_;
  const bool complete = Apply(link, session_.config, image, [&] {
    // The file gives what the window does not show: its programs, macros,
    // the other languages' texts and its own pointer values.
    const ProfileRead read = library_.Read(target.profile);
    std::string problem = read.error;
    if (read.profile) {
      ProfileData profile = *read.profile;
      const DeviceConfig pointer = profile.config;
      profile.config = session_.config;
      TakePointerSettings(profile.config, pointer);
      if (const int lang = ProfileLanguageIndex(session_.languageSection); lang >= 0)
        std::copy(std::begin(session_.ui.buttonText), std::end(session_.ui.buttonText),
                  std::begin(profile.texts[lang]));
      problem = library_.Save(target.profile, profile, true);
    }
    saved = problem.empty();
    if (!saved)
      session_.messages().Show(FormatText(texts.profileWriteFailed,
                                          library_.FileOf(target.profile) + L" (" + FromUtf8(problem) + L")"),
                               kCaptionWarning);
  });
  follower_.Applied(target, complete);
  return saved;
}

void ProfileFollowing::Leave(DeviceLink& link, DeviceImage& image) {
  const std::optional<SwitchTarget>& active = follower_.active();
  if (link.ready == 0 || (active && active->desktop)) return;
  std::string problem;
  if (const std::optional<Shown> desktop = StateFor(SwitchTarget::Desktop(), problem))
    Switch(link, desktop->committed, image);
}

Balloon ProfileFollowing::NoticeBalloon(const MainTexts& texts, const SwitchTarget& target) {
  std::wstring text = target.desktop ? std::wstring(texts.desktopSwitchNotice)
                                     : FormatText(texts.profileSwitchNotice, target.profile);
  return {kCaptionInfo, std::move(text), 3000, BalloonIcon::Information};
}

}  // namespace kovral
