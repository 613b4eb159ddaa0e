#pragma once
// What an event in a list window does. The lists take the focus when they
// open (the wheel goes to the focus window), so keys reach them; a key must
// never make a choice by itself, or Down in a button's list would assign the
// entry under the highlight and a typed letter would open a dialog. Keys work
// as they do in any list box: arrows, Page Up/Down, Home/End and typed
// letters move the highlight, Enter chooses the highlighted entry, Esc leaves
// the list without a choice. The pointer chooses as before, with a click.
namespace kovral::ui {

// What the platform's list reports (on Windows: LBN_SELCHANGE from a click
// or from a key, LBN_DBLCLK, and Enter and Esc pressed in the list).
enum class ListEvent { PointerSelected, KeySelected, DoubleClicked, EnterPressed, EscapePressed };

enum class ListAnswer {
  Choose,   // take the highlighted entry, as a click on it does
  Follow,   // the highlight moved: nothing is chosen (a page may show where it is)
  Dismiss,  // no choice: a drop-down list closes, a fixed list returns to its choice
};

ListAnswer AnswerListEvent(ListEvent event);

}  // namespace kovral::ui
