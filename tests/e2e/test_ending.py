import os, signal
from parupo_e2e import ProgramTest, lines

PP1 = ["smtp.example.jp", "me@example.jp", "", "", "False", "", "", "", " 0 ", "False",
       "False", " 6000 ", " 5000 ", "True", "False", "False", "False"]


class EndingTest(ProgramTest):
    def test_sigterm_and_sighup_save_the_settings_as_a_close_does(self):
        for name, sig in (("term", signal.SIGTERM), ("hup", signal.SIGHUP)):
            self.write("PP1.dat", lines(*PP1))
            app = self.start(name)
            app.find("送信内容", showing=True)
            app.toggle("送信後終了", True)
            app.toggle("別々に送る", True)
            os.kill(app.pid, sig)
            self.assertEqual(app.wait_exit(), 0, name)
            self.assertEqual(self.read("PP1.dat").split(b"\r\n")[4:13], [
                b"True", b"", b"", b"", b" 3 ", b"False", b"False", b" 6000 ", b" 5000 "], name)
            self.assertEqual(self.read("PP4.dat"), b"999\r\n", name)
