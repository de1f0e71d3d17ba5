import email, email.policy, os, pathlib
from mail_servers import SmtpServer
from parupo_e2e import ProgramTest, lines, pp1, request_close, wait_until

ME, TO, SUBJECT = "me@example.jp", "taro@example.jp", "会議のお知らせ（第２回）"
PASTED = TO + "\thanako@example.jp"  # two cells of a spreadsheet
BODY = "山田様\n明日の会議は１０時からです。\nよろしくお願いします。"


class SendTest(ProgramTest):
    program_env = {"PARUPO_TEST_DUMPABLE": "1"}  # its /proc/PID/maps, readable without root

    # The log's layout: tests/send/parupo_test.cpp; the history's: Form1Test.HistoryMenusAcrossARestart...
    # 宛先 holds cells pasted from a spreadsheet: both are named in To:, the copy to oneself goes blind.
    def test_a_mail_with_an_attachment_chosen_in_the_file_dialog_arrives_and_is_logged_and_remembered(self):
        server = self.serve(SmtpServer(self.root))
        # Reply-to mode "コピーを送る", message log on, no quitting.
        self.write("PP1.dat", pp1(smtp="127.0.0.1:%d" % server.port, reply_to=ME, quit=False, reply_mode=1,
                                  save_log=True, by_name=False))
        app = self.start()
        app.find("送信内容", showing=True)
        maps = "/proc/%d/maps" % app.pid
        self.assertNotIn("libcurl", open(maps).read())  # the mail stack waits for the first send

        app.press("び")  # no log yet: only a message, and no viewer
        app.press(acc=app.alert()[1])
        wait_until(lambda: not app.all(role="alert"), what="the message closed")
        self.assertEqual((app.windows("!ぱるぽ びゅわー"), len(app.windows("!ぱるぽ"))), ([], 1))

        for name, text in (("宛先", PASTED), ("件名", SUBJECT), ("本文", BODY)):
            app.set_text(name, text)
        data = bytes(range(256)) * 12 + "終わり\r\n".encode("cp932")
        attachment = pathlib.Path(self.root, "見積書 ①.bin")
        attachment.write_bytes(data)
        app.press("添付ファイル", "push button")  # the real file dialog
        app.set_text("ファイル名(N):", str(attachment))  # Qt's own words in Japanese
        app.press("開く(O)", "push button")
        app.window("3 KB")
        app.press("メッセージ送信", "push button")
        app.window("送信完了")

        [(mail_from, rcpts, content)] = server.messages
        msg = email.message_from_bytes(content, policy=email.policy.default)
        self.assertEqual((mail_from, rcpts, msg["Subject"]), (ME, [TO, "hanako@example.jp", ME], SUBJECT))
        # Every address the user pasted is named; the copy to oneself goes blind.
        self.assertEqual([a.addr_spec for a in msg["To"].addresses], [TO, "hanako@example.jp"])
        self.assertEqual(msg.get_body(("plain",)).get_content().replace("\r\n", "\n"), BODY + "\n")
        [part] = msg.iter_attachments()
        self.assertEqual((part.get_filename(), part.get_content()), (attachment.name, data))
        [log] = os.listdir(self.path("log"))
        self.assertIn(("宛先 : " + TO + ", hanako@example.jp\t" + ME).encode("cp932"), self.read("log/" + log))
        self.assertEqual(self.read("PP2.dat").split(b"\r\n")[0], PASTED.encode())
        self.assertEqual(app.close("送信完了"), 0)
        self.assertEqual(server.quits, 1)  # the kept connection ended with QUIT, never just dropped


class DummyModeTest(ProgramTest):
    def test_behind_the_dummy_address_the_recipient_and_the_copy_stay_blind_and_the_viewer_names_the_recipient(self):
        server = self.serve(SmtpServer(self.root))
        me, dummy, to = f"山田太郎 <{ME}>", "ダミー <dummy@example.jp>", "花子 <hanako@example.jp>"
        self.write("PP1.dat", pp1(smtp="127.0.0.1:%d" % server.port, reply_to=me, dummy=dummy, quit=False, reply_mode=2,
                                  save_log=True, by_name=False))  # reply-to mode "ダミーに送る"
        for name, recipient in (("20240101-0000-00.txt", "hanako@example.jp"), ("20240102-0000-00.txt", dummy)):
            self.write("log/" + name, lines("", "宛先 : " + recipient, "返信 : " + me, "件名 : ", "本文 : ", "", "添付 : "))
        app = self.start()
        app.find("送信内容", showing=True)
        for name, text in (("宛先", to), ("件名", SUBJECT), ("本文", "明日、よろしく。")):
            app.set_text(name, text)
        body = app.find("本文", "text")
        self.mouse(body, "click", "1")  # Shift, Ctrl, Alt in that order: with Shift held the Alt key comes as Meta
        self.run_tool("xdotool", "keydown", "shift", "keydown", "ctrl", "keydown", "alt",
                      "keyup", "alt", "keyup", "ctrl", "keyup", "shift")
        wait_until(lambda: "、" not in app.text_of(body) and "。" not in app.text_of(body), what="the decoration")
        app.press("メッセージ送信", "push button")
        app.window("送信完了")

        [(mail_from, rcpts, content)] = server.messages
        self.assertEqual((mail_from, rcpts), (ME, ["dummy@example.jp", "hanako@example.jp", ME]))
        msg = email.message_from_bytes(content, policy=email.policy.default)
        self.assertEqual([(a.display_name, a.addr_spec) for a in msg["To"].addresses], [("ダミー", "dummy@example.jp")])
        self.assertNotIn(b"hanako", content.split(b"\r\n\r\n")[0])  # the header; the rest: the loopback tests

        # The viewer's recipient menu names whom the mail was written to: the log to her
        # from the earlier program, not the one to the dummy address, is of the same recipient.
        [log] = [name for name in os.listdir(self.path("log")) if not name.startswith("2024")]
        app.press("び")
        viewer = app.window("!ぱるぽ びゅわー")
        self.mouse(app.find("送信記録の一覧", showing=True), "click", "3")
        self.run_tool("xdotool", "key", "Down", "Return")  # its first entry, the newest recipient
        wait_until(lambda: [a.name for a in app.all(role="list item", showing=True)] == [log, "20240101-0000-00.txt"],
                   what="the logs to hanako@example.jp")
        request_close(self.display, viewer)
        self.assertEqual(app.close("送信完了"), 0)
