#include "app/launch_options.h"

#include <cstdint>
#include <cwchar>

namespace kovral {
namespace {

// A whole decimal number from lowest to highest, digits only.
bool ParseWhole(const std::wstring& text, int lowest, int highest, int& value) {
  if (text.empty() || text.size() > 6) return false;
  int v = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    v = v * 10 + (c - L'0');
  }
  if (v < lowest || v > highest) return false;
  value = v;
  return true;
}

// The sensor type is one byte on the wire.
bool ParseByte(const std::wstring& text, int& value) { return text.size() <= 3 && ParseWhole(text, 0, 255, value); }

// Six hexadecimal digits, red first.
std::optional<ui::Rgb> ParseColor(const std::wstring& text) {
  if (text.size() != 6) return std::nullopt;
  unsigned value = 0;
  for (wchar_t c : text) {
    int digit = -1;
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
    if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return ui::Rgb{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

}  // namespace

const wchar_t* LaunchUsage() {
  return L"Usage: KALVORIN_DRX_Driver.exe [--simulate [--sensor-type N] [--shell-log FILE] [--pick-color RRGGBB|cancel] [--check faults|soak FILE [--check-cycles N] [--check-every N]]] [--trace FILE]";
}

// Options are taken in any order. --sensor-type is refused without
// --simulate: silently ignoring it would make a test believe it ran against a
// sensor it never got. --trace also works with the real mouse, for diagnosis.
LaunchParse ParseLaunchOptions(const std::vector<std::wstring>& args) {
  LaunchOptions options;
  bool sensorGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    if (a == L"--simulate") {
      options.simulate = true;
    } else if (a == L"--sensor-type") {
      if (i + 1 >= args.size()) return {std::nullopt, L"--sensor-type needs a number from 0 to 255."};
      if (!ParseByte(args[i + 1], options.sensorType))
        return {std::nullopt, L"--sensor-type needs a number from 0 to 255, not \"" + args[i + 1] + L"\"."};
      sensorGiven = true;
      ++i;
    } else if (a == L"--trace") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return {std::nullopt, L"--trace needs a file name."};
      options.traceFile = args[i + 1];
      ++i;
    } else if (a == L"--shell-log") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return {std::nullopt, L"--shell-log needs a file name."};
      options.shellLog = args[i + 1];
      ++i;
    } else if (a == L"--pick-color") {
      if (i + 1 >= args.size()) return {std::nullopt, L"--pick-color needs RRGGBB or cancel."};
      const std::wstring& answer = args[++i];
      options.pickColorCancel = answer == L"cancel";
      options.pickColor = ParseColor(answer);
      if (!options.pickColor && !options.pickColorCancel)
        return {std::nullopt, L"--pick-color needs RRGGBB or cancel, not \"" + answer + L"\"."};
    } else if (a == L"--check") {
      if (i + 2 >= args.size() || !CheckPlanFromName(args[i + 1]) || args[i + 2].empty())
        return {std::nullopt, L"--check needs faults or soak and a report file."};
      options.check = CheckPlanFromName(args[i + 1]);
      options.checkLog = args[i + 2];
      i += 2;
    } else if (a == L"--check-cycles") {
      int cycles = 0;
      if (i + 1 >= args.size() || !ParseWhole(args[i + 1], 1, 100000, cycles))
        return {std::nullopt, L"--check-cycles needs a number from 1 to 100000."};
      options.checkCycles = cycles;
      ++i;
    } else if (a == L"--check-every") {
      int every = 0;
      if (i + 1 >= args.size() || !ParseWhole(args[i + 1], 1, 1000, every))
        return {std::nullopt, L"--check-every needs a number from 1 to 1000."};
      options.checkEvery = every;
      ++i;
    } else {
      return {std::nullopt, L"Unknown argument \"" + a + L"\"."};
    }
  }
  if (sensorGiven && !options.simulate) return {std::nullopt, L"--sensor-type works only with --simulate."};
  // A real run must open the link; only a simulated one may be told not to.
  if (!options.shellLog.empty() && !options.simulate)
    return {std::nullopt, L"--shell-log works only with --simulate."};
  if ((options.pickColor || options.pickColorCancel) && !options.simulate)
    return {std::nullopt, L"--pick-color works only with --simulate."};
  // The checks break the mouse on purpose: never the real one.
  if (options.check && !options.simulate) return {std::nullopt, L"--check works only with --simulate."};
  return {options, L""};
}

LaunchDecision DecideLaunch(bool anotherCopyRuns, const std::vector<std::wstring>& args) {
  LaunchDecision decision;
  if (anotherCopyRuns) return decision;  // silent, exit code 0
  LaunchParse parse = ParseLaunchOptions(args);
  if (!parse.options) {
    decision.exitCode = 2;
    decision.message = parse.error + L"\n\n" + LaunchUsage();
    return decision;
  }
  decision.run = true;
  decision.options = std::move(*parse.options);
  return decision;
}

}  // namespace kovral
