#include "ui/font_choice.h"

namespace kovral::ui {

// Windows 8 and later report 6.2 to a program without a compatibility
// manifest; there the bitmap-free "黑体" renders Simplified Chinese better
// than "宋体" at these small sizes.
FontPair FontsForLanguageCode(const std::wstring& code, WindowsVersion version) {
  static constexpr const wchar_t* kHeiti = L"黑体";
  static constexpr const wchar_t* kSongti = L"宋体";
  if (code == L"CHS") {
    const wchar_t* face = (version.major == 6 && version.minor == 2) ? kHeiti : kSongti;
    return {{face, 13, 400}, {face, 18, 700}};
  }
  if (code == L"CHT") return {{kHeiti, 14, 400}, {kHeiti, 18, 700}};
  return {{L"Arial", 14, 400}, {L"Tahoma", 18, 700}};
}

}  // namespace kovral::ui
