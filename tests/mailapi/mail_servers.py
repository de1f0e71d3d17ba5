"""Test servers on 127.0.0.1 and free ports: aiosmtpd in this process, a raw socket
that misbehaves, and dovecot POP3 and Postfix as child processes; notmuch as a second
reader of what they received."""

import asyncio, contextlib, email, json, logging, os, pwd, shutil, socket, ssl, string, subprocess, threading, time
import warnings
from pathlib import Path

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

logging.getLogger("mail.log").setLevel(logging.CRITICAL)
warnings.filterwarnings("ignore", message="Session.login_data is deprecated")


def free_port():
    with socket.create_server(("127.0.0.1", 0)) as s:
        return s.getsockname()[1]


def text(path):
    return Path(path).read_text(errors="replace") if os.path.exists(path) else ""


def greets(port, greeting):
    """Whether a server on port answers with greeting within 20 seconds."""
    for _ in range(200):
        with contextlib.suppress(OSError), socket.create_connection(("127.0.0.1", port), 1) as s:
            if s.recv(64).startswith(greeting):
                return True
        time.sleep(0.1)
    return False


def filled(template, path, **values):
    """Writes the template file next to this one to path, its $names filled in."""
    Path(path).write_text(string.Template((Path(__file__).parent / template).read_text()).substitute(values))


def self_signed(folder):
    """A certificate for localhost and its key, as files in folder."""
    cert, key = f"{folder}/cert.pem", f"{folder}/key.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost"], check=True, capture_output=True)
    return cert, key


def fingerprint(cert):
    """The certificate's SHA-256 fingerprint as openssl writes it ("76:F1:...")."""
    out = subprocess.run(["openssl", "x509", "-in", cert, "-noout", "-fingerprint", "-sha256"],
                         check=True, capture_output=True, text=True).stdout
    return out.strip().split("=", 1)[1]


class SmtpServer:
    """Keeps each message with its envelope, each EHLO name, and when each EHLO and QUIT came (.times);
    refuses the messages for refuse@example.jp (one reply line) and refuse-long@example.jp (two) after DATA."""

    REFUSAL = "554 5.7.1 Message refused as spam"
    LONG_REFUSAL = ("550-5.7.1 This message was not accepted:", "550 5.7.1 its sender is listed as a source of spam")

    def __init__(self, folder, starttls=False, auth=None, host="127.0.0.1", timeout=300):
        self.messages, self.helos, self.times, self.quits, self.port = [], [], [], 0, free_port()
        kwargs = {"data_size_limit": None, "timeout": timeout}  # idle seconds before it hangs up
        if starttls:
            self.cafile, key = self_signed(folder)
            context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
            context.load_cert_chain(self.cafile, key)
            kwargs.update(tls_context=context, require_starttls=True)
        if auth:
            kwargs.update(auth_required=True, authenticator=lambda *a: AuthResult(
                success=(a[-1].login.decode(), a[-1].password.decode()) == auth, handled=False))
        self.controller = Controller(self, hostname=host, port=self.port, **kwargs)
        self.controller.start()

    @property
    def sessions(self):  # greetings seen
        return len(self.helos)

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        self.helos.append(hostname)
        self.times.append(("EHLO", time.monotonic()))
        session.host_name = hostname
        return responses

    async def handle_QUIT(self, server, session, envelope):
        self.quits += 1
        self.times.append(("QUIT", time.monotonic()))
        return "221 Bye"

    async def handle_DATA(self, server, session, envelope):
        if "refuse@example.jp" in envelope.rcpt_tos:
            return self.REFUSAL
        if "refuse-long@example.jp" in envelope.rcpt_tos:
            return "\r\n".join(self.LONG_REFUSAL)
        self.messages.append((envelope.mail_from, envelope.rcpt_tos, envelope.original_content))
        return "250 OK"

    def close(self):
        self.controller.stop()


class ForgetfulServer(SmtpServer):
    """Takes one message per connection, then hangs up without a word when the next one
    begins: a server whose idle time ran out just as the client went on."""

    async def handle_MAIL(self, server, session, envelope, address, options):
        if getattr(session, "took", False):
            server.transport.close()
        envelope.mail_from = address
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        session.took = True
        return await super().handle_DATA(server, session, envelope)


