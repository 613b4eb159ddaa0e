#pragma once
// The dialogs whose making is the same in every shell, over a shell's
// skinned dialog `Host` (constructed from the model it runs): the dialogs of
// the functions that need details (Windows, Multimedia, Fire Key, Single
// Key, Combo Key, a macro line's delay and Macro Key), Preferences and
// Profiles. Each
// is constructed by its caller, run modally and read through its result
// fields after OK; what the dialogs do is their models' (assign_dialogs.h,
// preferences_view.h). Each result base is made before the dialog base,
// whose model fills it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/assign_dialogs.h"
#include "dialogs/preferences_view.h"
#include "dialogs/profiles_view.h"

namespace kovral {

template <class Host>
class MediaDialogOn final : public ChoiceResult, public Host {
 public:
  explicit MediaDialogOn(DialogEnvironment environment)
      : Host(std::make_unique<ChoiceDialogModel>(layout::DialogKind::Media, std::move(environment),
                                                 static_cast<ChoiceResult&>(*this))) {}
};

template <class Host>
class WindowsDialogOn final : public ChoiceResult, public Host {
 public:
  explicit WindowsDialogOn(DialogEnvironment environment)
      : Host(std::make_unique<ChoiceDialogModel>(layout::DialogKind::Windows, std::move(environment),
                                                 static_cast<ChoiceResult&>(*this))) {}
};

template <class Host>
class FireKeyDialogOn final : public FireKeyResult, public Host {
 public:
  explicit FireKeyDialogOn(DialogEnvironment environment)
      : Host(std::make_unique<FireKeyDialogModel>(std::move(environment), static_cast<FireKeyResult&>(*this))) {}
};

template <class Host>
class SingleKeyDialogOn final : public SingleKeyResult, public Host {
 public:
  explicit SingleKeyDialogOn(DialogEnvironment environment)
      : Host(std::make_unique<SingleKeyDialogModel>(std::move(environment), static_cast<SingleKeyResult&>(*this))) {}
};

template <class Host>
class ComboKeyDialogOn final : public ComboKeyResult, public Host {
 public:
  explicit ComboKeyDialogOn(DialogEnvironment environment)
      : Host(std::make_unique<ComboKeyDialogModel>(std::move(environment), static_cast<ComboKeyResult&>(*this))) {}
};

// Enter is OK and Esc Cancel (the dialog keys).
template <class Host>
class DelayTimeDialogOn final : public DelayTimeResult, public Host {
 public:
  explicit DelayTimeDialogOn(DialogEnvironment environment)
      : Host(std::make_unique<DelayTimeDialogModel>(std::move(environment), static_cast<DelayTimeResult&>(*this))) {}
};

template <class Host>
class MacroKeyDialogOn final : public MacroKeyResult, public Host {
 public:
  // `macroNames`: the macros of record.ini in file order (their slots).
  MacroKeyDialogOn(DialogEnvironment environment, std::vector<std::wstring> macroNames)
      : Host(std::make_unique<MacroKeyDialogModel>(std::move(environment), std::move(macroNames),
                                                   static_cast<MacroKeyResult&>(*this))) {}
};

struct PreferencesResult {
  PreferencesChoice chosen;
};

// The caller reads `chosen` after OK and carries it out (preferences_view.h
// decides what changed).
template <class Host>
class PreferencesDialogOn final : public PreferencesResult, public Host {
 public:
  // `showSample` shows a sample notice at a place, at once.
  PreferencesDialogOn(DialogEnvironment environment, PreferencesChoice current,
                      std::function<void(OsdPosition)> showSample)
      : PreferencesResult{current},
        Host(std::make_unique<PreferencesDialogModel>(std::move(environment), chosen, std::move(showSample))) {}
};

// The Profiles dialog: the profiles of the library with their programs and
// which one the mouse holds; the current settings saved under a typed name,
// a program added (from the file dialog or the windows open now, which
// `openWindows` lists from the shell's display) or removed, a profile
// renamed or deleted. Each action changes the folder at once and tells the
// program, which reads the library again; OK and Cancel close.
template <class Host>
class ProfilesDialogOn final : public Host {
 public:
  ProfilesDialogOn(DialogEnvironment environment, ProfilesDialogServices services,
                   std::function<std::vector<FrontWindow>()> openWindows)
      : Host(std::make_unique<ProfilesDialogModel>(std::move(environment), std::move(services),
                                                   std::move(openWindows))) {}
};

}  // namespace kovral
