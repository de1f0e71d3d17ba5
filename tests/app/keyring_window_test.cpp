// The main window with a fake keyring and password box: the move of PP1.dat's passwords.
#include <gtest/gtest.h>

#include "app/form1_fixture.h"

namespace parupo {
namespace {

using namespace test;

using KeyringWindowTest = Form1Fixture<FakeMail>;

TEST_F(KeyringWindowTest, MoveWritesPP1OnlyOnceTheKeyringHoldsThePasswords) {
  pp1.smtpServer = "smtp://taro:pw@smtp.example.jp:587";
  putPP1();
  auto form = start();
  const std::string before = file("PP1.dat");
  keyring.storeRefusal = "キーリングに保存できませんでした。Cannot create an item in a locked collection";
  the<QAction>(*form, "MoveToKeyring")->trigger();
  EXPECT_EQ(file("PP1.dat"), before);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("locked collection"), std::string::npos);
  EXPECT_EQ(the<QLineEdit>(*form, "Text2")->text(), u("smtp://taro:pw@smtp.example.jp:587"));

  keyring.storeRefusal.clear();
  the<QAction>(*form, "MoveToKeyring")->trigger();
  EXPECT_EQ(dialogs.messages.back(), "パスワードをキーリングに移しました");
  EXPECT_EQ(keyring.items, (std::map<std::string, std::string>{{"smtp taro@smtp.example.jp:587", "pw"},
                                                                {"pop3 山田@pop.example.jp:110", "秘密,です"}}));
  EXPECT_EQ(the<QLineEdit>(*form, "Text2")->text(), u("smtp://taro@smtp.example.jp:587"));
  EXPECT_EQ(the<QLineEdit>(*form, "Text10")->text(), u(""));
  const Settings saved = savedPP1();
  EXPECT_EQ(saved.smtpServer, "smtp://taro@smtp.example.jp:587");
  EXPECT_EQ(saved.popPassword, "");
  EXPECT_EQ(saved.popUser, "山田");
  EXPECT_EQ(file("PP1.dat").find("pw@"), std::string::npos);
}

}  // namespace
}  // namespace parupo
