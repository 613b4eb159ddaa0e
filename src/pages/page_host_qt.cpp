#include "pages/page_host_qt.h"

#include <QMetaObject>
#include <QTimer>

#include <cstdio>

#include "assign/key_names.h"
#include "view/page_hover.h"

namespace kovral {

PageHostQt::PageHostQt(const PageHostQtServices& services)
    : services_(services), host_(*this, services.settings, services.link, services.image, services.pointer) {
  // Until the settings are loaded the pages speak English.
  look_.texts = &MainTextsFor(UiLanguage::English);
}

PageHostQt::~PageHostQt() { DestroyControls(); }

void PageHostQt::SetLook(PageLookQt look) {
  if (!look.texts) look.texts = look_.texts;
  look_ = std::move(look);
  host_.SetLook(*look_.texts, look_.textColor);
  const ControlLook controls = ControlLookNow();
  for (auto& [id, control] : controls_) {
    if (!control.widget) continue;
    control.widget->setFont(controls.normalFont);
    RefreshSwatch(id);
  }
}

void PageHostQt::MouseMove(layout::Point p) {
  lastPointer_ = p;
  host_.MouseMove(p);
}

// The hover notice comes once the pointer rested, at the place it rests.
void PageHostQt::RequestHover() {
  if (hoverPending_) return;
  hoverPending_ = true;
  QTimer::singleShot(static_cast<int>(kHoverTimeMs), &services_.window, [this] {
    hoverPending_ = false;
    host_.MouseHover(lastPointer_);
  });
}

// The page's scene over the window's own picture (MainWindowQt keeps that).
void PageHostQt::Paint() {
  if (!host_.HasPage() || !look_.texts) return;
  services_.window.SetScene(host_.BuildScene(false));
}

// Qt draws the window in one piece: the rectangles are drawn anew as part
// of the whole scene, with the hover looks.
void PageHostQt::Repaint(std::span<const layout::Rect> rects) {
  if (!host_.HasPage() || !look_.texts || rects.empty()) return;
  services_.window.SetScene(host_.BuildScene(true));
}

// A dialog must not run inside a list's own signal: the work waits for the
// event loop.
void PageHostQt::ContinueLater(int what, int detail) {
  QMetaObject::invokeMethod(
      &services_.window, [this, what, detail] { host_.Continue(what, detail); }, Qt::QueuedConnection);
}

std::optional<ui::Rgb> PageHostQt::ChooseColor(ui::Rgb initial) {
  return services_.colors.Choose(&services_.window, initial);
}

void PageHostQt::ShowMessage(const std::wstring& text, const std::wstring& caption) {
  services_.messages.Show(text, caption);
}

// Without a global keyboard hook on X11 or Wayland the recording hears the
// keys that reach the program's window.
std::optional<int> PageHostQt::StartKeyCapture() {
  capturing_ = true;
  return std::nullopt;
}

void PageHostQt::StopKeyCapture() { capturing_ = false; }

bool PageHostQt::CapturedKey(int code, bool released, bool autoRepeat) {
  if (!capturing_) return false;
  // A repeated key: X sends a release before every repeat, which is no
  // release of the key.
  if (released && autoRepeat) return true;
  std::wstring name;
  if (const wchar_t* known = code >= 0 ? KeyNameOfEvdevCode(static_cast<unsigned>(code)) : nullptr) name = known;
  if (name.empty()) {
    wchar_t fallback[32];
    std::swprintf(fallback, 32, L"key code :%x", static_cast<unsigned>(code));
    name = fallback;
  }
  host_.Key(name, released, released || autoRepeat);
  return true;
}

}  // namespace kovral
