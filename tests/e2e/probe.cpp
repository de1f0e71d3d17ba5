// A small window that the end-to-end harness checks itself against: a text box, a
// check box, a button that opens a modal box, a menu with a submenu, and a close step
// that writes what the window holds into a file beside the executable.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

class ProbeWindow : public QMainWindow {
 public:
  ProbeWindow() {
    setWindowTitle(QStringLiteral("!probe"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    text_ = new QLineEdit(central);
    text_->setAccessibleName(QStringLiteral("宛先"));
    check_ = new QCheckBox(QStringLiteral("確認"), central);
    auto* button = new QPushButton(QStringLiteral("送る"), central);
    layout->addWidget(text_);
    layout->addWidget(check_);
    layout->addWidget(button);
    setCentralWidget(central);
    connect(button, &QPushButton::clicked, this, [this] {
      QMessageBox box(QMessageBox::NoIcon, QStringLiteral("probe"), QStringLiteral("送りました"),
                      QMessageBox::Ok, this);
      box.exec();
      setWindowTitle(QStringLiteral("送信完了"));
    });
    QMenu* options = menuBar()->addMenu(QStringLiteral("環境"));
    option_ = options->addAction(QStringLiteral("送信後終了"));
    option_->setCheckable(true);
    QMenu* sub = options->addMenu(QStringLiteral("返信先に送信する"));
    sub->addAction(QStringLiteral("コピーを送る"), this,
                   [this] { setWindowTitle(QStringLiteral("コピー")); });
    menuBar()->addAction(QStringLiteral("設定"), this,
                         [this] { setWindowTitle(QStringLiteral("設定済")); });
    resize(320, 240);
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    QFile out(QCoreApplication::applicationDirPath() + QStringLiteral("/closed.txt"));
    if (out.open(QIODevice::WriteOnly)) {
      out.write(text_->text().toUtf8() + "\n" + (check_->isChecked() ? "1" : "0") +
                (option_->isChecked() ? "1" : "0") + "\n");
    }
    event->accept();
  }

 private:
  QLineEdit* text_;
  QCheckBox* check_;
  QAction* option_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ProbeWindow window;
  window.show();
  return app.exec();
}
