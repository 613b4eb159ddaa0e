#pragma once
// The system's file dialogs: where a file goes or which file to open.
#include <memory>
#include <optional>
#include <string>

namespace kovral {

struct FileChoice {
  std::wstring title;
  std::wstring typeName;      // the filter's name of the file type
  std::wstring extension;     // without the dot; added to a name typed without one
  std::wstring allFilesName;  // the filter's name of every file
  std::wstring initialName;   // the name the save dialog proposes
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen path, or nothing when the user cancelled. `owner` is the
  // window the dialog belongs to (an HWND on Windows). Saving asks before
  // replacing a file; opening accepts only a file that exists.
  virtual std::optional<std::wstring> ChooseSave(void* owner, const FileChoice& choice) = 0;
  virtual std::optional<std::wstring> ChooseOpen(void* owner, const FileChoice& choice) = 0;
};

// The system's dialogs (Win32 build only).
std::unique_ptr<FileChooser> MakeSystemFileChooser();

}  // namespace kovral
