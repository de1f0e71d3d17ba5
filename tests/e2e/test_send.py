import email, email.policy, os, time
from mail_servers import SmtpServer, free_port
from parupo_e2e import ProgramTest, lines

ME, TO, SUBJECT = "me@example.jp", "taro@example.jp", "会議のお知らせ（第２回）"
BODY = "山田様\n明日の会議は１０時からです。\nよろしくお願いします。"


class SendTest(ProgramTest):
    def test_a_mail_arrives_and_is_logged_and_remembered(self):
        server = SmtpServer(self.root)
        self.addCleanup(server.close)
        # Reply-to mode "コピーを送る", message log on, no quitting; nobody serves the POP port.
        self.write("PP1.dat", lines(
            "127.0.0.1:%d" % server.port, ME, "", "", "False", "127.0.0.1:%d" % free_port(), "me",
            "pw", " 1 ", "False", "True", " 5220 ", " 4770 ", "True", "False", "False", "False"))
        self.write("PP2.dat", lines("hanako@example.jp", *[""] * 9))
        app = self.start()
        app.find("送信内容", showing=True)
        maps = "/proc/%d/maps" % app.pid
        self.assertNotIn("libcurl", open(maps).read())  # the mail stack waits for the first send
        for name, text in (("宛先", TO), ("件名", SUBJECT), ("本文", BODY)):
            app.set_text(name, text)
        before = time.strftime("%Y%m%d-%H%M-%S")
        app.press("メッセージ送信", "push button")
        app.window("送信完了")
        self.assertIn("libcurl", open(maps).read())

        [(mail_from, rcpts, content)] = server.messages
        msg = email.message_from_bytes(content, policy=email.policy.default)
        self.assertEqual((mail_from, rcpts, msg["Subject"]), (ME, [TO, ME], SUBJECT))
        self.assertEqual(msg.get_content().replace("\r\n", "\n"), BODY + "\n")
        [log] = os.listdir(self.path("log"))
        self.assertRegex(log, r"^\d{8}-\d{4}-\d{2}\.txt$")
        self.assertTrue(before <= log[:-4] <= time.strftime("%Y%m%d-%H%M-%S"))
        self.assertEqual(self.read("log/" + log), lines(  # with the copy to the reply-to address
            "", "宛先 : " + TO + "\t" + ME, "返信 : " + ME, "件名 : " + SUBJECT, "本文 : ",
            BODY.replace("\n", "\r\n"), "", "添付 : "))
        self.assertEqual(self.read("PP2.dat"), lines(TO, "hanako@example.jp", *[""] * 8))
        self.assertFalse(os.path.exists(self.path("error.txt")))
        self.assertEqual(app.close("送信完了"), 0)
        self.assertEqual(server.quits, 1)  # the kept connection ended with QUIT, never just dropped
