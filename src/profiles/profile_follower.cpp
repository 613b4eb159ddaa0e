#include "profiles/profile_follower.h"

#include <utility>

namespace kovral {

ProfileFollower::ProfileFollower(ProfileFor profileFor) : profileFor_(std::move(profileFor)) {}

void ProfileFollower::SetAutomatic(bool on) {
  automatic_ = on;
  ForgetFailure();
}

void ProfileFollower::ForgetFailure() {
  failed_.reset();
  retrying_.reset();
  retryUsed_ = false;
}

// One retry only: a mouse that keeps stalling must not be sent a record
// every two seconds while the user plays.
bool ProfileFollower::Retry() {
  if (!RetryDue()) return false;
  retrying_ = failed_;
  failed_.reset();
  return true;
}

void ProfileFollower::LibraryChanged(const std::function<bool(const std::wstring& name)>& exists) {
  if (manual_ && !manual_->desktop && !exists(manual_->profile)) manual_.reset();
  // A renamed or deleted profile the mouse holds is known by a name that
  // no longer answers; what it holds is still those settings, and the next
  // switch sends what is wanted whole.
  if (active_ && !active_->desktop && !exists(active_->profile)) active_.reset();
  if (!last_.desktop && !exists(last_.profile)) last_ = SwitchTarget::Desktop();
  ForgetFailure();
}

void ProfileFollower::FrontChanged(const FrontWindow& front) {
  if (front == front_) return;
  front_ = front;
  manual_.reset();
  ForgetFailure();
}

void ProfileFollower::Choose(const SwitchTarget& target) {
  manual_ = target;
  ForgetFailure();
}

void ProfileFollower::MouseArrived() {
  present_ = true;
  // Before any switch of this run the mouse holds the last Apply's record,
  // config.bin's; after one it holds whatever it took last, which a replug
  // in another state of the front must not be trusted to match.
  if (sentThisRun_) active_.reset();
  ForgetFailure();
}

void ProfileFollower::Applied(const SwitchTarget& target, bool complete) {
  last_ = target;
  if (complete)
    active_ = target;
  else
    active_.reset();
  ForgetFailure();
}

SwitchTarget ProfileFollower::Wanted() const {
  if (manual_) return *manual_;
  if (!automatic_) return last_;
  if (front_.own || front_.program.empty()) return SwitchTarget::Desktop();
  if (std::optional<std::wstring> name = profileFor_(front_.program)) return SwitchTarget::Profile(*name);
  return SwitchTarget::Desktop();
}

std::optional<SwitchTarget> ProfileFollower::Due() const {
  if (!present_ || dialogUp_ || listOpen_ || applyRunning_) return std::nullopt;
  const SwitchTarget wanted = Wanted();
  if (active_ && *active_ == wanted) return std::nullopt;
  if (failed_ && *failed_ == wanted) return std::nullopt;
  return wanted;
}

void ProfileFollower::Switched(const SwitchTarget& target, bool ok) {
  sentThisRun_ = true;
  last_ = target;
  const bool wasRetry = retrying_ && *retrying_ == target;
  retrying_.reset();
  if (ok) {
    active_ = target;
    failed_.reset();
    retryUsed_ = false;
  } else {
    active_.reset();
    failed_ = target;
    retryUsed_ = wasRetry;
  }
}

}  // namespace kovral
