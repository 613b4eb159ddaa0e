#pragma once
// The double buffer every drawing goes through: draw into it with the
// target's coordinates, and its destruction copies the result to the target
// in one block transfer.
#include <windows.h>

namespace kovral {

class CMemDC {
 public:
  // A rectangle of (0, 0, 0, 0) means the target's clip box. On a printing
  // context the buffer is the target itself and destruction does nothing.
  explicit CMemDC(HDC target, const RECT& rect = RECT{0, 0, 0, 0});
  ~CMemDC();
  CMemDC(const CMemDC&) = delete;
  CMemDC& operator=(const CMemDC&) = delete;

  // Where to draw: the memory context, or the target when printing.
  HDC dc() const { return isMemory_ ? memory_ : target_; }
  operator HDC() const { return dc(); }
  bool IsMemory() const { return isMemory_; }
  const RECT& Rect() const { return rect_; }

  // Makes a persistent bitmap (the main window's canvas, a dialog's
  // background) the surface of the buffer in place of its own bitmap, so
  // drawing lands in it and destruction copies it out. The bitmap stays the
  // caller's: only the buffer's own bitmap is freed. A buffer over a part
  // of the client area copies out that part of the canvas.
  void SelectCanvas(HBITMAP canvas);

 private:
  HDC target_;
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  RECT rect_{};
  bool isMemory_ = false;
};

}  // namespace kovral
