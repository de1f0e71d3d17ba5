import email, email.policy
from mail_servers import SmtpServer
from parupo_e2e import ProgramTest, lines, wait_until

MAIN, BOOK = "!ぱるぽ", "アドレス帳"
ME, TO = "me@example.jp", "list@example.jp"
# As the Windows program wrote it, with what its own reader split or mixed up: commas in
# names and in a number, one name in two groups; "髙" as Windows writes it (the IBM
# extension's code, where Python's codec takes the NEC-selected one).
PPAD = lines("友人", "山田,太郎\tyamada@example.jp", "同名\tdou-a@example.jp",
             "仕事", "髙橋～①, 営業部\ttakahashi@example.jp\t090-1234-5678,内線",
             "同名\tdou-b@example.jp\t080-0000-1111", "空のグループ").replace(
    "髙".encode("cp932"), b"\xfb\xfc")


def settings(smtp="127.0.0.1:1", quit_after_send=False):
    """PP1.dat: reply-to mode "コピーを送る" to ME, no log; nobody serves the default port."""
    return lines(smtp, ME, "", "", str(quit_after_send), "", "", "", " 1 ", "False", "False",
                 " 5220 ", " 4770 ", "True", "False", "False", "False")


class BookTest(ProgramTest):
    def open_book(self, ppad=PPAD, **kwargs):
        self.write("PP1.dat", settings(**kwargs))
        self.write("PPad.dat", ppad)
        app = self.app = self.start()
        app.find("送信内容", showing=True)
        app.press("あ2", "menu item")
        app.window(BOOK)
        return app

    def cells(self, name):
        """The tree's rows of that name, top to bottom."""
        found = self.app.all(name, "table cell", showing=True)
        return sorted(found, key=lambda a: a.queryComponent().getExtents(0).y)

    def mouse(self, acc, *actions, dx=None):
        """xdotool actions at the middle of acc (or dx pixels from its left edge)."""
        x, y, w, h = acc.queryComponent().getExtents(0)
        self.run_tool("xdotool", "mousemove", str(x + (w // 2 if dx is None else dx)),
                      str(y + h // 2), *actions)

    def expand(self, group, first_entry):
        self.mouse(wait_until(lambda: self.cells(group), what=group)[0], "click", "--repeat", "2", "1")
        wait_until(lambda: self.cells(first_entry), what="the entries of %s" % group)

    def text(self, name):
        return self.app.text_of(self.app.find(name, "text"))

    def wait_text(self, name, text):
        wait_until(lambda: self.text(name) == text, what="%r in %r" % (text, name))

    def frame(self, title):
        """(x, y, width, height) of the window's outermost frame, on the screen."""
        wid = self.app.window(title)
        while True:
            info = self.run_tool("xwininfo", "-children", "-stats", "-id", str(wid))
            parent = re.search(r"Parent window id: (0x[0-9a-f]+) (?!\(the root window\))", info)
            if not parent:  # the border lies outside the window's own area
                x, y, w, h, b = (int(re.search(r"%s: *(-?\d+)" % f, info)[1]) for f in (
                    "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height", "Border width"))
                return x - b, y - b, w + 2 * b, h + 2 * b
            wid = int(parent[1], 16)


import re  # noqa: E402


class BesideTheMainWindowTest(BookTest):
    window_manager = True

    def test_opens_beside_the_main_window_a_click_takes_each_entrys_own_address_the_file_survives(self):
        app = self.open_book()

        def beside():
            main, book = self.frame(MAIN), self.frame(BOOK)
            return (book[0], book[1], book[3]) == (main[0] + main[2], main[1], main[3]) and book[2] > 0
        wait_until(beside, timeout=5, what="the book's frame at the main window's right edge")
        self.assertEqual([a.name for a in self.cells(None) if a.name], ["友人", "仕事", "空のグループ"])

        self.expand("友人", "山田,太郎")
        self.expand("仕事", "髙橋～①, 営業部")
        for name, row, boxes in (
                ("同名", 1, ("同名", "dou-b@example.jp", "080-0000-1111")),
                ("山田,太郎", 0, ("山田,太郎", "yamada@example.jp", "")),
                ("同名", 0, ("同名", "dou-a@example.jp", "")),
                ("髙橋～①, 営業部", 0, ("髙橋～①, 営業部", "takahashi@example.jp", "090-1234-5678,内線"))):
            with self.subTest(name=name, row=row):
                self.mouse(self.cells(name)[row], "click", "1")
                self.wait_text("宛先", boxes[1])
                self.assertEqual(tuple(self.text(n) for n in ("名前", "アドレス", "携帯番号")), boxes)

        self.app.proc  # the book closes by its close box; the program goes on
        from parupo_e2e import request_close
        request_close(self.display, app.window(BOOK))
        wait_until(lambda: not app.windows(BOOK), what="the book closed")
        self.assertEqual(self.read("PPad.dat"), PPAD)
        self.assertEqual(app.close(MAIN), 0)
        self.assertEqual(self.read("PPad.dat"), PPAD)
