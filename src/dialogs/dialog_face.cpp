#include "dialogs/dialog_face.h"

#include "ui/skin_files.h"

namespace kovral {

Scene BuildDialogScene(const wchar_t* background, const DialogFrameTexts& texts, ui::Rgb textColor,
                       const LitTest& lit, const std::function<void(Scene&)>& ownTexts) {
  Scene scene;
  scene.AddImage(background, {0, 0, layout::kDialogSize.width, layout::kDialogSize.height});
  const auto frame = layout::DialogFrameElements();
  auto look = [&](const layout::Element& e) { return lit && lit(e) ? e.overImage : e.normalImage; };
  for (const layout::Element& e : frame)
    if (e.action != layout::Action::DialogClose) scene.AddImage(look(e), e.rect);
  scene.AddText(texts.ok, layout::kDialogOk, ui::kTextCentre, textColor);
  scene.AddText(texts.cancel, layout::kDialogCancel, ui::kTextCentre, textColor);
  if (ownTexts) ownTexts(scene);
  for (const layout::Element& e : frame)
    if (e.action == layout::Action::DialogClose) scene.AddImage(look(e), e.rect);
  return scene;
}

ControlColors DialogControlColors(layout::DialogKind kind, ControlType type) {
  using C = ControlColors;
  using K = layout::DialogKind;
  C dark;
  dark.text = C::Text::White;
  dark.background = C::Background::Opaque;
  dark.backgroundColor = kDialogGrey;
  dark.normalFont = true;
  dark.brush = C::Brush::Solid;
  dark.brushColor = kDialogGrey;
  C clear = dark;
  clear.background = C::Background::Transparent;
  switch (type) {
    case ControlType::Edit:
      return kind == K::Media || kind == K::Windows ? C{} : dark;
    // A list box paints its entries over its background colour, so a list
    // with white text needs the grey set too, or its entries are white on white.
    case ControlType::ListBox:
      return kind == K::Combo || kind == K::FireKey || kind == K::Media || kind == K::Windows || kind == K::Macro ||
                     kind == K::Skins || kind == K::Profiles || kind == K::Preferences
                 ? dark
                 : C{};
    case ControlType::Static:
      return kind == K::DelayTime ? C{} : clear;
    default:
      return C{};
  }
}

FrameClick RouteFrameClick(layout::Point p) {
  const layout::Element* hit = layout::HitTest(layout::DialogFrameElements(), p);
  if (!hit) return FrameClick::None;
  return hit->action == layout::Action::DialogOk ? FrameClick::Ok : FrameClick::Cancel;
}

}  // namespace kovral