class MuteOnQuitServer(SmtpServer):
    """Takes the message, then never answers QUIT: the network gone just after the send."""

    async def handle_QUIT(self, server, session, envelope):
        await super().handle_QUIT(server, session, envelope)
        await asyncio.sleep(600)


class RawServer:
    """SMTP on a raw socket for that many connections, one after another, every command the
    client sends kept in .received: offers AUTH without STARTTLS and hangs up a moment into a message."""

    GREETING, OK = b"220 raw ESMTP\r\n", b"250 OK\r\n"
    REPLIES = {b"EHLO": b"250-raw\r\n250 AUTH PLAIN LOGIN\r\n", b"AUTH": b"334 \r\n", b"DATA": b"354 go ahead\r\n",
               b"QUIT": b"221 Bye\r\n"}

    def __init__(self, host="127.0.0.1", port=0, connections=1):
        self.sock, self.connections = socket.create_server((host, port)), connections
        self.received, self.sessions = b"", 0
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 16)  # no megabytes kept for it by the kernel
        self.port = self.sock.getsockname()[1]
        self.served = threading.Thread(target=self.serve, daemon=True)
        self.served.start()

    def serve(self):
        for _ in range(self.connections):
            self.session(self.sock.accept()[0])

    def session(self, conn):
        self.sessions += 1
        with conn, conn.makefile("rb") as lines, contextlib.suppress(OSError):
            conn.sendall(self.GREETING)
            for line in lines:
                self.received += line
                conn.sendall(self.REPLIES.get(line[:4].upper(), self.OK))
                if line[:4].upper() == b"DATA" and not self.took_message(lines, conn):
                    return

    def took_message(self, lines, conn):
        lines.read(64)
        return False

    def close(self):
        self.sock.close()


class RawPopServer(RawServer):
    """POP3 without STLS (or with STLS stripped on the way)."""

    GREETING, OK, REPLIES = b"+OK raw POP3\r\n", b"+OK\r\n", {b"CAPA": b"+OK\r\nUSER\r\n.\r\n"}


class SlowServer(RawServer):
    """Plain SMTP, any number of connections at once, that reads a message at `rate` bytes a second,
    and stops reading for good after `stall` bytes of one: a slow uplink, or a server gone silent
    mid-upload. Keeps each whole message as its end of data comes, and answers that `late` seconds
    later (a server scanning the mail); .ends counts the ends of data it saw."""

    REPLIES = {**RawServer.REPLIES, b"EHLO": b"250-slow\r\n250 SIZE\r\n"}

    def __init__(self, rate=8 << 20, stall=None, late=0):
        self.rate, self.stall, self.late, self.messages, self.ends = rate, stall, late, [], 0
        self.closing = threading.Event()
        super().__init__()

    def serve(self):
        with contextlib.suppress(OSError):
            while True:
                threading.Thread(target=self.session, args=(self.sock.accept()[0],), daemon=True).start()

    def took_message(self, lines, conn):
        data, start = bytearray(), time.monotonic()
        for line in lines:
            if line == b".\r\n":
                self.ends += 1
                self.messages.append(bytes(data))
                self.closing.wait(self.late)
                conn.sendall(self.OK)
                return True
            data += line[1:] if line.startswith(b".") else line
            if self.stall is not None and len(data) >= self.stall:
                self.closing.wait()
                return False
            if (ahead := len(data) / self.rate - (time.monotonic() - start)) > 0.01:
                time.sleep(ahead)
        return False  # the client hung up before the end of data

    def close(self):
        self.closing.set()
        super().close()


