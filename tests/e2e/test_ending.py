import asyncio, os, signal, time
from mail_servers import MuteOnQuitServer, SmtpServer
from parupo_e2e import ProgramTest, pp1, request_close

def settings(smtp="smtp.example.jp", **more):  # reply-to mode "送らない", no quitting, 6000 x 5000 twips
    return pp1(**{**dict(smtp=smtp, reply_to="me@example.jp", quit=False, height=6000, width=5000, by_name=False), **more})


class SlowServer(SmtpServer):
    """Takes its time over each message, so that the user can act during the send."""

    async def handle_DATA(self, server, session, envelope):
        await asyncio.sleep(3)
        return await super().handle_DATA(server, session, envelope)


class EndingTest(ProgramTest):
    def test_sigterm_and_sighup_save_the_settings_as_a_close_does(self):
        for name, sig in (("term", signal.SIGTERM), ("hup", signal.SIGHUP)):
            self.write("PP1.dat", settings())
            app = self.start(name)
            app.find("送信内容", showing=True)
            app.toggle("送信後終了", True)
            app.toggle("別々に送る", True)
            os.kill(app.pid, sig)
            self.assertEqual(app.wait_exit(), 0, name)
            self.assertEqual(self.read("PP1.dat"), settings(quit=True, reply_mode=3), name)
            self.assertEqual(self.read("PP4.dat"), b"999\r\n", name)


class DuringASendTest(ProgramTest):
    def start_sending(self, to):
        server = SlowServer(self.root)
        self.addCleanup(server.close)
        self.write("PP1.dat", settings("127.0.0.1:%d" % server.port))
        app = self.start()
        app.find("送信内容", showing=True)
        for name, text in (("宛先", to), ("件名", "件名"), ("本文", "本文")):
            app.set_text(name, text)
        send = app.find("メッセージ送信", "push button")
        self.mouse(send, "click", "1")
        app.window("送信中")
        return server, app, send

    def test_clicks_and_keys_during_a_send_are_dropped(self):
        import pyatspi
        server, app, send = self.start_sending("taro@example.jp")
        body, check = app.find("本文", "text"), app.find("返信先にコピーを送らない場合はチェック")
        self.mouse(check, "click", "1")
        for _ in range(2):
            self.mouse(body, "click", "1")
            self.run_tool("xdotool", "type", "--delay", "20", "xyz ")
            self.mouse(send, "click", "1")
        app.window("送信完了")
        time.sleep(1)  # time for a click kept for later to send again
        self.assertEqual(len(server.messages), 1)
        self.assertEqual(app.text_of(body), "本文")
        self.assertFalse(check.clear_cache() or check.getState().contains(pyatspi.STATE_CHECKED))
        self.assertEqual(app.close("送信完了"), 0)

    def test_a_close_during_a_failing_send_ends_the_program_after_its_box(self):
        server, app, _ = self.start_sending("refuse@example.jp")
        request_close(self.display, app.window("送信中"))
        text, ok = app.alert()
        self.assertIn(SlowServer.REFUSAL, text)
        self.assertTrue(app.running())
        app.press(acc=ok)
        self.assertEqual(app.wait_exit(), 0)
        self.assertEqual(self.read("PP1.dat").split(b"\r\n")[0], b"127.0.0.1:%d" % server.port)
        self.assertTrue(os.path.exists(self.path("PP4.dat")))


class EndingAfterASendTest(ProgramTest):
    def test_quitting_after_a_send_ends_soon_although_the_server_never_answers_quit(self):
        server = MuteOnQuitServer(self.root)
        self.addCleanup(server.close)
        self.write("PP1.dat", settings("127.0.0.1:%d" % server.port, quit=True))
        app = self.start()
        app.find("送信内容", showing=True)
        for name, text in (("宛先", "taro@example.jp"), ("件名", "件名"), ("本文", "本文")):
            app.set_text(name, text)
        app.press("メッセージ送信", "push button")
        self.assertEqual(app.proc.wait(15), 0)  # the send allows a silent server a minute
        self.assertEqual((len(server.messages), server.quits), (1, 1))
