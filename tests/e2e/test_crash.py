import contextlib, functools, itertools, os, pathlib, random, re, signal, subprocess, threading, time
from mail_servers import SmtpServer
from parupo_e2e import ProgramTest, lines, pp1, request_close, wait_until

# 8 to 40 kills: no new one after 30 seconds once 8 are done (a sanitizer build starts slower).
MIN_ROUNDS, ROUNDS, SECONDS = 8, 40, 30
DATA = ("PP1.dat", "PP2.dat", "PP4.dat", "PPad.dat")
LEFTOVER = re.compile(r"^\..+\.[0-9a-f]{12}\.tmp$")  # the temporary file of a save cut short


def settings(server, specific):  # reply-to mode "送らない"
    return pp1(smtp=server, reply_to="me@example.jp", specific=specific, quit=False, by_name=False)


class CrashTest(ProgramTest):
    def test_killed_while_saving_every_file_is_old_or_new_and_backed_up(self):
        seed = int(os.environ.get("PARUPO_CRASH_SEED", time.time_ns() % 100000))
        rng = random.Random(seed)
        self.server = self.serve(SmtpServer(self.root))
        self.smtp = "127.0.0.1:%d" % self.server.port
        self.specifics, self.recipients = ["old@example.jp"], ["h%d@example.jp" % i for i in range(10)]
        self.write("PP1.dat", settings(self.smtp, "old@example.jp"))
        self.write("PP2.dat", lines(*self.recipients))  # the first one is the start's recipient
        self.write("PP4.dat", lines("30"))
        self.write("PPad.dat", lines("友人", "佐藤\tsato@example.jp", "仕事", "鈴木\tsuzuki@example.jp"))
        self.book = self.read("PPad.dat")
        self.old_backups = {name: self.read(name).replace(b"example", b"earlier") for name in DATA}
        for name, data in self.old_backups.items():  # backups of an earlier day
            self.write(name[:-1] + "$", data)

        deadline = time.monotonic() + SECONDS
        for round_ in range(ROUNDS):
            if round_ >= MIN_ROUNDS and time.monotonic() > deadline:
                break
            yesterday = time.time() - 86400
            for name in DATA:  # last changed on an earlier day: start-up renews the backups
                os.utime(self.path(name), (yesterday, yesterday))
            app = self.start("round%d" % round_)
            kill = functools.partial(os.kill, app.pid, signal.SIGKILL)
            aimed = rng.randrange(1, 4) if rng.random() >= 0.25 else None  # a few ms into that action's save
            if aimed is None:  # or during start-up and its first saves
                threading.Timer(rng.uniform(0.05, 1.5), kill).start()
            try:
                self.save_until_killed(app, rng, aimed, kill)
            except Exception:  # the program went away under the call, or something failed
                with contextlib.suppress(subprocess.TimeoutExpired):
                    app.proc.wait(2)
                if app.running():
                    raise
            self.assertEqual(app.wait_exit(), -signal.SIGKILL)
            self.check_files("round %d, seed %d" % (round_, seed))
        self.assertGreater(len(self.server.messages), 0, "no mail was sent; seed %d" % seed)
        self.assertNotEqual(self.read("PP1.da$"), self.old_backups["PP1.dat"], "never backed up")

    def save_until_killed(self, app, rng, aimed, kill):
        """Saves the settings, sends, and closes the address book in random order until the
        program is killed: by the timer, or a few milliseconds into the save of action `aimed`."""
        menu = functools.cache(app.find)  # once per start: a search walks the whole tree

        def put(name, text):  # the panels' controls are found anew: each hiding forgets them
            app.find(name, "text", showing=True).queryEditableText().setTextContents(text)

        def wait_for(what, done):
            wait_until(lambda: app.check_running() or done(), timeout=5, what=what)

        def soon(now):  # the kill, a random moment into the save that follows
            if now:
                threading.Timer(rng.uniform(0, 0.02), kill).start()

        app.ready()
        for count in itertools.count(1):
            action = rng.choice(("settings", "send", "book"))
            n = len(self.specifics) + len(self.recipients)  # a new value each time
            if action == "settings":
                self.specifics.append("s%d@example.jp" % n)
                app.press(acc=menu("設定"))
                put("特定メールアドレス（色変更）", self.specifics[-1])
                soon(count == aimed)
                app.press(acc=menu("設定"))  # closing the panel saves PP1.dat and PP4.dat
            elif action == "send":
                self.recipients.append("r%d@example.jp" % n)
                put("宛先", self.recipients[-1])
                received = len(self.server.messages)
                app.press("メッセージ送信", "push button")
                if count == aimed:  # the log and the history are written once the mail is sent
                    while len(self.server.messages) == received and app.running():
                        time.sleep(0.001)
                    soon(True)
                wait_for("the send", lambda: len(self.server.messages) > received and
                         app.windows("送信完了"))
            else:
                app.press(acc=menu("あ2"))
                book = app.window("アドレス帳")
                soon(count == aimed)
                request_close(self.display, book)  # closing saves PPad.dat
                wait_for("the book closed", lambda: not app.windows("アドレス帳"))
            app.check_running()

    def check_files(self, where):
        allowed = {"PP1.dat": {settings(self.smtp, x) for x in self.specifics}, "PP4.dat": {lines("30")},
                   "PPad.dat": {self.book}}

        def whole(name, data):  # the history: ten slots, each empty or a recipient of a send
            slots = data.split(b"\r\n")
            return data in allowed[name] if name != "PP2.dat" else len(slots) == 11 and slots[-1] == b"" and (
                set(slots) <= {r.encode() for r in self.recipients} | {b""})
        for name in DATA:
            data, backup = self.read(name), self.read(name[:-1] + "$")  # raises when the backup is missing
            self.assertTrue(whole(name, data), "%s: %s is %r" % (where, name, data))
            self.assertTrue(whole(name, backup) or backup == self.old_backups[name],
                            "%s: the backup of %s is %r" % (where, name, backup))
        kept = set(DATA) | {n[:-1] + "$" for n in DATA} | {"parupo", ".parupo.lock"}
        self.assertEqual([f for f in os.listdir(self.path()) if f not in kept and not LEFTOVER.match(f)],
                         [], where)


