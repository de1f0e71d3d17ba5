// Form1 offscreen over a temporary program folder, with fake dialogs, clock and mail; the
// helpers every Form1 window test uses.
#pragma once

#include <gtest/gtest.h>

#include <QtWidgets>
#include <memory>

#include "app/form1.h"
#include "platform/text_file.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo::test {

using Lines = std::vector<std::string>;

inline QString u(const char* text) { return QString::fromUtf8(text); }
inline QSize outer(const QWidget& w) { return w.frameGeometry().size(); }
inline QSizeF twips(const Form1& f) { return {f.windowWidth(), f.windowHeight()}; }

// The window's controls and menu entries, found by their names as a person's tools do.
template <typename T>
T* the(const Form1& form, const char* name) {
  T* control = form.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}
inline QAction* entry(const Form1& form, const char* menu, int index) {
  const QString name = QStringLiteral("%1_%2").arg(QString::fromLatin1(menu)).arg(index);
  QAction* action = form.findChild<QAction*>(name);
  EXPECT_NE(action, nullptr) << name.toStdString();
  return action;
}

template <typename Mail, typename FakeDialogsType = FakeDialogs>
class Form1Fixture : public ::testing::Test {
 protected:
  TempFolder folder;
  FakeDialogsType dialogs;
  FakeClock clock;
  FakeRandom random;
  Mail mail;
  int ended = 0;
  // A server (so the window starts composing), 6000 high and 8000 wide.
  Lines pp1 = {"smtp.example.jp", "me@example.jp", "赤@example.jp", "dummy@example.jp", "False", "pop.example.jp",
               "山田", "秘密,です", " 2 ", "True", "True", " 6000 ", " 8000 ", "True", "True", "False", "True"};

  std::unique_ptr<Form1> start(bool show = true) {
    auto form = std::make_unique<Form1>(Services{dialogs, clock, random, mail, folder.path(), [this] { ++ended; }});
    if (show) form->show();
    QApplication::processEvents();
    return form;
  }
  std::string file(const std::string& name) const { return readBytes(folder / name); }
  void put(const std::string& name, const Lines& lines) { writeCp932Lines(folder / name, lines); }
  Lines saved(const std::string& name) const { return readTextLines(folder / name).value_or(Lines{}); }
};

}  // namespace parupo::test
