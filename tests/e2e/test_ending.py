import email, email.policy, os, pathlib, signal, time
from mail_servers import MuteOnQuitServer, SlowServer
from parupo_e2e import ProgramTest, pp1, request_close, wait_until

MAIL = (("宛先", "taro@example.jp"), ("件名", "件名"), ("本文", "本文"))

def settings(smtp="smtp.example.jp", **more):  # reply-to mode "送らない", no quitting, 6000 x 5000 twips
    return pp1(**{**dict(smtp=smtp, reply_to="me@example.jp", quit=False, height=6000, width=5000, by_name=False), **more})


class EndingTest(ProgramTest):
    def test_sigterm_and_sighup_save_the_settings_as_a_close_does(self):
        for name, sig in (("term", signal.SIGTERM), ("hup", signal.SIGHUP)):
            self.write("PP1.dat", settings())
            app = self.start(name).ready()
            app.press("送信後終了")  # on: the saved settings show it
            os.kill(app.pid, sig)
            self.assertEqual(app.wait_exit(), 0, name)
            self.assertEqual(self.read("PP1.dat"), settings(quit=True), name)


class DuringASendTest(ProgramTest):
    def test_clicks_and_keys_during_a_send_are_dropped(self):
        import pyatspi
        server = self.serve(SlowServer(rate=100))  # some 3 seconds for the mail: the user can act meanwhile
        self.write("PP1.dat", settings("127.0.0.1:%d" % server.port))
        app = self.start().ready(*MAIL)
        send = app.find("メッセージ送信", "push button")
        self.mouse(send, "click", "1")
        app.window("送信中")
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


class LongSendTest(ProgramTest):
    def test_a_long_send_shows_how_far_esc_and_the_close_box_ask_and_only_yes_stops_it(self):
        server = self.serve(SlowServer(rate=3 << 20))  # 9 seconds for 20 MB as sent
        self.write("PP1.dat", settings(smtp="127.0.0.1:%d" % server.port))
        pathlib.Path(self.root, "big.bin").write_bytes(data := os.urandom(20 << 20))
        # A close ends the program once its send is over, whatever the answer: it ends each start.
        for name, asks in (("first", (("Escape", "いいえ(N)"), ("Escape", "はい(Y)"), ("close", "いいえ(N)"))),
                           ("second", (("close", "はい(Y)"),))):
            app = self.start(name).ready(("宛先", "taro@example.jp"), ("件名", "大きな添付"), ("本文", "本文"))
            app.press("添付ファイル", "push button")
            app.set_text("ファイル名(N):", os.path.join(self.root, "big.bin"))
            app.press("開く(O)", "push button")
            app.window("20480 KB")
            for ask, answer in asks:
                pressed = self.ask_during_a_send(app, ask, answer)
            self.assertEqual(app.wait_exit(), 0, name)
        self.assertLess(time.monotonic() - pressed, 1.0)
        self.assertEqual(len(server.messages), 2)  # the two let go on, whole; the stopped ones never ended their data
        for content in server.messages:
            [part] = email.message_from_bytes(content, policy=email.policy.default).iter_attachments()
            self.assertTrue(part.get_content() == data)
        self.assertEqual(server.ends, 2)
        # A stop is no error: the box has its own words alone, as error.txt keeps them.
        self.assertEqual(self.read("error.txt").split(b"\r\n")[0], self.stopped.strip().encode("cp932"))
        self.assertEqual(self.read("PP1.dat").split(b"\r\n")[0], b"127.0.0.1:%d" % server.port)

    def ask_during_a_send(self, app, ask, answer):  # sends, asks with Esc or the close box, answers; when answered
        app.press("メッセージ送信", "push button")
        seen = []
        wait_until(lambda: seen.append(int(self.run_tool("xdotool", "getwindowname", *app.windows(
            "送信中 [0-9]+%")).split()[1][:-1])) or len(set(seen)) >= 3, what="a rising per cent")
        self.assertEqual(seen, sorted(seen))
        if ask == "close":
            request_close(self.display, app.window("送信中 [0-9]+%"))
        else:
            self.mouse(app.find("本文", "text"), "key", ask)
        # The answer with the real mouse, which the rest of the program ignores meanwhile.
        box = app.find(None, "alert")  # whether to stop
        button = wait_until(lambda: app.all(answer, "push button", root=box), what=answer)[0]
        pressed = time.monotonic()
        self.mouse(button, "click", "1")
        if ask == "close":
            return pressed  # the program ends once the send is over
        if answer == "いいえ(N)":
            app.window("送信完了")
        else:
            self.stopped, ok = app.alert()
            app.press(acc=ok)
            app.window("送信中止")
        return pressed


class EndingAfterASendTest(ProgramTest):
    def test_quitting_after_a_send_ends_soon_although_the_server_never_answers_quit(self):
        server = self.serve(MuteOnQuitServer(self.root))
        self.write("PP1.dat", settings("127.0.0.1:%d" % server.port, quit=True))
        app = self.start().ready(*MAIL)
        app.press("メッセージ送信", "push button")
        self.assertEqual(app.proc.wait(15), 0)  # the send allows a silent server a minute
        self.assertEqual((len(server.messages), server.quits), (1, 1))
