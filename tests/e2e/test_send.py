"""ぱるぽ sends for real: a loopback SMTP server, the message log, error.txt and PP2.dat."""

import email
import email.policy
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, "..", "mailapi")]
from mail_servers import SmtpServer, free_port  # noqa: E402
from parupo_e2e import ProgramTest, lines, main, wait_until  # noqa: E402

ME = "me@example.jp"
TO = "taro@example.jp"
SUBJECT = "会議のお知らせ（第２回）"
BODY = "山田様\n明日の会議は１０時からです。\nよろしくお願いします。"


def settings(port, receive_first=False):
    """PP1.dat: the loopback server, the reply-to address, mode "コピーを送る", the
    message log on, no quitting after the send; the POP server is a port nobody serves."""
    return lines("127.0.0.1:%d" % port, ME, "", "", "False", "127.0.0.1:%d" % free_port(),
                 "me", "pw", " 1 ", "False", "True", " 5220 ", " 4770 ", "True", "False",
                 "False", str(receive_first))


def message_log(to):
    """The message log of the send: the recipient list holds the copy to the reply-to address."""
    return lines("", "宛先 : " + to + "\t" + ME, "返信 : " + ME, "件名 : " + SUBJECT, "本文 : ",
                 BODY.replace("\n", "\r\n"), "", "添付 : ")


class SendTest(ProgramTest):
    def compose_and_send(self, to=TO, receive_first=False):
        server = SmtpServer(self.root)
        self.addCleanup(server.close)
        self.write("PP1.dat", settings(server.port, receive_first))
        app = self.start()
        app.find("送信内容", showing=True)
        history = wait_until(lambda: self.read("PP2.dat"), what="PP2.dat at start-up")
        app.set_text("宛先", to)
        app.set_text("件名", SUBJECT)
        app.set_text("本文", BODY)
        before = time.strftime("%Y%m%d-%H%M-%S")
        app.press("メッセージ送信", "push button")
        return server, app, history, before

    def only_log(self, before):
        names = wait_until(lambda: os.listdir(self.path("log")), what="a message log")
        self.assertEqual(len(names), 1, names)
        self.assertRegex(names[0], r"^\d{8}-\d{4}-\d{2}\.txt$")
        self.assertTrue(before <= names[0][:-4] <= time.strftime("%Y%m%d-%H%M-%S"), names)
        return self.read(os.path.join("log", names[0]))

    def test_a_mail_arrives_and_is_logged_and_remembered(self):
        server, app, history, before = self.compose_and_send()
        app.window("送信完了")

        self.assertEqual(len(server.messages), 1)
        mail_from, rcpts, content = server.messages[0]
        self.assertEqual((mail_from, rcpts), (ME, [TO, ME]))
        msg = email.message_from_bytes(content, policy=email.policy.default)
        self.assertEqual(msg["Subject"], SUBJECT)
        self.assertEqual(msg.get_content().replace("\r\n", "\n"), BODY + "\n")

        self.assertEqual(self.only_log(before), message_log(TO))
        self.assertEqual(self.read("PP2.dat"), lines(TO, history.split(b"\r\n")[0], *[""] * 8))
        self.assertFalse(os.path.exists(self.path("error.txt")))
        self.assertEqual(app.close("送信完了"), 0)

    def test_a_refused_mail_is_reported_logged_and_not_remembered(self):
        refused = "refuse@example.jp"  # the server refuses this message at the end of DATA
        server, app, history, before = self.compose_and_send(refused, receive_first=True)

        text, box = app.alert()
        app.answer(box)
        app.window("送信エラー")

        self.assertEqual(server.messages, [])
        self.assertEqual(self.only_log(before), message_log(refused))
        error = self.read("error.txt")
        ret = error[:error.find("\r\n\r\n宛先 : ".encode("cp932"))]
        self.assertIn(b"554", ret)
        self.assertEqual(text, ret.decode("cp932") + "\r\nエラーが発生しました\r\n設定を確認してください。")
        self.assertEqual(error, ret + b"\r\n" + message_log(refused))
        self.assertEqual(self.read("PP2.dat"), history)
        self.assertTrue(app.running())


if __name__ == "__main__":
    main()
