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

}  // namespace kovral::ui
