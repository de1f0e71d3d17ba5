import os, signal
from parupo_e2e import ProgramTest, lines, snapshot, wait_until

TITLE = "!ぱるぽ"
FIRST_PP1 = lines("", "", "", "", "True", "", "", "", " 0 ", "False", "False", " 5220 ",
                  " 4770 ", "True", "False", "True", "False")
# As the Windows program wrote them: Japanese, a comma and a leading blank, 6000 x 5000 twips.
JAPANESE_PP1 = lines("smtp.example.jp", "山田 <yamada@example.jp>", "特定～①@example.jp",
                     " ダミー, 営業部", "False", "pop.example.jp", "ユーザー", "pass,word", " 2 ",
                     "True", "True", " 6000 ", " 5000 ", "True", "False", "False", "False")
CONTROLS = """送信内容 宛先 件名 本文 添付ファイル メッセージ送信 初期設定 SMPTサーバー 返信先アドレス
特定メールアドレス（色変更） ダミーメールアドレス 日経過したログは削除する POPサーバー ユーザー名 パスワード
返信先にコピーを送らない場合はチェック 設定 履歴 環境 び あ2 送信内容クリア 送信後終了 返信先に送信する
起動時特定アドレス 履歴を保存する 件名を日付にする 履歴を名称で表示する 最初に受信処理を行う 送らない
コピーを送る ダミーに送る 別々に送る""".split()


class StartupTest(ProgramTest):
    def test_first_start_writes_the_first_files_and_options_are_saved(self):
        app = self.start("first")
        app.find("初期設定", showing=True)
        self.assertFalse(app.all("送信内容", showing=True))
        self.assertEqual(sorted(set(CONTROLS) - {a.name for a in app.all()}), [])
        self.assertEqual(app.sizes(TITLE), ((4770 // 15, 5220 // 15),) * 2)
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual((self.read("PP1.dat"), self.read("PP4.dat")), (FIRST_PP1, b"999\r\n"))

        app = self.start("second")
        app.set_text("SMPTサーバー", "smtp.example.jp")
        for name, on in (("履歴を保存する", True), ("ダミーに送る", True), ("送信後終了", False)):
            app.toggle(name, on)
        app.press("設定")  # closing the settings panel saves
        wait_until(lambda: self.read("PP1.dat") != FIRST_PP1, what="PP1.dat saved")
        self.assertEqual(self.read("PP1.dat").split(b"\r\n")[:11], [
            b"smtp.example.jp", b"", b"", b"", b"False", b"", b"", b"", b" 2 ", b"False", b"True"])
        self.assertEqual(app.close(TITLE), 0)

    def test_second_start_is_refused_a_crash_does_not_block_and_old_layout_is_updated(self):
        old = ["smtp.example.jp", "me@example.jp", "", "False", "pop.example.jp", "me", "secret",
               "True", "False", "False", " 6000 ", " 5000 ", "True", "False", "True"]
        self.write("PP1.dat", lines(*old))
        first = self.start("first")
        first.find("送信内容", showing=True)
        before = snapshot(self.path())
        second = self.start("second")
        text, ok = second.alert()
        self.assertEqual((text, second.windows(TITLE)), ("既に起動されています", []))
        second.press(acc=ok)
        second.wait_exit()
        self.assertEqual(snapshot(self.path()), before)
        self.assertTrue(first.running())

        os.kill(first.pid, signal.SIGKILL)
        first.wait_exit()
        third = self.start("third")
        third.find("送信内容", showing=True)
        self.assertEqual(third.all(None, "alert"), [])
        self.assertEqual(third.close(TITLE), 0)
        self.assertEqual(self.read("PP1.dat"),
                         lines(*old[:3], "", *old[3:7], " 1 ", *old[8:], "False"))


class UnderWindowManagerTest(ProgramTest):
    window_manager = True

    def test_japanese_settings_survive_start_and_close_byte_for_byte(self):
        self.write("PP1.dat", JAPANESE_PP1)
        self.write("PP4.dat", b"30\r\n")
        app = self.start()
        self.assertEqual(app.text_of(app.find("ダミーメールアドレス", "text")), " ダミー, 営業部")

        def framed():  # twm's title bar outside, the window's outer size kept
            inner, outer = app.sizes(TITLE)
            return inner[1] < outer[1] and all(abs(a - b) <= 1 for a, b in zip(outer, (333, 400)))
        wait_until(framed, timeout=5, what="a frame with the window's outer size")
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual((self.read("PP1.dat"), self.read("PP4.dat")), (JAPANESE_PP1, b"30\r\n"))
