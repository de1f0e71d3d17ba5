// The floor of the start-up benchmark: a bare QMainWindow of the main window's first
// size (4770 x 5220 twips at 96 dpi), built by the same CMake and started the same way.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("bare"));
  window.resize(4770 / 15, 5220 / 15);
  window.show();
  return QApplication::exec();
}
