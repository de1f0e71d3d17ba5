# The program in an Xvfb and D-Bus of its own, in a temporary folder, driven through AT-SPI
# by accessible name. pyatspi keeps its first bus: one test per process.

import contextlib, ctypes, os, pathlib, re, shutil, signal, struct, subprocess, tempfile, time
import unittest

TIMEOUT = 20.0
_screen = None  # the running test's account of the screen, told when a wait times out


class ProgramEnded(AssertionError):  # nothing waited for can come any more
    pass


def wait_until(predicate, timeout=TIMEOUT, what="condition"):
    deadline, error = time.monotonic() + timeout, None
    while time.monotonic() < deadline:
        try:
            if value := predicate():
                return value
        except ProgramEnded:
            raise
        except Exception as e:  # the accessibility tree changes under our feet
            error = e
        time.sleep(0.1)
    raise AssertionError("timed out waiting for %s (%s)%s" % (what, error, _screen() if _screen else ""))


def _stop(proc):
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait(5)


# Xlib's own handler ends the process on an error, such as a window that is already gone.
_ignore_x_error = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)


def _send_client_message(display, window, message, data, to_root=False):
    x = ctypes.CDLL("libX11.so.6")
    x.XSetErrorHandler(_ignore_x_error)
    x.XOpenDisplay.restype = x.XInternAtom.restype = x.XDefaultRootWindow.restype = ctypes.c_void_p
    dpy = ctypes.c_void_p(x.XOpenDisplay(display.encode()))
    atom = lambda name: x.XInternAtom(dpy, name, 0) if isinstance(name, bytes) else name
    event = struct.pack("@iLiPLLi5l", 33, 0, 0, 0, window, atom(message), 32, *(atom(d) for d in data))
    # To the root window, as a pager asks the window manager (substructure redirect and notify).
    target, mask = (x.XDefaultRootWindow(dpy), 0x180000) if to_root else (window, 0)
    x.XSendEvent(dpy, ctypes.c_ulong(target), 0, ctypes.c_long(mask), ctypes.create_string_buffer(event, 192))
    x.XFlush(dpy)
    x.XCloseDisplay(dpy)


def request_close(display, window):  # WM_DELETE_WINDOW, as a window manager's close box sends
    _send_client_message(display, window, b"WM_PROTOCOLS", (b"WM_DELETE_WINDOW", 0, 0, 0, 0))


def request_maximized(display, window, on):  # or restored, as the title bar's button asks the window manager
    _send_client_message(display, window, b"_NET_WM_STATE", (
        int(on), b"_NET_WM_STATE_MAXIMIZED_VERT", b"_NET_WM_STATE_MAXIMIZED_HORZ", 1, 0), to_root=True)


