// The floor of the start-up benchmark: a bare QMainWindow of the main window's first
// size (4770 x 5220 twips at 96 dpi), built by the same CMake and started the same way.
// With --text it also shows one label and one line of input in the two fonts the main
// window uses: what any window that shows Japanese text pays before its own widgets
// (fontconfig, FreeType, HarfBuzz and the font files).
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("bare"));
  window.resize(4770 / 15, 5220 / 15);
  if (QApplication::arguments().contains(QStringLiteral("--text"))) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    auto* label = new QLabel(QStringLiteral("送信内容"));
    label->setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    auto* line = new QLineEdit(QStringLiteral("山田 <yamada@example.jp>"));
    line->setFont(QFont(QStringLiteral("IPAGothic"), 9));
    layout->addWidget(label);
    layout->addWidget(line);
    window.setCentralWidget(panel);
  }
  window.show();
  return QApplication::exec();
}
