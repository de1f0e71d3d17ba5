"""End-to-end harness: the real program in an Xvfb and a D-Bus session of its own, all
inside one temporary folder, driven through AT-SPI (pyatspi) by accessible name. Every
wait has a timeout. pyatspi keeps its first bus connection: run one test per process."""

import ctypes
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

warnings.filterwarnings("ignore", category=DeprecationWarning)
warnings.filterwarnings("ignore", category=ImportWarning)

TIMEOUT = 20.0


class HarnessError(Exception):
    pass


def wait_until(predicate, timeout=TIMEOUT, what="condition"):
    """Polls predicate until it gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception as e:  # the accessibility tree changes under our feet
            error = e
        if time.monotonic() > deadline:
            raise HarnessError("timed out waiting for %s (%s)" % (what, error))
        time.sleep(0.1)


def _stop(proc, group=False):
    if proc.poll() is not None:
        return
    send = (lambda sig: os.killpg(proc.pid, sig)) if group else proc.send_signal
    try:
        send(signal.SIGTERM)
        proc.wait(5)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        proc.wait(5)
    except ProcessLookupError:
        pass


def _atspi():
    import pyatspi  # imported late: it must see our DISPLAY and session bus
    return pyatspi


def request_close(display, window_id):
    """Sends WM_DELETE_WINDOW, as a window manager's close box does."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.c_void_p]
    x.XFlush.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x.XOpenDisplay(display.encode())
    if not dpy:
        raise HarnessError("cannot open display " + display)
    # An XClientMessageEvent, padded to the size of an XEvent.
    fields = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
              ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
              ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
              ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]
    event = type("XClientMessageEvent", (ctypes.Structure,), {"_fields_": fields})()
    event.type, event.window, event.format = 33, window_id, 32  # ClientMessage
    event.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    event.data[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(dpy, window_id, 0, 0, ctypes.byref(event))
    x.XFlush(dpy)
    x.XCloseDisplay(dpy)


class ProgramTest(unittest.TestCase):
    """An X server and a D-Bus session of its own for each test (and twm when
    window_manager is set); start() runs the program under test in it."""
    window_manager = False
    binary = None

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="parupo-e2e-")
        if os.environ.get("PARUPO_E2E_KEEP") != "1":
            self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        self.env = {"PATH": "/usr/local/bin:/usr/bin:/bin", "LANG": "C.UTF-8",
                    "HOME": self.folder("home"), "XDG_RUNTIME_DIR": self.folder("runtime"),
                    "NO_AT_BRIDGE": "0"}
        self.env.update((k, v) for k, v in os.environ.items()
                        if k in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "TZ"))
        self.folder("logs")
        self.display = ":" + self.spawn_reporting(
            "xvfb", "Xvfb", "-displayfd", "{fd}", "-screen", "0", "1280x1024x24",
            "-nolisten", "tcp", "-noreset", "-dpi", "96")
        self.env["DISPLAY"] = self.display
        # The session bus starts the accessibility bus on demand, in its process group.
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.spawn_reporting(
            "dbus", "dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address={fd}")
        if self.window_manager:
            # Frames with title bars, placed without asking; Xvfb has only "fixed".
            rc = os.path.join(self.root, "twmrc")
            with open(rc, "w") as f:
                f.write('RandomPlacement\nUsePPosition "on"\nNoGrabServer\n')
                for font in ("Title", "Menu", "Icon", "Resize", "IconManager"):
                    f.write('%sFont "fixed"\n' % font)
            self.spawn("wm", ["twm", "-f", rc], group=True)
        os.environ.update(self.env)  # this process talks to the same buses

    def folder(self, name):
        path = os.path.join(self.root, name)
        os.makedirs(path, mode=0o700, exist_ok=True)
        return path

    def log_path(self, name):
        return os.path.join(self.root, "logs", name + ".log")

    def spawn(self, log_name, argv, group=False, **kwargs):
        with open(self.log_path(log_name), "ab") as log:
            proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=subprocess.STDOUT, cwd=self.root,
                                    env=kwargs.pop("env", self.env),
                                    start_new_session=group, **kwargs)
        self.addCleanup(_stop, proc, group)
        return proc

    def spawn_reporting(self, log_name, *argv):
        """Runs a server that writes one line (its display, its address) to the file
        descriptor given in place of "{fd}"; gives back that line."""
        report = self.log_path(log_name + ".report")
        with open(report, "wb") as f:
            self.spawn(log_name, [a.format(fd=f.fileno()) for a in argv], group=True,
                       pass_fds=(f.fileno(),))


        def reported():
            text = pathlib.Path(report).read_text()
            return text.endswith("\n") and text.strip()
        return wait_until(reported, what=argv[0])

    def run_tool(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=TIMEOUT).stdout

    def start(self, log_name="parupo"):
        return App(self, log_name)

    def path(self, *names):
        return os.path.join(self.root, "program", *names)

    def read(self, name):
        return pathlib.Path(self.path(name)).read_bytes()

    def write(self, name, data):
        os.makedirs(self.path(), exist_ok=True)
        pathlib.Path(self.path(name)).write_bytes(data)


