"""ぱるぽ from outside: start-up, closing, the settings files and the single-instance rule,
on the real executable in a real X server."""

import os
import signal
import stat
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import parupo_e2e as e2e  # noqa: E402

PARUPO = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ.get("PARUPO_E2E_BINARY")
TITLE = "!ぱるぽ"
CRLF = b"\r\n"


def lines(*values):
    return b"".join(v + CRLF for v in values)


# What a first start that is closed at once leaves behind.
FIRST_PP1 = lines(b"", b"", b"", b"", b"True", b"", b"", b"", b" 0 ", b"False", b"False",
                  b" 5220 ", b" 4770 ", b"True", b"False", b"True", b"False")

# Settings as the Windows program wrote them: CP932 Japanese text, a value with a comma
# and a leading blank, the reply-to mode 2, a window of 6000 by 5000 twips.
JAPANESE_PP1 = lines(
    b"smtp.example.jp",
    "山田 <yamada@example.jp>".encode("cp932"),
    "特定～①@example.jp".encode("cp932"),
    " ダミー, 営業部".encode("cp932"),
    b"False",
    b"pop.example.jp",
    "ユーザー".encode("cp932"),
    b"pass,word",
    b" 2 ",
    b"True",
    b"True",
    b" 6000 ",
    b" 5000 ",
    b"True",
    b"False",
    b"False",
    b"False")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


class StartupTest(unittest.TestCase):
    window_manager = None

    def setUp(self):
        self.desk = e2e.Desktop(window_manager=self.window_manager).__enter__()
        self.apps = []

    def tearDown(self):
        for app in self.apps:
            app.stop()
        self.desk.__exit__(None, None, None)

    def start(self, log_name="parupo"):
        app = e2e.App(self.desk, PARUPO, name="parupo")
        self.apps.append(app)
        return app.start(log_name)

    def pp(self, name):
        return os.path.join(self.desk.root, "program", name)

    def editable(self, app, name):
        for acc in app.all(name):
            if acc.getRoleName() != "label":
                return acc
        raise AssertionError("no field named %r in %s" % (name, app.names()))

    def test_first_start_shows_settings_and_close_writes_the_first_files(self):
        app = self.start()
        app.find("初期設定", showing=True)
        self.assertFalse(app.all("送信内容", showing=True))
        # The outer size, frame and title bar included; a window manager's frame is known
        # only once the window is mapped, so allow the program a moment to adjust.
        outer = (4770 // 15, 5220 // 15)
        try:
            e2e.wait_until(lambda: app.sizes(TITLE)[1] == outer, timeout=5, what="outer size")
        except e2e.HarnessError:
            self.assertEqual(app.sizes(TITLE)[1], outer)
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual(read(self.pp("PP1.dat")), FIRST_PP1)
        self.assertEqual(read(self.pp("PP4.dat")), b"999\r\n")
        self.assertEqual(stat.S_IMODE(os.stat(self.pp("PP1.dat")).st_mode), 0o600)

    def test_japanese_settings_survive_start_and_close_byte_for_byte(self):
        os.makedirs(self.pp(""), exist_ok=True)
        write(self.pp("PP1.dat"), JAPANESE_PP1)
        write(self.pp("PP4.dat"), b"30\r\n")
        app = self.start()
        field = app.find("SMPTサーバー", role="text")
        self.assertEqual(app.text_of(field), "smtp.example.jp")
        self.assertEqual(app.text_of(self.editable(app, "ダミーメールアドレス")), " ダミー, 営業部")
        app.find("送信内容", showing=True)
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual(read(self.pp("PP1.dat")), JAPANESE_PP1)
        self.assertEqual(read(self.pp("PP4.dat")), b"30\r\n")

    def test_earlier_layout_is_written_back_in_the_current_layout(self):
        os.makedirs(self.pp(""), exist_ok=True)
        write(self.pp("PP1.dat"), lines(
            b"smtp.example.jp", b"me@example.jp", b"", b"False", b"pop.example.jp", b"me",
            b"secret", b"True", b"False", b"False", b" 6000 ", b" 5000 ", b"True", b"False",
            b"True"))
        app = self.start()
        app.find("送信内容", showing=True)
        self.assertEqual(app.close(TITLE), 0)
        self.assertEqual(read(self.pp("PP1.dat")), lines(
            b"smtp.example.jp", b"me@example.jp", b"", b"", b"False", b"pop.example.jp", b"me",
            b"secret", b" 1 ", b"False", b"False", b" 6000 ", b" 5000 ", b"True", b"False",
            b"True", b"False"))

    def test_second_start_is_refused_and_a_crash_does_not_block(self):
        os.makedirs(self.pp(""), exist_ok=True)
        write(self.pp("PP1.dat"), JAPANESE_PP1)
        first = self.start("first")
        first.find("送信内容", showing=True)
        before = e2e.snapshot(self.pp(""))

        second = self.start("second")
        box = second.alert()
        self.assertEqual(second.alert_text(box), "既に起動されています")
        self.assertEqual([w for w in second.windows() if second.window_title(w) == TITLE], [])
        second.answer_alert(box)
        second.wait_exit()
        self.assertEqual(e2e.snapshot(self.pp("")), before)
        self.assertTrue(first.running())

        os.kill(first.pid, signal.SIGKILL)
        first.wait_exit()
        third = self.start("third")
        third.find("送信内容", showing=True)
        self.assertEqual(third.all(None, "alert"), [])
        self.assertEqual(third.close(TITLE), 0)

    def test_every_control_and_menu_entry_is_found_and_options_are_saved(self):
        app = self.start()
        app.find("初期設定", showing=True)
        names = [
            "送信内容", "宛先", "件名", "本文", "添付ファイル", "メッセージ送信",
            "初期設定", "SMPTサーバー", "返信先アドレス", "特定メールアドレス（色変更）",
            "ダミーメールアドレス", "日経過したログは削除する", "POPサーバー", "ユーザー名",
            "パスワード",
            "設定", "履歴", "環境", "び", "あ2",
            "送信内容クリア", "送信後終了", "返信先に送信する", "起動時特定アドレス",
            "履歴を保存する", "件名を日付にする", "履歴を名称で表示する", "最初に受信処理を行う",
            "送らない", "コピーを送る", "ダミーに送る", "別々に送る",
        ]
        present = {n for _, n in app.names()}
        self.assertEqual([n for n in names if n not in present], [])
        self.assertTrue(present & {"返信先にコピーを送らない場合はチェック", "Check1"})

        app.set_text("SMPTサーバー", "smtp.example.jp", role="text")
        save_history = app.press("履歴を保存する")
        e2e.wait_until(lambda: app.is_checked(save_history), what="check mark")
        dummy = app.press("ダミーに送る")
        e2e.wait_until(lambda: app.is_checked(dummy), what="reply-to mode")
        quit_after = app.press("送信後終了")
        e2e.wait_until(lambda: not app.is_checked(quit_after), what="check mark off")

        app.press("設定")  # closes the settings panel, which saves
        app.find("送信内容", showing=True)
        saved = e2e.wait_until(lambda: os.path.exists(self.pp("PP1.dat")) and read(self.pp("PP1.dat")),
                               what="PP1.dat")
        self.assertEqual(saved.split(CRLF)[:11], [
            b"smtp.example.jp", b"", b"", b"", b"False", b"", b"", b"", b" 2 ", b"False", b"True"])
        self.assertEqual(app.close(TITLE), 0)


class StartupUnderWindowManagerTest(StartupTest):
    window_manager = "twm"


if __name__ == "__main__":
    unittest.main()
