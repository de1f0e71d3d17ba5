"""End-to-end harness: the real program in an X server of its own, driven from outside.

One temporary folder holds everything: an Xvfb on a free display, a private D-Bus
session (which brings the accessibility bus along), the program folder with a copy of
the executable, and HOME/XDG folders. Widgets are found by accessible name through
AT-SPI (pyatspi). Every wait has a timeout; every child is stopped by its process id.
pyatspi keeps its first bus connection, so each process runs one Desktop.
"""

import ctypes
import os
import re
import select
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
            raise HarnessError("timed out waiting for %s%s" % (what, " (%s)" % error if error else ""))
        time.sleep(0.1)


def _popen(argv, log_path, **kwargs):
    with open(log_path, "ab") as log:
        return subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log,
                                stderr=subprocess.STDOUT, **kwargs)


def _popen_reporting(argv, log_path, **kwargs):
    """Starts a child that writes one line (display, bus address) to the pipe named
    "{fd}" in argv, and gives back the child and that line."""
    read_fd, write_fd = os.pipe()
    try:
        proc = _popen([a.format(fd=write_fd) for a in argv], log_path, pass_fds=(write_fd,),
                      start_new_session=True, **kwargs)
        os.close(write_fd)
        write_fd = None
        data = b""
        deadline = time.monotonic() + TIMEOUT
        while not data.endswith(b"\n") and time.monotonic() < deadline:
            if select.select([read_fd], [], [], 0.5)[0]:
                chunk = os.read(read_fd, 4096)
                if not chunk:
                    break
                data += chunk
        if not data.endswith(b"\n"):
            _stop(proc, group=True)
            raise HarnessError("%s gave no answer" % argv[0])
        return proc, data.decode().strip()
    finally:
        os.close(read_fd)
        if write_fd is not None:
            os.close(write_fd)


def _stop(proc, group=False):
    if proc is None or proc.poll() is not None:
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


