#include "view/message_box_qt.h"

#include <QDialogButtonBox>
#include <QMessageBox>

namespace kovral {

bool RunMessageBoxQt(QWidget* owner, const std::wstring& caption, const std::wstring& text, bool question) {
  QMessageBox box(question ? QMessageBox::Question : QMessageBox::NoIcon, QString::fromStdWString(caption),
                  QString::fromStdWString(text), question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
  if (question) box.setDefaultButton(QMessageBox::No);
  if (auto* buttons = box.findChild<QDialogButtonBox*>()) buttons->setCenterButtons(true);
  const int answer = box.exec();
  return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

void MessageBoxQt::Show(const std::wstring& text, const std::wstring& caption) {
  RunMessageBoxQt(nullptr, caption.empty() ? appName_ : caption, text, false);
}

}  // namespace kovral
