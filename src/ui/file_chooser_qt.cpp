#include <QFileDialog>
#include <QWidget>

#include "ui/file_chooser.h"

namespace kovral {
namespace {

// The type's filter first, then every file: a Linux file need not have a
// dot in its name, so "every file" is "*".
QStringList FiltersOf(const FileChoice& choice) {
  const QString extension = QString::fromStdWString(choice.extension);
  return {QString::fromStdWString(choice.typeName) + QStringLiteral(" (*.%1)").arg(extension),
          QString::fromStdWString(choice.allFilesName) + QStringLiteral(" (*)")};
}

// Saving proposes the name and asks before replacing a file; a name typed
// without an extension gets the type's. Opening takes only a file that is there.
std::optional<std::wstring> Choose(QWidget* owner, const FileChoice& choice, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(owner, QString::fromStdWString(choice.title));
  dialog.setNameFilters(FiltersOf(choice));
  dialog.setDefaultSuffix(QString::fromStdWString(choice.extension));
  dialog.setAcceptMode(mode);
  if (mode == QFileDialog::AcceptSave) {
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!choice.initialName.empty()) dialog.selectFile(QString::fromStdWString(choice.initialName));
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdWString();
}

class QtFileChooser final : public FileChooser {
 public:
  std::optional<std::wstring> ChooseSave(void* owner, const FileChoice& choice) override {
    return Choose(static_cast<QWidget*>(owner), choice, QFileDialog::AcceptSave);
  }
  std::optional<std::wstring> ChooseOpen(void* owner, const FileChoice& choice) override {
    return Choose(static_cast<QWidget*>(owner), choice, QFileDialog::AcceptOpen);
  }
};

}  // namespace

std::unique_ptr<FileChooser> MakeSystemFileChooser() { return std::make_unique<QtFileChooser>(); }

}  // namespace kovral
