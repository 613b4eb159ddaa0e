#include <QColorDialog>
#include <QWidget>

#include "ui/color_chooser.h"

namespace kovral {
namespace {

// The system colour dialog of the desktop Qt runs on, opened at the colour
// in use; its "OK" gives the colour, anything else is a cancel.
class QtColorChooser final : public ColorChooser {
 public:
  std::optional<ui::Rgb> Choose(void* owner, ui::Rgb initial) override {
    const QColor chosen = QColorDialog::getColor(QColor(initial.red, initial.green, initial.blue),
                                                 static_cast<QWidget*>(owner));
    if (!chosen.isValid()) return std::nullopt;
    return ui::Rgb{static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                   static_cast<uint8_t>(chosen.blue())};
  }
};

}  // namespace

std::unique_ptr<ColorChooser> MakeSystemColorChooser() { return std::make_unique<QtColorChooser>(); }

}  // namespace kovral
