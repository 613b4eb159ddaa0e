// The floor of a start to the tray: a bare Qt program that shows one
// QSystemTrayIcon and nothing else. bench/tray_start.py times it against
// kovral --simulate.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::darkCyan);
  QSystemTrayIcon icon{QIcon(pixmap)};
  icon.show();
  return app.exec();
}
