#pragma once
// What each page of the main window shows for a given record: the scene a
// full paint draws, and the same with some elements in their hover look.
#include <cstdint>
#include <functional>

#include "lang/main_texts.h"
#include "view/layout.h"
#include "view/scene.h"
#include "settings/device_config.h"
#include "settings/ui_settings.h"

namespace kovral {

// Everything a page's picture depends on.
struct PageView {
  const DeviceConfig& config;
  const UiSettings& ui;  // the rows' button texts
  const MainTexts& texts;
  uint8_t sensorType = 0;  // chooses the DPI level table
  ui::Rgb textColor;
};

Scene BuildBasicScene(const PageView& view, const LitTest& lit = {});
Scene BuildAdvancedScene(const PageView& view, const LitTest& lit = {});
// By page state: 1 basic, 2 advanced; any other state has no page (the
// window then shows its canvas as loaded).
Scene BuildPageScene(int page, const PageView& view, const LitTest& lit = {});

// The text an element carries in the current language; empty for none.
const wchar_t* ElementLabel(const layout::Element& element, const MainTexts& texts);

// The mode whose buttons the key rows show: Mode B for 1, Mode A otherwise.
int EditedMode(const DeviceConfig& config);
// The report-rate segment 1..4 that shows a stored value; 1000 Hz for any
// value the selector does not offer.
int ReportRateSegment(uint8_t reportRate);

}  // namespace kovral
