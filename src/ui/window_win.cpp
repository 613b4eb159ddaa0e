#include "ui/window_win.h"

#include "ui/window_dpi_win.h"

#include <commctrl.h>

#include <algorithm>

namespace kovral::ui {

int WindowBase::dpi() const { return WindowDpi(hwnd_); }
namespace {

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

// Dialogs run from the main window's handlers are created without a parent
// and get the main window as owner, so they stay above it and disable it.
HWND defaultOwner = nullptr;

// The running modal dialogs of the interface thread, innermost first: each
// one's loop runs inside the loop of the one after it.
Dialog* innermostDialog = nullptr;

// Dialog procedures return most results through DWLP_MSGRESULT; these few
// messages return theirs directly.
bool ReturnsDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

void PutString(std::vector<WORD>& out, const std::wstring& text) {
  for (wchar_t c : text) out.push_back(static_cast<WORD>(c));
  out.push_back(0);
}

void PutDword(std::vector<WORD>& out, DWORD value) {
  out.push_back(LOWORD(value));
  out.push_back(HIWORD(value));
}

}  // namespace

// ---------------------------------------------------------------------------
// Window

Window::~Window() { Destroy(); }

bool Window::RegisterWindowClass(const wchar_t* className, HICON icon, HBRUSH background, UINT style) {
  WNDCLASSW existing{};
  if (GetClassInfoW(ModuleInstance(), className, &existing)) return true;
  WNDCLASSW wc{};
  wc.style = style;
  wc.lpfnWndProc = &Window::Procedure;
  wc.hInstance = ModuleInstance();
  wc.hIcon = icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return RegisterClassW(&wc) != 0;
}

HWND Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId) {
  return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId, ModuleInstance(),
                         this);
}

void Window::Destroy() {
  if (hwnd_ == nullptr) return;
  // Detach first: the window's last messages must not reach an object that
  // is being destroyed.
  HWND window = hwnd_;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  DestroyWindow(window);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self != nullptr) self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  const MsgResult result = self->Route(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result.handled ? result.value : DefWindowProcW(hwnd, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Dialog templates

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& form) {
  std::vector<WORD> out;
  out.push_back(1);       // dlgVer
  out.push_back(0xFFFF);  // signature: extended template
  PutDword(out, 0);       // helpID
  PutDword(out, form.exStyle);
  PutDword(out, form.style);
  out.push_back(0);  // no items
  out.push_back(0);  // x
  out.push_back(0);  // y
  out.push_back(static_cast<WORD>(form.width));
  out.push_back(static_cast<WORD>(form.height));
  out.push_back(0);  // no menu
  if (form.className.empty()) {
    out.push_back(0);
  } else {
    PutString(out, form.className);
  }
  out.push_back(0);  // empty title
  if (form.style & (DS_SETFONT | DS_SHELLFONT)) {
    out.push_back(form.pointSize);
    out.push_back(form.weight);
    out.push_back(static_cast<WORD>(form.charset << 8));  // italic (low byte) 0, then the character set
    PutString(out, form.fontFace);
  }
  return out;
}

bool RegisterDialogClass(const wchar_t* className) {
  WNDCLASSW wc{};
  // The predefined dialog class atom.
  if (!GetClassInfoW(nullptr, MAKEINTATOM(0x8002), &wc)) return false;
  wc.lpszClassName = className;
  wc.hInstance = ModuleInstance();
  return RegisterClassW(&wc) != 0;
}

DialogTemplate MainDialogTemplate() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | DS_CENTER | DS_SETFOREGROUND | DS_SETFONT;
  t.exStyle = WS_EX_APPWINDOW | WS_EX_ACCEPTFILES;
  t.width = 450;
  t.height = 325;
  t.className = kMainWindowClass;
  t.fontFace = L"宋体";
  t.pointSize = 12;
  t.weight = FW_NORMAL;
  t.charset = GB2312_CHARSET;
  return t;
}

// ---------------------------------------------------------------------------
// Dialog

Dialog::~Dialog() {
  if (hwnd_ != nullptr) {
    HWND window = hwnd_;
    SetWindowLongPtrW(window, DWLP_USER, 0);
    hwnd_ = nullptr;
    DestroyWindow(window);
  }
}

void Dialog::SetDefaultOwner(HWND owner) { defaultOwner = owner; }

