"""Test servers on 127.0.0.1 and free ports: aiosmtpd in this process, raw sockets
that misbehave, and dovecot POP3 as a child process stopped by its process id."""

import logging
import os
import pwd
import socket
import ssl
import subprocess
import threading
import time
import warnings
from pathlib import Path

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

# The complaints the tests provoke on purpose (refused certificates, hang-ups).
logging.getLogger("mail.log").setLevel(logging.CRITICAL)
warnings.filterwarnings("ignore", message="Session.login_data is deprecated")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def text(path):
    try:
        return Path(path).read_text(errors="replace")
    except OSError:
        return ""


class SmtpServer:
    """Keeps each message byte for byte with its envelope. starttls: required, with a
    certificate made for the test (cafile); tls: from the start; auth=(user, password):
    required. A message for refuse@example.jp is refused at the end of DATA."""

    REFUSAL = "554 5.7.1 Message refused as spam"

    def __init__(self, folder, starttls=False, tls=False, auth=None):
        self.messages = []  # (mail_from, rcpt_tos, bytes)
        self.sessions = 0   # greetings: unchanged when nobody got as far as talking
        self.port = free_port()
        kwargs = {"data_size_limit": None}
        context = None
        if starttls or tls:
            self.cafile, key = f"{folder}/cert.pem", f"{folder}/key.pem"
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                            "-keyout", key, "-out", self.cafile, "-days", "2", "-subj",
                            "/CN=localhost", "-addext",
                            "subjectAltName=DNS:localhost,IP:127.0.0.1"],
                           check=True, capture_output=True)
            context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
            context.load_cert_chain(self.cafile, key)
        if starttls:
            kwargs.update(tls_context=context, require_starttls=True)
        if auth:
            def check(server, session, envelope, mechanism, data):
                ok = (data.login.decode(), data.password.decode()) == auth
                return AuthResult(success=ok, handled=False)
            kwargs.update(authenticator=check, auth_required=True)
        self.controller = Controller(self, hostname="127.0.0.1", port=self.port,
                                     ssl_context=context if tls else None, **kwargs)
        self.controller.start()

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        self.sessions += 1
        session.host_name = hostname
        return responses

    async def handle_DATA(self, server, session, envelope):
        if "refuse@example.jp" in envelope.rcpt_tos:
            return self.REFUSAL
        self.messages.append((envelope.mail_from, envelope.rcpt_tos,
                              envelope.original_content))
        return "250 OK"

    def close(self):
        self.controller.stop()


def silent_server():
    """Listens and never accepts: a client connects and waits for a greeting."""
    return socket.create_server(("127.0.0.1", 0))


def closing_server():
    """Speaks SMTP up to DATA, reads a little of the message and hangs up."""
    sock = socket.create_server(("127.0.0.1", 0))

    def serve():
        conn, _ = sock.accept()
        with conn:
            conn.sendall(b"220 raw ESMTP\r\n")
            for line in conn.makefile("rb"):
                data = line.upper().startswith(b"DATA")
                conn.sendall(b"354 go ahead\r\n" if data else b"250 OK\r\n")
                if data:
                    conn.recv(64)
                    break
    threading.Thread(target=serve, daemon=True).start()
    return sock


class Dovecot:
    """dovecot POP3 with its configuration, mailbox and logs under folder. It refuses
    uid 0 for mail, hence the ordinary user parupo-mail."""

    def __init__(self, folder, user, password):
        self.port = free_port()
        self.log, self.rawlog = f"{folder}/dovecot.log", f"{folder}/rawlog"
        owner = pwd.getpwnam("parupo-mail")
        os.chmod(folder, 0o755)
        for sub in ("run", "state", "home", "home/Maildir", "home/Maildir/cur",
                    "home/Maildir/new", "home/Maildir/tmp", "rawlog"):
            os.makedirs(f"{folder}/{sub}", exist_ok=True)
            if sub.startswith(("home", "rawlog")):
                os.chown(f"{folder}/{sub}", owner.pw_uid, owner.pw_gid)
        Path(f"{folder}/passwd").write_text(f"{user}:{{PLAIN}}{password}\n")
        Path(f"{folder}/dovecot.conf").write_text(f"""base_dir = {folder}/run
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
""")
        self.process = subprocess.Popen(["dovecot", "-F", "-c", f"{folder}/dovecot.conf"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not self._greets():
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.close()
                raise RuntimeError("dovecot did not start: " + text(self.log))
            time.sleep(0.1)

    def _greets(self):
        try:
            with socket.create_connection(("127.0.0.1", self.port), 1) as s:
                return s.recv(64).startswith(b"+OK")
        except OSError:
            return False

    def commands(self):
        """What clients sent after logging in, from dovecot's raw session logs."""
        logs = "".join(text(p) for p in sorted(Path(self.rawlog).glob("*.in")))
        return [line.split(" ", 1)[1] for line in logs.splitlines() if " " in line]

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(10)
