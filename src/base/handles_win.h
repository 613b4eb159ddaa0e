#pragma once
// Owners for the handles that must be given back: GDI objects, device
// contexts, kernel handles, hooks and the GDI+ session. Owning types free
// on destruction and move; raw handles stay borrowed.
#include <windows.h>

#include <utility>

namespace kovral {

// Sole owner of a handle that must be given back with Free::Release; moves,
// and frees on destruction. Raw handles stay borrowed.
template <class H, class Free>
class UniqueOwner {
 public:
  UniqueOwner() = default;
  explicit UniqueOwner(H handle) : handle_(handle) {}
  ~UniqueOwner() { reset(); }
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  H release() { return std::exchange(handle_, nullptr); }
  void reset(H handle = nullptr) {
    if (handle_ != nullptr) Free::Release(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = nullptr;
};

struct FreeGdiObject {
  static void Release(HGDIOBJ object) { DeleteObject(object); }
};
struct FreeIcon {
  static void Release(HICON icon) { DestroyIcon(icon); }
};
struct FreeHook {
  static void Release(HHOOK hook) { UnhookWindowsHookEx(hook); }
};
// A child window may be gone already: its parent takes it along.
struct FreeWindow {
  static void Release(HWND window) {
    if (IsWindow(window)) DestroyWindow(window);
  }
};

// An HBITMAP, HFONT, HBRUSH or HPEN made by this code, deleted with DeleteObject.
template <class H>
using GdiObject = UniqueOwner<H, FreeGdiObject>;

using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedFont = GdiObject<HFONT>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedPen = GdiObject<HPEN>;

// An icon made for this code (LoadIconWithScaleDown, LoadIconMetric, or
// LoadImageW without LR_SHARED), given back with DestroyIcon.
using OwnedIcon = UniqueOwner<HICON, FreeIcon>;

// Selects an object into a context and puts the previous one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelectObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory context from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDC() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A kernel handle closed with CloseHandle. Both null and
// INVALID_HANDLE_VALUE mean "none", since CreateFileW and CreateEventW
// report failure differently.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() { reset(); }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.release()) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return valid(); }
  HANDLE release() { return std::exchange(handle_, nullptr); }
  void reset(HANDLE handle = nullptr) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }
  // Closing can fail (a delayed write error); a caller that writes wants to know.
  bool Close() {
    if (!valid()) return true;
    const BOOL ok = CloseHandle(std::exchange(handle_, nullptr));
    return ok != FALSE;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A hook from SetWindowsHookExW, removed with UnhookWindowsHookEx.
using OwnedHook = UniqueOwner<HHOOK, FreeHook>;

// A child window made by this code, destroyed with DestroyWindow (unless
// its parent took it along first).
using OwnedWindow = UniqueOwner<HWND, FreeWindow>;

// One GdiplusStartup, shut down with its token. The application holds one
// for the whole run; the image decoder keeps its own (skin_image_win.h).
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

}  // namespace kovral
