#pragma once
// A link over the scripted platform, for the link's tests.
#include <utility>
#include <vector>

#include "base/message_sink.h"
#include "device/device_link.h"
#include "device_fake_hid.h"

namespace kovral::fake {

struct LinkHarness {
  Log log;
  RecordingClock clock{&log};
  FakeHidPlatform platform{log, clock};
  RecordingMessageSink messages;
  DeviceLink link{platform, messages, clock};
  std::vector<std::pair<int, int>> notices;  // (code, value) sent on the interface thread

  LinkHarness() {
    link.notify = [this](int code, int value) { notices.emplace_back(code, value); };
  }

  // The configuration collection opened without a handshake; payloads plain.
  void OpenPlain() {
    platform.interfaces = {ConfigCollection()};
    if (!OpenDevice(link)) ADD_FAILURE() << "configuration collection not opened";
    link.scrambled = 0;
    log.Clear();
  }
};

}  // namespace kovral::fake
