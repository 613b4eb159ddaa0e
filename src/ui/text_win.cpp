#include "ui/text_win.h"

#include <algorithm>

#include "ui/text_fit.h"

namespace kovral::ui {

OwnedFont CreateSkinFont(int height, int weight, const wchar_t* face) {
  return OwnedFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, kFontPitchAndFamily, face));
}

WindowsVersion CurrentWindowsVersion() {
  const DWORD version = GetVersion();
  return {static_cast<unsigned>(LOBYTE(LOWORD(version))), static_cast<unsigned>(HIBYTE(LOWORD(version)))};
}

void DrawSkinText(HDC dc, std::wstring_view text, const RECT& rect, unsigned format, Rgb color, HFONT font) {
  if (dc == nullptr) return;
  ScopedSelectObject selectFont(dc, font);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, ColorRefOf(color));
  RECT box = rect;
  if (format & DT_WORDBREAK) {
    // Measure the wrapped lines, then shrink the box to them evenly above and below.
    RECT measured = rect;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    // Lines that need more height than the box has grow it evenly rather
    // than lose their last words.
    const int spare = (rect.bottom - rect.top) - (measured.bottom - measured.top);
    box.top += spare / 2;
    box.bottom -= spare - spare / 2;
  }
  // A single line a little too wide is drawn in a narrower font of the same face.
  OwnedFont narrower;
  if (!(format & (DT_WORDBREAK | DT_END_ELLIPSIS))) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    const int stretch = StretchToFit(size.cx, box.right - box.left);
    LOGFONTW face{};
    TEXTMETRICW metrics{};
    if (stretch < 100 && font && GetObjectW(font, sizeof(face), &face) && GetTextMetricsW(dc, &metrics)) {
      face.lfWidth = std::max(1, static_cast<int>(metrics.tmAveCharWidth * stretch / 100));
      narrower = OwnedFont(CreateFontIndirectW(&face));
    }
  }
  ScopedSelectObject selectNarrower(dc, narrower ? narrower.get() : font);
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box, format);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

}  // namespace kovral::ui
