import contextlib, functools, itertools, os, pathlib, random, re, signal, subprocess, threading, time
from parupo_e2e import ProgramTest, lines, pp1, wait_until

# 8 to 40 kills: no new one after 30 seconds once 8 are done (a sanitizer build starts slower).
MIN_ROUNDS, ROUNDS, SECONDS = 8, 40, 30
DATA = ("PP1.dat", "PP2.dat", "PP4.dat", "PPad.dat")
LEFTOVER = re.compile(r"^\..+\.[0-9a-f]{12}\.tmp$")  # the temporary file of a save cut short
SMTP = "smtp.example.jp"


def settings(server, specific):  # reply-to mode "送らない"
    return pp1(smtp=server, reply_to="me@example.jp", specific=specific, quit=False, by_name=False)


class CrashTest(ProgramTest):
    # The history and the address book are saved by the same whole-file writer as the settings:
    # the settings' saves stand for them, the start-up's backups are taken of all four.
    def test_killed_while_saving_every_file_is_old_or_new_and_backed_up(self):
        seed = int(os.environ.get("PARUPO_CRASH_SEED", time.time_ns() % 100000))
        rng = random.Random(seed)
        self.specifics = ["old@example.jp"]
        self.write("PP1.dat", settings(SMTP, "old@example.jp"))
        self.write("PP2.dat", lines(*("h%d@example.jp" % i for i in range(10))))
        self.write("PP4.dat", lines("30"))
        self.write("PPad.dat", lines("友人", "佐藤\tsato@example.jp"))
        self.new = {name: self.read(name) for name in DATA}
        self.old_backups = {name: data.replace(b"example", b"earlier") for name, data in self.new.items()}
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
            aimed = rng.randrange(1, 4) if rng.random() >= 0.25 else None  # a few ms into that save
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
        self.assertNotEqual(self.read("PP1.da$"), self.old_backups["PP1.dat"], "never backed up")

    def save_until_killed(self, app, rng, aimed, kill):
        """Saves a new value of the settings again and again until the program is killed: by
        the timer, or a few milliseconds into the save number `aimed`."""
        menu = app.find("設定")  # once per start: a search walks the whole tree
        app.ready()
        for count in itertools.count(1):
            self.specifics.append("s%d@example.jp" % count)
            app.press(acc=menu)
            app.find("特定メールアドレス（色変更）", "text", showing=True).queryEditableText().setTextContents(
                self.specifics[-1])  # found anew: each hiding of the panel forgets its controls
            if count == aimed:
                threading.Timer(rng.uniform(0, 0.02), kill).start()
            app.press(acc=menu)  # closing the panel saves PP1.dat and PP4.dat
            app.check_running()

    def check_files(self, where):
        new_settings = {settings(SMTP, x) for x in self.specifics}
        for name in DATA:
            data, backup = self.read(name), self.read(name[:-1] + "$")  # raises when the backup is missing
            whole = new_settings if name == "PP1.dat" else {self.new[name]}
            self.assertIn(data, whole, "%s: %s" % (where, name))
            self.assertIn(backup, whole | {self.old_backups[name]}, "%s: the backup of %s" % (where, name))
        kept = set(DATA) | {n[:-1] + "$" for n in DATA} | {"parupo", ".parupo.lock", ".parupo.sock"}
        self.assertEqual([f for f in os.listdir(self.path()) if f not in kept and not LEFTOVER.match(f)],
                         [], where)


class FullDiskTest(ProgramTest):
    def test_on_a_full_disk_the_old_settings_stay_and_one_message_says_so(self):
        old = settings(SMTP, "old@example.jp")
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
        for part in ("PP1.dat", "PP4.dat", "ディスクの空きが足りません", "そのまま残っています"):
            self.assertIn(part, text)
        self.assertEqual(pathlib.Path(inside, "PP1.dat").read_bytes(), old)
        self.assertEqual(sorted(os.listdir(inside)), before)  # nothing half-written left
        app.press(acc=ok)

        os.remove(os.path.join(inside, "filler"))  # room again: the next save goes through
        app.press("設定")
        app.press("設定")
        wait_until(lambda: pathlib.Path(inside, "PP1.dat").read_bytes() ==
                   settings(SMTP, "new@example.jp"), what="the settings saved")
        self.assertEqual(app.all(role="alert"), [])
