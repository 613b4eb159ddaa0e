#pragma once
// One page of the main window as the host sees it: made when the page is
// shown and destroyed when the other one is. It decides what its controls
// show and what each event does; it reaches the window only through the
// shell.
#include <span>
#include <string>

#include "pages/page_click.h"
#include "pages/page_scene.h"
#include "pages/page_shell.h"
#include "ui/list_choice.h"
#include "view/layout.h"

namespace kovral {

struct DeviceImage;
struct DeviceLink;
struct PageState;
class SettingsSession;
class SystemPointerSettings;

// What a page may use of what the main window owns for the whole run.
struct PageContext {
  PageShell& shell;
  SettingsSession& settings;
  const MainTexts& texts;
  DeviceLink& link;
  DeviceImage& image;
  PageState& pages;
  SystemPointerSettings& pointer;
};

class Page {
 public:
  virtual ~Page() = default;

  virtual int Id() const = 0;
  // The page's elements in its click order; their hoverable ones join the
  // common elements' hover look while the page is shown.
  virtual std::span<const layout::Element> Elements() const = 0;
  virtual Scene BuildScene(const PageView& view, const LitTest& lit) const = 0;

  // Before the first full paint of this showing (reads the page needs first).
  virtual void Prepare() {}
  // After the full paint: the controls the page shows.
  virtual void CreateChildren() {}
  // The other page is coming: what outlives the controls ends now.
  virtual void Leave() {}
  // The page's part of a click at p; the rectangles to paint again after it.
  virtual PageClickResult Click(layout::Point p) = 0;
  // An event of one of the page's lists, `selection` being its highlighted entry.
  virtual void ListEvent(int listId, ui::ListEvent event, int selection) {}
  // The user changed an edit box; an edit box lost the keyboard.
  virtual void EditChanged(int editId) {}
  virtual void EditLeft(int editId) {}
  // The pointer made entry `item` of a hot-tracking list its selection.
  virtual void HotItem(int listId, int item) {}
  // What the page asked the shell to continue later.
  virtual void Continue(int what, int detail) {}
  // A keystroke while the page captures keys.
  virtual void Key(const std::wstring& name, bool released, bool wasDown) {}
  // A macro recording holds the keyboard.
  virtual bool Recording() const { return false; }
  // OK and Apply are coming: boxes still being typed in take their value.
  virtual void CommitEdits() {}
};

}  // namespace kovral
