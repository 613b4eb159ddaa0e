#include "ui/memdc_win.h"

namespace kovral {

CMemDC::CMemDC(HDC target, const RECT& rect) : target_(target) {
  // A printer has its own buffering; drawing goes straight to it.
  isMemory_ = target != nullptr && GetDeviceCaps(target, TECHNOLOGY) != DT_RASPRINTER;
  if (!isMemory_) return;
  memory_ = CreateCompatibleDC(target);
  if (memory_ == nullptr) {
    isMemory_ = false;
    return;
  }
  if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0) {
    GetClipBox(target, &rect_);
  } else {
    rect_ = rect;
  }
  bitmap_ = CreateCompatibleBitmap(target, rect_.right - rect_.left, rect_.bottom - rect_.top);
  if (bitmap_ != nullptr) previous_ = SelectObject(memory_, bitmap_);
  // Callers draw in the target's coordinates.
  SetWindowOrgEx(memory_, rect_.left, rect_.top, nullptr);
  // A new bitmap's pixels are undefined. When no canvas is selected (the
  // skin's main image is missing) whatever is not drawn over would reach
  // the window as noise; start from the target's background colour.
  if (bitmap_ != nullptr) {
    HBRUSH background = CreateSolidBrush(GetBkColor(target));
    FillRect(memory_, &rect_, background);
    DeleteObject(background);
  }
}

void CMemDC::SelectCanvas(HBITMAP canvas) {
  if (!isMemory_ || canvas == nullptr) return;
  HGDIOBJ replaced = SelectObject(memory_, canvas);
  // The canvas covers the whole client area: its pixels are at their client
  // coordinates, whatever part of it this buffer copies out.
  SetWindowOrgEx(memory_, 0, 0, nullptr);
  // Keep the context's original bitmap to put back at the end; whatever was
  // selected after it (our own bitmap or an earlier canvas) is not it.
  if (previous_ == nullptr) previous_ = replaced;
}

CMemDC::~CMemDC() {
  if (!isMemory_) return;
  BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_,
         rect_.left, rect_.top, SRCCOPY);
  if (previous_ != nullptr) SelectObject(memory_, previous_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  DeleteDC(memory_);
}

}  // namespace kovral