class Dovecot:
    """dovecot POP3 with its configuration, mailbox and logs under folder. It refuses
    uid 0 for mail, hence the ordinary user parupo-mail."""

    def __init__(self, folder, user, password, stls=False):
        self.port, self.log, self.rawlog = free_port(), f"{folder}/dovecot.log", f"{folder}/home/raw"
        os.makedirs(folder, 0o755, exist_ok=True)
        self.cafile, key = self_signed(folder) if stls else (None, None)
        tls = f"ssl = yes\nssl_cert = <{self.cafile}\nssl_key = <{key}" if stls else "ssl = no"
        os.chmod(folder, 0o755)
        os.makedirs(self.rawlog)
        subprocess.run(["chown", "-R", "parupo-mail:", f"{folder}/home"], check=True)
        Path(f"{folder}/passwd").write_text(f"{user}:{{PLAIN}}{password}\n")
        filled("dovecot.conf", f"{folder}/dovecot.conf", folder=folder, tls=tls, log=self.log, rawlog=self.rawlog,
               port=self.port)
        self.process = subprocess.Popen(["dovecot", "-F", "-c", f"{folder}/dovecot.conf"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not greets(self.port, b"+OK"):
            self.close()
            raise RuntimeError("dovecot did not start: " + text(self.log))

    def commands(self):
        """What clients sent after logging in, from dovecot's raw session logs."""
        files = sorted(Path(self.rawlog).glob("*.in"))
        return [line.split(" ", 1)[1] for p in files for line in text(p).splitlines()]

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Postfix:
    """A private Postfix set up as strict providers set theirs, everything under folder,
    delivering the users' addresses of test.example to Maildirs owned by parupo-mail."""

    DOMAIN, SIZE_LIMIT = "test.example", 200_000

    def __init__(self, folder, users=("hanako", "jiro")):
        self.port, self.conf = free_port(), f"{folder}/postfix"
        self.log, self.mail = f"{folder}/postfix.log", f"{folder}/vmail"
        os.chmod(folder, 0o755)
        for path in (self.conf, self.mail, f"{folder}/postfix-queue"):
            os.makedirs(path)
        shutil.chown(self.mail, "parupo-mail", "parupo-mail")
        owner = pwd.getpwnam("parupo-mail")
        Path(f"{self.conf}/vmailbox").write_text("".join(f"{u}@{self.DOMAIN} {u}/\n" for u in users))
        filled("postfix-main.cf", f"{self.conf}/main.cf", folder=folder, log=self.log, domain=self.DOMAIN,
               conf=self.conf, size_limit=self.SIZE_LIMIT, mail=self.mail, uid=owner.pw_uid, gid=owner.pw_gid)
        filled("postfix-master.cf", f"{self.conf}/master.cf", port=self.port)
        self.postfix("start")
        if not greets(self.port, b"220"):
            self.close()
            raise RuntimeError("postfix did not start: " + text(self.log))

    def postfix(self, command):
        p = subprocess.run(["postfix", "-c", self.conf, command], capture_output=True, text=True)
        if p.returncode != 0:
            raise RuntimeError(f"postfix {command}: {p.stderr.strip()} {text(self.log)}")

    def delivered(self, user):
        """The messages in user's Maildir, as bytes."""
        return [p.read_bytes() for p in sorted(Path(self.mail, user, "new").glob("*"))]

    def close(self):
        self.postfix("stop")


class Notmuch:
    """notmuch (GMime) reading received messages: each one goes into a Maildir under folder
    with its own database there, and comes back as `notmuch show --format=json` gives it."""

    def __init__(self, folder):
        if not shutil.which("notmuch"):
            raise RuntimeError("notmuch is not installed: run scripts/setup --test")
        self.mail, self.count = f"{folder}/notmuch", 0
        for sub in ("cur", "new", "tmp"):
            os.makedirs(f"{self.mail}/{sub}")
        Path(f"{folder}/notmuch-config").write_text(f"[database]\npath={self.mail}\n[new]\ntags=\n")
        self.env = dict(os.environ, NOTMUCH_CONFIG=f"{folder}/notmuch-config")

    def notmuch(self, *args):
        return subprocess.run(["notmuch", *args], env=self.env, check=True, capture_output=True).stdout

    def read(self, raw):
        """The headers (Subject, From, To, Reply-To) and the text of a message without attachments,
        as notmuch decodes them."""
        self.count += 1
        Path(f"{self.mail}/new/{self.count}").write_bytes(raw)
        self.notmuch("new", "--quiet")
        [[[message, _]]] = json.loads(self.notmuch("show", "--format=json", "--entire-thread=false",
                                                   "id:" + email.message_from_bytes(raw)["message-id"].strip("<>")))
        return message["headers"], [part["content"] for part in message["body"]]
