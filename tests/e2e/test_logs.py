import os, shutil, time
from parupo_e2e import ProgramTest, lines, request_close, wait_until

DAY = 24 * 3600
VIEWER = "!ぱるぽ びゅわー"


def log(to):
    return lines("", "宛先 : " + to, "返信 : me@example.jp", "件名 : 件名", "本文 : ", "本文です", "", "添付 : ")


class LogsTest(ProgramTest):
    def age(self, name, days):
        t = time.time() - days * DAY
        os.utime(self.path(name), (t, t))

    def test_start_up_backs_up_and_ages_and_the_viewer_takes_the_main_windows_place(self):
        self.write("PP1.dat", lines("127.0.0.1:25", "me@example.jp"))
        self.age("PP1.dat", 1)
        self.write("PP2.da$", b"yesterday's backup\r\n")
        self.write("PP2.dat", lines("a@example.jp"))  # changed today: its backup stays
        self.write("PP4.dat", lines("2"))
        os.makedirs(self.path("log"))
        for name, days in (("20000101-0000-00.txt", 5), ("old.dat", 5), ("20260101-0000-00.txt", 1),
                           ("20260102-0000-00.txt", 0)):
            self.write("log/" + name, log(name[:8] + "@example.jp"))
            self.age("log/" + name, days)
        pp1 = self.read("PP1.dat")

        app = self.start()
        app.find("送信内容", showing=True)
        self.assertEqual(sorted(os.listdir(self.path("log"))), ["20260101-0000-00.txt", "20260102-0000-00.txt"])
        self.assertEqual(self.read("PP1.da$"), pp1)
        self.assertEqual(self.read("PP2.da$"), b"yesterday's backup\r\n")

        # The viewer lists the logs newest first and hides the main window until it closes.
        app.press("び")
        app.window(VIEWER)
        items = wait_until(lambda: [a.name for a in app.all(role="list item")], what="the listed logs")
        self.assertEqual(items, ["20260102-0000-00.txt", "20260101-0000-00.txt"])
        wait_until(lambda: not app.windows("!ぱるぽ"), what="the main window hidden")
        request_close(self.display, app.window(VIEWER))
        app.window("!ぱるぽ")
        wait_until(lambda: not app.windows(VIEWER), what="the viewer closed")

        # Without a log folder only the message appears; the main window stays.
        shutil.rmtree(self.path("log"))
        app.press("び")
        text, ok = app.alert()
        self.assertEqual(text, "ログがありません")
        app.press(acc=ok)
        wait_until(lambda: not app.all(role="alert"), what="the message closed")
        self.assertTrue(app.windows("!ぱるぽ"))
        self.assertFalse(app.windows(VIEWER))
        self.assertEqual(app.close("!ぱるぽ"), 0)
