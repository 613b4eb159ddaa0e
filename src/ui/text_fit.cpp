#include "ui/text_fit.h"

namespace kovral::ui {
namespace {

constexpr wchar_t kEllipsis = L'\u2026';

// How many characters from the start fit in `width` (at least one).
std::size_t FittingLength(std::wstring_view text, int width, const MeasureText& measure) {
  std::size_t low = 1, high = text.size();
  while (low < high) {
    const std::size_t mid = (low + high + 1) / 2;
    if (measure(text.substr(0, mid)) <= width) low = mid;
    else high = mid - 1;
  }
  return low;
}

}  // namespace

std::vector<std::wstring> FitLines(std::wstring_view text, int width, int maxLines, const MeasureText& measure) {
  std::vector<std::wstring> lines;
  while (!text.empty() && static_cast<int>(lines.size()) < maxLines) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    if (text.empty()) break;
    const bool last = static_cast<int>(lines.size()) + 1 == maxLines;
    if (measure(text) <= width) {
      lines.emplace_back(text);
      return lines;
    }
    if (last) {
      // The rest does not fit: as much as fits with the ellipsis after it.
      std::size_t keep = FittingLength(text, width, [&](std::wstring_view part) {
        return measure(std::wstring(part) + kEllipsis);
      });
      if (measure(std::wstring(text.substr(0, keep)) + kEllipsis) > width) keep = 0;
      std::wstring line(text.substr(0, keep));
      while (!line.empty() && line.back() == L' ') line.pop_back();
      lines.push_back(line + kEllipsis);
      return lines;
    }
    std::size_t fits = FittingLength(text, width, measure);
    // Break after the last space that fits, when the next word does not
    // start the rest already.
    if (fits < text.size() && text[fits] != L' ') {
      const std::size_t space = text.substr(0, fits).rfind(L' ');
      if (space != std::wstring_view::npos && space > 0) fits = space;
    }
    std::wstring line(text.substr(0, fits));
    while (!line.empty() && line.back() == L' ') line.pop_back();
    lines.push_back(std::move(line));
    text.remove_prefix(fits);
  }
  return lines;
}

int StretchToFit(int textWidth, int boxWidth) {
  if (textWidth <= boxWidth || textWidth <= 0 || boxWidth <= 0) return 100;
  // Rounded down, so the narrowed text is no wider than the box.
  const int stretch = static_cast<int>(static_cast<long long>(boxWidth) * 100 / textWidth);
  return stretch < kMinTextStretch ? 100 : stretch;
}

}  // namespace kovral::ui
