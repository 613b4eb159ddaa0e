#pragma once
// One small base for windows and dialogs. A static thunk binds the object
// to its window (WM_NCCREATE for windows, WM_INITDIALOG for dialogs) and
// hands every message to the class's own message table, which maps a
// message, or a control id and notification code, to a member handler with
// typed arguments. What no entry handles goes to one default.
//
//   class CFooDialog : public ui::Dialog {
//     ui::MsgResult Route(UINT m, WPARAM w, LPARAM l) override { return ui::Dispatch(*this, Messages(), m, w, l); }
//     static std::span<const ui::MessageEntry<CFooDialog>> Messages();
//     void OnLButtonDown(POINT pt, WPARAM keys);
//     void OnListChange(int id, int code);
//   };
//   std::span<const ui::MessageEntry<CFooDialog>> CFooDialog::Messages() {
//     using M = ui::MessageMap<CFooDialog>;
//     static constexpr ui::MessageEntry<CFooDialog> kTable[] = {
//         M::Mouse<&CFooDialog::OnLButtonDown>(WM_LBUTTONDOWN),
//         M::Command<&CFooDialog::OnListChange>(515, LBN_SELCHANGE),
//     };
//     return kTable;
//   }
//
// Handlers may return void (handled, result 0), MsgResult (their own say),
// bool (handled when true), a pointer such as HBRUSH (handled when not
// null) or an integer result (handled with that value).
#include <windows.h>
#include <windowsx.h>

#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "ui/list_choice.h"

namespace kovral::ui {

struct MsgResult {
  bool handled = false;
  LRESULT value = 0;
};
constexpr MsgResult Handled(LRESULT value = 0) { return {true, value}; }
constexpr MsgResult NotHandled() { return {false, 0}; }

// A command entry that takes every notification code of its ids.
inline constexpr int kAnyCode = -1;

template <class T>
struct MessageEntry {
  UINT firstMessage;
  UINT lastMessage;
  int firstId;  // WM_COMMAND entries: the control ids taken
  int lastId;
  int code;     // WM_COMMAND entries: the notification code, or kAnyCode
  MsgResult (*invoke)(T& self, UINT message, WPARAM wParam, LPARAM lParam);
};

namespace detail {

template <class Call>
MsgResult Answer(Call&& call) {
  using R = decltype(call());
  if constexpr (std::is_void_v<R>) {
    call();
    return Handled();
  } else if constexpr (std::is_same_v<R, MsgResult>) {
    return call();
  } else if constexpr (std::is_same_v<R, bool>) {
    return call() ? Handled() : NotHandled();
  } else if constexpr (std::is_pointer_v<R>) {
    R p = call();
    return p != nullptr ? Handled(reinterpret_cast<LRESULT>(p)) : NotHandled();
  } else {
    return Handled(static_cast<LRESULT>(call()));
  }
}

}  // namespace detail

// Entry makers for the table of class T. F is a member function of T.
template <class T>
struct MessageMap {
  using Entry = MessageEntry<T>;

  // Any message with its raw parameters: R (T::*)(WPARAM, LPARAM).
  template <auto F>
  static constexpr Entry Message(UINT message) {
    return {message, message, 0, 0, kAnyCode, [](T& self, UINT, WPARAM w, LPARAM l) {
              return detail::Answer([&] { return (self.*F)(w, l); });
            }};
  }

  // A message without parameters worth unpacking (WM_PAINT, WM_CLOSE,
  // WM_DESTROY, WM_MOUSELEAVE): R (T::*)().
  template <auto F>
  static constexpr Entry Plain(UINT message) {
    return {message, message, 0, 0, kAnyCode, [](T& self, UINT, WPARAM, LPARAM) {
              return detail::Answer([&] { return (self.*F)(); });
            }};
  }

  // Mouse messages in client coordinates (WM_LBUTTONDOWN, WM_MOUSEMOVE,
  // WM_MOUSEHOVER): R (T::*)(POINT pt, WPARAM keys).
  template <auto F>
  static constexpr Entry Mouse(UINT message) {
    return {message, message, 0, 0, kAnyCode, [](T& self, UINT, WPARAM w, LPARAM l) {
              const POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
              return detail::Answer([&] { return (self.*F)(pt, w); });
            }};
  }

