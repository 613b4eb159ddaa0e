#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "macro/macro_recorder.h"

namespace kovral {
namespace {

using ::testing::ElementsAre;

// Runs keystrokes (name, released, wasDown) through the filter and the handler.
std::vector<std::wstring> Record(MacroRecorder& r, std::initializer_list<std::tuple<const wchar_t*, bool, bool>> keys) {
  std::vector<std::wstring> list;
  for (const auto& [name, released, wasDown] : keys) {
    if (const auto key = r.Filter(name, released, wasDown)) {
      for (std::wstring& e : r.Record(*key, name, true)) list.push_back(std::move(e));
    }
  }
  return list;
}

TEST(MacroRecorder, TypedKeysAlternateWithDelays) {
  MacroRecorder r;
  r.Start();
  EXPECT_THAT(Record(r, {{L"A", false, false}, {L"A", true, true}, {L"B", false, false}, {L"B", true, true}}),
              ElementsAre(L"A   Dn", L"50 ms", L"A   Up", L"50 ms", L"B   Dn", L"50 ms", L"B   Up"));
  EXPECT_TRUE(r.Record(RecordedKey::Down, L"C", false).empty());  // no macro selected
}

TEST(MacroRecorder, KeysDownBeforeStartLeaveNoReleaseOrRepeat) {
  MacroRecorder r;
  r.Start();
  // The Enter that closed the Start box comes up (its repeat first), and a key
  // held before Start repeats: neither was pressed while recording.
  EXPECT_THAT(Record(r, {{L"Enter", false, true}, {L"Enter", true, true}, {L"X", false, true}, {L"A", false, false},
                         {L"X", true, true}, {L"A", true, true}}),
              ElementsAre(L"A   Dn", L"50 ms", L"A   Up"));
  // A key still down when a recording stops belongs to that recording only.
  Record(r, {{L"B", false, false}});
  r.Start();
  EXPECT_THAT(Record(r, {{L"B", true, true}, {L"C", false, false}}), ElementsAre(L"C   Dn"));
  // Holding the first key of a recording: its first repeat is taken (it was
  // not yet the last press), later ones are dropped.
  MacroRecorder held;
  held.Start();
  EXPECT_THAT(Record(held, {{L"B", false, false}, {L"B", false, true}, {L"B", false, true}, {L"B", true, true}}),
              ElementsAre(L"B   Dn", L"50 ms", L"B   Dn", L"50 ms", L"B   Up"));
}

TEST(MacroEditor, MouseEventsGoAfterTheSelectedEntry) {
  std::vector<std::wstring> seq;
  EXPECT_EQ(InsertMouseEvent(seq, -1, L"L-Button Click", true), -1);
  EXPECT_THAT(seq, ElementsAre(L"L-Button   Dn", L"50 ms", L"L-Button   Up", L"50 ms"));
  EXPECT_EQ(InsertMouseEvent(seq, 0, L"R-Button   Up", true), 2);
  EXPECT_THAT(seq, ElementsAre(L"L-Button   Dn", L"50 ms", L"R-Button   Up", L"50 ms", L"L-Button   Up", L"50 ms"));
  EXPECT_EQ(InsertMouseEvent(seq, 5, L"M-Button Click", true), 6);
  EXPECT_EQ(seq[6], L"M-Button   Dn");
  std::vector<std::wstring> none;
  InsertMouseEvent(none, -1, L"L-Button   Dn", false);  // no macro: nothing
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(DelayEntryFromDialog(20000, L"20000"), L"10000 ms");
  EXPECT_EQ(DelayEntryFromDialog(250, L"0250"), L"0250 ms");
}

}  // namespace
}  // namespace kovral
