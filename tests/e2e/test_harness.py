"""The harness itself, against a small window of our own: when this fails, the machine's
X server or accessibility stack is at fault, not the program."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import parupo_e2e as e2e  # noqa: E402

PROBE = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ.get("PARUPO_E2E_PROBE")


class HarnessTest(unittest.TestCase):
    def test_drive_a_window_and_close_it(self):
        with e2e.Desktop() as desk:
            app = e2e.App(desk, PROBE).start()
            try:
                app.set_text("宛先", "太郎 <taro@example.jp>")
                check = app.press("確認", "check box")
                e2e.wait_until(lambda: app.is_checked(check), what="check mark")

                # A menu entry inside a menu, pressed without opening it.
                option = app.press("送信後終了")
                e2e.wait_until(lambda: app.is_checked(option), what="option check mark")
                app.press("設定")
                app.main_window("設定済")

                # A button that opens a modal box: the box is found and answered.
                box = app.press_into_modal("送る", "push button")
                self.assertEqual(app.alert_text(box), "送りました")
                app.answer_alert(box)
                app.main_window("送信完了")

                self.assertEqual(app.close(), 0)
                with open(os.path.join(app.folder, "closed.txt"), encoding="utf-8") as f:
                    self.assertEqual(f.read(), "太郎 <taro@example.jp>\n11\n")
            finally:
                app.stop()

    def test_window_manager_frames_the_window(self):
        with e2e.Desktop(window_manager="twm") as desk:
            app = e2e.App(desk, PROBE).start()
            try:
                app.find("宛先")
                window = app.main_window("!probe")
                e2e.wait_until(lambda: e2e.window_sizes(desk.display, window)[1] !=
                               e2e.window_sizes(desk.display, window)[0], what="a frame")
                (w, h), (fw, fh) = app.sizes("!probe")
                self.assertGreater(fh, h)  # the title bar
                self.assertEqual(app.close(), 0)
            finally:
                app.stop()


if __name__ == "__main__":
    unittest.main()
