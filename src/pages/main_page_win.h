#pragma once
// One page of the main window as an object: it owns its child controls, its
// open lists and whatever else lives only while it is shown, and it is made
// when the page is shown and destroyed when the other page is. The main
// dialog stays the only message loop: it hands the page the clicks the
// common part passes on, its commands, and asks it for its scene.
#include <windows.h>

#include <functional>
#include <span>
#include <vector>

#include "base/handles_win.h"
#include "base/message_sink.h"
#include "dialogs/dialog_environment.h"
#include "view/layout.h"
#include "pages/page_click.h"
#include "pages/page_scene.h"

namespace kovral {

class ColorChooser;
struct DeviceImage;
struct DeviceLink;
struct MainTexts;
struct PageState;
class SettingsSession;
class SystemPointerSettings;

// Work a page left for after the notification that asked for it (a modal
// dialog must not run inside a list's own click); the host hands wParam and
// lParam to the page's OnContinue.
inline constexpr UINT WM_PAGE_CONTINUE = WM_APP + 4;

// What a page may use of what the main dialog owns for the whole run.
struct PageContext {
  HWND window = nullptr;
  SettingsSession& settings;
  const MainTexts& texts;
  DeviceLink& link;
  DeviceImage& image;
  PageState& pages;
  SystemPointerSettings& pointer;
  MessageSink& messages;
  ColorChooser& colors;
  // The host's font, read when a control is made: a DPI change makes a new one.
  const HFONT& normalFont;
  DialogEnvironment dialogs;
  // Paints the given rectangles of the page's scene again.
  std::function<void(std::span<const layout::Rect>)> repaint;
};

class CPage {
 public:
  explicit CPage(const PageContext& context) : context_(context) {}
  virtual ~CPage() = default;
  CPage(const CPage&) = delete;
  CPage& operator=(const CPage&) = delete;

  virtual int Id() const = 0;
  // The page's elements in its click order; their hoverable ones join the
  // common elements' hover look while the page is shown.
  virtual std::span<const layout::Element> Elements() const = 0;
  virtual Scene BuildScene(const PageView& view, const LitTest& lit) const = 0;

  // Before the first full paint of this showing (reads the page needs first).
  virtual void Prepare() {}
  // After the full paint: the child controls the page shows.
  virtual void CreateChildren() {}
  // The page's part of a click at p (client coordinates).
  virtual PageClickResult OnClick(layout::Point p) = 0;
  // WM_COMMAND from one of the page's controls; false when not the page's.
  virtual bool OnCommand(int controlId, int code) { return false; }
  // Whether the list with this id follows the pointer while open.
  virtual bool HotTracks(int controlId) const = 0;
  // The pointer made entry `item` of that list its selection.
  virtual void OnHotItem(int controlId, int item) {}
  // What the page posted with WM_PAGE_CONTINUE.
  virtual void OnContinue(WPARAM wParam, LPARAM lParam) {}
  // A macro recording holds the keyboard.
  virtual bool Recording() const { return false; }
  // OK and Apply are coming: boxes still being typed in take their value.
  virtual void CommitEdits() {}

 protected:
  // Takes a child window for the life of the page.
  HWND Adopt(HWND child) {
    if (child) children_.emplace_back(child);
    return child;
  }

  PageContext context_;

 private:
  std::vector<OwnedWindow> children_;
};

}  // namespace kovral
