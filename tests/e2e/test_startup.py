"""ぱるぽ from outside: start-up, closing, the settings files and the single-instance rule."""

import os
import signal
import stat
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from parupo_e2e import ProgramTest, lines, main, snapshot, wait_until  # noqa: E402

TITLE = "!ぱるぽ"

# What a first start that is closed at once leaves behind.
FIRST_PP1 = lines("", "", "", "", "True", "", "", "", " 0 ", "False", "False", " 5220 ",
                  " 4770 ", "True", "False", "True", "False")

# Settings as the Windows program wrote them: Japanese text, a value with a comma and a
# leading blank, the reply-to mode 2, a window 6000 twips high and 5000 wide.
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
        self.assertEqual(self.read("PP1.dat"), FIRST_PP1)
        self.assertEqual(self.read("PP4.dat"), b"999\r\n")
        self.assertEqual(stat.S_IMODE(os.stat(self.path("PP1.dat")).st_mode), 0o600)

        app = self.start("second")
        app.set_text("SMPTサーバー", "smtp.example.jp")
        app.toggle("履歴を保存する", True)
        app.toggle("ダミーに送る", True)
        app.toggle("送信後終了", False)
        app.press("設定")  # closes the settings panel, which saves
        app.find("送信内容", showing=True)
        wait_until(lambda: self.read("PP1.dat") != FIRST_PP1, what="PP1.dat saved")
        self.assertEqual(self.read("PP1.dat").split(b"\r\n")[:11], [
            b"smtp.example.jp", b"", b"", b"", b"False", b"", b"", b"", b" 2 ", b"False", b"True"])
        self.assertEqual(app.close(TITLE), 0)

    def test_second_start_is_refused_a_crash_does_not_block_and_old_layout_is_updated(self):
        self.write("PP1.dat", lines(
            "smtp.example.jp", "me@example.jp", "", "False", "pop.example.jp", "me", "secret",
            "True", "False", "False", " 6000 ", " 5000 ", "True", "False", "True"))
        first = self.start("first")
        first.find("送信内容", showing=True)
        before = snapshot(self.path())

        second = self.start("second")
        text, box = second.alert()
        self.assertEqual(text, "既に起動されています")
        self.assertEqual(second.windows(TITLE), [])
        second.answer(box)
        second.wait_exit()
        self.assertEqual(snapshot(self.path()), before)
        self.assertTrue(first.running())

        os.kill(first.pid, signal.SIGKILL)
        first.wait_exit()
        third = self.start("third")
        third.find("送信内容", showing=True)
        self.assertEqual(third.all(None, "alert"), [])
        self.assertEqual(third.close(TITLE), 0)
        self.assertEqual(self.read("PP1.dat"), lines(
            "smtp.example.jp", "me@example.jp", "", "", "False", "pop.example.jp", "me",
            "secret", " 1 ", "False", "False", " 6000 ", " 5000 ", "True", "False", "True",
            "False"))


class UnderWindowManagerTest(ProgramTest):
    """twm frames the window with a title bar: the outer size is kept, and closing
    writes back the size the window was given."""
    window_manager = True

    def test_japanese_settings_survive_start_and_close_byte_for_byte(self):
        self.write("PP1.dat", JAPANESE_PP1)
        self.write("PP4.dat", b"30\r\n")
        app = self.start()
        self.assertEqual(app.text_of(app.find("SMPTサーバー", "text")), "smtp.example.jp")
        self.assertEqual(app.text_of(app.find("ダミーメールアドレス", "text")), " ダミー, 営業部")
        app.find("送信内容", showing=True)

        def framed():
            inner, outer = app.sizes(TITLE)
            return inner[1] < outer[1] and all(abs(a - b) <= 1 for a, b in zip(outer, (333, 400)))
        wait_until(framed, timeout=5, what="a frame with the window's outer size")
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual(self.read("PP1.dat"), JAPANESE_PP1)
        self.assertEqual(self.read("PP4.dat"), b"30\r\n")


if __name__ == "__main__":
    main()
