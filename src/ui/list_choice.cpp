#include "ui/list_choice.h"

namespace kovral::ui {

ListAnswer AnswerListEvent(ListEvent event) {
  switch (event) {
    case ListEvent::PointerSelected:
    case ListEvent::DoubleClicked:
    case ListEvent::EnterPressed:
      return ListAnswer::Choose;
    case ListEvent::KeySelected:
      return ListAnswer::Follow;
    case ListEvent::EscapePressed:
      return ListAnswer::Dismiss;
  }
  return ListAnswer::Follow;
}

}  // namespace kovral::ui
