// The profile folder's watch on Linux: inotify, its descriptor read on the
// interface thread's event loop. The reader arms it from its own thread (the
// calls are the kernel's and may be made from any thread); a watch on the
// same folder stays armed, so arming it again before every read costs
// nothing and tells nothing.
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <mutex>
#include <string>
#include <utility>

#include "profiles/library_reader.h"
#include "settings/text_encoding.h"

namespace kovral {
namespace {

constexpr uint32_t kFolderEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;
// The folder above, while the Profiles folder does not exist: folders made
// or removed there.
constexpr uint32_t kParentEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

class FolderWatchQt final : public FolderWatch {
 public:
  explicit FolderWatchQt(std::function<void()> changed)
      : changed_(std::move(changed)), fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { ReadEvents(); });
  }
  ~FolderWatchQt() override {
    notifier_.reset();
    if (fd_ >= 0) close(fd_);
  }

  void Watch(const std::wstring& folder) override {
    if (fd_ < 0) return;
    std::string path = ToUtf8(folder);
    struct stat status {};
    const bool exists = stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    if (!exists) {
      const size_t slash = path.find_last_of('/');
      if (slash == std::string::npos) return;
      path.resize(slash == 0 ? 1 : slash);
    }
    std::lock_guard lock(mutex_);
    if (path == watched_ && exists == !parent_) return;
    if (wd_ >= 0) inotify_rm_watch(fd_, wd_);
    wd_ = inotify_add_watch(fd_, path.c_str(), exists ? kFolderEvents : kParentEvents);
    watched_ = wd_ >= 0 ? path : std::string();
    parent_ = !exists;
  }

 private:
  void ReadEvents() {
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
      const ssize_t got = read(fd_, buffer, sizeof(buffer));
      if (got <= 0) break;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        changed |= Counts(*event);
      }
    }
    if (changed) changed_();
  }

  // Whether an event changes what the reader lists. The removal of a watch
  // the reader replaced is not a change (else every read would bring the
  // next); the watched folder gone or moved is, and the next Watch arms
  // it anew.
  bool Counts(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) return true;
    std::lock_guard lock(mutex_);
    if (event.wd != wd_) return false;
    if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
      if (event.mask & IN_IGNORED) wd_ = -1;
      watched_.clear();
      return true;
    }
    return !parent_ || (event.mask & IN_ISDIR);
  }

  std::function<void()> changed_;
  const int fd_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::mutex mutex_;
  int wd_ = -1;
  std::string watched_;
  bool parent_ = false;
};

}  // namespace

std::unique_ptr<FolderWatch> MakeSystemFolderWatch(std::function<void()> changed) {
  return std::make_unique<FolderWatchQt>(std::move(changed));
}

}  // namespace kovral
