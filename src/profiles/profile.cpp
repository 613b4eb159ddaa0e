#include "profiles/profile.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "macro/macro_store.h"
#include "settings/text_encoding.h"

namespace kovral {
namespace {

constexpr char kHeader[] = "# Kovral profile";
const char* const kTextSectionNames[kProfileLanguageCount] = {"texts.EN", "texts.CHS", "texts.CHT"};

// The largest profile export can write, from what the files it comes from
// keep. A value of the INI files holds at most kIniValueLimit UTF-16 units,
// each at most 3 bytes of UTF-8 (a pair of surrogates is one 4-byte
// character); a macro name at most kMacroNameLimit characters of up to 4.
constexpr size_t kLongestValue = 3 * kIniValueLimit;
// [profile], the record's sections and the 16 buttons of both layers: under
// 300 lines of under 64 bytes, with the comments.
constexpr size_t kLargestRecordPart = 64 * 1024;
constexpr size_t kLargestMacro = sizeof "\n[macro.12]\n" + sizeof "name = \n" + 4 * kMacroNameLimit +
                                 sizeof "loop = 65535\n" + sizeof "slot = \n" + 3 * (kMacroSlotSize - 2) +
                                 kMacroEntryLimit * (sizeof "entry = text \n" + kLongestValue);
constexpr size_t kLargestTexts =
    kProfileLanguageCount * (sizeof "\n[texts.CHS]\n" + kButtonTextCount * (sizeof "Item83 = \n" + kLongestValue));
constexpr size_t kLargestExport = kLargestRecordPart + kMacroSlotCount * kLargestMacro + kLargestTexts;
// About 38 MB. The limit leaves room for a byte-order mark, CR LF line ends
// and the comments of a hand-edited file.
static_assert(kLargestExport + kLargestExport / 64 < kProfileSizeLimit);

// How a value is written and read. Every kind covers exactly the bytes it
// names, so that a profile reproduces the record to the byte.
enum class Kind {
  Number,  // decimal (0x.. accepted), shown as the byte plus bias, lo..hi
  Hex8,    // a key or usage code: 0x..
  Hex16,   // two bytes, low at `at`, high at `at2`
  OnOff,   // 0 or 1
  Choice,  // a byte that indexes `choices`
  Rate,    // the report interval in ms, written as its rate in Hz
  Colour,  // three bytes as RRGGBB
  Bytes,   // `count` raw bytes as hex pairs
};

struct Field {
  std::string section;  // as written; compared without regard to case
  std::string key;
  std::string what;  // the field in an error message
  Kind kind = Kind::Number;
  size_t at = 0;
  size_t at2 = 0;
  int lo = 0, hi = 255, bias = 0;
  std::vector<std::string> choices;
  size_t count = 1;
};

const std::vector<std::string> kFunctionNames = {
    "left_click", "right_click", "middle_click", "forward",   "backward",   "triple_click",
    "dpi_switch", "light_toggle", "windows",     "multimedia", "fire_key",  "single_key",
    "combo_key",  "macro_key",   "shift",        "key_off"};
const std::vector<std::string> kLightModes = {"off", "standard", "respiration", "neon"};
const std::vector<std::string> kModes = {"A", "B"};

struct RateCode {
  int hz;
  uint8_t interval;
};
constexpr RateCode kRates[] = {{1000, 1}, {500, 2}, {250, 4}, {125, 8}};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string Dec(int v) { return std::to_string(v); }

std::string Hex(unsigned v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
  return buf;
}

std::string HexPairs(const uint8_t* bytes, size_t n, const char* separator) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(n * (2 + (separator ? std::strlen(separator) : 0)));
  for (size_t i = 0; i < n; ++i) {
    if (i && separator) out += separator;
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0xF];
  }
  return out;
}

// Decimal, or hexadecimal after 0x; nothing for anything else or above 2^31.
std::optional<long long> ParseNumber(std::string_view s) {
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty() || s.size() > 10) return std::nullopt;
  long long v = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    v = v * base + d;
  }
  if (v > 0x7FFFFFFF) return std::nullopt;
  return v;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hex pairs, with or without white space between them (also inside a pair).
