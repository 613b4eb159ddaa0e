// The profile folder's watch on Windows: a change notification on the
// folder, or while there is none on the folder it will be made in, waited on
// by the system's thread pool, which tells the reader once; the reader arms
// it again before its next read.
#include <windows.h>

#include <utility>

#include "profiles/library_reader.h"

namespace kovral {
namespace {

class FolderWatchWin final : public FolderWatch {
 public:
  explicit FolderWatchWin(std::function<void()> changed) : changed_(std::move(changed)) {}
  ~FolderWatchWin() override { Close(); }

  void Watch(const std::wstring& folder) override {
    Close();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      handle_ = FindFirstChangeNotificationW(
          folder.c_str(), FALSE,
          FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
              FILE_NOTIFY_CHANGE_SIZE);
    } else {
      const size_t slash = folder.find_last_of(L"\\/");
      if (slash == std::wstring::npos) return;
      handle_ = FindFirstChangeNotificationW(folder.substr(0, slash).c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
    }
    if (handle_ == INVALID_HANDLE_VALUE) return;
    if (!RegisterWaitForSingleObject(&wait_, handle_, &FolderWatchWin::Signalled, this, INFINITE,
                                     WT_EXECUTEONLYONCE))
      wait_ = nullptr;
  }

 private:
  static VOID CALLBACK Signalled(PVOID self, BOOLEAN /*timedOut*/) { static_cast<FolderWatchWin*>(self)->changed_(); }

  void Close() {
    // Waits for a call of `changed_` under way, which uses this object.
    if (wait_) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    wait_ = nullptr;
    if (handle_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

  std::function<void()> changed_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  HANDLE wait_ = nullptr;
};

}  // namespace

std::unique_ptr<FolderWatch> MakeSystemFolderWatch(std::function<void()> changed) {
  return std::make_unique<FolderWatchWin>(std::move(changed));
}

}  // namespace kovral