class ProgramTest(unittest.TestCase):
    window_manager = False  # True: twm, which frames windows with title bars; or "openbox"
    program_env = {}  # more environment for the program (a scale of Qt's)

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="parupo-e2e-")
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        self.env = {"PATH": "/usr/local/bin:/usr/bin:/bin", "LANG": "C.UTF-8",
                    "HOME": self.root, "XDG_RUNTIME_DIR": self.root, "NO_AT_BRIDGE": "0"}
        self.env.update((k, v) for k, v in os.environ.items() if k.endswith("SAN_OPTIONS") or k == "TZ")
        self.display = self.env["DISPLAY"] = ":" + self.reporting(
            "Xvfb", "-displayfd", "{}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset", "-dpi", "96")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.reporting(
            "dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address={}")
        if self.window_manager == "openbox":  # maximises and restores as desktops do
            self.spawn("openbox", ["openbox", "--sm-disable"])
            wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run_tool(
                "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), what="openbox")
        elif self.window_manager:
            rc = pathlib.Path(self.root, "twmrc")
            rc.write_text('RandomPlacement\nUsePPosition "on"\nNoGrabServer\n' + "".join(
                '%sFont "fixed"\n' % f for f in ("Title", "Menu", "Icon", "Resize", "IconManager")))
            self.spawn("twm", ["twm", "-f", str(rc)])
        os.environ.update(self.env)  # this process talks to the same buses
        global pyatspi, _screen
        import pyatspi  # imported late: it must see our DISPLAY and session bus
        self.apps, _screen = [], self.screen
        self.addCleanup(globals().update, _screen=None)

    def screen(self):
        """The windows shown, each program's open message boxes and its output so far."""
        global _screen
        told, _screen = _screen, None  # nothing here waits for anything
        try:
            titles = []
            with contextlib.suppress(Exception):
                for w in self.run_tool("xdotool", "search", "--all", "--onlyvisible", "--name", ".").split():
                    titles.append(self.run_tool("xdotool", "getwindowname", w).strip())
            parts = ["\nwindows shown: " + (", ".join(map(repr, titles)) or "none")]
            for app in self.apps:
                parts.append("message boxes of %s: %s" % (app.name, app.boxes()))
                parts.append("output of %s:\n%s" % (app.name, app.output()[-4000:]))
            return "\n".join(parts)
        finally:
            _screen = told

    def spawn(self, name, argv, env=None, **kwargs):
        with open(os.path.join(self.root, name + ".log"), "ab") as log:
            proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log, stderr=log, cwd=self.root,
                                    env=env or self.env, start_new_session=True, **kwargs)
        self.addCleanup(_stop, proc)
        return proc

    def reporting(self, *argv):  # a server's first line (display, address) written to "{}"
        report = pathlib.Path(self.root, argv[0] + ".report")
        with open(report, "wb") as f:
            self.spawn(argv[0], [a.format(f.fileno()) for a in argv], pass_fds=[f.fileno()])
        return wait_until(lambda: report.read_text().endswith("\n") and report.read_text().strip(), what=argv[0])

    def serve(self, server):  # a mail server stopped with the test
        self.addCleanup(server.close)
        return server

    def run_tool(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=TIMEOUT).stdout

    def mouse(self, acc, *actions):  # xdotool actions, a real mouse's, at the middle of acc
        x, y, w, h = acc.queryComponent().getExtents(0)
        self.run_tool("xdotool", "mousemove", str(x + w // 2), str(y + h // 2), *actions)

    def start(self, name="parupo", prefix=(), args=()):  # the program folder's copy, through `prefix` if given
        exe = self.path("parupo")
        if not os.path.exists(exe):
            os.makedirs(self.path(), exist_ok=True)
            shutil.copy2(os.environ["PARUPO"], exe)
        app = App(self, name, self.spawn(name, [*prefix, exe, *args], env=dict(
            self.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", **self.program_env)))
        self.apps.append(app)
        return app

    def path(self, *names):
        return os.path.join(self.root, "program", *names)

    def read(self, name):
        return pathlib.Path(self.path(name)).read_bytes()

    def write(self, name, data):
        os.makedirs(os.path.dirname(self.path(name)), exist_ok=True)
        pathlib.Path(self.path(name)).write_bytes(data)


class App:
    def __init__(self, test, name, proc):
        self.test, self.name, self.proc, self.pid, self._acc = test, name, proc, proc.pid, None

    def running(self):
        return self.proc.poll() is None

    def ready(self, *texts):
        """Waits for the compose panel, then types each (box, text) in."""
        self.find("送信内容", showing=True)
        for name, text in texts:
            self.set_text(name, text)
        return self

    def wait_exit(self):
        return self.proc.wait(TIMEOUT)

    def output(self):  # what the program has written to its standard output and error
        return pathlib.Path(self.test.root, self.name + ".log").read_text(errors="replace")

    def check_running(self):
        if not self.running():
            raise ProgramEnded("the program ended (%s):\n%s" % (self.proc.returncode, self.output()))

    def program(self):  # the program's root on the accessibility bus, or None while it is not there
        self.check_running()
        if not self._acc:
            desktop = pyatspi.Registry.getDesktop(0)
            desktop.clear_cache()
            self._acc = next((a for a in desktop if a is not None and a.get_process_id() == self.pid), None)
        return self._acc

    def all(self, name=None, role=None, showing=None, root=None):
        self.check_running()
        wait_until(self.program, what="the program on the accessibility bus")
        root = root or self._acc
        root.clear_cache()

        def walk(acc):
            return [acc] + [a for child in acc if child is not None for a in walk(child)]

        def matches(a):
            try:
                return ((name is None or a.name == name) and role in (None, a.getRoleName()) and
                        (showing is None or a.getState().contains(pyatspi.STATE_SHOWING) == showing))
            except Exception:  # gone meanwhile
                return False
        return [a for a in walk(root) if matches(a)]

    def find(self, name, role=None, showing=None):
        return wait_until(lambda: (self.all(name, role, showing) or [None])[0], what="%r %s" % (name, role or ""))

    @staticmethod
    def text_of(acc):
        return acc.queryText().getText(0, -1)

    def set_text(self, name, text):
        acc = self.find(name, "text")
        acc.queryEditableText().setTextContents(text)
        wait_until(lambda: self.text_of(acc) == text, what="the text of %r" % name)

    def press(self, name=None, role=None, acc=None):
        # A handler that opens a modal box answers when the box closes: don't wait for it.
        acc = acc or self.find(name, role)
        pyatspi.setTimeout(2000, 2000)  # also for a program that has only just started
        with contextlib.suppress(Exception):
            acc.queryAction().doAction(0)
        pyatspi.setTimeout(25000, 15000)
        return acc

    def box_text(self, box):  # a message box's labels, one per line
        return "\n".join(a.name for a in self.all(role="label", root=box) if a.name)

    def alert(self):
        """The open message box's text and its OK button."""
        box = self.find(None, "alert")
        ok = next(a for a in self.all(role="push button", root=box) if a.name.strip("&") == "OK")
        return self.box_text(box), ok

    def boxes(self):
        """The text of every message box open now, without waiting, or why it is not known."""
        if not self.running():
            return "none (the program ended, %s)" % self.proc.returncode
        pyatspi.setTimeout(2000, 2000)
        try:
            if not self.program():
                return "not known (the program is not on the accessibility bus)"
            return repr([self.box_text(box) for box in self.all(role="alert")])
        except Exception as e:
            return "not known (%s)" % e
        finally:
            pyatspi.setTimeout(25000, 15000)

    def windows(self, title=None):  # titled so, or (None) every window shown, menus and drag pictures too
        return self.test.run_tool("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.pid),
                                  *(("--name", "^%s$" % title) if title else ("--class", "^parupo$"))).split()

    def window(self, title):
        return int(wait_until(lambda: self.windows(title), what="a window %r" % title)[0])

    def frames(self, title):
        """(x, y, width, height) on the screen of the window, then of each frame around it;
        a border lies outside the window's own area."""
        found, wid = [], self.window(title)
        while wid:
            info = self.test.run_tool("xwininfo", "-children", "-stats", "-id", str(wid))
            x, y, w, h, b = (int(re.search(r"%s: *(-?\d+)" % f, info)[1]) for f in (
                "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height", "Border width"))
            found.append((x - b, y - b, w + 2 * b, h + 2 * b))
            parent = re.search(r"Parent window id: (0x[0-9a-f]+) (?!\(the root window\))", info)
            wid = parent and int(parent[1], 16)
        return found

    def close_window(self, title):  # as its close box would
        request_close(self.test.display, self.window(title))

    def close(self, title):  # the window, then waits for the program to end
        self.close_window(title)
        return self.wait_exit()


def snapshot(folder):
    # The files (a running program's socket is no file to read).
    files = [p for d, _, names in os.walk(folder) for p in (pathlib.Path(d, f) for f in names) if p.is_file()]
    return {p: (p.read_bytes(), p.stat().st_mode, p.stat().st_mtime_ns) for p in files}


def lines(*values):  # CP932, each line ended by CR LF
    return b"".join(v.encode("cp932") + b"\r\n" for v in values)


def pp1(**fields):
    """PP1.dat's 17 lines as the program writes them: the first start's values where none is given."""
    values = dict(smtp="", reply_to="", specific="", dummy="", quit=True, pop="", user="", password="",
                  reply_mode=0, startup_address=False, save_log=False, height=5220, width=4770, line14=True,
                  date_subject=False, by_name=True, receive_first=False)
    assert fields.keys() <= values.keys(), fields.keys() - values.keys()
    values.update(fields)
    return lines(*(str(v) if isinstance(v, (bool, str)) else " %d " % v for v in values.values()))
