import os, subprocess, time
from parupo_e2e import ProgramTest, lines, pp1, snapshot, wait_until

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


class MailtoTest(ProgramTest):
    LINK = "mailto:hanako@example.jp?subject=%E4%BB%B6%E5%90%8D&body=%E6%9C%AC%E6%96%87%0D%0A2"

    def test_a_link_fills_the_first_start_and_a_later_start_hands_its_link_over_and_ends(self):
        self.write("PP1.dat", pp1(smtp="smtp.example.jp", reply_to="me@example.jp", quit=False))
        first = self.start("first", args=[self.LINK]).ready()
        boxes = lambda: tuple(first.text_of(first.find(name, "text")) for name in ("宛先", "件名", "本文"))
        self.assertEqual(boxes(), ("hanako@example.jp", "件名", "本文\n2"))
        before = snapshot(self.path())

        link = "mailto:taro@example.jp?cc=jiro@example.jp&bcc=spy@example.jp&subject=a%0D%0Ab&attach=/etc/passwd"
        second = self.start("second", args=[link])
        self.assertEqual(second.wait_exit(), 0)
        self.assertEqual(second.windows(), [])
        wait_until(lambda: boxes() == ("taro@example.jp, jiro@example.jp", "a  b", "本文\n2"), what="the link's boxes")
        self.assertNotEqual(first.windows(TITLE), [])  # its caption: nothing was sent
        self.assertEqual(snapshot(self.path()), before)
        self.assertEqual(first.close(TITLE), 0)

    def test_help_and_version_need_no_display_and_without_one_the_program_says_so(self):
        run = lambda *args: subprocess.run([os.environ["PARUPO"], *args], capture_output=True, text=True,
                                           env={"PATH": "/usr/bin:/bin", "HOME": self.root}, timeout=20)
        for option, text in (("--help", "使い方: parupo [mailto:リンク]"), ("--version", "parupo ")):
            done = run(option)
            self.assertEqual((done.returncode, done.stdout.splitlines()[0][:len(text)]), (0, text))
        done = run()
        self.assertEqual((done.returncode, len(done.stderr.splitlines())), (1, 1))
        self.assertIn("画面", done.stderr)
