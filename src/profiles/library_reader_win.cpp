#include "profiles/library_reader_win.h"

#include <utility>

namespace kovral {
namespace {

// A profile saved is a file written and renamed, a folder copied in is many
// files: the reader waits this long after a change for the rest of it.
constexpr DWORD kSettleMs = 150;

// A change notification on the Profiles folder, or, while there is none, on
// the folder it will be made in (for its creation).
class FolderWatch {
 public:
  ~FolderWatch() { Close(); }
  void Watch(const std::wstring& folder) {
    Close();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      handle_ = FindFirstChangeNotificationW(
          folder.c_str(), FALSE,
          FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
              FILE_NOTIFY_CHANGE_SIZE);
      return;
    }
    const size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return;
    handle_ = FindFirstChangeNotificationW(folder.substr(0, slash).c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
  }
  HANDLE handle() const { return handle_ == INVALID_HANDLE_VALUE ? nullptr : handle_; }

 private:
  void Close() {
    if (handle()) FindCloseChangeNotification(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

LibraryReader::LibraryReader(ConfigFileSystem& files, std::wstring folder)
    : files_(files), folder_(std::move(folder)) {}

LibraryReader::~LibraryReader() {
  if (!thread_.valid()) return;
  SetEvent(stop_.get());
  // A read under way is finished first: it uses this object.
  WaitForSingleObject(thread_.get(), INFINITE);
}

bool LibraryReader::Start(HWND window, UINT message) {
  window_ = window;
  message_ = message;
  wake_ = OwnedHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  stop_ = OwnedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!wake_.valid() || !stop_.valid()) return false;
  thread_ = OwnedHandle(CreateThread(nullptr, 0, &LibraryReader::ThreadProc, this, 0, nullptr));
  return thread_.valid();
}

void LibraryReader::Request() {
  if (wake_.valid()) SetEvent(wake_.get());
}

std::optional<ProfileListing> LibraryReader::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(newest_, std::nullopt);
}

DWORD WINAPI LibraryReader::ThreadProc(void* self) {
  static_cast<LibraryReader*>(self)->Run();
  return 0;
}

void LibraryReader::Run() {
  ProfileLibrary library(files_, folder_);
  FolderWatch watch;
  for (;;) {
    // Watched before the read, so a change made while it runs is not missed.
    watch.Watch(library.Folder());
    ProfileListing listing = library.List();
    {
      std::lock_guard lock(mutex_);
      newest_ = std::move(listing);
    }
    PostMessageW(window_, message_, 0, 0);

    const HANDLE handles[] = {stop_.get(), wake_.get(), watch.handle()};
    const DWORD count = watch.handle() ? 3 : 2;
    const DWORD woken = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return;
    if (woken == WAIT_OBJECT_0 + 2 && WaitForSingleObject(stop_.get(), kSettleMs) == WAIT_OBJECT_0) return;
    // The read below answers a request made meanwhile too.
    ResetEvent(wake_.get());
  }
}

}  // namespace kovral
