#pragma once
// A dialog shell that writes down what a dialog's model asks of it, in
// order, and answers from what the test set up.
#include <map>
#include <string>
#include <vector>

#include "dialogs/dialog_shell.h"

namespace kovral::testing {

class RecordingDialogShell final : public DialogShell {
 public:
  std::vector<std::string> calls;
  std::map<int, std::wstring> texts;
  std::map<int, int> selection;
  std::map<int, std::vector<std::wstring>> items;
  int focus = 0;
  bool answer = false;                 // what Ask answers
  std::optional<int> captureError;     // what StartKeyCapture answers
  std::vector<std::wstring> told;      // texts of Tell and Ask

  void CreateControl(const ControlRequest& request) override {
    Log("create", request.id);
    texts[request.id] = request.text;
  }
  void SetText(int id, const std::wstring& text) override {
    Log("text", id);
    texts[id] = text;
  }
  std::wstring Text(int id) const override { return texts.count(id) ? texts.at(id) : std::wstring(); }
  void Enable(int id, bool enable) override { Log(enable ? "enable" : "disable", id); }
  void Show(int id, bool show) override { Log(show ? "show" : "hide", id); }
  void Focus(int id) override { focus = id; }
  bool HasFocus(int id) const override { return focus == id; }
  void RedrawControl(int id) override { Log("redraw", id); }
  void SetListItems(int id, const std::vector<std::wstring>& entries) override {
    Log("fill", id);
    items[id] = entries;
  }
  void SelectListItem(int id, int index) override { selection[id] = index; }
  int ListSelection(int id) const override { return selection.count(id) ? selection.at(id) : -1; }
  void ScrollList(int id, int lines) override { Log("scroll", id, lines); }
  bool OpenList(int id, const layout::Rect&, const std::vector<std::wstring>& entries) override {
    Log("open", id, static_cast<int>(entries.size()));
    items[id] = entries;
    return true;
  }
  void CloseList() override { calls.push_back("close"); }
  void Repaint(const std::vector<layout::Rect>& rects) override { Log("repaint", static_cast<int>(rects.size())); }
  void End(bool ok) override { calls.push_back(ok ? "end ok" : "end cancel"); }
  void Tell(const std::wstring& text, const std::wstring&) override {
    calls.push_back("tell");
    told.push_back(text);
  }
  bool Ask(const std::wstring& question, const std::wstring&) override {
    calls.push_back("ask");
    told.push_back(question);
    return answer;
  }
  std::optional<int> StartKeyCapture() override {
    calls.push_back("capture");
    return captureError;
  }
  void StopKeyCapture() override { calls.push_back("stop capture"); }
  void* ChooserOwner() override { return this; }
  int TextWidth(std::wstring_view text) override { return 6 * static_cast<int>(text.size()); }
  int LineHeight() const override { return 12; }
  int Dpi() const override { return 96; }

  // The calls since the last look, cleared.
  std::vector<std::string> Take() { return std::exchange(calls, {}); }

 private:
  void Log(const char* what, int id) { calls.push_back(std::string(what) + " " + std::to_string(id)); }
  void Log(const char* what, int id, int n) {
    calls.push_back(std::string(what) + " " + std::to_string(id) + " " + std::to_string(n));
  }
};

}  // namespace kovral::testing
