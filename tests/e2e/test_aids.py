import email, email.policy, os, pathlib
from mail_servers import SmtpServer
from parupo_e2e import ProgramTest, lines, wait_until

ME, TO = "me@example.jp", "taro@example.jp"
SUBJECTS = {"カエル", "かえる", "けーろ", "帰", "けろけろ"}
BODIES = {"よろん", "だよん", "ぽよん", "ぷよん", "ぷにぷに"}


class AidsTest(ProgramTest):
    def test_home_button_attachment_through_the_file_dialog_right_click_and_naisho(self):
        server = SmtpServer(self.root)
        self.addCleanup(server.close)
        # The developer's folder; reply-to mode "コピーを送る", no quitting after a send.
        self.write("PP1.dat", lines(
            "127.0.0.1:%d" % server.port, ME, "", "", "False", "", "", "", " 1 ", "False",
            "False", " 5220 ", " 4770 ", "True", "False", "False", "False"))
        self.write("pigeon2.vbp", b"")
        app = self.start()
        import pyatspi  # after the start: it must see the test's own buses
        app.find("送信内容", showing=True)
        app.set_text("宛先", TO)

        app.press("帰", "push button")  # a quick message, to the recipient alone
        app.window("送信完了")
        [(mail_from, rcpts, content)] = server.messages
        msg = email.message_from_bytes(content, policy=email.policy.default)
        self.assertEqual((mail_from, rcpts), (ME, [TO]))
        self.assertIn(msg["Subject"], SUBJECTS)
        self.assertIn(msg.get_content().strip(), BODIES)
        check = app.find("返信先にコピーを送らない場合はチェック", "check box")
        self.assertTrue(check.getState().contains(pyatspi.STATE_CHECKED))
        self.assertFalse(os.path.exists(self.path("naisho.txt")))  # no key in the body yet

        # An attachment with a Japanese name, through the real file dialog.
        data = bytes(range(256)) * 12 + "終わり\r\n".encode("cp932")
        attachment = pathlib.Path(self.root, "資料", "見積書 ①.bin")
        attachment.parent.mkdir()
        attachment.write_bytes(data)
        button = app.press("添付ファイル", "push button")
        app.set_text("File name:", str(attachment))
        app.press("Open", "push button")
        app.window("3 KB")
        self.assertEqual((button.name, button.description), ("添付ファイル", str(attachment)))
        app.press("メッセージ送信", "push button")
        wait_until(lambda: len(server.messages) == 2, what="the mail with the attachment")
        [part] = email.message_from_bytes(server.messages[1][2], policy=email.policy.default).iter_attachments()
        self.assertEqual((part.get_filename(), part.get_content()), (attachment.name, data))

        # A right click on the button drops it: the next mail goes without.
        x, y, w, h = button.queryComponent().getExtents(0)
        self.run_tool("xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "3")
        wait_until(lambda: button.clear_cache() or button.description == "添付ファイル", what="the attachment dropped")
        app.press("メッセージ送信", "push button")
        wait_until(lambda: len(server.messages) == 3, what="the mail after the drop")
        msg = email.message_from_bytes(server.messages[2][2], policy=email.policy.default)
        self.assertEqual(list(msg.iter_attachments()), [])

        # The first key in the body creates naisho.txt with the default set.
        x, y, w, h = app.find("本文", "text").queryComponent().getExtents(0)
        self.run_tool("xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1", "key", "a")
        wait_until(lambda: os.path.exists(self.path("naisho.txt")), what="naisho.txt")
        self.assertEqual(self.read("naisho.txt"), lines("★●◆■"))
        self.assertEqual(app.close("送信完了"), 0)
