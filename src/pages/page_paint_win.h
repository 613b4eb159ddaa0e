#pragma once
// Painting the main window's pages into the canvas: the page background and
// the elements both pages share (window buttons, tabs, OK/Apply/Cancel with
// their labels, the web link, the page title), and the hover looks.
#include <windows.h>

#include <functional>
#include <string>

#include "lang/main_texts.h"
#include "pages/layout.h"
#include "pages/page_hover.h"
#include "ui/text_style.h"

namespace kovral {

struct PagePaintContext {
  HWND window = nullptr;
  HBITMAP canvas = nullptr;  // null: drawing lands in a throw-away buffer
  std::wstring skinFolder;
  HFONT normalFont = nullptr;
  HFONT titleFont = nullptr;
  ui::Rgb textColor;
  const MainTexts* texts = nullptr;
  int currentPage = 0;
};

// The whole page named by currentPage (1 basic, 2 advanced), then the canvas
// goes to the window.
void PaintCommonPage(const PagePaintContext& context);

// Hover changes: the rectangles of the elements in `redraw` are composed
// again exactly as the whole page paints them, except that every element the
// tracker holds lit shows its over look; then the canvas goes to the window.
void DrawElementLooks(const PagePaintContext& context, const HoverTracker::Redraw& redraw,
                      const HoverTracker& tracker);

// The text an element carries in the current language; empty for none.
const wchar_t* ElementLabel(const layout::Element& element, const MainTexts& texts);

}  // namespace kovral
