#pragma once
// Asking the user for a colour (the system colour dialog). The simulated-
// mouse mode can answer it with a fixed colour instead, so end-to-end tests
// need not work the system dialog.
#include <memory>
#include <optional>

#include "ui/text_style.h"

namespace kovral {

class ColorChooser {
 public:
  virtual ~ColorChooser() = default;
  // The chosen colour, or nothing when the user cancelled. `owner` is the
  // window the dialog belongs to (an HWND on Windows).
  virtual std::optional<ui::Rgb> Choose(void* owner, ui::Rgb initial) = 0;
};

// Always gives the same answer: a colour, or Cancel.
class FixedColorChooser final : public ColorChooser {
 public:
  explicit FixedColorChooser(std::optional<ui::Rgb> answer) : answer_(answer) {}
  std::optional<ui::Rgb> Choose(void*, ui::Rgb) override { return answer_; }

 private:
  std::optional<ui::Rgb> answer_;
};

// The system colour dialog (Win32 build only).
std::unique_ptr<ColorChooser> MakeSystemColorChooser();

}  // namespace kovral
