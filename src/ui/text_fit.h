#pragma once
// Fitting a text into a box of a few lines, measured by the caller's font:
// where each line breaks, and where the text is cut when it needs more lines
// than the box has.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kovral::ui {

// The width a text takes, in the same pixels as the box.
using MeasureText = std::function<int(std::wstring_view)>;

// The lines of `text` in a box `width` wide with room for `maxLines`:
// broken after a space where one is on the line (the space dropped),
// otherwise within the word (a long name, Chinese without spaces). Text that
// needs more lines ends the last line with "…" where it fits. Empty text
// gives no lines; at least one character stands on every line.
std::vector<std::wstring> FitLines(std::wstring_view text, int width, int maxLines, const MeasureText& measure);

// A single line a little wider than its box (a heading whose face on this
// system runs wider than the one the skin was drawn for) is drawn narrower
// rather than cut at both ends: the horizontal stretch in percent, 100 when
// it fits, never below kMinTextStretch; a text that needs more is cut.
inline constexpr int kMinTextStretch = 80;
int StretchToFit(int textWidth, int boxWidth);

}  // namespace kovral::ui
