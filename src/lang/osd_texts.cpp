#include "lang/osd_texts.h"

namespace kovral {
namespace {

constexpr OsdTexts kEnglish{L"stage %d of %d", L"Macro key %d", L", "};
constexpr OsdTexts kSimplified{L"第%d段，共%d段", L"宏按键 %d", L"，"};
constexpr OsdTexts kTraditional{L"第%d段，共%d段", L"巨集按鍵 %d", L"，"};

}  // namespace

const OsdTexts& OsdTextsFor(UiLanguage language) {
  switch (language) {
    case UiLanguage::SimplifiedChinese: return kSimplified;
    case UiLanguage::TraditionalChinese: return kTraditional;
    case UiLanguage::English: break;
  }
  return kEnglish;
}

}  // namespace kovral
