// The main window's notices: the mouse's own changes and the profile
// switches go on the screen, into a balloon or nowhere, as the preferences
// in str.ini say. A balloon is a toast on Windows 10 and 11, which Windows
// holds back while a game runs full screen; the on-screen display is seen.
#include "app/main_controller.h"
#include "lang/notices.h"
#include "settings/notice_balloon.h"

namespace kovral {

void MainController::ReloadNoticePreferences() {
  noticePreferences_ = ReadNoticePreferences(*services_.ini, settings_->paths().strIni);
  noticePreferencesRead_ = true;
  if (noticePreferences_.style != NoticeStyle::OnScreen) shell_.HideOsd();
}

// The mouse found or missing comes at start and at a plug, never in a game:
// those stay balloons.
void MainController::ShowNotice(DeviceNotice notice) {
  const std::optional<Balloon> balloon =
      NoticeBalloon(language_, notice.code, notice.value, settings_->config, image_.activeSensorType);
  if (!balloon) return;
  const std::optional<OsdNotice> onScreen =
      DeviceOsdNotice(language_, notice.code, notice.value, settings_->config, image_.activeSensorType);
  if (onScreen)
    TellInGame(*balloon, *onScreen);
  else
    shell_.ShowBalloon(*balloon);
}

void MainController::TellInGame(const Balloon& balloon) { TellInGame(balloon, TextOsdNotice(balloon.text)); }

// Read at the first notice rather than at start: a notice is rare, and the
// start has enough to do.
void MainController::TellInGame(const Balloon& balloon, const OsdNotice& onScreen) {
  if (!noticePreferencesRead_) ReloadNoticePreferences();
  switch (ChooseNoticeWay(noticePreferences_, true)) {
    case NoticeWay::OnScreen:
      // Without its window (out of resources) the notice is still told.
      if (!ShowOnScreen(onScreen, noticePreferences_.position)) shell_.ShowBalloon(balloon);
      break;
    case NoticeWay::Balloon:
      shell_.ShowBalloon(balloon);
      break;
    case NoticeWay::Nothing:
      break;
  }
}

// Where the panel cannot show (a native Wayland session refuses it, or its
// window could not be made) the notices become balloons, and so does the
// sample: "Show me" always shows what a notice will look like.
void MainController::ShowSampleNotice(OsdPosition position) {
  const OsdNotice sample = SampleOsdNotice(language_);
  if (!ShowOnScreen(sample, position))
    shell_.ShowBalloon(Balloon{kCaptionInfo, sample.text, 3000, BalloonIcon::Information});
}

bool MainController::ShowOnScreen(const OsdNotice& notice, OsdPosition position) {
  // The accent is read from a picture of the skin once per skin.
  if (accentSkinFolder_ != skinFolder_) {
    accent_ = shell_.SkinAccent(skinFolder_);
    accentSkinFolder_ = skinFolder_;
  }
  if (!shell_.ShowOsd(notice, MakeOsdLook(accent_, textColor_), position, languageCode_)) return false;
  // The simulated mouse's trace tells the time from the notice to the panel.
  if (trace_) trace_->Note("osd shown");
  return true;
}

}  // namespace kovral