// The owner of a modal dialog is disabled from before the dialog exists
// until just before it goes, as the system's own modal dialogs do: a message
// box shown from the dialog's initialisation (a missing face, a failed
// keyboard hook) must not leave the main window clickable behind it. An owner
// that was disabled already (by an outer dialog) is left to that dialog.
class DisabledOwner {
 public:
  explicit DisabledOwner(HWND owner) {
    if (owner != nullptr && IsWindowEnabled(owner)) {
      EnableWindow(owner, FALSE);
      owner_ = owner;
    }
  }
  ~DisabledOwner() { Release(); }
  DisabledOwner(const DisabledOwner&) = delete;
  DisabledOwner& operator=(const DisabledOwner&) = delete;
  // Enables the owner again; later calls and the destructor do nothing.
  void Release() {
    if (owner_ == nullptr) return;
    EnableWindow(owner_, TRUE);
    owner_ = nullptr;
  }

 private:
  HWND owner_ = nullptr;
};

INT_PTR Dialog::RunModal(HWND owner) {
  if (owner == nullptr && defaultOwner != nullptr && IsWindow(defaultOwner)) owner = defaultOwner;
  const std::vector<WORD> tmpl = BuildDialogTemplate(Template());
  ending_ = false;
  result_ = IDCANCEL;
  // Listed from before its creation, since its initialisation may run loops
  // (a message box) in which the device goes.
  struct Running {
    explicit Running(Dialog* dialog) : dialog_(dialog) {
      dialog->outer_ = innermostDialog;
      innermostDialog = dialog;
    }
    ~Running() {
      innermostDialog = dialog_->outer_;
      dialog_->outer_ = nullptr;
    }
    Dialog* dialog_;
  } running(this);
  DisabledOwner disabled(owner);
  HWND window = CreateDialogIndirectParamW(ModuleInstance(), reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), owner,
                                           &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
  if (window == nullptr) return -1;

  MSG msg;
  while (!ending_ && hwnd_ != nullptr) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // Leave the quit request for the loop outside this one.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (PreTranslateMessage(msg)) continue;
    if (hwnd_ != nullptr && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // Re-enable the owner before the dialog goes, so activation returns to it.
  disabled.Release();
  if (hwnd_ != nullptr) {
    HWND dialog = hwnd_;
    // An owner the device's going hid is not activated behind the user's back.
    if (owner != nullptr && IsWindowVisible(owner) && GetActiveWindow() == dialog) SetActiveWindow(owner);
    DestroyWindow(dialog);
  }
  return result_;
}

void Dialog::EndModal(INT_PTR result) {
  result_ = result;
  ending_ = true;
  // Wake the loop if it waits for a message.
  if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

// A dialog's loop can end only after the loops running inside it: so the
// outermost dialog that needs the device ends with every one inside it,
// whatever those need.
void Dialog::CancelDeviceDialogs() {
  Dialog* outermost = nullptr;
  for (Dialog* d = innermostDialog; d != nullptr; d = d->outer_)
    if (d->EndsWithTheDevice()) outermost = d;
  if (outermost == nullptr) return;
  for (Dialog* d = innermostDialog; d != nullptr; d = d->outer_) {
    d->CancelWithOwnedWindows();
    if (d == outermost) break;
  }
}

// The message boxes over the dialog run loops of their own, which must end
// before its loop can: each is closed as its Esc would close it.
void Dialog::CancelWithOwnedWindows() {
  if (!ending_) EndModal(IDCANCEL);
  if (hwnd_ == nullptr) return;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM dialog) -> BOOL {
        if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(dialog)) PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(hwnd_));
}

bool Dialog::AnyRunningOver(HWND owner) {
  for (Dialog* d = innermostDialog; d != nullptr; d = d->outer_)
    if (!d->ending_ && d->hwnd_ != nullptr && GetWindow(d->hwnd_, GW_OWNER) == owner) return true;
  return false;
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    if (self == nullptr) return TRUE;
    self->hwnd_ = hwnd;
    return self->OnInitDialog();
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  const MsgResult result = self->Route(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    self->ending_ = true;
  }
  if (!result.handled) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      if (LOWORD(wParam) == IDOK) {
        self->OnOK();
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        self->OnCancel();
        return TRUE;
      }
    }
    return FALSE;  // the system's dialog handling
  }
  if (ReturnsDirectly(message)) return static_cast<INT_PTR>(result.value);
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result.value);
  return TRUE;
}

// ---------------------------------------------------------------------------

bool RequestHover(HWND window, DWORD hoverMs) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_HOVER | TME_LEAVE;
  track.hwndTrack = window;
  track.dwHoverTime = hoverMs;
  return TrackMouseEvent(&track) != FALSE;
}