class FullDiskTest(ProgramTest):
    def test_on_a_full_disk_the_old_settings_stay_and_one_message_says_so(self):
        old = settings("smtp.example.jp", "old@example.jp")
        self.write("PP1.dat", old)
        self.write("PP4.dat", lines("30"))
        # The program folder becomes a small file system of its own, seen by the program
        # alone: a tmpfs in a mount namespace of its own, filled with the folder's files.
        room = (os.path.getsize(os.environ["PARUPO"]) >> 10) + 2048
        mount = 'cd "$1" && mount -t tmpfs -o size=%dk tmpfs . && cp -a . "$1" && exec "$1/parupo"'
        app = self.start(prefix=["unshare", "--user", "--map-root-user", "--mount", "--", "sh",
                                 "-c", mount % room, "sh", self.path()]).ready()
        inside = "/proc/%d/root%s" % (app.pid, self.path())
        with open(os.path.join(inside, "filler"), "wb", buffering=0) as filler:
            for size in (1 << 20, 4096, 1):
                with contextlib.suppress(OSError):
                    while filler.write(bytes(size)):
                        pass
        before = sorted(os.listdir(inside))

        app.press("設定")
        app.set_text("特定メールアドレス（色変更）", "new@example.jp")
        app.press("設定")  # closing the panel saves
        text, ok = app.alert()
        self.assertEqual(len(app.all(role="alert")), 1)
        for part in ("PP1.dat", "ディスクの空きが足りません", "そのまま残っています"):
            self.assertIn(part, text)
        self.assertEqual(pathlib.Path(inside, "PP1.dat").read_bytes(), old)
        self.assertEqual(pathlib.Path(inside, "PP4.dat").read_bytes(), lines("30"))
        self.assertEqual(sorted(os.listdir(inside)), before)  # nothing half-written left
        app.press(acc=ok)

        os.remove(os.path.join(inside, "filler"))  # room again: the next save goes through
        app.press("設定")
        app.press("設定")
        wait_until(lambda: pathlib.Path(inside, "PP1.dat").read_bytes() ==
                   settings("smtp.example.jp", "new@example.jp"), what="the settings saved")
        self.assertEqual(app.all(role="alert"), [])
