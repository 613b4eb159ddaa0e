#include <windows.h>

#include "pages/page_pointer.h"

namespace kovral {
namespace {

// Speed, wheel lines and acceleration last until the user logs off (they are
// not written to the profile); the double-click time is saved as well.
class Win32PointerSettings final : public PointerSettingsApi {
 public:
  bool SetMouse(int threshold1, int threshold2, int acceleration) override {
    int params[3] = {threshold1, threshold2, acceleration};
    return SystemParametersInfoW(SPI_SETMOUSE, 0, params, SPIF_SENDCHANGE) != FALSE;
  }
  bool SetMouseSpeed(int speed) override {
    return SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(speed)),
                                 SPIF_SENDCHANGE) != FALSE;
  }
  bool SetWheelScrollLines(uint32_t lines) override {
    return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, SPIF_SENDCHANGE) != FALSE;
  }
  bool SetDoubleClickTime(uint32_t milliseconds) override {
    return SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, milliseconds, nullptr,
                                 SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
  }
};

}  // namespace

std::unique_ptr<PointerSettingsApi> MakeSystemPointerSettings() { return std::make_unique<Win32PointerSettings>(); }

}  // namespace kovral