void DestroyChildLater(HWND child) {
  ShowWindow(child, SW_HIDE);
  PostMessageW(GetParent(child), WM_DESTROY_CHILD_LATER, 0, reinterpret_cast<LPARAM>(child));
}

void DestroyPostedChild(HWND parent, LPARAM child) {
  const HWND window = reinterpret_cast<HWND>(child);
  if (IsWindow(window) && GetParent(window) == parent) DestroyWindow(window);
}

int HotTrackListItem(HWND list, POINT clientPoint) {
  const LRESULT item = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(clientPoint.x, clientPoint.y));
  if (HIWORD(item) != 0) return -1;
  const int index = LOWORD(item);
  if (SendMessageW(list, LB_GETCURSEL, 0, 0) != index) SendMessageW(list, LB_SETCURSEL, index, 0);
  return index;
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max(0, GetWindowTextW(window, text.data(), length + 1))));
  return text;
}

// ---------------------------------------------------------------------------
// Watched lists

namespace {

constexpr UINT_PTR kListWatchId = 0x4B56;
constexpr const wchar_t* kListWatchProperty = L"Kovral.ListWatch";

struct ListWatch {
  int keyDepth = 0;  // inside a key the list handles: its LBN_SELCHANGE comes from that key
};

bool IsEnterOrEscape(const MSG& m) {
  if (m.message == WM_KEYDOWN) return m.wParam == VK_RETURN || m.wParam == VK_ESCAPE;
  if (m.message == WM_CHAR) return m.wParam == L'\r' || m.wParam == 0x1B;
  return false;
}

LRESULT CALLBACK WatchedListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data) {
  auto* watch = reinterpret_cast<ListWatch*>(data);
  switch (message) {
    case WM_GETDLGCODE: {
      LRESULT code = DefSubclassProc(list, message, wParam, lParam);
      const MSG* asked = reinterpret_cast<const MSG*>(lParam);
      if (asked != nullptr && IsEnterOrEscape(*asked)) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
    case WM_CHAR: {
      MSG key{};
      key.message = message;
      key.wParam = wParam;
      if (IsEnterOrEscape(key)) {
        // The parent may close the list in its handler: it must do so later.
        if (message == WM_KEYDOWN) {
          const int code = wParam == VK_RETURN ? kListEnterCode : kListEscapeCode;
          SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), code),
                       reinterpret_cast<LPARAM>(list));
        }
        return 0;
      }
      ++watch->keyDepth;
      const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
      --watch->keyDepth;
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, &WatchedListProc, id);
      RemovePropW(list, kListWatchProperty);
      delete watch;
      return DefSubclassProc(list, message, wParam, lParam);
    default:
      return DefSubclassProc(list, message, wParam, lParam);
  }
}

// The watch is found through a window property: comctl32 exports the call
// that reads a subclass's data by ordinal only.
ListWatch* WatchOf(HWND window) {
  if (window == nullptr) return nullptr;
  return static_cast<ListWatch*>(GetPropW(window, kListWatchProperty));
}

}  // namespace

void WatchListKeys(HWND list) {
  if (list == nullptr || WatchOf(list) != nullptr) return;
  auto* watch = new ListWatch;
  if (!SetPropW(list, kListWatchProperty, watch)) {
    delete watch;
    return;
  }
  if (!SetWindowSubclass(list, &WatchedListProc, kListWatchId, reinterpret_cast<DWORD_PTR>(watch))) {
    RemovePropW(list, kListWatchProperty);
    delete watch;
  }
}

bool IsWatchedList(HWND window) { return WatchOf(window) != nullptr; }

bool AnyWatchedListShown(HWND parent) {
  bool shown = false;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM found) -> BOOL {
        if (!IsWatchedList(child) || !IsWindowVisible(child)) return TRUE;
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&shown));
  return shown;
}

std::optional<ListEvent> ListEventOf(HWND list, int code) {
  switch (code) {
    case LBN_SELCHANGE: {
      const ListWatch* watch = WatchOf(list);
      return watch != nullptr && watch->keyDepth > 0 ? ListEvent::KeySelected : ListEvent::PointerSelected;
    }
    case LBN_DBLCLK:
      return ListEvent::DoubleClicked;
    case kListEnterCode:
      return ListEvent::EnterPressed;
    case kListEscapeCode:
      return ListEvent::EscapePressed;
    default:
      return std::nullopt;
  }
}

void ResizeWindow(HWND window, int width, int height) {
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

}  // namespace kovral::ui
