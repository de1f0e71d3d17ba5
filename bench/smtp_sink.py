"""A loopback SMTP server that accepts and discards every message; prints its port."""
import signal
import socket
import sys
import threading

from aiosmtpd.controller import Controller


class Sink:
    def __init__(self):
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        return "250 OK"


def main():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    controller = Controller(Sink(), hostname="127.0.0.1", port=port, data_size_limit=None)
    controller.start()
    print(port, flush=True)
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    signal.signal(signal.SIGINT, lambda *_: done.set())
    done.wait()
    controller.stop()
    sys.exit(0)


if __name__ == "__main__":
    main()
