#pragma once
// What every skinned dialog shows and how it colours its controls: the face
// picture, OK and Cancel with their texts, the dialog's own texts and the
// close cross, in that order.
#include <functional>

#include "view/control_colors.h"
#include "lang/dialog_texts.h"
#include "view/layout.h"
#include "view/scene.h"

namespace kovral {

// `ownTexts` adds the dialog's own texts between the buttons and the cross.
Scene BuildDialogScene(const wchar_t* background, const DialogFrameTexts& texts, ui::Rgb textColor,
                       const LitTest& lit, const std::function<void(Scene&)>& ownTexts = {});

// The colour answer for a control of a dialog. Edits and lists paint on dark
// grey (0x282828) with white text; statics are white on a transparent
// background; what a dialog has no rule for keeps the default.
ControlColors DialogControlColors(layout::DialogKind kind, ControlType type);

// Where a click on the frame goes: the first of OK, Cancel, the close cross
// whose rectangle holds it (OK and Cancel share the column x = 270).
enum class FrameClick { None, Ok, Cancel };
FrameClick RouteFrameClick(layout::Point p);

inline constexpr ui::Rgb kDialogGrey{0x28, 0x28, 0x28};

}  // namespace kovral
