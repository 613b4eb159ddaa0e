#include "profiles/library_reader.h"

#include <utility>

namespace kovral {

LibraryReader::LibraryReader(ConfigFileSystem& files, std::wstring folder, std::function<void()> announce)
    : files_(files), folder_(std::move(folder)), announce_(std::move(announce)) {}

LibraryReader::~LibraryReader() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  // The watch goes after the thread that arms it; a change it still tells
  // finds the thread gone and nothing to do.
  watch_.reset();
}

void LibraryReader::Start(std::unique_ptr<FolderWatch> watch) {
  watch_ = std::move(watch);
  thread_ = std::thread([this] { Run(); });
}

void LibraryReader::Request() {
  {
    std::lock_guard lock(mutex_);
    asked_ = true;
  }
  wake_.notify_one();
}

void LibraryReader::FolderChanged() {
  {
    std::lock_guard lock(mutex_);
    changed_ = true;
  }
  wake_.notify_one();
}

std::optional<ProfileListing> LibraryReader::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(newest_, std::nullopt);
}

void LibraryReader::Run() {
  ProfileLibrary library(files_, folder_);
  for (;;) {
    if (watch_) watch_->Watch(library.Folder());
    ProfileListing listing = library.List();
    {
      std::lock_guard lock(mutex_);
      newest_ = std::move(listing);
    }
    announce_();

    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stop_ || asked_ || changed_; });
    if (changed_ && !stop_) wake_.wait_for(lock, kSettle, [this] { return stop_; });
    if (stop_) return;
    // The read below answers a request and the changes made meanwhile too.
    asked_ = changed_ = false;
  }
}

}  // namespace kovral
