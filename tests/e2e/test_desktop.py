import re, time
from mail_servers import SmtpServer
from parupo_e2e import ProgramTest, lines, pp1, wait_until

ME = "me@example.jp"
STAMP = re.compile(r"\d\d/\d\d \d\d:\d\d")


class DesktopTest(ProgramTest):
    window_manager = True  # twm gives the keyboard to the window under the mouse

    def test_typing_keys_and_double_clicks_act_as_on_a_japanese_desktop(self):
        server = self.serve(SmtpServer(self.root))
        # A server set, no history yet: the recipient box holds the default domain alone.
        self.write("PP1.dat", pp1(smtp="127.0.0.1:%d" % server.port, reply_to=ME, quit=False, by_name=False))
        self.write("PPad.dat", lines("友人", "山田\tyamada@example.jp"))
        app = self.start()
        to = app.find("宛先", "text", showing=True)
        self.mouse(app.find("送信内容", showing=True))  # the keyboard comes with the mouse
        self.run_tool("xdotool", "type", "--delay", "50", "taro")
        wait_until(lambda: app.text_of(to) == "taro@example.jp", what="typing in front of the domain")

        app.ready(("件名", "件名"), ("本文", "本文"))
        self.mouse(app.find("宛先", "text"), "click", "1")
        self.run_tool("xdotool", "key", "--delay", "100", "Tab", "Tab", "Tab", "Return")  # to the send button
        app.window("送信完了")
        time.sleep(1)
        self.assertEqual(len(server.messages), 1)

        app.set_text("本文", "")
        self.mouse(app.find("本文", "label"), "click", "--repeat", "2", "--delay", "80", "1")
        body = app.find("本文", "text")
        wait_until(lambda: STAMP.search(app.text_of(body)), what="the date stamp")
        time.sleep(0.5)
        self.assertEqual(len(STAMP.findall(app.text_of(body))), 1)

        self.run_tool("xdotool", "key", "F10")  # the history menu, with the recipient just sent to
        app.find("taro@example.jp", "menu item", showing=True)
        self.run_tool("xdotool", "key", "Escape", "Escape")

        app.press("あ2", "menu item")
        group = wait_until(lambda: app.all("友人", "table cell", showing=True), what="the tree")[0]
        self.mouse(group, "click", "--repeat", "2", "1")  # opened
        wait_until(lambda: app.all("山田", "table cell", showing=True), what="the entry")
        self.run_tool("xdotool", "key", "Down")
        wait_until(lambda: app.text_of(to) == "yamada@example.jp", what="the entry's address in 宛先")
        shown = len(app.windows())
        self.run_tool("xdotool", "key", "shift+F10")  # its menu, and the delete question in Japanese
        wait_until(lambda: len(app.windows()) == shown + 1, what="the tree's menu")
        self.run_tool("xdotool", "key", "--delay", "150", "Down", "Down", "Right", "Return")
        box = app.find(None, "alert")
        self.assertEqual(sorted(a.name for a in app.all(role="push button", root=box)), ["いいえ(N)", "はい(Y)"])
        app.press("いいえ(N)", "push button")
        wait_until(lambda: not app.all(role="alert"), what="the question closed")
        self.run_tool("xdotool", "key", "Escape", "Escape")
        self.assertEqual(app.close("送信完了"), 0)


class CompletionTest(ProgramTest):
    window_manager = True  # twm gives the keyboard to the window under the mouse

    def test_addresses_are_offered_as_they_are_typed_and_the_chosen_one_fills_in_the_address(self):
        self.write("PP1.dat", pp1(smtp="smtp.example.jp", reply_to=ME, quit=False))
        self.write("PPad.dat", lines("友人", "山田\tyamada@example.jp", "花子\thanako@example.jp"))
        app = self.start().ready(("宛先", ""))
        to = app.find("宛先", "text", showing=True)
        self.mouse(to, "click", "1")
        self.run_tool("xdotool", "type", "--delay", "80", "taro@example.jp, ya")
        # The offers pop up under the box (a popup is no child of the program on the
        # accessibility bus: its window is seen); the first is the book's entry.
        wait_until(lambda: len(app.windows()) == 2, what="the offers under 宛先")
        self.run_tool("xdotool", "key", "--delay", "100", "Down", "Return")
        wait_until(lambda: app.text_of(to) == "taro@example.jp, 山田 <yamada@example.jp>", what="the chosen address")
        self.assertEqual(len(app.windows()), 1)
        self.assertEqual(app.close("!ぱるぽ"), 0)
