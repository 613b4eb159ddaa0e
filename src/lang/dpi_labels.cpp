#include "lang/dpi_labels.h"

namespace kovral {

const std::vector<std::wstring>& DpiStepLabels(uint8_t sensorType) {
  static const std::vector<std::wstring> kType1{L"600",  L"800",  L"1000", L"1200",
                                                L"1600", L"2000", L"2400", L"3200"};
  static const std::vector<std::wstring> kType2{L"250",  L"500",  L"750",  L"1000",
                                                L"1250", L"1500", L"2000", L"2500"};
  static const std::vector<std::wstring> kType3{L"400",  L"800",  L"1200", L"1600",
                                                L"2000", L"2400", L"2800", L"3200"};
  static const std::vector<std::wstring> kTwelve{L"250",  L"500",  L"750",  L"1000",
                                                 L"1250", L"1500", L"1750", L"2000",
                                                 L"2500", L"3000", L"3500", L"4000"};
  switch (sensorType) {
    case 1: return kType1;
    case 2: return kType2;
    case 3: return kType3;
    default: return kTwelve;
  }
}

// dpiLevel comes from config.bin and can hold any byte, and an eight-level
// sensor leaves levels 9..12 without a label; such a level names nothing
// rather than a text beyond the list.
std::wstring DpiLevelLabel(uint8_t sensorType, uint8_t dpiLevel) {
  if (sensorType > 3) return {};
  const std::vector<std::wstring>& labels = DpiStepLabels(sensorType);
  return dpiLevel < labels.size() ? labels[dpiLevel] : std::wstring();
}

}  // namespace kovral