  // WM_MOUSEWHEEL: R (T::*)(int delta, POINT screenPt, WPARAM keys).
  template <auto F>
  static constexpr Entry Wheel() {
    return {WM_MOUSEWHEEL, WM_MOUSEWHEEL, 0, 0, kAnyCode, [](T& self, UINT, WPARAM w, LPARAM l) {
              const POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
              const int delta = GET_WHEEL_DELTA_WPARAM(w);
              const WPARAM keys = GET_KEYSTATE_WPARAM(w);
              return detail::Answer([&] { return (self.*F)(delta, pt, keys); });
            }};
  }

  // A message whose wParam is a device context (WM_ERASEBKGND): R (T::*)(HDC).
  template <auto F>
  static constexpr Entry WithDc(UINT message) {
    return {message, message, 0, 0, kAnyCode, [](T& self, UINT, WPARAM w, LPARAM) {
              return detail::Answer([&] { return (self.*F)(reinterpret_cast<HDC>(w)); });
            }};
  }

  // Every WM_CTLCOLOR* request: HBRUSH (T::*)(HDC dc, HWND control, int
  // type) with type CTLCOLOR_EDIT, CTLCOLOR_LISTBOX, CTLCOLOR_STATIC, ...
  // A null brush leaves the request to the default.
  template <auto F>
  static constexpr Entry CtlColor() {
    return {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, 0, kAnyCode, [](T& self, UINT m, WPARAM w, LPARAM l) {
              const int type = static_cast<int>(m - WM_CTLCOLORMSGBOX);
              return detail::Answer(
                  [&] { return (self.*F)(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), type); });
            }};
  }

  // WM_COMMAND from control or menu item `id` with notification `code`
  // (menus send 0): R (T::*)() or R (T::*)(int id, int code).
  template <auto F>
  static constexpr Entry Command(int id, int code = kAnyCode) {
    return Commands<F>(id, id, code);
  }

  // The same for the ids firstId..lastId.
  template <auto F>
  static constexpr Entry Commands(int firstId, int lastId, int code = kAnyCode) {
    return {WM_COMMAND, WM_COMMAND, firstId, lastId, code, [](T& self, UINT, WPARAM w, LPARAM) {
              const int id = LOWORD(w);
              const int notification = HIWORD(w);
              if constexpr (std::is_invocable_v<decltype(F), T&>) {
                return detail::Answer([&] { return (self.*F)(); });
              } else {
                return detail::Answer([&] { return (self.*F)(id, notification); });
              }
            }};
  }
};

// Runs the first entry of the table that matches and handles the message.
// An entry whose handler declines (NotHandled, false, null) lets the later
// entries and then the default have it.
template <class T>
MsgResult Dispatch(T& self, std::span<const MessageEntry<T>> table, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const MessageEntry<T>& e : table) {
    if (message < e.firstMessage || message > e.lastMessage) continue;
    if (message == WM_COMMAND) {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id < e.firstId || id > e.lastId) continue;
      if (e.code != kAnyCode && e.code != code) continue;
    }
    const MsgResult result = e.invoke(self, message, wParam, lParam);
    if (result.handled) return result;
  }
  return NotHandled();
}

class WindowBase {
 public:
  WindowBase() = default;
  virtual ~WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The DPI the window is drawn at (window_dpi_win.h); every unit rectangle
  // of the window is mapped at it.
  int dpi() const;

 protected:
  // The class's message table: normally `return Dispatch(*this, Messages(), m, w, l);`.
  virtual MsgResult Route(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  HWND hwnd_ = nullptr;
};

// A plain window of a class registered with this thunk. The object is bound
// at WM_NCCREATE; unhandled messages go to DefWindowProcW.
class Window : public WindowBase {
 public:
  ~Window() override;

  // Registers a window class whose procedure is the thunk. True also when
  // the class already exists.
  static bool RegisterWindowClass(const wchar_t* className, HICON icon = nullptr, HBRUSH background = nullptr,
                                  UINT style = 0);