class App:
    """One run of the program, from a copy in the test's program folder."""

    def __init__(self, test, log_name):
        self.test = test
        exe = test.path(os.path.basename(test.binary))
        if not os.path.exists(exe):
            os.makedirs(test.path(), exist_ok=True)
            shutil.copy2(test.binary, exe)
        self.log = test.log_path(log_name)
        self.proc = test.spawn(log_name, [exe], env=dict(
            test.env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        self.pid = self.proc.pid
        self._acc = None

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self):
        return self.proc.wait(TIMEOUT)

    # -- accessibility --

    def accessible(self):
        def find():
            if not self.running():
                with open(self.log, errors="replace") as f:
                    raise HarnessError("the program ended (%s):\n%s" % (self.proc.returncode,
                                                                        f.read()))
            desktop = _atspi().Registry.getDesktop(0)
            desktop.clear_cache()
            for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
                if app is not None and app.get_process_id() == self.pid:
                    return app
        if self._acc is None:
            self._acc = wait_until(find, what="the program on the accessibility bus")
        return self._acc

    def _walk(self, acc, depth=0):
        yield acc
        try:
            children = [acc.getChildAtIndex(i) for i in range(acc.childCount)]
        except Exception:
            return
        for child in children:
            if child is not None and depth < 40:
                yield from self._walk(child, depth + 1)

    def all(self, name=None, role=None, showing=None, root=None):
        showing_state = _atspi().STATE_SHOWING
        root = root or self.accessible()
        root.clear_cache()
        found = []
        for acc in self._walk(root):
            try:
                if ((name is None or acc.name == name) and
                        (role is None or acc.getRoleName() == role) and
                        (showing is None or acc.getState().contains(showing_state) == showing)):
                    found.append(acc)
            except Exception:
                continue
        return found

    def find(self, name, role=None, showing=None):
        return wait_until(lambda: (self.all(name, role, showing) or [None])[0],
                          what="%r %s" % (name, role or ""))

    @staticmethod
    def text_of(acc):
        t = acc.queryText()
        return t.getText(0, t.characterCount)

    def set_text(self, name, text):
        acc = self.find(name, "text")
        acc.queryEditableText().setTextContents(text)
        wait_until(lambda: self.text_of(acc) == text, what="the text of %r" % name)

    def press(self, name=None, role=None, acc=None):
        """Presses a button or menu entry. A handler that opens a modal box answers only
        when the box closes, so the call does not wait long for the answer."""
        pyatspi = _atspi()
        acc = acc or self.find(name, role)
        action = acc.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        index = next((names.index(n) for n in ("press", "click", "toggle") if n in names), 0)
        pyatspi.setTimeout(2000, 15000)
        try:
            action.doAction(index)
        except Exception:
            pass  # no answer in time: the caller checks the effect
        finally:
            pyatspi.setTimeout(25000, 15000)
        return acc

    def alert(self):
        """The open message box and its text (its labels, one per line)."""
        box = self.find(None, "alert")
        return "\n".join(a.name for a in self.all(role="label", root=box) if a.name), box

    def answer(self, box, button="OK"):
        self.press(acc=next(a for a in self.all(role="push button", root=box)
                            if a.name.replace("&", "") == button))

    def toggle(self, name, on):
        acc = self.press(name)

        def checked():
            acc.clear_cache()
            return acc.getState().contains(_atspi().STATE_CHECKED) == on
        wait_until(checked, what="the check mark of %r" % name)

    # -- X11 --

    def windows(self, title):
        """Ids of the visible windows with this title (found by Qt's _NET_WM_PID)."""
        return self.test.run_tool("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                  str(self.pid), "--name", "^%s$" % title).split()

    def window(self, title):
        return int(wait_until(lambda: self.windows(title), what="a window %r" % title)[0])

    def sizes(self, title):
        """(width, height) of the window and of its outer frame (the window itself
        without a window manager), in pixels."""
        def size(wid):
            info = self.test.run_tool("xwininfo", "-id", str(wid))
            w, h, b = (int(re.search(k + r": *(\d+)", info).group(1))
                       for k in ("Width", "Height", "Border width"))
            return w + 2 * b, h + 2 * b
        inner = wid = self.window(title)
        while True:
            parent = re.search(r"Parent window id: (0x[0-9a-f]+)(.*)",
                               self.test.run_tool("xwininfo", "-children", "-id", str(wid)))
            if not parent or "(the root window)" in parent.group(2):
                return size(inner), size(wid)
            wid = int(parent.group(1), 16)

    def close(self, title):
        """Closes the window as its close box would; waits for the program to end."""
        request_close(self.test.display, self.window(title))
        return self.wait_exit()


def snapshot(folder):
    """Every file under folder with its bytes, mode and time: did a run change any?"""
    files = [pathlib.Path(d, f) for d, _, names in os.walk(folder) for f in names]
    return {p: (p.read_bytes(), p.stat().st_mode, p.stat().st_mtime_ns) for p in files}


def lines(*values):
    """A file of CP932 lines, each ended by CR LF."""
    return b"".join((v if isinstance(v, bytes) else v.encode("cp932")) + b"\r\n" for v in values)


def main():
    """Runs the tests named on the command line: <program> <Class.method>..."""
    ProgramTest.binary = sys.argv.pop(1)
    unittest.main(module="__main__", warnings="ignore")  # pyatspi warns about itself
