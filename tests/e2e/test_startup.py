import os, time
from parupo_e2e import ProgramTest, lines, pp1, snapshot

TITLE = "!ぱるぽ"
FIRST_PP1 = pp1()
# As the Windows program wrote them: Japanese (表 and ソ end in a backslash byte, ｱ is one byte), a comma,
# a leading blank and quote, 6000 x 5000 twips.
JAPANESE_PP1 = pp1(smtp="smtp.example.jp", reply_to="山田 <yamada@example.jp>", specific="特定～①@example.jp",
                   dummy=" ダミー表ソｱ~, 営業部", quit=False, pop="pop.example.jp", user="ユーザー", password='"pass,word',
                   reply_mode=2, startup_address=True, save_log=True, height=6000, width=5000, by_name=False)


class FilesTest(ProgramTest):
    window_manager = True  # under twm, as a user starts it

    def test_the_first_files_and_japanese_settings_come_back_byte_for_byte_and_old_logs_go(self):
        app = self.start("first")
        app.find("初期設定", showing=True)
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual((self.read("PP1.dat"), self.read("PP4.dat")), (FIRST_PP1, b"999\r\n"))

        self.write("PP1.dat", JAPANESE_PP1)
        self.write("PP4.dat", b"30\r\n")
        for name, days in (("20000101-0000-00.txt", 40), ("20260101-0000-00.txt", 5)):  # 30 days kept
            self.write("log/" + name, b"")
            os.utime(self.path("log", name), (time.time() - days * 86400,) * 2)
        app = self.start("second")
        self.assertEqual(app.text_of(app.find("ダミーメールアドレス", "text")), " ダミー表ソｱ~, 営業部")
        self.assertEqual(os.listdir(self.path("log")), ["20260101-0000-00.txt"])  # aged at start-up
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual((self.read("PP1.dat"), self.read("PP4.dat")), (JAPANESE_PP1, b"30\r\n"))


class SingleInstanceTest(ProgramTest):
    def test_a_second_start_is_refused_and_touches_nothing_and_an_old_layout_is_updated(self):
        old = ["smtp.example.jp", "me@example.jp", "", "False", "pop.example.jp", "me", "secret",
               "True", "False", "False", " 6000 ", " 5000 ", "True", "False", "True"]
        self.write("PP1.dat", lines(*old))
        first = self.start("first").ready()
        before = snapshot(self.path())
        second = self.start("second")
        text, ok = second.alert()
        self.assertEqual((text, second.windows(TITLE)), ("既に起動されています", []))
        second.press(acc=ok)
        second.wait_exit()
        self.assertEqual(snapshot(self.path()), before)
        self.assertEqual(first.close(TITLE), 0)
        self.assertEqual(self.read("PP1.dat"), lines(*old[:3], "", *old[3:7], " 1 ", *old[8:], "False"))