std::optional<std::vector<uint8_t>> ParseHexPairs(std::string_view s) {
  std::vector<uint8_t> out;
  out.reserve(s.size() / 2);
  int high = -1;  // the first digit of a pair begun
  for (char c : s) {
    if (c == ' ' || c == '\t') continue;
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    if (high < 0) {
      high = digit;
    } else {
      out.push_back(static_cast<uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return out;
}

std::vector<Field> BuildFields() {
  std::vector<Field> f;
  auto add = [&](std::string section, std::string key, std::string what, Kind kind, size_t at) -> Field& {
    Field field;
    field.section = std::move(section);
    field.key = std::move(key);
    field.what = std::move(what);
    field.kind = kind;
    field.at = at;
    f.push_back(std::move(field));
    return f.back();
  };
  auto number = [&](std::string section, std::string key, std::string what, size_t at, int lo, int hi, int bias) {
    Field& field = add(std::move(section), std::move(key), std::move(what), Kind::Number, at);
    field.lo = lo;
    field.hi = hi;
    field.bias = bias;
  };
  auto choice = [&](std::string section, std::string key, std::string what, size_t at,
                    const std::vector<std::string>& choices) {
    add(std::move(section), std::move(key), std::move(what), Kind::Choice, at).choices = choices;
  };
  auto bytes = [&](std::string section, std::string key, size_t at, size_t count) {
    add(section, key, key, Kind::Bytes, at).count = count;
  };
  add("device", "report_rate", "report rate", Kind::Rate, offsetof(DeviceConfig, reportRate));
  choice("device", "edited_mode", "edited mode", offsetof(DeviceConfig, editedMode), kModes);

  for (int s = 0; s < kDpiStageCount; ++s) {
    const std::string stage = "stage" + Dec(s + 1);
    const std::string what = "DPI stage " + Dec(s + 1);
    // The level indexes the sensor's step list (up to twelve steps); shown from 1.
    number("dpi", stage + ".level", what + " level", offsetof(DeviceConfig, dpiLevel) + s, 1, 12, 1);
    add("dpi", stage + ".enabled", what + " enabled", Kind::OnOff, offsetof(DeviceConfig, dpiEnabled) + s);
    add("dpi", stage + ".color", what + " colour", Kind::Colour, offsetof(DeviceConfig, dpiColor) + 3 * s);
  }

  choice("lighting", "mode", "lighting mode", offsetof(DeviceConfig, lightMode), kLightModes);
  // The ranges are the lighting page's lists.
  number("lighting", "brightness", "brightness", offsetof(DeviceConfig, lightBrightness), 0, 9, 0);
  number("lighting", "respiration_period", "respiration period", offsetof(DeviceConfig, respirationPeriod), 0, 4, 0);
  number("lighting", "neon_period", "neon period", offsetof(DeviceConfig, neonPeriod), 0, 29, 0);
  number("lighting", "standard_effect", "standard effect", offsetof(DeviceConfig, standardEffect), 0, 3, 0);
  number("lighting", "respiration_effect", "respiration effect", offsetof(DeviceConfig, respirationEffect), 0, 3, 0);
  number("lighting", "neon_effect", "neon effect", offsetof(DeviceConfig, neonEffect), 0, 3, 0);

  add("pointer", "enhance_precision", "enhance precision", Kind::OnOff, offsetof(DeviceConfig, enhancePrecision));
  add("pointer", "scroll_one_screen", "scroll one screen", Kind::OnOff, offsetof(DeviceConfig, scrollOneScreen));
  number("pointer", "speed", "pointer speed", offsetof(DeviceConfig, pointerSpeed), 0, 255, 0);
  number("pointer", "scroll_lines", "scroll lines", offsetof(DeviceConfig, scrollLines), 0, 255, 0);
  number("pointer", "double_click_speed", "double-click speed", offsetof(DeviceConfig, doubleClickSpeed), 0, 255, 0);

  bytes("raw", "reserved0", offsetof(DeviceConfig, reserved0), sizeof(DeviceConfig::reserved0));
  bytes("raw", "reserved1", offsetof(DeviceConfig, reserved1), 1);
  bytes("raw", "reserved2", offsetof(DeviceConfig, reserved2), 1);

  for (int mode = 0; mode < 2; ++mode) {
    const size_t table = mode == 0 ? offsetof(DeviceConfig, modeA) : offsetof(DeviceConfig, modeB);
    const size_t dpiAction = mode == 0 ? offsetof(DeviceConfig, dpiActionA) : offsetof(DeviceConfig, dpiActionB);
    for (int b = 0; b < kButtonCount; ++b) {
      const std::string section = std::string("buttons.") + kModes[mode] + "." + Dec(b + 1);
      const std::string what = "mode " + kModes[mode] + " button " + Dec(b + 1) + " ";
      auto at = [&](size_t member) { return table + member + b; };
      choice(section, "function", what + "function", at(offsetof(AssignmentTable, functionIndex)), kFunctionNames);
      number(section, "dpi_action", what + "DPI action", dpiAction + b, 0, 3, 0);
      number(section, "media_index", what + "media index", at(offsetof(AssignmentTable, mediaIndex)), 0, 255, 0);
      add(section, "media_usage", what + "media usage", Kind::Hex8, at(offsetof(AssignmentTable, mediaUsage)));
      number(section, "windows_index", what + "windows index", at(offsetof(AssignmentTable, windowsIndex)), 0, 255, 0);
      add(section, "windows_usage", what + "windows usage", Kind::Hex16, at(offsetof(AssignmentTable, windowsUsageLow)))
          .at2 = at(offsetof(AssignmentTable, windowsUsageHigh));
      number(section, "fire_key_index", what + "fire key index", at(offsetof(AssignmentTable, fireKeyIndex)), 0, 255,
             0);
      add(section, "fire_key_code", what + "fire key code", Kind::Hex8, at(offsetof(AssignmentTable, fireKeyCode)));
      number(section, "fire_speed", what + "fire speed", at(offsetof(AssignmentTable, fireSpeed)), 0, 255, 0);
      number(section, "fire_times", what + "fire times", at(offsetof(AssignmentTable, fireTimes)), 0, 255, 0);
      add(section, "key_code", what + "key code", Kind::Hex8, at(offsetof(AssignmentTable, singleKeyCode)));
      add(section, "combo_modifiers", what + "combo modifiers", Kind::Hex8,
          at(offsetof(AssignmentTable, comboModifiers)));
      add(section, "combo_key1", what + "combo key 1", Kind::Hex8, at(offsetof(AssignmentTable, comboKey1)));
      add(section, "combo_key2", what + "combo key 2", Kind::Hex8, at(offsetof(AssignmentTable, comboKey2)));
      // Slots are shown from 1, as the macro list numbers them.
      number(section, "macro", what + "macro", at(offsetof(AssignmentTable, macroIndex)), 1, 12, 1);
      number(section, "macro_mode", what + "macro mode", at(offsetof(AssignmentTable, macroMode)), 0, 2, 0);
    }
  }
  return f;
}

const std::vector<Field>& Fields() {
  static const std::vector<Field> fields = BuildFields();
  return fields;
}

// What import looks every line up in, built once: a profile has about a
// thousand lines, and building these for each one made an import cost as
// much as the rest of it together.
struct ImportTables {
  std::unordered_map<std::string, size_t> fields;   // "section/key", lower case -> position in Fields()
  std::set<std::string> sections;                    // every section a field or a text lives in, lower case
  std::unordered_map<std::string, int> textKeys;     // "item1" .. "item83" -> text index
  std::string textSections[kProfileLanguageCount];  // kTextSectionNames, lower case
};

const ImportTables& Tables() {
  static const ImportTables tables = [] {
    ImportTables t;
    for (size_t i = 0; i < Fields().size(); ++i) {
      const Field& f = Fields()[i];
      t.fields[Lower(f.section + "/" + f.key)] = i;
      t.sections.insert(Lower(f.section));
    }
    for (int lang = 0; lang < kProfileLanguageCount; ++lang) {
      t.textSections[lang] = Lower(kTextSectionNames[lang]);
      t.sections.insert(t.textSections[lang]);
    }
    for (int i = 0; i < kButtonTextCount; ++i) t.textKeys[Lower(ToUtf8(ButtonTextKey(i)))] = i;
    return t;
  }();
  return tables;
}

const uint8_t* At(const DeviceConfig& c, size_t offset) { return reinterpret_cast<const uint8_t*>(&c) + offset; }
uint8_t* At(DeviceConfig& c, size_t offset) { return reinterpret_cast<uint8_t*>(&c) + offset; }

// A stored byte that the field's own words do not cover (a config.bin from
// another version, or edited by hand) is written with a word of its own,
// which import takes back as that byte, so export and import give back every
// file the program loads: "byte N" (the stored byte itself), and for the
// report rate "interval N" (its byte is the interval in milliseconds).
constexpr char kByteWord[] = "byte";
constexpr char kIntervalWord[] = "interval";

const char* OutOfRangeWord(const Field& f) {
  switch (f.kind) {
    case Kind::Number:
    case Kind::OnOff:
    case Kind::Choice: return kByteWord;
    case Kind::Rate: return kIntervalWord;
    default: return nullptr;  // every byte has a word of its own
  }
}

// The field's own word for a byte, if it has one.
std::optional<std::string> OwnWord(const Field& f, uint8_t v) {
  switch (f.kind) {
    case Kind::Number:
      if (v + f.bias < f.lo || v + f.bias > f.hi) return std::nullopt;
      return Dec(v + f.bias);
    case Kind::OnOff:
      if (v > 1) return std::nullopt;
      return v == 1 ? "on" : "off";
    case Kind::Choice:
      if (v >= f.choices.size()) return std::nullopt;
      return f.choices[v];
    case Kind::Rate:
      for (const RateCode& r : kRates)
        if (r.interval == v) return Dec(r.hz) + " Hz";
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::string FormatField(const Field& f, const DeviceConfig& c) {
  const uint8_t v = *At(c, f.at);
  switch (f.kind) {
    case Kind::Number:
    case Kind::OnOff:
    case Kind::Choice:
    case Kind::Rate: {
      const std::optional<std::string> own = OwnWord(f, v);
      return own ? *own : std::string(OutOfRangeWord(f)) + " " + Dec(v);
    }
    case Kind::Hex8: return Hex(v, 2);
    case Kind::Hex16: return Hex(static_cast<unsigned>(*At(c, f.at2)) << 8 | v, 4);
    case Kind::Colour: return HexPairs(At(c, f.at), 3, nullptr);
    case Kind::Bytes: return HexPairs(At(c, f.at), f.count, " ");
  }
  return {};
}

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

// The number after the field's out-of-range word ("byte 7"), or nothing
// when the value does not start with that word.
std::optional<std::string_view> AfterOutOfRangeWord(const Field& f, std::string_view value) {
  const char* word = OutOfRangeWord(f);
  if (!word) return std::nullopt;
  const size_t length = std::strlen(word);
  if (value.size() <= length || Lower(value.substr(0, length)) != word) return std::nullopt;
  if (value[length] != ' ' && value[length] != '\t') return std::nullopt;
  return Trim(value.substr(length));
}

// Stores the value, or returns what is wrong with it.
std::string ParseField(const Field& f, std::string_view value, DeviceConfig& c) {
  const std::string shown(value);
  if (const std::optional<std::string_view> number = AfterOutOfRangeWord(f, value)) {
    // Only a byte that has no word of its own: every other value keeps one spelling.
    const auto v = ParseNumber(*number);
    if (!v || *v > 255) return f.what + " '" + shown + "' is not a stored byte (" + OutOfRangeWord(f) + " 0-255)";
    if (const std::optional<std::string> own = OwnWord(f, static_cast<uint8_t>(*v)))
      return f.what + " '" + shown + "' has a word of its own: write " + *own;
    *At(c, f.at) = static_cast<uint8_t>(*v);
    return {};
  }
  switch (f.kind) {
    case Kind::Number: {
      const auto v = ParseNumber(value);
      if (!v) return f.what + " '" + shown + "' is not a number";
      if (*v < f.lo || *v > f.hi)
        return f.what + " " + Dec(static_cast<int>(*v)) + " is out of range " + Dec(f.lo) + "-" + Dec(f.hi);
      *At(c, f.at) = static_cast<uint8_t>(*v - f.bias);
      return {};
    }
    case Kind::Hex8:
    case Kind::Hex16: {
      const auto v = ParseNumber(value);
      const long long max = f.kind == Kind::Hex8 ? 0xFF : 0xFFFF;
      if (!v || *v > max) return f.what + " '" + shown + "' is not a number from 0x00 to " + Hex(max, 2);
      *At(c, f.at) = static_cast<uint8_t>(*v);
      if (f.kind == Kind::Hex16) *At(c, f.at2) = static_cast<uint8_t>(*v >> 8);
      return {};
    }
    case Kind::OnOff: {
      const std::string v = Lower(value);
      if (v != "on" && v != "off") return f.what + " '" + shown + "' is neither on nor off";
      *At(c, f.at) = v == "on" ? 1 : 0;
      return {};
    }
    case Kind::Choice: {
      for (size_t i = 0; i < f.choices.size(); ++i) {
        if (Lower(value) == Lower(f.choices[i])) {
          *At(c, f.at) = static_cast<uint8_t>(i);
          return {};
        }
      }
      return f.what + " '" + shown + "' is not one of " + Joined(f.choices);
    }
    case Kind::Rate: {
      std::string_view number = value;
      if (number.size() > 2 && Lower(number.substr(number.size() - 2)) == "hz")
        number = Trim(number.substr(0, number.size() - 2));
      const auto hz = ParseNumber(number);
      for (const RateCode& r : kRates) {
        if (hz && *hz == r.hz) {
          *At(c, f.at) = r.interval;
          return {};
        }
      }
      return f.what + " '" + shown + "' is not one of 125, 250, 500, 1000 Hz";
    }
    case Kind::Colour:
    case Kind::Bytes: {
      const size_t n = f.kind == Kind::Colour ? 3 : f.count;
      const auto bytes = ParseHexPairs(value);
      if (!bytes || bytes->size() != n || (f.kind == Kind::Colour && value.size() != 6))
        return f.what + " '" + shown + "' is not " + (f.kind == Kind::Colour ? "RRGGBB" : Dec(static_cast<int>(n)) +
                                                                                        " hex bytes");
      std::memcpy(At(c, f.at), bytes->data(), n);
      return {};
    }
  }
  return "internal error";
}

// ---- macro entries in words ----

std::wstring EntryFromWords(std::string_view words, std::string& problem) {
  const size_t space = words.find(' ');
  const std::string verb = Lower(words.substr(0, space));
  const std::string_view rest = space == std::string_view::npos ? std::string_view() : Trim(words.substr(space + 1));
  const std::wstring text = FromUtf8(rest);
  if (verb == "text") return text;
  if ((verb == "down" || verb == "up") && !rest.empty()) return verb == "down" ? DownEntry(text) : UpEntry(text);
  if (verb == "delay") {
    std::string_view digits = rest;
    if (digits.size() > 3 && digits.substr(digits.size() - 3) == " ms") digits.remove_suffix(3);
    const bool numeric = !digits.empty() && digits.size() <= 10 &&
                         std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (numeric) return FromUtf8(digits) + L" ms";
  }
  problem = "macro entry '" + std::string(words) + "' is none of: down KEY, up KEY, delay N ms, text ANY";
  return {};
}

// The readable form when it reads back as the same entry, the entry's text otherwise.
std::string EntryWords(const std::wstring& entry) {
  const MacroEntryParts parts = ParseMacroEntry(entry);
  std::string words;
  if (parts.kind == MacroEntryKind::Down) words = "down " + ToUtf8(parts.name);
  else if (parts.kind == MacroEntryKind::Up) words = "up " + ToUtf8(parts.name);
  else if (parts.kind == MacroEntryKind::Delay) words = "delay " + ToUtf8(entry);
  std::string problem;
  if (!words.empty() && EntryFromWords(words, problem) == entry && problem.empty()) return words;
  return entry.empty() ? "text" : "text " + ToUtf8(entry);
}

// The slot's bytes after the loop count as the macro's entries give them.
void EncodedSlot(const std::vector<std::wstring>* entries, uint8_t (&slot)[kMacroSlotSize]) {
  std::memset(slot, 0, kMacroSlotSize);
  if (entries) EncodeMacroSlot(*entries, slot);
}

// ---- the parser's state ----

struct MacroSection {
  int line = 0;
  std::optional<std::wstring> name;
  std::optional<int> loop;
  std::optional<std::vector<uint8_t>> slot;
  std::vector<std::wstring> entries;
};

std::string LineError(int line, const std::string& problem) { return "line " + Dec(line) + ": " + problem; }

bool ValueFitsIni(const std::wstring& text) { return Utf16Length(text) <= kIniValueLimit; }

// A profile's line holds text and tabs, and may end in CR LF. Any other
// control character is refused wherever it stands: in a button text, a macro
// name or entry it would reach str.ini or record.ini, where a lone CR ends
// the line for the system's profile functions and a NUL ends the value, so
// the file would no longer read back as written. (A byte of UTF-8 below 0x20
// is always the character itself.)
std::string ControlCharacterProblem(std::string_view raw) {
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  for (const char c : raw) {
    const unsigned byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 || c == '\t') continue;
    const std::string what = byte == 0 ? "a NUL character (0x00)"
                             : c == '\r' ? "a carriage return (0x0D) that does not end the line"
                                         : "the control character " + Hex(byte, 2);
    return "the line holds " + what + "; a profile holds no control characters but tabs and its line ends";
  }
  return {};
}

}  // namespace

std::string ExportProfile(const ProfileData& p) {
  std::string out;
  out += kHeader;
  out += "\n# Everything config.bin, record.ini and str.ini's button texts hold; UTF-8.\n";
  out += "[profile]\nversion = " + Dec(kProfileVersion) + "\nconfig_flag = " + Dec(p.configFlag) + "\n";
  for (const std::wstring& program : p.programs) out += "program = " + ToUtf8(program) + "\n";
  std::string section;
  for (const Field& f : Fields()) {
    if (f.section != section) {
      section = f.section;
      out += "\n[" + section + "]\n";
      if (section == "lighting")
        out += "# brightness 0-9 is 5%..100%; respiration_period 0-4 is 8 s..4 s; neon_period N is (N+1)/2 s;\n"
               "# effects 0-3: none, RGB effect, RGB flash, RGB fixed on\n";
    }
    out += f.key + " = " + FormatField(f, p.config) + "\n";
  }
  for (int slot = 0; slot < kMacroSlotCount; ++slot) {
    const ProfileMacro* macro = static_cast<size_t>(slot) < p.macros.size() ? &p.macros[slot] : nullptr;
    uint8_t encoded[kMacroSlotSize];
    EncodedSlot(macro ? &macro->entries : nullptr, encoded);
    const uint8_t* actual = p.config.macroSlots[slot];
    const bool asEncoded = std::memcmp(encoded + 2, actual + 2, kMacroSlotSize - 2) == 0;
    const uint16_t loop = SlotLoopCount(p.config, slot);
    if (!macro && asEncoded && loop == 0) continue;
    out += "\n[macro." + Dec(slot + 1) + "]\n";
    if (macro) out += "name = " + ToUtf8(macro->name) + "\n";
    out += "loop = " + Dec(loop) + "\n";
    if (macro)
      for (const std::wstring& entry : macro->entries) out += "entry = " + EntryWords(entry) + "\n";
    // Only a slot that differs from its entries' encoding (or a slot without
    // a macro that still holds bytes) needs its bytes spelt out.
    if (!asEncoded) out += "slot = " + HexPairs(actual + 2, kMacroSlotSize - 2, " ") + "\n";
  }
  for (int lang = 0; lang < kProfileLanguageCount; ++lang) {
    out += "\n[" + std::string(kTextSectionNames[lang]) + "]\n";
    for (int i = 0; i < kButtonTextCount; ++i)
      out += ToUtf8(ButtonTextKey(i)) + " = " + ToUtf8(p.texts[lang][i]) + "\n";
  }
  return out;
}

ProfileImport ImportProfile(std::string_view text) {
  ProfileImport result;
  ProfileData p;
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  const ImportTables& tables = Tables();
  const std::vector<Field>& fields = Fields();
  std::vector<bool> seen(fields.size());                           // per field: its line was read
  std::map<std::string, int> sectionLines;                         // section (lower case) -> header line
  std::map<int, MacroSection> macros;                              // slot from 1
  std::vector<bool> textSeen(kProfileLanguageCount * kButtonTextCount);  // per language and text
  std::unordered_set<std::wstring> programsSeen;                  // folded
  std::string fieldName;  // "section/key" of the line, for the table
  std::optional<int> version;
  bool flagSeen = false;

  std::string section;
  int line = 0;
  size_t pos = 0;
  auto fail = [&](int at, const std::string& problem) {
    result.error = LineError(at, problem);
    return result;
  };
  while (pos < text.size()) {
    ++line;
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    if (!IsValidUtf8(raw)) return fail(line, "the text is not valid UTF-8");
    if (const std::string problem = ControlCharacterProblem(raw); !problem.empty()) return fail(line, problem);
    const std::string_view l = Trim(raw);
    if (l.empty() || l[0] == '#' || l[0] == ';') continue;
    if (l[0] == '[') {
      if (l.back() != ']') return fail(line, "a section header must end with ']'");
      section = Lower(Trim(l.substr(1, l.size() - 2)));
      if (sectionLines.count(section)) return fail(line, "section [" + section + "] appears twice");
      sectionLines[section] = line;
      if (section.rfind("macro.", 0) == 0) {
        const auto n = ParseNumber(section.substr(6));
        if (!n || *n < 1 || *n > kMacroSlotCount || section.substr(6)[0] == '0')
          return fail(line, "macro slot '" + section.substr(6) + "' is out of range 1-12");
        macros[static_cast<int>(*n)].line = line;
        continue;
      }
      if (section != "profile" && !tables.sections.count(section)) return fail(line, "unknown section [" + section + "]");
      continue;
    }
    const size_t eq = l.find('=');
    if (eq == std::string_view::npos) return fail(line, "expected 'key = value'");
    const std::string key = Lower(Trim(l.substr(0, eq)));
    const std::string_view value = Trim(l.substr(eq + 1));
    if (section.empty()) return fail(line, "'" + key + "' comes before any section");
    auto duplicate = [&](const std::string& k) { return fail(line, "'" + k + "' appears twice in [" + section + "]"); };

    if (section == "profile") {
      if (key == "version") {
        if (version) return duplicate(key);
        const auto v = ParseNumber(value);
        if (!v) return fail(line, "version '" + std::string(value) + "' is not a number");
        if (*v != kProfileVersion)
          return fail(line, "profile version " + Dec(static_cast<int>(*v)) + " is not the version this program reads (" +
                                Dec(kProfileVersion) + ")");
        version = static_cast<int>(*v);
      } else if (key == "config_flag") {
        if (flagSeen) return duplicate(key);
        const auto v = ParseNumber(value);
        if (!v || *v > 255) return fail(line, "config_flag '" + std::string(value) + "' is out of range 0-255");
        p.configFlag = static_cast<uint8_t>(*v);
        flagSeen = true;
      } else if (key == "program") {
        // Bounded, and each name looked up rather than compared with every
        // earlier one: a file of many thousand program lines is refused at
        // once instead of taking the program minutes to read.
        if (p.programs.size() >= kProfileProgramLimit)
          return fail(line, "a profile is for at most " + Dec(static_cast<int>(kProfileProgramLimit)) + " programs");
        const std::wstring program = FromUtf8(value);
        if (const std::string problem = FileNameProblem(program, kProgramNameLimit, "program name");
            !problem.empty())
          return fail(line, problem);
        if (!programsSeen.insert(FoldFileNameCase(program)).second)
          return fail(line, "program '" + std::string(value) + "' appears twice in [profile]");
        p.programs.push_back(program);
      } else {
        return fail(line, "unknown key '" + key + "' in [profile]");
      }
      continue;
    }
    if (section.rfind("macro.", 0) == 0) {
      const int slot = static_cast<int>(*ParseNumber(section.substr(6)));
      MacroSection& m = macros[slot];
      const std::string what = "macro " + Dec(slot) + " ";
      if (key == "name") {
        if (m.name) return duplicate(key);
        const std::wstring name = FromUtf8(value);
        if (name.empty() || name.find_first_of(L"[]") != std::wstring::npos || name.size() > kMacroNameLimit)
          return fail(line, what + "name '" + std::string(value) + "' must be 1-" + Dec(kMacroNameLimit) +
                                " characters without '[' or ']'");
        m.name = name;
      } else if (key == "loop") {
        if (m.loop) return duplicate(key);
        const auto v = ParseNumber(value);
        if (!v || *v > 65535) return fail(line, what + "loop count '" + std::string(value) + "' is out of range 0-65535");
        m.loop = static_cast<int>(*v);
      } else if (key == "slot") {
        if (m.slot) return duplicate(key);
        auto bytes = ParseHexPairs(value);
        if (!bytes || bytes->size() != kMacroSlotSize - 2)
          return fail(line, what + "slot must be " + Dec(kMacroSlotSize - 2) + " hex bytes");
        m.slot = std::move(*bytes);
      } else if (key == "entry") {
        if (m.entries.size() >= static_cast<size_t>(kMacroEntryLimit))
          return fail(line, what + "has more than " + Dec(kMacroEntryLimit) + " entries");
        std::string problem;
        std::wstring entry = EntryFromWords(value, problem);
        if (!problem.empty()) return fail(line, problem);
        if (!ValueFitsIni(entry)) return fail(line, what + "entry is longer than record.ini keeps");
        m.entries.push_back(std::move(entry));
      } else {
        return fail(line, "unknown key '" + key + "' in [" + section + "]");
      }
      continue;
    }
    int language = -1;
    for (int i = 0; i < kProfileLanguageCount; ++i)
      if (tables.textSections[i] == section) language = i;
    if (language >= 0) {
      const auto text = tables.textKeys.find(key);
      const int index = text == tables.textKeys.end() ? -1 : text->second;
      if (index < 0) return fail(line, "unknown button text '" + key + "' (Item1..Item8, Item13..Item83)");
      if (textSeen[language * kButtonTextCount + index]) return duplicate(key);
      textSeen[language * kButtonTextCount + index] = true;
      const std::wstring t = FromUtf8(value);
      if (!ValueFitsIni(t)) return fail(line, "button text is longer than str.ini keeps");
      p.texts[language][index] = t;
      continue;
    }
    fieldName.assign(section).append(1, '/').append(key);
    const auto found = tables.fields.find(fieldName);
    if (found == tables.fields.end()) return fail(line, "unknown key '" + key + "' in [" + section + "]");
    if (seen[found->second]) return duplicate(key);
    seen[found->second] = true;
    if (const std::string problem = ParseField(fields[found->second], value, p.config); !problem.empty())
      return fail(line, problem);
  }

  // What is missing is reported at its section's header, or at the end.
  auto missing = [&](const std::string& sec, const std::string& what) {
    const auto header = sectionLines.find(Lower(sec));
    return fail(header != sectionLines.end() ? header->second : std::max(line, 1), what + " is missing");
  };
  if (!version) return missing("profile", "[profile] version");
  for (size_t i = 0; i < fields.size(); ++i)
    if (!seen[i]) return missing(fields[i].section, "[" + fields[i].section + "] " + fields[i].key);
  for (int lang = 0; lang < kProfileLanguageCount; ++lang)
    for (int i = 0; i < kButtonTextCount; ++i)
      if (!textSeen[lang * kButtonTextCount + i])
        return missing(kTextSectionNames[lang], "[" + std::string(kTextSectionNames[lang]) + "] " +
                                                    ToUtf8(ButtonTextKey(i)));

  // record.ini's section order is the slot order, so the named macros must
  // fill the slots from 1 on, and no two may be the same section.
  int named = 0;
  for (const auto& [slot, m] : macros) {
    if (!m.loop) return fail(m.line, "macro " + Dec(slot) + " has no loop count");
    if (!m.name) {
      if (!m.entries.empty()) return fail(m.line, "macro " + Dec(slot) + " has entries but no name");
      continue;
    }
    if (slot != named + 1)
      return fail(m.line, "macro " + Dec(slot) + " has a name but macro " + Dec(named + 1) +
                              " has none: named macros fill the slots from 1 on");
    for (int earlier = 1; earlier < slot; ++earlier)
      if (SameIniName(*macros[earlier].name, *m.name))
        return fail(m.line, "macro " + Dec(slot) + " has the name of macro " + Dec(earlier));
    ++named;
    p.macros.push_back({*m.name, m.entries});
  }
  for (const auto& [slot, m] : macros) {
    uint8_t(&bytes)[kMacroSlotSize] = p.config.macroSlots[slot - 1];
    EncodedSlot(m.name ? &m.entries : nullptr, bytes);
    if (m.slot) std::memcpy(bytes + 2, m.slot->data(), kMacroSlotSize - 2);
    SetSlotLoopCount(p.config, slot - 1, static_cast<uint16_t>(*m.loop));
  }
  result.profile = std::move(p);
  return result;
}

std::string FileNameProblem(std::wstring_view name, size_t limit, const std::string& what) {
  const std::string shown = "'" + ToUtf8(std::wstring(name)) + "'";
  if (name.find_first_not_of(L" \t") == std::wstring_view::npos) return what + " is empty";
  if (Utf16Length(std::wstring(name)) > limit)
    return what + " " + shown + " is longer than " + Dec(static_cast<int>(limit)) + " characters";
  for (size_t i = 0; i < name.size(); ++i) {
    const wchar_t c = name[i];
    if (c < 0x20 || c == 0x7F) return what + " holds a control character";
    if (std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
      return what + " " + shown + " holds '" + static_cast<char>(c) + "', which a file name cannot hold";
    // An unpaired surrogate cannot be written as UTF-8 or kept by most file systems.
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDFFF) {
      const bool high = c <= 0xDBFF;
      if (!high || i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF)
        return what + " holds an unpaired surrogate";
      ++i;
    } else if (sizeof(wchar_t) == 4 && c >= 0xD800 && c <= 0xDFFF) {
      return what + " holds an unpaired surrogate";
    }
  }
  if (name.back() == L'.' || name.back() == L' ')
    return what + " " + shown + " ends in a " + (name.back() == L'.' ? "dot" : "space") +
           ", which Windows drops from file names";
  // Windows reserves its device names for the whole name and for the part
  // before the first dot, spaces before that dot ignored.
  std::wstring base(name.substr(0, name.find(L'.')));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  base = FoldFileNameCase(base);
  static const wchar_t* const kReserved[] = {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"};
  bool reserved = false;
  for (const wchar_t* r : kReserved) reserved = reserved || base == r;
  if (base.size() == 4 && (base.rfind(L"com", 0) == 0 || base.rfind(L"lpt", 0) == 0)) {
    const wchar_t digit = base[3];
    reserved = reserved || (digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
  }
  if (reserved) return what + " " + shown + " is a name Windows reserves for a device";
  return {};
}

std::string ProfileTooLarge(const std::wstring& file, uint64_t size) {
  return ToUtf8(file) + " has " + std::to_string(size) + " bytes, more than a profile can have (at most " +
         std::to_string(kProfileSizeLimit) + ")";
}

std::vector<ProfileMacro> ReadProfileMacros(IniStore& ini, ConfigFileSystem& files, const std::wstring& recordIni) {
  std::vector<ProfileMacro> macros;
  if (files.Exists(recordIni))
    for (const std::wstring& name : MacroNames(ini, recordIni))
      macros.push_back({name, ReadMacroEntries(ini, recordIni, name)});
  return macros;
}

void ReadProfileFiles(IniStore& ini, ConfigFileSystem& files, const std::wstring& recordIni,
                      const std::wstring& strIni, ProfileData& profile) {
  profile.macros = ReadProfileMacros(ini, files, recordIni);
  for (int lang = 0; lang < kProfileLanguageCount; ++lang)
    for (int i = 0; i < kButtonTextCount; ++i)
      profile.texts[lang][i] = ini.Get(strIni, kProfileTextSections[lang], ButtonTextKey(i));
}

// One replacement of record.ini: all the profile's macros or none of them.
bool WriteProfileMacros(IniStore& ini, const std::wstring& recordIni, const std::vector<ProfileMacro>& macros) {
  std::vector<StoredMacro> stored;
  for (const ProfileMacro& macro : macros) stored.push_back({macro.name, macro.entries});
  return ReplaceAllMacros(ini, recordIni, stored);
}

int ProfileLanguageIndex(std::wstring_view section) {
  for (int lang = 0; lang < kProfileLanguageCount; ++lang)
    if (section == kProfileTextSections[lang]) return lang;
  return -1;
}

bool WriteProfileIniFiles(IniStore& ini, const std::wstring& recordIni, const std::wstring& strIni,
                          const ProfileData& profile) {
  bool ok = WriteProfileMacros(ini, recordIni, profile.macros);
  for (int lang = 0; lang < kProfileLanguageCount; ++lang)
    ok = WriteButtonTexts(ini, strIni, kProfileTextSections[lang], profile.texts[lang]) && ok;
  return ok;
}

}  // namespace kovral
