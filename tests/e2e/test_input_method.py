# Japanese typed through a real input method, fcitx5 with Anthy, as a user types it:
# romaji, Space to convert, Return to commit, which stays in the box that has it.
import email, email.policy, os, pathlib, subprocess, time
from mail_servers import SmtpServer
from parupo_e2e import ProgramTest, pp1, wait_until

ME = "me@example.jp"
PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=anthy

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=anthy
Layout=

[GroupOrder]
0=Default
"""


class InputMethodTest(ProgramTest):
    window_manager = True  # twm gives the keyboard to the window under the mouse
    program_env = {"QT_IM_MODULE": "fcitx"}

    def setUp(self):
        super().setUp()
        config = pathlib.Path(self.root, ".config", "fcitx5")
        config.mkdir(parents=True)
        (config / "profile").write_text(PROFILE)
        # Every box starts in hiragana, with no key to switch it on.
        (config / "config").write_text("[Behavior]\nActiveByDefault=True\n")
        self.spawn("fcitx5", ["fcitx5", "--disable=wayland,waylandim"])
        # Asking the bus, not fcitx5-remote, which would start a second fcitx5.
        wait_until(lambda: "true" in self.run_tool(
            "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus.NameHasOwner", "string:org.fcitx.Fcitx5"), what="fcitx5 on the session bus")

    def click_into(self, box, focused):  # and give the input method the box before the first key
        self.mouse(box, "click", "1")
        wait_until(lambda: focused(box), what="the box focused")
        time.sleep(1.5)

    def type(self, *steps):  # romaji typed as it stands, or ("key", name ...) pressed
        for step in steps:
            if isinstance(step, tuple):
                self.run_tool("xdotool", "key", "--delay", "150", *step[1:])
            else:
                self.run_tool("xdotool", "type", "--delay", "120", step)
            # The input method converts on its own time; nothing is asked of the program on the
            # accessibility bus meanwhile (a sanitized build takes a while to catch up).
            time.sleep(1.5)

    def test_romaji_converted_and_committed_stays_in_its_box_and_reaches_the_mail(self):
        server = self.serve(SmtpServer(self.root))
        self.write("PP1.dat", pp1(smtp="127.0.0.1:%d" % server.port, reply_to=ME, quit=False))
        app = self.start().ready(("宛先", "hanako@example.jp"))
        subject, body = app.find("件名", "text"), app.find("本文", "text")

        focused = lambda acc: acc.getState().contains(__import__("pyatspi").STATE_FOCUSED)
        self.click_into(subject, focused)
        self.type("nihon", ("key", "space", "Return"))
        wait_until(lambda: app.text_of(subject) == "日本", what="the converted subject")
        self.assertTrue(focused(subject))  # the committing Return did not move on to 本文

        self.click_into(body, focused)
        self.type("nihongo", ("key", "space", "Return", "Return"), "sakura")  # the last word left unconverted
        wait_until(lambda: app.text_of(body) == "日本語\n", what="the converted body, and さくら still being typed")
        self.assertTrue(focused(body))
        self.mouse(app.find("メッセージ送信", "push button"), "click", "1")
        app.window("送信完了")

        [(_, _, content)] = server.messages
        msg = email.message_from_bytes(content, policy=email.policy.default)
        self.assertEqual(msg["subject"], "日本")
        self.assertEqual(msg.get_body(("plain",)).get_content().replace("\r\n", "\n").rstrip("\n"), "日本語\nさくら")
        self.assertEqual(app.close("送信完了"), 0)
