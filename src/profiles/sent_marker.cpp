#include "profiles/sent_marker.h"

#include <vector>

#include "profiles/profile_library.h"
#include "settings/text_encoding.h"

namespace kovral {
namespace {

// A name, a line break and some room: anything larger is not this file's.
constexpr size_t kMarkerLimit = 1024;

}  // namespace

SentMarker::SentMarker(ConfigFileSystem& files, std::wstring path) : files_(files), path_(std::move(path)) {}

// Asked of the file once; afterwards this object is what writes it.
void SentMarker::ReadOnce() {
  if (read_) return;
  read_ = true;
  if (!files_.Exists(path_)) return;
  const FileRead read = files_.Read(path_, kMarkerLimit);
  std::string text = read.status == FileRead::Status::kRead
                         ? std::string(read.bytes.begin(), read.bytes.end())
                         : std::string("?");  // unreadable: the mouse may hold anything all the same
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  known_ = FromUtf8(text);
}

bool SentMarker::MayHoldOther() {
  ReadOnce();
  return known_.has_value();
}

void SentMarker::Sending(const std::wstring& name) {
  ReadOnce();
  const std::wstring content = name.empty() ? std::wstring(kDesktopProfileName) : name;
  if (known_ && (name.empty() || *known_ == content)) return;
  const std::string text = ToUtf8(content) + "\n";
  // A marker that cannot be written changes nothing of the switch: the
  // record still goes out; only a later start cannot know of it.
  if (files_.WriteReplace(path_, std::vector<uint8_t>(text.begin(), text.end())) == 0) known_ = content;
}

void SentMarker::DesktopHeld() {
  ReadOnce();
  if (!known_) return;
  if (files_.Remove(path_) == 0 || !files_.Exists(path_)) known_.reset();
}

}  // namespace kovral
