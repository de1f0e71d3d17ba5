import asyncio, email, email.policy, re
from mail_servers import SmtpServer
from parupo_e2e import ProgramTest, lines, request_close, wait_until

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


def parsed(content):
    return email.message_from_bytes(content, policy=email.policy.default)


class BookTest(ProgramTest):
    def setUp(self):
        super().setUp()
        global pyatspi
        import pyatspi  # after the harness has set up its buses

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

    def mouse(self, acc, *actions):
        """xdotool actions at the middle of acc."""
        x, y, w, h = acc.queryComponent().getExtents(0)
        self.run_tool("xdotool", "mousemove", str(x + w // 2), str(y + h // 2), *actions)

    def popups(self):
        """How many windows are open beside the two: menus, a drag's picture. They have
        no title, and are no accessible children of the program."""
        return len(self.run_tool("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                 str(self.app.pid), "--class", "^parupo$").split()) - 2

    def choose(self, menus, *keys):
        """Keys for the popup menu once `menus` of them are open."""
        wait_until(lambda: self.popups() == menus, what="%d menus" % menus)
        self.run_tool("xdotool", "key", *keys)

    def expand(self, group, first_entry):
        self.mouse(wait_until(lambda: self.cells(group), what=group)[0], "click", "--repeat", "2", "1")
        wait_until(lambda: self.cells(first_entry), what="the entries of %s" % group)

    def texts(self, *names):
        """The texts of the boxes of those names (found once: a search walks the whole tree)."""
        boxes = self.__dict__.setdefault("boxes", {})
        return tuple(self.app.text_of(boxes.get(n) or boxes.setdefault(n, self.app.find(n, "text")))
                     for n in names)

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


class BesideTheMainWindowTest(BookTest):
    window_manager = True

    def test_opens_beside_the_main_window_a_click_takes_each_entrys_own_address_the_file_survives(self):
        app = self.open_book()

        def beside():
            main, book = self.frame(MAIN), self.frame(BOOK)
            return (book[0], book[1], book[3]) == (main[0] + main[2], main[1], main[3]) and book[2] > 0
        wait_until(beside, timeout=5, what="the book's frame at the main window's right edge")
        main_icon, book_icon = (self.run_tool("xprop", "-id", str(app.window(t)), "_NET_WM_ICON")
                                .split("=")[-1] for t in (MAIN, BOOK))
        self.assertEqual(book_icon, main_icon)
        self.assertIn("Icon (16 x 16)", book_icon)
        self.assertEqual([a.name for a in self.cells(None) if a.name], ["友人", "仕事", "空のグループ"])
        app.press("あ2", "menu item")  # again: the open book comes to the front, no second one

        self.expand("友人", "山田,太郎")
        self.expand("仕事", "髙橋～①, 営業部")
        for name, row, boxes in (
                ("同名", 1, ("同名", "dou-b@example.jp", "080-0000-1111")),
                ("山田,太郎", 0, ("山田,太郎", "yamada@example.jp", "")),
                ("同名", 0, ("同名", "dou-a@example.jp", "")),
                ("髙橋～①, 営業部", 0, ("髙橋～①, 営業部", "takahashi@example.jp", "090-1234-5678,内線"))):
            with self.subTest(name=name, row=row):
                self.mouse(self.cells(name)[row], "click", "1")
                wait_until(lambda: self.texts("宛先") == boxes[1:2], what="宛先 " + boxes[1])
                self.assertEqual(self.texts("名前", "アドレス", "携帯番号"), boxes)

        self.assertEqual(len(app.windows(BOOK)), 1)
        request_close(self.display, app.window(BOOK))  # its close box; the program goes on
        wait_until(lambda: not app.windows(BOOK), what="the book closed")
        self.assertEqual(self.read("PPad.dat"), PPAD)
        self.assertEqual(app.close(MAIN), 0)
        self.assertEqual(self.read("PPad.dat"), PPAD)


class ClosingTheMainWindowTest(BookTest):
    def test_what_was_typed_registered_moved_and_deleted_in_the_open_book_is_kept(self):
        app = self.open_book()
        self.expand("友人", "山田,太郎")
        self.mouse(self.cells("山田,太郎")[0], "click", "1")
        wait_until(lambda: self.texts("名前") == ("山田,太郎",), what="the entry shown")
        app.set_text("アドレス", "taro@example.jp")
        # A left click: the entry takes the boxes. Real clicks reach the program in order, so
        # once a click on the entry shows the new address, the update is done.
        self.mouse(app.find("登録", "push button"), "click", "1")
        self.mouse(self.cells("山田,太郎")[0], "click", "1")
        wait_until(lambda: self.texts("アドレス") == ("taro@example.jp",), what="the entry updated")
        for name, text in (("名前", "新人"), ("アドレス", "new@example.jp"), ("携帯番号", "090-9999-0000")):
            app.set_text(name, text)
        self.mouse(app.find("登録", "push button"), "click", "3")  # a right click: registered
        # Dragged onto the other group's name: the new entry moves to that group's end.
        new = wait_until(lambda: self.cells("新人"), what="the new entry")[0]
        self.mouse(new, "mousedown", "1")
        target = self.cells("空のグループ")[0]
        x, y, w, h = target.queryComponent().getExtents(0)
        for step in range(5, -1, -1):  # a hand's way there, the row's middle last
            self.run_tool("xdotool", "mousemove", str(x + 40), str(y + h // 2 - 4 * step))
        # Released once the tree has followed the mouse there, as a hand would.
        wait_until(lambda: target.clear_cache() or target.getState().contains(pyatspi.STATE_SELECTED),
                   what="the drop highlight")
        self.run_tool("xdotool", "mouseup", "1")
        wait_until(lambda: self.popups() == 0, what="the drag's end")  # the drop is handled by then
        # One of two entries of one name deleted from the tree's menu: the other one stays.
        self.mouse(self.cells("同名")[0], "click", "1")
        self.mouse(self.cells("同名")[0], "click", "3")
        self.choose(1, "Down", "Down", "Right")  # "削除", and in it the delete command
        self.choose(2, "Return")
        box = app.find(None, "alert")
        self.assertIn("同名 を削除しても良いですか？", [a.name for a in app.all(role="label", root=box)])
        app.press(acc=next(a for a in app.all(role="push button", root=box) if a.name.strip("&") == "Yes"))
        wait_until(lambda: not app.all(None, "alert"), what="the question answered")

        self.assertEqual(app.close(MAIN), 0)
        self.assertEqual(self.read("PPad.dat"), PPAD.replace(b"yamada@", b"taro@").replace(
            lines("同名\tdou-a@example.jp"), b"") + lines("新人\tnew@example.jp\t090-9999-0000"))


class HeldSmtpServer(SmtpServer):
    """Holds each message after DATA while `held` is set."""
    held, holding = False, 0

    async def handle_DATA(self, server, session, envelope):
        self.holding += self.held
        while self.held:
            await asyncio.sleep(0.05)
        return await super().handle_DATA(server, session, envelope)


class ConsecutiveSendTest(BookTest):
    def menu_send(self, keys):
        """"連続送信" from the tree's menu, and an entry of its list's "送信" menu."""
        self.mouse(self.cells("友人")[0], "click", "3")
        self.choose(1, "Up", "Return")  # the last entry: "連続送信"
        rows = self.app.all(None, "list item", root=self.app.find("連続送信", "list", showing=True))
        if not any(r.getState().contains(pyatspi.STATE_SELECTED) for r in rows):
            self.mouse(rows[0], "click", "1", "keydown", "shift")
            self.mouse(rows[-1], "click", "1", "keyup", "shift")
        self.mouse(rows[1], "click", "3")
        self.choose(1, "Down", "Right")  # "送信", and in it "1"
        self.choose(2, *keys)

    def test_three_entries_by_two_make_two_mails_and_a_close_in_a_run_waits_for_its_message(self):
        server = HeldSmtpServer(self.root)
        self.addCleanup(server.close)
        book = lines("友人", "山田\tyamada@example.jp", "鈴木\tsuzuki@example.jp\t090-1234-5678",
                     "佐藤\tsato@example.jp")
        smtp = "127.0.0.1:%d" % server.port
        app = self.open_book(book, smtp=smtp, quit_after_send=True)
        app.set_text("宛先", TO)
        self.menu_send(["Down", "Return"])  # "2"

        wait_until(lambda: len(server.messages) == 2, what="two mails")
        sent = [(frm, rcpts, parsed(content)) for frm, rcpts, content in server.messages]
        self.assertEqual([(frm, rcpts, m["Subject"], m.get_content()) for frm, rcpts, m in sent], [
            (ME, [TO], "アドレス一覧", "山田\r\nyamada@example.jp\r\n\r\n"
                                       "鈴木\r\nsuzuki@example.jp\r\n090-1234-5678\r\n\r\n"),
            (ME, [TO], "アドレス一覧", "佐藤\r\nsato@example.jp\r\n\r\n")])
        # The run ends: the option given back, the copy box unchecked, the tree shown again.
        marks = [app.find(n, r) for n, r in (("送信後終了", "menu item"),
                                             ("返信先にコピーを送らない場合はチェック", "check box"))]
        wait_until(lambda: [m.clear_cache() or m.getState().contains(pyatspi.STATE_CHECKED)
                            for m in marks] == [True, False], what="the options as they were")
        app.find(BOOK, "tree", showing=True)

        # By "1" now; the main window closed while the first message is on its way: the
        # program ends once it has gone, with the book and the user's own options saved.
        main, server.held = app.window(MAIN), True  # its caption changes while it sends
        self.menu_send(["Return"])
        wait_until(lambda: server.holding == 1, what="the first message of the run")
        request_close(self.display, main)
        server.held = False
        self.assertEqual(app.wait_exit(), 0)
        self.assertEqual([parsed(c)["Subject"] for _, _, c in server.messages],
                         ["アドレス一覧", "アドレス一覧", "山田"])
        self.assertEqual(self.read("PP1.dat"), settings(smtp, quit_after_send=True))
        self.assertEqual(self.read("PPad.dat"), book)
