#pragma once
// The tray's "Export profile…" and "Import profile…" apart from the file
// dialogs: what the window holds, written as a profile; and a profile taken
// in as edits the window shows, which Apply sends to the mouse and saves and
// Cancel drops, like edits made by hand.
#include <string>

#include "lang/main_texts.h"
#include "profiles/profile.h"
#include "profiles/profile_following.h"
#include "settings/settings_session.h"

#include "ui/file_chooser.h"

namespace kovral {

// The file dialog of either item: titled by the item's text without its
// trailing dots, profiles named *.kvprofile.
FileChoice ProfileFileChoice(const MainTexts& texts, bool forExport);

// What the program holds now for the Desktop settings: the record being
// edited and the rows' texts, the other languages' texts (an import's while
// pending, else str.ini's) and record.ini's macros. The flag byte is
// config.bin's as the file holds it.
ProfileData SessionProfile(SettingsSession& session);
// What the window shows: the profile it shows, whole (`following`), else
// the Desktop settings as above.
ProfileData ShownSessionProfile(SettingsSession& session, ProfileFollowing* following);

// Writes what the window shows to `file`; false once the user has been told why not.
bool ExportSessionProfile(SettingsSession& session, const std::wstring& file, const MainTexts& texts,
                          ProfileFollowing* following = nullptr);

// Reads and checks `file`. A profile that cannot be read or fails a check
// changes nothing and the user is told which line is wrong. A good one
// becomes edits of what the window shows (the Desktop settings or the shown
// profile, saved where that one's Apply saves). It replaces the session's
// macro file's macros at once (as the macro panel's own edits are
// written), with the slots holding them in the record Cancel returns to too,
// and becomes the record and the texts of all three languages being edited.
// If record.ini cannot take the macros, its previous macros are put back and
// nothing else changes. True when the profile was taken in. A profile that
// names programs is also kept in the "Profiles" folder beside the program
// under the file's name; `libraryNote` gets what became of them (in English,
// like the profile's keys).
bool ImportSessionProfile(SettingsSession& session, const std::wstring& file, const MainTexts& texts,
                          std::wstring* libraryNote = nullptr);

}  // namespace kovral
