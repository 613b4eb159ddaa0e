#include "profiles/library_reader_qt.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

#include <utility>

namespace kovral {
namespace {

// A profile saved is a file written and renamed, a folder copied in is many
// files: the reader waits this long after a change for the rest of it.
constexpr int kSettleMs = 150;

}  // namespace

LibraryReaderQt::LibraryReaderQt(ConfigFileSystem& files, std::wstring folder, QObject& context,
                                 std::function<void()> announce)
    : files_(files), folder_(std::move(folder)), context_(context), announce_(std::move(announce)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  QObject::connect(&settle_, &QTimer::timeout, &context_, [this] {
    WatchFolder();
    Request();
  });
  const auto changed = [this] { settle_.start(); };
  QObject::connect(&watch_, &QFileSystemWatcher::directoryChanged, &context_, changed);
  WatchFolder();
  thread_ = std::thread([this] { Run(); });
}

LibraryReaderQt::~LibraryReaderQt() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  // A read under way is finished first: it uses this object.
  thread_.join();
}

// The Profiles folder, or while there is none the folder it will be made in
// (for its creation). Watched before the next read, so a change made while
// it runs is not missed.
void LibraryReaderQt::WatchFolder() {
  if (!watch_.directories().isEmpty()) watch_.removePaths(watch_.directories());
  const QString folder = QString::fromStdWString(ProfileLibrary(files_, folder_).Folder());
  if (QFileInfo(folder).isDir()) {
    watch_.addPath(folder);
    return;
  }
  const QString parent = QFileInfo(folder).absolutePath();
  if (QFileInfo(parent).isDir()) watch_.addPath(parent);
}

void LibraryReaderQt::Request() {
  {
    std::lock_guard lock(mutex_);
    asked_ = true;
  }
  wake_.notify_one();
}

std::optional<ProfileListing> LibraryReaderQt::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(newest_, std::nullopt);
}

void LibraryReaderQt::Run() {
  ProfileLibrary library(files_, folder_);
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || asked_; });
      if (stop_) return;
      // The read below answers a request made meanwhile too.
      asked_ = false;
    }
    ProfileListing listing = library.List();
    {
      std::lock_guard lock(mutex_);
      newest_ = std::move(listing);
    }
    QMetaObject::invokeMethod(&context_, announce_, Qt::QueuedConnection);
  }
}

}  // namespace kovral
