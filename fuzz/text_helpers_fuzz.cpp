// The helpers that turn outside text and numbers into the program's values:
// key names (scan codes and the keystroke data of the keyboard hook, the
// key-name tables and their reverse lookups), the message placeholders and
// the decimal reader of typed and stored numbers, the number boxes built on
// it, and the text encodings every file and path goes through.
//
// Input: a selector byte from the end for each step; texts and numbers from
// the input as the step needs them.
#include <cstdint>
#include <string>

#include "assign/key_names.h"
#include "assign/key_tables.h"
#include "dialogs/fire_key.h"
#include "fuzz_support.h"
#include "lang/language.h"
#include "lang/text_format.h"
#include "macro/macro_store.h"
#include "settings/text_encoding.h"
#include "settings/ui_settings.h"

namespace kovral::fuzz {
namespace {

void KeyNameSteps(FuzzedDataProvider& in) {
  // A keystroke's data: scan code in bits 16..23, extended flag in bit 24.
  const uint32_t keyData = in.ConsumeIntegral<uint32_t>();
  const std::wstring systemName = TakeText(in, 24);
  const std::wstring name = KeyNameOfKeystroke(keyData, systemName);
  if (const wchar_t* tableName = KeyNameOfScanCode((keyData >> 16) & 0xFF, ((keyData >> 24) & 1) != 0)) {
    Check(name == tableName, "a key the table names gets the table's name");
    Check(KeyNameToUsage(name) != 0, "every scan-code name is a name of the key table");
  } else {
    Check(name == systemName, "a key the table does not name keeps the system's name");
  }
  Check(KeyNameOfScanCode(in.ConsumeIntegralInRange<unsigned>(0x100, 0xFFFFFFFFu), in.ConsumeBool()) == nullptr,
        "no scan code beyond a byte has a name");

  // Names back to codes and codes back to names.
  const uint8_t usage = KeyNameToUsage(name);
  if (usage != 0) Check(KeyNameToUsage(KeyUsageName(usage)) == usage, "a key's name leads back to its code");
  const uint8_t code = in.ConsumeIntegral<uint8_t>();
  if (const wchar_t* n = KeyUsageName(code)) Check(KeyNameToUsage(n) == code, "a code's name leads back to it");
  if (const wchar_t* n = ModifierBitName(code)) Check(ModifierNameToBit(n) == code, "a modifier's name leads back");
  MouseButtonName(code);
  FireKeyCodeName(code);
  FireKeyToCode(code);
  MediaToUsage(code);
  WindowsToUsage(code);
  const int media = MediaPositionOfUsage(code);
  if (media >= 0) Check(MediaToUsage(static_cast<uint8_t>(media)) == code, "a media usage's position leads back");
  const uint8_t high = in.ConsumeIntegral<uint8_t>();
  const int windows = WindowsPositionOfUsage(code, high);
  if (windows >= 0)
    Check(WindowsToUsage(static_cast<uint8_t>(windows)) == code && WindowsUsageHigh(static_cast<uint8_t>(windows)) == high,
          "a Windows usage's position leads back");
  ModifierNameToBit(TakeText(in, 16));
}

void NumberSteps(FuzzedDataProvider& in) {
  const std::wstring text = TakeText(in, 40);
  const int value = DecimalValue(text);
  Check(value >= -1000000 && value <= 1000000, "decimal values saturate at one million");
  const int64_t n = in.ConsumeIntegralInRange<int64_t>(-1000000, 1000000);
  Check(DecimalValue(std::to_wstring(n)) == n, "a decimal number reads as itself");
  Check(DecimalValue(L" \t+" + std::to_wstring(n < 0 ? -n : n)) == (n < 0 ? -n : n), "space and a plus sign lead in");

  const std::wstring pattern = TakeText(in, 40);
  const int64_t shown = in.ConsumeIntegral<int64_t>();
  const std::wstring number = FormatNumber(pattern, shown);
  const std::wstring filled = FormatText(pattern, text);
  if (pattern.find(L"%d") == std::wstring::npos) Check(number == pattern, "a pattern without %d stays as it is");
  else Check(number.size() == pattern.size() - 2 + std::to_wstring(shown).size(), "%d becomes the number");
  if (pattern.find(L"%s") == std::wstring::npos) Check(filled == pattern, "a pattern without %s stays as it is");
  else Check(filled.size() == pattern.size() - 2 + text.size(), "%s becomes the text");

  // The boxes that read typed numbers.
  const CheckedNumber speed = CheckFireSpeed(text);
  Check(speed.value >= 5 && speed.value <= 255, "a fire speed is 5..255");
  const CheckedNumber times = CheckFireTimes(text);
  Check(times.value >= 0 && times.value <= 255, "a fire count is 0..255");
  const LoopCountInput loops = CheckLoopCount(text);
  Check(loops.value >= 1, "a loop count is at least 1");
  ColorByteFromText(text);
  LanguageFromCode(text);
  DelayOfEntry(text);
  ParseMacroEntry(text);
}

void EncodingSteps(FuzzedDataProvider& in) {
  const std::string bytes = in.ConsumeRandomLengthString(256);
  bool valid = false;
  const std::wstring text = FromUtf8(bytes, &valid);
  if (valid) Check(ToUtf8(text) == bytes, "valid UTF-8 comes back byte for byte");
  Check(IsValidUtf8(bytes) == valid, "the UTF-8 check agrees with the conversion");
  Check(FromUtf8(ToUtf8(text)) == text, "text survives UTF-8");
  Check(FromUtf16(ToUtf16(text)) == text, "text survives UTF-16");
  Check(Utf16Length(text) == ToUtf16(text).size(), "the UTF-16 length is the number of units");
  FromWindows1252(bytes);

  // Arbitrary UTF-16 units, lone surrogates among them.
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    units.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
  const std::wstring wide = FromUtf16(units);
  ToUtf8(wide);
  const size_t limit = in.ConsumeIntegralInRange<size_t>(0, 300);
  const std::wstring cut = TruncateUtf16(wide, limit);
  Check(Utf16Length(cut) <= limit && wide.compare(0, cut.size(), cut) == 0, "a cut is a prefix within the limit");
  Check(ToUtf16(TruncateUtf16(text, limit)).size() <= limit, "a cut text fits its units");
}

}  // namespace
}  // namespace kovral::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovral::fuzz;
  FuzzedDataProvider in(data, size);
  for (int step = 0; step < 8 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
      case 0: KeyNameSteps(in); break;
      case 1: NumberSteps(in); break;
      case 2: EncodingSteps(in); break;
    }
  }
  return 0;
}
