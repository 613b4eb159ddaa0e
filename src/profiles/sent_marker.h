#pragma once
// What the mouse was last sent, kept beside config.bin: the mouse keeps a
// switched-to profile after the program ends (a crash, a kill, the end of a
// Windows session it could not act on), so the next start must not take it
// to hold the Desktop settings. The file is there while the mouse may hold
// anything else, naming what was last sent; it goes once the Desktop
// settings arrived whole. The program and kvctl keep it alike.
#include <optional>
#include <string>

#include "settings/config_file.h"

namespace kovral {

inline constexpr wchar_t kSentMarkerName[] = L"mouse-profile.txt";

class SentMarker {
 public:
  // `path` is the marker's file (kSentMarkerName in config.bin's folder).
  SentMarker(ConfigFileSystem& files, std::wstring path);

  const std::wstring& path() const { return path_; }
  // Whether the mouse may hold something other than the Desktop settings.
  bool MayHoldOther();
  // Before a record goes out: `name` is the profile's, empty for the
  // Desktop settings. Writes only what the file does not say already; a
  // marker naming a profile stays while the Desktop settings go out, since
  // until they are through the mouse holds a mix.
  void Sending(const std::wstring& name);
  // The Desktop settings arrived whole.
  void DesktopHeld();

 private:
  ConfigFileSystem& files_;
  std::wstring path_;
  // The file's content as last written or found; nothing when unread.
  std::optional<std::wstring> known_;
  bool read_ = false;
  void ReadOnce();
};

}  // namespace kovral
