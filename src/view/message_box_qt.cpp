#include "view/message_box_qt.h"

#include <QMessageBox>

namespace kovral {

void MessageBoxQt::Show(const std::wstring& text, const std::wstring& caption) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdWString(caption.empty() ? appName_ : caption),
                  QString::fromStdWString(text), QMessageBox::Ok);
  box.exec();
}

}  // namespace kovral