  HWND Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
              int height, HWND parent = nullptr, HMENU menuOrId = nullptr);
  void Destroy();

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// An in-memory dialog template without controls: every control is created
// at run time. Sizes are dialog units.
struct DialogTemplate {
  DWORD style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE | DS_SETFONT;
  DWORD exStyle = 0;
  short width = 200;
  short height = 150;
  std::wstring className;  // empty: the system dialog class
  std::wstring fontFace = L"宋体";
  WORD pointSize = 9;
  WORD weight = FW_NORMAL;
  BYTE charset = DEFAULT_CHARSET;
};

// The extended template (DLGTEMPLATEEX) for it, with no menu, no title and
// no items.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& form);

// The main window's class, a copy of the system dialog class.
inline constexpr const wchar_t* kMainWindowClass = L"KV-305GMClass";

// Registers a copy of the system dialog class (#32770) under the name, so a
// dialog template can name it. False when registration fails.
bool RegisterDialogClass(const wchar_t* className);

// The main dialog's template: the registered class, pop-up, visible, clip
// children, centred, set-foreground; application window, accepts files;
// 450 x 325 units, 12-point "宋体" with the GB2312 character set.
DialogTemplate MainDialogTemplate();

// A modal dialog with its own modal loop, so the dialog sees every queued
// message first (PreTranslateMessage) before the dialog-key handling. The
// owner is disabled while the dialog runs. Unhandled messages go to the
// system's dialog handling; an unhandled IDOK or IDCANCEL command (Enter,
// Esc, WM_CLOSE) ends the dialog with that result.
class Dialog : public WindowBase {
 public:
  ~Dialog() override;

  // The value given to EndModal, or -1 when the window could not be made.
  // Without an owner the default owner is used (normally the main window).
  INT_PTR RunModal(HWND owner = nullptr);
  // The owner of dialogs run without one; nullptr for none.
  static void SetDefaultOwner(HWND owner);
  // Ends the modal loop after the current message; the window is destroyed
  // when the loop returns. Also valid inside OnInitDialog.
  void EndModal(INT_PTR result);
  bool ending() const { return ending_; }

  // The device the window configures went away: every running dialog that
  // works on it (EndsWithTheDevice) ends as cancelled, with the dialogs and
  // message boxes shown over it.
  static void CancelDeviceDialogs();
  // Whether a dialog owned by `owner` runs and is not ending.
  static bool AnyRunningOver(HWND owner);

 protected:
  virtual DialogTemplate Template() const { return {}; }
  // The object is bound to hwnd() here. The result is WM_INITDIALOG's: TRUE
  // lets the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // Sees every message the loop takes from the queue; true swallows it.
  virtual bool PreTranslateMessage(MSG& message) { return false; }
  virtual void OnOK() { EndModal(IDOK); }
  virtual void OnCancel() { EndModal(IDCANCEL); }
  // True for a dialog whose OK would change what the window sends to the
  // device; one that needs no device (a chooser of the window's look) stays.
  virtual bool EndsWithTheDevice() const { return false; }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void CancelWithOwnedWindows();

  bool ending_ = false;
  INT_PTR result_ = IDCANCEL;
  Dialog* outer_ = nullptr;  // the dialog whose loop runs this one's, while it runs
};

// Asks for one WM_MOUSEHOVER after the pointer rests for hoverMs, and a
// WM_MOUSELEAVE when it leaves.
bool RequestHover(HWND window, DWORD hoverMs = 10);

// A child window that must go while it is still handling a message of its
// own (a list's notification about its own click): hidden now, destroyed when
// its parent takes WM_DESTROY_CHILD_LATER, which the parent hands to
// DestroyPostedChild.
inline constexpr UINT WM_DESTROY_CHILD_LATER = WM_APP + 2;
void DestroyChildLater(HWND child);
void DestroyPostedChild(HWND parent, LPARAM child);

// Makes the entry of a list box under a point of its client area its
// selection (hot tracking); the entry, or -1 when the point holds none.
int HotTrackListItem(HWND list, POINT clientPoint);

// Notification codes (WM_COMMAND, beside the list box's LBN_*) of a watched
// list: Enter or Esc was pressed while it had the focus.
inline constexpr int kListEnterCode = 0x7E01;
inline constexpr int kListEscapeCode = 0x7E02;

// Watches a list box for as long as it exists: it tells a selection made by
// a key from one made by the pointer, and takes Enter and Esc for itself
// (reported to its parent with the codes above) instead of leaving them to
// the dialog keys, which would end the dialog or hide the main window.
void WatchListKeys(HWND list);
// Whether the window is a list that WatchListKeys watches.
bool IsWatchedList(HWND window);
// Whether a watched list among the window's children is on the screen (an
// open drop-down list).
bool AnyWatchedListShown(HWND parent);
// The event of a watched list's notification `code`; nothing for the codes
// that are none (focus changes and the like). What it does is AnswerListEvent's.
std::optional<ListEvent> ListEventOf(HWND list, int code);

// The whole text of a window or control, however long: the check of a typed
// number must see what the user typed, not the part a fixed buffer held.
std::wstring WindowText(HWND window);

// Resizes the window to the size without moving it or changing its z-order.
void ResizeWindow(HWND window, int width, int height);

}  // namespace kovral::ui
