// Form1 offscreen over a temporary program folder, with fake dialogs, clock and mail; the
// helpers every Form1 window test uses.
#pragma once

#include <gtest/gtest.h>

#include <QtWidgets>
#include <memory>

#include "app/form1.h"
#include "core/settings_file.h"
#include "platform/text_file.h"
#include "support/fake_keyring.h"
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
  FakeKeyring keyring;
  FakePasswordBox passwordBox;
  int ended = 0;
  // PP1.dat as putPP1 writes it: a server (so the window starts composing), 6000 high and 8000 wide.
  Settings pp1{.smtpServer = "smtp.example.jp",
               .replyTo = "me@example.jp",
               .specificAddress = "赤@example.jp",
               .dummyAddress = "dummy@example.jp",
               .popServer = "pop.example.jp",
               .popUser = "山田",
               .popPassword = "秘密,です",
               .quitAfterSend = false,
               .startupAddress = true,
               .saveLog = true,
               .subjectIsDate = true,
               .historyByName = false,
               .receiveFirst = true,
               .checkedReplyMode = ReplyToDummy,
               .height = 6000,
               .width = 8000};

  std::unique_ptr<Form1> start(bool show = true) {
    auto form = std::make_unique<Form1>(
        Services{dialogs, clock, random, mail, folder.path(), [this] { ++ended; }, &keyring, &passwordBox});
    if (show) form->show();
    QApplication::processEvents();
    return form;
  }
  std::string file(const std::string& name) const { return readBytes(folder / name); }
  void put(const std::string& name, const Lines& lines) { writeCp932Lines(folder / name, lines); }
  void putPP1() { put("PP1.dat", settingsFileLines(pp1)); }
  Settings savedPP1() const {  // what the program reads back from PP1.dat
    Settings settings;
    readSettingsFile(saved("PP1.dat"), settings);
    return settings;
  }
  Lines saved(const std::string& name) const { return readTextLines(folder / name).value_or(Lines{}); }
};

}  // namespace parupo::test
