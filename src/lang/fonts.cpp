#include "lang/fonts.h"

namespace kovral {
namespace {

constexpr const wchar_t* kHeiti = L"黑体";
constexpr const wchar_t* kSongti = L"宋体";

}  // namespace

FontChoice NormalFontFor(UiLanguage language, bool windows62) {
  switch (language) {
    case UiLanguage::SimplifiedChinese: return {13, 400, windows62 ? kHeiti : kSongti};
    case UiLanguage::TraditionalChinese: return {14, 400, kHeiti};
    case UiLanguage::English: break;
  }
  return {14, 400, L"Arial"};
}

FontChoice TitleFontFor(UiLanguage language, bool windows62) {
  switch (language) {
    case UiLanguage::SimplifiedChinese: return {18, 700, windows62 ? kHeiti : kSongti};
    case UiLanguage::TraditionalChinese: return {18, 700, kHeiti};
    case UiLanguage::English: break;
  }
  return {18, 700, L"Tahoma"};
}

}  // namespace kovral
