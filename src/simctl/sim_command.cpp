#include "simctl/sim_command.h"

namespace kovral {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::vector<std::wstring> SplitWords(std::wstring_view text) {
  std::vector<std::wstring> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// 0..255 in decimal, or in hex with a 0x prefix.
bool ParseByteNumber(const std::wstring& word, uint8_t& out) {
  unsigned value = 0;
  if (word.size() > 2 && word[0] == L'0' && (word[1] == L'x' || word[1] == L'X')) {
    if (word.size() > 4) return false;
    for (size_t i = 2; i < word.size(); ++i) {
      int d = HexDigit(word[i]);
      if (d < 0) return false;
      value = value * 16 + d;
    }
  } else {
    if (word.empty() || word.size() > 3) return false;
    for (wchar_t c : word) {
      if (c < L'0' || c > L'9') return false;
      value = value * 10 + (c - L'0');
    }
  }
  if (value > 255) return false;
  out = static_cast<uint8_t>(value);
  return true;
}

// Appends the bytes of one word of a raw report: either one byte of one or two
// hex digits, or a run of an even number of digits, each pair one byte.
bool AppendHexWord(std::wstring word, std::vector<uint8_t>& bytes) {
  if (word.size() > 2 && word[0] == L'0' && (word[1] == L'x' || word[1] == L'X')) word = word.substr(2);
  if (word.empty()) return false;
  for (wchar_t c : word)
    if (HexDigit(c) < 0) return false;
  if (word.size() == 1) {
    bytes.push_back(static_cast<uint8_t>(HexDigit(word[0])));
    return true;
  }
  if (word.size() % 2 != 0) return false;
  for (size_t i = 0; i < word.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(HexDigit(word[i]) * 16 + HexDigit(word[i + 1])));
  return true;
}

// A decimal number from 1 to `high`.
bool ParseCount(const std::wstring& word, uint32_t high, uint32_t& out) {
  if (word.empty() || word.size() > 9) return false;
  uint32_t value = 0;
  for (wchar_t c : word) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + static_cast<uint32_t>(c - L'0');
  }
  if (value < 1 || value > high) return false;
  out = value;
  return true;
}

SimCommandParse Fail(std::wstring error) { return {std::nullopt, std::move(error)}; }

}  // namespace

SimCommandParse ParseSimCommand(std::wstring_view text) {
  const std::vector<std::wstring> words = SplitWords(text);
  if (words.empty()) return Fail(L"empty command");
  const std::wstring& verb = words[0];
  SimCommand command;
  if (verb == L"notify") {
    if (words.size() != 3) return Fail(L"usage: notify <code> <value>");
    command.kind = SimCommandKind::Notify;
    if (!ParseByteNumber(words[1], command.code)) return Fail(L"notify: code must be 0..255, not \"" + words[1] + L"\"");
    if (!ParseByteNumber(words[2], command.value))
      return Fail(L"notify: value must be 0..255, not \"" + words[2] + L"\"");
    return {command, L""};
  }
  if (verb == L"raw") {
    if (words.size() < 2) return Fail(L"usage: raw <hex bytes>");
    command.kind = SimCommandKind::Raw;
    for (size_t i = 1; i < words.size(); ++i)
      if (!AppendHexWord(words[i], command.report)) return Fail(L"raw: \"" + words[i] + L"\" is not hex bytes");
    if (command.report.size() > kSimRawReportMax) return Fail(L"raw: a report holds at most 40 bytes");
    return {command, L""};
  }
  if (verb == L"unplug" || verb == L"plug" || verb == L"reenumerate") {
    if (words.size() != 1) return Fail(verb + L" takes no arguments");
    command.kind = verb == L"plug"          ? SimCommandKind::Plug
                   : verb == L"reenumerate" ? SimCommandKind::Reenumerate
                                            : SimCommandKind::Unplug;
    return {command, L""};
  }
  if (verb == L"silent") {
    if (words.size() != 2 || (words[1] != L"on" && words[1] != L"off")) return Fail(L"usage: silent on|off");
    command.kind = SimCommandKind::Silent;
    command.on = words[1] == L"on";
    return {command, L""};
  }
  if (verb == L"stall") {
    command.kind = SimCommandKind::Stall;
    if (words.size() == 2 && words[1] == L"off") return {command, L""};
    if (words.size() != 3) return Fail(L"usage: stall <count> <ms> | stall off");
    if (!ParseCount(words[1], 100000, command.count))
      return Fail(L"stall: count must be 1..100000, not \"" + words[1] + L"\"");
    if (!ParseCount(words[2], 600000, command.milliseconds))
      return Fail(L"stall: ms must be 1..600000, not \"" + words[2] + L"\"");
    return {command, L""};
  }
  return Fail(L"unknown command \"" + verb + L"\" (notify, raw, unplug, plug, reenumerate, silent, stall)");
}

std::wstring JoinSimCommand(const std::vector<std::wstring>& words) {
  std::wstring text;
  for (const std::wstring& w : words) {
    if (!text.empty()) text += L' ';
    text += w;
  }
  return text;
}

}  // namespace kovral
