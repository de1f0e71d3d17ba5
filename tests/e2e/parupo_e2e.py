"""End-to-end harness: runs a real program in its own X server and drives it from outside.

Everything lives in one temporary folder: an Xvfb on a free display, a private D-Bus
session (whose activated accessibility bus comes along), the program folder with a copy
of the executable, and HOME/XDG folders so that nothing outside is read or written.
Widgets are found by their accessible names through AT-SPI (pyatspi), texts are set
through EditableText and buttons and menu entries pressed through their actions. Every
wait has a timeout; every process is stopped by its process id.

Use with Debian's /usr/bin/python3 (python3-pyatspi).
"""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
import warnings

# pyatspi and GObject introspection warn about their own deprecations on every call.
warnings.filterwarnings("ignore", category=DeprecationWarning)
warnings.filterwarnings("ignore", category=ImportWarning)

DEFAULT_TIMEOUT = 15.0


class HarnessError(Exception):
    pass


def wait_until(predicate, timeout=DEFAULT_TIMEOUT, interval=0.1, what="condition"):
    """Polls predicate until it gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception as e:  # the accessibility tree changes under our feet
            last_error = e
        if time.monotonic() > deadline:
            raise HarnessError("timed out waiting for %s%s" % (
                what, " (last error: %s)" % last_error if last_error else ""))
        time.sleep(interval)


def _read_line_from_fd(fd, timeout):
    """Reads one line a child writes to a pipe, giving up after timeout seconds."""
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0:
            raise HarnessError("no answer from child process")
        ready, _, _ = select.select([fd], [], [], left)
        if not ready:
            continue
        chunk = os.read(fd, 4096)
        if not chunk:
            break
        data += chunk
    return data.decode().strip()


def _log_file(path):
    """A log file for a child; the child keeps its own copy of the descriptor."""
    return open(path, "ab")


def _popen(argv, log_path, **kwargs):
    with _log_file(log_path) as log:
        return subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log,
                                stderr=subprocess.STDOUT, **kwargs)


def _stop(proc, timeout=5.0, group=False):
    """Stops a child by its process id (its process group when it leads one)."""
    if proc is None or proc.poll() is not None:
        return
    send = (lambda sig: os.killpg(proc.pid, sig)) if group else proc.send_signal
    try:
        send(signal.SIGTERM)
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        proc.wait(timeout)
    except ProcessLookupError:
        pass


class Desktop:
    """An X server and a D-Bus session of our own, inside a temporary folder.

    The accessibility library keeps its first bus connection for the life of the
    process, so each process runs one Desktop: run each test in its own process.
    """

    def __init__(self, root=None, window_manager=None):
        self._own_root = root is None
        self.root = root or tempfile.mkdtemp(prefix="parupo-e2e-")
        self.window_manager = window_manager
        self.xvfb = self.dbus = self.wm = None
        self.display = None
        self.env = {}

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        for sub in ("home", "runtime", "cache", "config", "data", "logs"):
            os.makedirs(os.path.join(self.root, sub), mode=0o700, exist_ok=True)
        logs = os.path.join(self.root, "logs")

        read_fd, write_fd = os.pipe()
        try:
            self.xvfb = _popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                 "-nolisten", "tcp", "-noreset", "-dpi", "96"],
                os.path.join(logs, "xvfb.log"), pass_fds=(write_fd,), start_new_session=True)
            os.close(write_fd)
            write_fd = None
            self.display = ":" + _read_line_from_fd(read_fd, DEFAULT_TIMEOUT)
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)

        self.env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": os.path.join(self.root, "home"),
            "XDG_RUNTIME_DIR": os.path.join(self.root, "runtime"),
            "XDG_CACHE_HOME": os.path.join(self.root, "cache"),
            "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
            "XDG_DATA_HOME": os.path.join(self.root, "data"),
            "DISPLAY": self.display,
            "LANG": "C.UTF-8",
            "NO_AT_BRIDGE": "0",
        }
        for keep in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "TZ"):
            if keep in os.environ:
                self.env[keep] = os.environ[keep]

        # The session bus; it starts the accessibility bus on demand, with our DISPLAY.
        read_fd, write_fd = os.pipe()
        try:
            self.dbus = _popen(
                ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                 "--print-address=%d" % write_fd],
                os.path.join(logs, "dbus.log"), pass_fds=(write_fd,), env=self.env,
                start_new_session=True)
            os.close(write_fd)
            write_fd = None
            self.env["DBUS_SESSION_BUS_ADDRESS"] = _read_line_from_fd(read_fd, DEFAULT_TIMEOUT)
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)

        if self.window_manager == "twm":
            # A small reparenting window manager: frames with a title bar around every
            # window, placed without asking the user; Xvfb has only its built-in font.
            rc = os.path.join(self.root, "twmrc")
            with open(rc, "w") as f:
                f.write("RandomPlacement\nUsePPosition \"on\"\nNoGrabServer\n")
                for font in ("TitleFont", "MenuFont", "IconFont", "ResizeFont", "IconManagerFont"):
                    f.write('%s "fixed"\n' % font)
            self.window_manager = ["twm", "-f", rc]
        if self.window_manager:
            self.wm = _popen(self.window_manager, os.path.join(logs, "wm.log"), env=self.env,
                             start_new_session=True)
            time.sleep(0.5)

        # This process talks to the same buses as the program under test.
        os.environ.update(self.env)

    def stop(self):
        _stop(self.wm, group=True)
        # Services the session bus started (the accessibility bus and its registry)
        # run in its process group.
        _stop(self.dbus, group=True)
        _stop(self.xvfb, group=True)
        if self._own_root and os.environ.get("PARUPO_E2E_KEEP") != "1":
            shutil.rmtree(self.root, ignore_errors=True)

    def spawn(self, argv, cwd=None, log_name="app", extra_env=None):
        env = dict(self.env)
        env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                    "QT_ACCESSIBILITY": "1"})
        env.update(extra_env or {})
        return _popen(argv, os.path.join(self.root, "logs", log_name + ".log"),
                      cwd=cwd or self.root, env=env)

    def log_text(self, log_name="app"):
        try:
            with open(os.path.join(self.root, "logs", log_name + ".log"), "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""


# --- X11: the window manager's close request ----------------------------------------

class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def _xlib():
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(_XEvent)]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XFree.argtypes = [ctypes.c_void_p]
    u = ctypes.POINTER(ctypes.c_uint)
    i = ctypes.POINTER(ctypes.c_int)
    w = ctypes.POINTER(ctypes.c_ulong)
    x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, w, w,
                             ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)), u]
    x.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong, w, i, i, u, u, u, u]
    return x


def _open(x, display):
    dpy = x.XOpenDisplay(display.encode())
    if not dpy:
        raise HarnessError("cannot open display " + display)
    return dpy


def window_sizes(display, window_id):
    """(width, height) of the window itself and of its outer frame (the window manager's
    frame, or the window itself when there is no window manager), in pixels."""
    x = _xlib()
    dpy = _open(x, display)
    try:
        def geometry(win):
            root = ctypes.c_ulong()
            gx, gy = ctypes.c_int(), ctypes.c_int()
            w, h, border, depth = (ctypes.c_uint() for _ in range(4))
            x.XGetGeometry(dpy, win, ctypes.byref(root), ctypes.byref(gx), ctypes.byref(gy),
                           ctypes.byref(w), ctypes.byref(h), ctypes.byref(border),
                           ctypes.byref(depth))
            return w.value + 2 * border.value, h.value + 2 * border.value

        inner = geometry(window_id)
        top = window_id
        while True:  # climb to the child of the root window: the frame
            root, parent = ctypes.c_ulong(), ctypes.c_ulong()
            children = ctypes.POINTER(ctypes.c_ulong)()
            n = ctypes.c_uint()
            if not x.XQueryTree(dpy, top, ctypes.byref(root), ctypes.byref(parent),
                                ctypes.byref(children), ctypes.byref(n)):
                break
            if children:
                x.XFree(children)
            if parent.value == root.value or parent.value == 0:
                break
            top = parent.value
        return inner, geometry(top)
    finally:
        x.XCloseDisplay(dpy)


def request_close(display, window_id):
    """Asks a window to close as a window manager's close box does (WM_DELETE_WINDOW)."""
    x = _xlib()
    dpy = _open(x, display)
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window_id
        event.xclient.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        x.XSendEvent(dpy, window_id, 0, 0, ctypes.byref(event))
        x.XFlush(dpy)
    finally:
        x.XCloseDisplay(dpy)


