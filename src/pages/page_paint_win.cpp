#include "pages/page_paint_win.h"

#include "pages/layout_win.h"
#include "pages/page_state.h"
#include "ui/skin_files.h"
#include "ui/skin_image_win.h"
#include "ui/skin_path.h"
#include "ui/text_win.h"

namespace kovral {
namespace {

const wchar_t* Background(int page) {
  if (page == kBasicPage) return skin::kBasicPage;
  if (page == kAdvancedPage) return skin::kAdvancedPage;
  return skin::kMain;
}

const wchar_t* Title(int page, const MainTexts& texts) {
  return page == kAdvancedPage ? texts.advancedTitle : texts.basicTitle;
}

void DrawImage(HDC dc, const PagePaintContext& c, const wchar_t* file, int x, int y) {
  if (file) DrawPng(dc, SkinImagePath(c.skinFolder, file), x, y);
}

using LitTest = std::function<bool(const layout::Element&)>;

// The page inside `clip` in the page painter's order: background, element
// images, title, labels. Composing a hover change the same way keeps a
// button's pixels identical to a full paint, also where rectangles share a
// column (OK and Apply at x = 617).
void Compose(HDC dc, const PagePaintContext& c, const RECT& clip, const LitTest& lit) {
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  DrawImage(dc, c, Background(c.currentPage), 0, 0);
  for (const layout::Element& e : layout::CommonElements())
    DrawImage(dc, c, lit(e) ? e.overImage : e.normalImage, e.rect.left, e.rect.top);
  ui::DrawSkinText(dc, Title(c.currentPage, *c.texts), layout::ToRECT(layout::kPageTitle), ui::kTextLeft,
                   ui::kTitleColor, c.titleFont);
  for (const layout::Element& e : layout::CommonElements()) {
    const wchar_t* label = ElementLabel(e, *c.texts);
    if (label && *label)
      ui::DrawSkinText(dc, label, layout::ToRECT(e.rect), e.labelFormat, c.textColor, c.normalFont);
  }
  RestoreDC(dc, saved);
}

}  // namespace

const wchar_t* ElementLabel(const layout::Element& e, const MainTexts& t) {
  using layout::Label;
  switch (e.label) {
    case Label::Ok: return t.ok;
    case Label::Apply: return t.apply;
    case Label::Cancel: return t.cancel;
    case Label::WebLink: return t.webLink;
    case Label::KeyDefault: return t.keyDefault;
    case Label::ModeA: return t.modeNames[0];
    case Label::ModeB: return t.modeNames[1];
    case Label::PointerDefault: return t.advancedDefault;
    case Label::MacroNew: return t.newMacro;
    case Label::MacroDelete: return t.deleteMacro;
    case Label::MacroConfirm: return t.confirmMacro;
    case Label::KeyRow:  // a row shows its number and its button's text, drawn by the basic page
    case Label::None: return L"";
  }
  return L"";
}

void PaintCommonPage(const PagePaintContext& c) {
  SurfaceDrawing drawing(c.window, c.canvas);
  if (!drawing.hasSurface()) return;
  RECT client;
  GetClientRect(c.window, &client);
  Compose(drawing.dc(), c, client, [](const layout::Element&) { return false; });
}

void DrawElementLooks(const PagePaintContext& c, const HoverTracker::Redraw& redraw, const HoverTracker& tracker) {
  SurfaceDrawing drawing(c.window, c.canvas);
  if (!drawing.hasSurface()) return;
  const LitTest lit = [&](const layout::Element& e) { return layout::IsHoverable(e) && tracker.IsLit(&e); };
  for (const layout::Element* e : redraw.normals) Compose(drawing.dc(), c, layout::ToRECT(e->rect), lit);
  if (redraw.over) Compose(drawing.dc(), c, layout::ToRECT(redraw.over->rect), lit);
}

}  // namespace kovral
