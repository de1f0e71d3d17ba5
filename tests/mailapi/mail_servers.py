"""Test servers on loopback for the mail library's integration tests.

SMTP servers run in this process (aiosmtpd, or raw sockets that misbehave on purpose);
dovecot runs as a child process with its own configuration in a temporary folder and is
stopped by its process id. Everything listens on 127.0.0.1 on free ports.
"""

import logging
import os
import pwd
import shutil
import socket
import ssl
import subprocess
import threading
import time
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

# The servers' own complaints (a client that hung up, a refused certificate) are what
# the tests provoke on purpose; the tests check the outcome themselves.
logging.getLogger("mail.log").setLevel(logging.CRITICAL)
warnings.filterwarnings("ignore", message="Session.login_data is deprecated")


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_certificate(folder):
    """A self-signed certificate for localhost and 127.0.0.1; returns (cert, key)."""
    cert = os.path.join(folder, "cert.pem")
    key = os.path.join(folder, "key.pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
         "-out", cert, "-days", "2", "-subj", "/CN=localhost",
         "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


class Recorder:
    """aiosmtpd handler that keeps every message byte for byte with its envelope."""

    def __init__(self):
        self.messages = []       # (mail_from, rcpt_tos, content bytes, session facts)
        self.ehlos = 0           # greetings seen: 0 means nobody got as far as talking
        self.rcpts = []          # every RCPT TO address asked for, accepted or not
        self.refuse_rcpt = {}    # address -> reply
        self.data_reply = None   # reply to the end of DATA instead of accepting

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        self.ehlos += 1
        session.host_name = hostname
        return responses

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        self.rcpts.append(address)
        if address in self.refuse_rcpt:
            return self.refuse_rcpt[address]
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.data_reply:
            return self.data_reply
        self.messages.append((envelope.mail_from, list(envelope.rcpt_tos),
                              envelope.original_content,
                              {"tls": session.ssl is not None,
                               "auth": session.authenticated}))
        return "250 OK: queued"


class SmtpServer:
    """An aiosmtpd server on a free port. Options: starttls (required), tls (from the
    start), auth (user, password) required."""

    def __init__(self, folder, starttls=False, tls=False, auth=None):
        self.recorder = Recorder()
        self.port = free_port()
        self.cafile = None
        kwargs = {"data_size_limit": None, "enable_SMTPUTF8": False}
        ssl_context = None
        if starttls or tls:
            self.cafile, key = make_certificate(folder)
            context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
            context.load_cert_chain(self.cafile, key)
            if starttls:
                kwargs.update(tls_context=context, require_starttls=True)
            else:
                ssl_context = context
        if auth:
            user, password = auth

            def authenticator(server, session, envelope, mechanism, data):
                ok = (data.login.decode() == user and data.password.decode() == password)
                return AuthResult(success=ok, handled=False)

            kwargs.update(authenticator=authenticator, auth_required=True)
        self.controller = Controller(self.recorder, hostname="127.0.0.1", port=self.port,
                                     ssl_context=ssl_context, **kwargs)
        self.controller.start()

    @property
    def messages(self):
        return self.recorder.messages

    def stop(self):
        self.controller.stop()


class RawServer:
    """A server that speaks just enough SMTP and then misbehaves.

    mode "silent": accepts and never says a word.
    mode "close_in_data": answers up to DATA, reads a little of the message, closes.
    mode "stop_reading": answers up to DATA, then never reads again.
    """

    def __init__(self, mode):
        self.mode = mode
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        if mode == "stop_reading":
            self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(4)
        self.port = self.sock.getsockname()[1]
        self.stopping = threading.Event()
        self.connections = []
        self.thread = threading.Thread(target=self._accept, daemon=True)
        self.thread.start()

    def _accept(self):
        self.sock.settimeout(0.2)
        while not self.stopping.is_set():
            try:
                conn, _ = self.sock.accept()
            except (socket.timeout, OSError):
                continue
            self.connections.append(conn)
            threading.Thread(target=self._serve, args=(conn,), daemon=True).start()

    def _serve(self, conn):
        try:
            if self.mode == "silent":
                self.stopping.wait()
                return
            conn.sendall(b"220 raw.test ESMTP\r\n")
            reader = conn.makefile("rb")
            for line in reader:
                verb = line[:4].upper()
                if verb in (b"EHLO", b"HELO"):
                    conn.sendall(b"250 raw.test\r\n")
                elif verb in (b"MAIL", b"RCPT", b"RSET", b"NOOP"):
                    conn.sendall(b"250 OK\r\n")
                elif verb == b"QUIT":
                    conn.sendall(b"221 bye\r\n")
                    return
                elif verb == b"DATA":
                    conn.sendall(b"354 go ahead\r\n")
                    if self.mode == "close_in_data":
                        reader.read(64)
                        conn.shutdown(socket.SHUT_RDWR)
                        conn.close()
                    else:
                        self.stopping.wait()
                    return
                else:
                    conn.sendall(b"502 what\r\n")
        except OSError:
            pass

    def stop(self):
        self.stopping.set()
        for c in self.connections:
            try:
                c.close()
            except OSError:
                pass
        self.sock.close()
        self.thread.join(5)


class Dovecot:
    """dovecot POP3 with its own configuration, mailbox and logs under folder."""

    def __init__(self, folder, users):
        self.folder = folder
        self.port = free_port()
        owner = pwd.getpwnam("parupo-mail")
        os.chmod(folder, 0o755)
        for sub in ("run", "state", "home/Maildir/cur", "home/Maildir/new",
                    "home/Maildir/tmp", "rawlog"):
            os.makedirs(os.path.join(folder, sub), exist_ok=True)
        for root, dirs, _ in os.walk(os.path.join(folder, "home")):
            os.chown(root, owner.pw_uid, owner.pw_gid)
            for d in dirs:
                os.chown(os.path.join(root, d), owner.pw_uid, owner.pw_gid)
        os.chown(os.path.join(folder, "rawlog"), owner.pw_uid, owner.pw_gid)
        with open(os.path.join(folder, "passwd"), "w") as f:
            for user, password in users.items():
                f.write(f"{user}:{{PLAIN}}{password}\n")
        self.log = os.path.join(folder, "dovecot.log")
        self.rawlog = os.path.join(folder, "rawlog")
        conf = os.path.join(folder, "dovecot.conf")
        with open(conf, "w") as f:
            f.write(f"""base_dir = {folder}/run
state_dir = {folder}/state
instance_name = parupo-test-{self.port}
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
auth_failure_delay = 0
log_path = {self.log}
first_valid_uid = {owner.pw_uid}
mail_location = maildir:{folder}/home/Maildir
rawlog_dir = {self.rawlog}
passdb {{
  driver = passwd-file
  args = scheme=PLAIN username_format=%u {folder}/passwd
}}
userdb {{
  driver = static
  args = uid={owner.pw_uid} gid={owner.pw_gid} home={folder}/home
}}
service pop3-login {{
  inet_listener pop3 {{
    port = {self.port}
  }}
  inet_listener pop3s {{
    port = 0
  }}
}}
service imap-login {{
  inet_listener imap {{
    port = 0
  }}
  inet_listener imaps {{
    port = 0
  }}
}}
""")
        self.process = subprocess.Popen(["dovecot", "-F", "-c", conf],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while True:
            try:
                with socket.create_connection(("127.0.0.1", self.port), 1) as s:
                    if s.recv(64).startswith(b"+OK"):
                        break
            except OSError:
                pass
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("dovecot did not start: " + self.read_log())
            time.sleep(0.1)

    def read_log(self):
        try:
            with open(self.log, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def session_input(self):
        """Everything the clients sent after logging in (dovecot's raw logs)."""
        text = ""
        for name in sorted(os.listdir(self.rawlog)):
            if name.endswith(".in"):
                with open(os.path.join(self.rawlog, name), errors="replace") as f:
                    text += f.read()
        return text

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)


def remove_tree(path):
    shutil.rmtree(path, ignore_errors=True)
