# The Debian package: scripts/package builds it in this test's own folder; its files,
# Depends and lintian are checked; then the program unpacked from it runs under Xvfb with
# HOME and XDG_DATA_HOME in the temporary folder.
import os, pathlib, subprocess, sys, unittest

SOURCES = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCES / "tests" / "e2e"))
from parupo_e2e import App, ProgramTest, snapshot, wait_until  # noqa: E402
from test_startup import FIRST_PP1, TITLE  # noqa: E402

BUILD_ENV = dict(os.environ)  # the test's set-up points HOME and the buses into its folder
FILES = {"usr/bin/parupo", "usr/share/applications/parupo.desktop", "usr/share/man/man1/parupo.1.gz",
         "usr/share/man/ja/man1/parupo.1.gz",
         "usr/share/icons/hicolor/scalable/apps/parupo.svg", "usr/share/doc/parupo/copyright",
         "usr/share/doc/parupo/changelog.gz"}
# Loaded at run time, where dpkg-shlibdeps cannot see them, and the libraries it links.
DEPENDS = {"libcurl4", "fonts-ipafont-gothic", "qt6-translations-l10n", "libqt6widgets6", "libqt6gui6",
           "libqt6core6", "libstdc++6", "libc6"}


def run(*argv, **kwargs):  # the exit status, stdout and stderr
    done = subprocess.run(argv, capture_output=True, text=True, **kwargs)
    return done.returncode, done.stdout, done.stderr


class PackageTest(ProgramTest):
    def test_the_package_installs_a_program_that_keeps_its_data_in_the_users_data_folder(self):
        status, output, errors = run(str(SOURCES / "scripts" / "package"), self.root,
                                     env=dict(BUILD_ENV, PARUPO_PACKAGE_BUILD=os.path.join(self.root, "build")))
        self.assertEqual(status, 0, (output + errors)[-5000:])
        deb = output.splitlines()[-1]  # the package's path
        listing = run("dpkg-deb", "-c", deb)[1]
        self.assertEqual({l.split()[-1][2:] for l in listing.splitlines() if not l.startswith("d")}, FILES)
        depends = run("dpkg-deb", "-f", deb, "Depends")[1].replace("|", ",").split(",")
        self.assertEqual(DEPENDS - {name.split()[0] for name in depends if name.strip()}, set())
        status, output, _ = run("lintian", "--fail-on", "error", deb)
        self.assertEqual(status, 0, output)

        system = os.path.join(self.root, "system")
        subprocess.run(["dpkg", "-x", deb, system], check=True)
        entry = pathlib.Path(system, "usr/share/applications/parupo.desktop").read_text(encoding="utf-8")
        self.assertIn("\nExec=/usr/bin/parupo %u\n", entry)
        before = snapshot(system)

        data = os.path.join(self.root, "xdg", "data", "parupo")  # xdg/data does not exist yet
        env = dict(self.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   XDG_DATA_HOME=os.path.dirname(data))
        first = App(self, "first", self.spawn("first", [system + "/usr/bin/parupo"], env=env))
        first.find("初期設定", showing=True)  # a first start
        wait_until(lambda: os.path.exists(os.path.join(data, "PP2.dat")), what="PP2.dat in the data folder")
        self.assertEqual(first.close(TITLE), 0)
        self.assertEqual(pathlib.Path(data, "PP1.dat").read_bytes(), FIRST_PP1)
        self.assertEqual(snapshot(system), before)  # nothing written beside the program


if __name__ == "__main__":
    unittest.main()
