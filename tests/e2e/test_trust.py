import os, re, shutil, stat, time
from mail_servers import RawPopServer, SmtpServer, fingerprint
from parupo_e2e import ProgramTest, pp1, wait_until


def settings(smtp, **more):  # the message log on, no quitting
    return pp1(smtp=smtp, reply_to="me@example.jp", quit=False, save_log=True, **more)


class TrustTest(ProgramTest):
    def mode(self, name):
        return stat.S_IMODE(os.stat(self.path(name)).st_mode)

    def send(self, app):
        app.ready(("宛先", "hanako@example.jp"), ("件名", "件名"), ("本文", "本文"))
        app.press("メッセージ送信", "push button")
        return app.alert()

    def test_passwords_stay_in_pp1_and_every_file_is_private(self):
        smtp, pop = self.serve(SmtpServer(self.root)), self.serve(RawPopServer(connections=2))
        self.write("PP1.dat", settings("127.0.0.1:%d" % smtp.port, pop="127.0.0.1:%d" % pop.port, user="taro",
                                       password="S3cret", receive_first=True))
        os.chmod(self.path("PP1.dat"), 0o644)  # copied in from elsewhere, last changed yesterday
        os.utime(self.path("PP1.dat"), (time.time() - 86400,) * 2)
        app = self.start().ready()
        self.assertEqual((self.mode("PP1.dat"), self.mode("PP1.da$")), (0o600, 0o600))
        with open("/proc/%d/limits" % app.pid) as limits:
            self.assertRegex(limits.read(), r"Max core file size +0 +0 ")
        with open("/proc/%d/status" % app.pid) as status:  # SIGPIPE (13) ignored: a cut connection never kills it
            ignored = int(re.search(r"^SigIgn:\s*([0-9a-f]+)$", status.read(), re.M).group(1), 16)
        self.assertTrue(ignored >> 12 & 1, "SigIgn %x" % ignored)

        # No STLS: asked whether the password may go in clear, Enter answers いいえ; the check stops
        # before USER and says why, the mail goes.
        app.ready(("宛先", "hanako@example.jp"), ("件名", "件名"), ("本文", "本文"))
        app.press("メッセージ送信", "push button")
        box = app.find(None, "alert")
        self.assertEqual(sorted(a.name for a in app.all(role="push button", root=box)), ["いいえ(N)", "はい(Y)"])
        self.assertIn("POPサーバー（127.0.0.1）は暗号化に対応していません。", " ".join(a.name for a in app.all(role="label", root=box)))
        self.mouse(box, "key", "Return")
        text, ok = app.alert()
        self.assertIn("受信チェックを行いませんでした", text)
        app.press(acc=ok)
        app.window("送信完了")
        self.assertEqual(len(smtp.messages), 1)
        self.assertEqual(pop.received, b"CAPA\r\n")  # never USER or PASS

        app.press("設定")
        app.set_text("SMPTサーバー", "smtp://taro:S3cret/pw@127.0.0.1:%d" % smtp.port)
        app.press("設定")
        text, ok = self.send(app)
        self.assertNotIn("S3cret", text)
        app.press(acc=ok)
        app.window("送信エラー")
        self.assertNotIn(b"S3cret", self.read("error.txt"))
        files = ["error.txt", "PP2.dat", *("log/" + name for name in os.listdir(self.path("log")))]
        self.assertEqual((len(files), self.mode("log")), (4, 0o700))
        self.assertEqual({name: self.mode(name) for name in files}, dict.fromkeys(files, 0o600))
        self.assertEqual(app.close("送信エラー"), 0)

    def test_a_self_signed_server_is_explained_and_trusted_through_cacert_pem(self):
        smtp = self.serve(SmtpServer(self.root, starttls=True))
        self.write("PP1.dat", settings("localhost:%d" % smtp.port))
        os.mkfifo(self.path("PP2.dat"))  # nobody writes to them: reads must not wait
        os.mkfifo(self.path("PPad.dat"))
        app = self.start()
        text, ok = self.send(app)  # the box tells where to put the server's certificate, once compared
        self.assertIn("フィンガープリント（%s）" % fingerprint(smtp.cafile), text)
        app.press(acc=ok)
        app.window("送信エラー")
        shutil.copy(smtp.cafile, self.path("cacert.pem"))
        app.press("メッセージ送信", "push button")
        text, ok = app.alert()  # sent; the history that could not be read is kept
        self.assertIn("宛先の履歴 (PP2.dat) を保存できませんでした", text)
        app.press(acc=ok)
        self.assertEqual(len(smtp.messages), 1)
        self.assertTrue(stat.S_ISFIFO(os.stat(self.path("PP2.dat")).st_mode))
        wait_until(lambda: not app.all(role="alert"), what="the message closed")
        self.assertEqual(app.close("送信完了"), 0)