class Desktop:
    """An X server, a D-Bus session and optionally twm, inside a temporary folder."""

    def __init__(self, window_manager=False):
        self.root = tempfile.mkdtemp(prefix="parupo-e2e-")
        self.window_manager = window_manager
        self.procs = []

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.__exit__()
            raise
        return self

    def _log(self, name):
        return os.path.join(self.root, "logs", name + ".log")

    def _start(self):
        for sub in ("home", "runtime", "cache", "config", "data", "logs"):
            os.makedirs(os.path.join(self.root, sub), mode=0o700)
        xvfb, display = _popen_reporting(
            ["Xvfb", "-displayfd", "{fd}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             "-noreset", "-dpi", "96"], self._log("xvfb"))
        self.procs.append(xvfb)
        self.display = ":" + display
        self.env = {"PATH": "/usr/local/bin:/usr/bin:/bin", "DISPLAY": self.display,
                    "HOME": os.path.join(self.root, "home"), "LANG": "C.UTF-8",
                    "XDG_RUNTIME_DIR": os.path.join(self.root, "runtime"),
                    "XDG_CACHE_HOME": os.path.join(self.root, "cache"),
                    "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
                    "XDG_DATA_HOME": os.path.join(self.root, "data"), "NO_AT_BRIDGE": "0"}
        for keep in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "TZ"):
            if keep in os.environ:
                self.env[keep] = os.environ[keep]
        # The session bus starts the accessibility bus on demand, in its process group.
        dbus, address = _popen_reporting(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address={fd}"],
            self._log("dbus"), env=self.env)
        self.procs.append(dbus)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        if self.window_manager:
            # Frames with title bars, placed without asking; Xvfb has only "fixed".
            rc = os.path.join(self.root, "twmrc")
            with open(rc, "w") as f:
                f.write('RandomPlacement\nUsePPosition "on"\nNoGrabServer\n')
                f.writelines('%s "fixed"\n' % font for font in ("TitleFont", "MenuFont",
                                                               "IconFont", "ResizeFont",
                                                               "IconManagerFont"))
            self.procs.append(_popen(["twm", "-f", rc], self._log("wm"), env=self.env,
                                     start_new_session=True))
            time.sleep(0.5)
        os.environ.update(self.env)  # this process talks to the same buses

    def __exit__(self, *exc):
        for proc in reversed(self.procs):
            _stop(proc, group=True)
        if os.environ.get("PARUPO_E2E_KEEP") != "1":
            shutil.rmtree(self.root, ignore_errors=True)

    def run(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=TIMEOUT).stdout


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
    # XClientMessageEvent: type, serial, send_event, display, window, message_type, format,
    # data; padded to the size of an XEvent.
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


class App:
    """One run of a program, copied into the program folder of its desktop."""

    def __init__(self, desktop, binary, log_name="app"):
        self.desktop = desktop
        self.folder = os.path.join(desktop.root, "program")
        os.makedirs(self.folder, exist_ok=True)
        self.exe = os.path.join(self.folder, os.path.basename(binary))
        if not os.path.exists(self.exe):
            shutil.copy2(binary, self.exe)
        self.log_name = log_name
        env = dict(desktop.env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.proc = _popen([self.exe], desktop._log(log_name), cwd=desktop.root, env=env)
        self.pid = self.proc.pid
        self._acc = None

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("the program did not end within %.0f s" % timeout)

    def stop(self):
        _stop(self.proc)

    def log(self):
        with open(self.desktop._log(self.log_name), "rb") as f:
            return f.read().decode(errors="replace")

    # -- accessibility --

    def accessible(self):
        def find():
            if not self.running():
                raise HarnessError("the program ended (exit %s):\n%s" % (
                    self.proc.returncode, self.log()))
            desktop = _atspi().Registry.getDesktop(0)
            desktop.clear_cache()
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
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

    def find(self, name, role=None, showing=None, timeout=TIMEOUT):
        return wait_until(lambda: (self.all(name, role, showing) or [None])[0], timeout,
                          what="%r %s" % (name, role or ""))

    def names(self):
        return {acc.name for acc in self.all()}

    @staticmethod
    def text_of(acc):
        t = acc.queryText()
        return t.getText(0, t.characterCount)

    def set_text(self, name, text, role="text"):
        acc = self.find(name, role)
        acc.queryEditableText().setTextContents(text)
        wait_until(lambda: self.text_of(acc) == text, what="the text of %r" % name)
        return acc

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
            pass  # timed out: the effect is checked by the caller
        finally:
            pyatspi.setTimeout(25000, 15000)
        return acc

    def alert(self):
        """The text of the open message box (its labels) and the box itself."""
        box = self.find(None, "alert")
        texts = [a.name for a in self.all(role="label", root=box) if a.name]
        return "\n".join(texts), box

    def answer(self, box, button="OK"):
        buttons = [a for a in self.all(role="push button", root=box)
                   if a.name.replace("&", "") == button]
        if not buttons:
            raise HarnessError("no button %r in the box" % button)
        self.press(acc=buttons[0])

    def checked(self, acc):
        acc.clear_cache()
        return acc.getState().contains(_atspi().STATE_CHECKED)

    def toggle(self, name, on):
        acc = self.press(name)
        wait_until(lambda: self.checked(acc) == on, what="check mark of %r" % name)

    # -- X11 --

    def windows(self):
        """Ids of the visible X windows of this process (Qt sets _NET_WM_PID)."""
        out = self.desktop.run("xdotool", "search", "--onlyvisible", "--pid", str(self.pid))
        return [int(w) for w in out.split()]

    def title(self, window_id):
        return self.desktop.run("xdotool", "getwindowname", str(window_id)).rstrip("\n")

    def window(self, title, timeout=TIMEOUT):
        return wait_until(lambda: next((w for w in self.windows() if self.title(w) == title),
                                       None), timeout, what="a window titled %r" % title)

    def sizes(self, title):
        """(width, height) of the window and of its outer frame (the window itself
        without a window manager), in pixels."""
        def size(wid):
            info = self.desktop.run("xwininfo", "-id", str(wid))
            w, h, b = (int(re.search(k + r": *(\d+)", info).group(1))
                       for k in ("Width", "Height", "Border width"))
            return w + 2 * b, h + 2 * b
        inner = wid = self.window(title)
        while True:
            parent = re.search(r"Parent window id: (0x[0-9a-f]+)(.*)",
                               self.desktop.run("xwininfo", "-children", "-id", str(wid)))
            if not parent or "(the root window)" in parent.group(2):
                return size(inner), size(wid)
            wid = int(parent.group(1), 16)

    def close(self, title):
        """Closes the window as its close box would; waits for the program to end."""
        request_close(self.desktop.display, self.window(title))
        return self.wait_exit()


def snapshot(folder):
    """Every file under folder with its bytes, mode and time: did a run change any?"""
    result = {}
    for dirpath, _, files in os.walk(folder):
        for f in files:
            p = os.path.join(dirpath, f)
            with open(p, "rb") as fh:
                st = os.stat(p)
                result[os.path.relpath(p, folder)] = (fh.read(), st.st_mode, st.st_mtime_ns)
    return result


class ProgramTest(unittest.TestCase):
    """A desktop of its own for each test; start() runs the program under test."""
    window_manager = False
    binary = None

    def setUp(self):
        self.desk = Desktop(self.window_manager).__enter__()
        self.addCleanup(self.desk.__exit__)
        self.apps = []
        self.addCleanup(lambda: [app.stop() for app in self.apps])

    def start(self, log_name="parupo"):
        self.apps.append(App(self.desk, self.binary, log_name))
        return self.apps[-1]

    def path(self, *names):
        return os.path.join(self.desk.root, "program", *names)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def write(self, name, data):
        os.makedirs(self.path(), exist_ok=True)
        with open(self.path(name), "wb") as f:
            f.write(data)


def lines(*values):
    """A file of CP932 lines, each ended by CR LF."""
    return b"".join((v if isinstance(v, bytes) else v.encode("cp932")) + b"\r\n" for v in values)


def main():
    """Runs the tests named on the command line: <program> <Class.method>..."""
    ProgramTest.binary = sys.argv.pop(1)
    unittest.main(module="__main__", warnings="ignore")  # pyatspi warns about itself
