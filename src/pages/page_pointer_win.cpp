#include <windows.h>

#include "pages/page_pointer.h"

namespace kovral {
namespace {

// Speed, wheel lines and acceleration last until the user logs off (they are
// not written to the profile); the double-click time is saved as well.
class Win32PointerSettings final : public PointerSettingsApi {
 public:
  bool GetMouse(int& threshold1, int& threshold2, int& acceleration) override {
    int params[3] = {0, 0, 0};
    if (!SystemParametersInfoW(SPI_GETMOUSE, 0, params, 0)) return false;
    threshold1 = params[0];
    threshold2 = params[1];
    acceleration = params[2];
    return true;
  }
  bool GetMouseSpeed(int& speed) override {
    int value = 0;
    if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &value, 0)) return false;
    speed = value;
    return true;
  }
  bool GetWheelScrollLines(uint32_t& lines) override {
    UINT value = 0;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &value, 0)) return false;
    lines = value;
    return true;
  }
  bool GetDoubleClickTime(uint32_t& milliseconds) override {
    const UINT value = ::GetDoubleClickTime();
    if (value == 0) return false;
    milliseconds = value;
    return true;
  }
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