# --- The program under test -----------------------------------------------------------

def _atspi():
    import pyatspi  # imported late: it must see our DISPLAY and session bus
    return pyatspi


class App:
    """One run of a program, copied into a program folder of its own."""

    def __init__(self, desktop, binary, folder=None, name=None):
        self.desktop = desktop
        self.folder = folder or os.path.join(desktop.root, "program")
        os.makedirs(self.folder, exist_ok=True)
        self.name = name or os.path.basename(binary)
        self.exe = os.path.join(self.folder, self.name)
        if not os.path.exists(self.exe):
            shutil.copy2(binary, self.exe)
        self.proc = None
        self._app_acc = None
        self.log_name = self.name

    def start(self, log_name=None, extra_env=None):
        self.log_name = log_name or self.name
        self.proc = self.desktop.spawn([self.exe], cwd=self.desktop.root, log_name=self.log_name,
                                       extra_env=extra_env)
        self._app_acc = None
        return self

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("%s did not end within %.0f s" % (self.name, timeout))

    def stop(self):
        _stop(self.proc)

    def log(self):
        return self.desktop.log_text(self.log_name)

    # -- accessibility --

    def accessible(self, timeout=DEFAULT_TIMEOUT):
        """The program's application object on the accessibility bus."""
        pyatspi = _atspi()

        def find():
            if not self.running():
                raise HarnessError("%s ended (exit %s):\n%s" % (
                    self.name, self.proc.returncode, self.log()))
            desktop = pyatspi.Registry.getDesktop(0)
            desktop.clear_cache()
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.get_process_id() == self.pid:
                    return app
            return None

        if self._app_acc is None:
            self._app_acc = wait_until(find, timeout, what="%s on the accessibility bus" % self.name)
        return self._app_acc

    def _walk(self, acc, depth=0):
        if acc is None or depth > 40:
            return
        yield acc
        try:
            count = acc.childCount
        except Exception:
            return
        for i in range(count):
            try:
                child = acc.getChildAtIndex(i)
            except Exception:
                continue
            yield from self._walk(child, depth + 1)

    def all(self, name=None, role=None, showing=None):
        pyatspi = _atspi()
        app = self.accessible()
        app.clear_cache()
        found = []
        for acc in self._walk(app):
            try:
                if name is not None and acc.name != name:
                    continue
                if role is not None and acc.getRoleName() != role:
                    continue
                if showing is not None and acc.getState().contains(pyatspi.STATE_SHOWING) != showing:
                    continue
            except Exception:
                continue
            found.append(acc)
        return found

    def find(self, name, role=None, showing=None, timeout=DEFAULT_TIMEOUT):
        """The first widget with this accessible name (and role), waiting for it."""
        return wait_until(lambda: (self.all(name, role, showing) or [None])[0], timeout,
                          what="%r%s in %s" % (name, " (%s)" % role if role else "", self.name))

    def names(self):
        """Every (role, name) pair in the tree: for messages when something is missing."""
        out = []
        for acc in self._walk(self.accessible()):
            try:
                out.append((acc.getRoleName(), acc.name))
            except Exception:
                pass
        return out

    @staticmethod
    def text_of(acc):
        try:
            t = acc.queryText()
            return t.getText(0, t.characterCount)
        except NotImplementedError:
            return acc.name

    def set_text(self, name, text, role=None):
        acc = self.find(name, role)
        acc.queryEditableText().setTextContents(text)
        wait_until(lambda: self.text_of(acc) == text, what="text of %r" % name)
        return acc

    @staticmethod
    def _do_action(acc, preferred=("press", "click", "toggle", "activate", "showmenu")):
        action = acc.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        for want in preferred:
            if want in names:
                return action.doAction(names.index(want))
        if action.nActions:
            return action.doAction(0)
        raise HarnessError("%r has no action to press" % acc.name)

    def press(self, name, role=None):
        acc = self.find(name, role)
        self._do_action(acc)
        return acc

    def press_into_modal(self, name, role=None, timeout=DEFAULT_TIMEOUT):
        """Presses something that opens a modal box; gives back the box (role "alert")."""
        pyatspi = _atspi()
        acc = self.find(name, role)
        pyatspi.setTimeout(1500, 15000)
        try:
            self._do_action(acc)
        except Exception:
            pass  # the program answers only when the box closes
        finally:
            pyatspi.setTimeout(25000, 15000)
        return self.alert(timeout)

    def alert(self, timeout=DEFAULT_TIMEOUT):
        return self.find(None, "alert", timeout=timeout)

    def alert_text(self, alert):
        """The message of a box: the texts of its labels, joined by line breaks."""
        texts = []
        for acc in self._walk(alert):
            try:
                if acc.getRoleName() == "label" and acc.name:
                    texts.append(acc.name)
            except Exception:
                pass
        return "\n".join(texts)

    def answer_alert(self, alert, button="OK"):
        for acc in self._walk(alert):
            try:
                if acc.getRoleName() == "push button" and acc.name.replace("&", "") == button:
                    self._do_action(acc)
                    return
            except Exception:
                pass
        raise HarnessError("no button %r in the box" % button)

    def is_checked(self, acc):
        pyatspi = _atspi()
        acc.clear_cache()
        return acc.getState().contains(pyatspi.STATE_CHECKED)

    # -- X11 --

    def windows(self, visible=True):
        """X window ids of this process's windows (Qt sets _NET_WM_PID)."""
        argv = ["xdotool", "search"] + (["--onlyvisible"] if visible else []) + ["--pid",
                                                                                  str(self.pid)]
        out = subprocess.run(argv, env=self.desktop.env, capture_output=True, text=True,
                             timeout=DEFAULT_TIMEOUT)
        return [int(w) for w in out.stdout.split()]

    def window_title(self, window_id):
        out = subprocess.run(["xdotool", "getwindowname", str(window_id)], env=self.desktop.env,
                             capture_output=True, text=True, timeout=DEFAULT_TIMEOUT)
        return out.stdout.rstrip("\n")

    def main_window(self, title=None, timeout=DEFAULT_TIMEOUT):
        def find():
            for w in self.windows():
                if title is None or self.window_title(w) == title:
                    return w
            return None
        return wait_until(find, timeout, what="a window%s of %s" % (
            " titled %r" % title if title else "", self.name))

    def sizes(self, title=None):
        """((width, height) of the window, (width, height) of its frame) in pixels."""
        return window_sizes(self.desktop.display, self.main_window(title))

    def close(self, title=None, timeout=DEFAULT_TIMEOUT):
        """Closes the main window as its close box would, and waits for the program to end."""
        request_close(self.desktop.display, self.main_window(title))
        return self.wait_exit(timeout)


def snapshot(folder):
    """Every file under folder with its bytes and mode: to tell whether a run changed any."""
    result = {}
    for dirpath, _, files in os.walk(folder):
        for f in files:
            p = os.path.join(dirpath, f)
            with open(p, "rb") as fh:
                result[os.path.relpath(p, folder)] = (fh.read(), os.stat(p).st_mode,
                                                      os.stat(p).st_mtime_ns)
    return result
