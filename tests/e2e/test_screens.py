import time
from parupo_e2e import ProgramTest, lines, pp1, request_maximized, wait_until

MAIN, VIEWER = "!ぱるぽ", "!ぱるぽ びゅわー"
PP1 = pp1(smtp="smtp.example.jp", reply_to="me@example.jp", quit=False, height=6000, width=5000, by_name=False)
SCREEN = (0, 0, 1280, 1024)


class ScreensTest(ProgramTest):
    window_manager = "openbox"
    program_env = {"QT_SCALE_FACTOR": "2"}  # a 1280 x 1024 screen as large laptops' are at 150 % and more
    scale = 2

    def near(self, frame, expected):
        """The same frame, to the device pixel that a logical one of Qt's scale can hold."""
        return max(abs(a - b) for a, b in zip(frame, expected)) < self.scale

    def state(self, app):
        return self.run_tool("xprop", "-id", str(app.window(MAIN)), "_NET_WM_STATE").split("=")[-1].split()

    def test_maximise_restore_and_the_viewer_leave_the_size_and_the_place_to_the_user(self):
        self.write("PP1.dat", PP1)
        self.write("log/20240101-0000-00.txt", lines("", "宛先 : a@example.jp"))
        app = self.start().ready()
        # 5000 by 6000 twips at the scale, give or take the frame's device pixel either side
        normal = wait_until(lambda: next((f for f in [app.frames(MAIN)[-1]] if abs(f[2] - 5000 * self.scale / 15) < 3
                                          and abs(f[3] - 6000 * self.scale / 15) < 3), None), timeout=5,
                            what="the saved size")

        request_maximized(self.display, app.window(MAIN), True)
        wait_until(lambda: app.frames(MAIN)[-1][2] == SCREEN[2], timeout=5, what="a window as wide as the screen")
        time.sleep(1)  # the frame's margins of the maximised window come meanwhile
        self.assertEqual(app.frames(MAIN)[-1][2], SCREEN[2])
        self.assertEqual(self.state(app), ["_NET_WM_STATE_MAXIMIZED_VERT,", "_NET_WM_STATE_MAXIMIZED_HORZ"])
        request_maximized(self.display, app.window(MAIN), False)
        wait_until(lambda: self.near(app.frames(MAIN)[-1], normal), timeout=5, what="the earlier place and size")
        self.assertEqual(self.state(app), [])

        app.press("び", "menu item")
        viewer = wait_until(lambda: app.frames(VIEWER)[-1], what="the viewer")
        self.assertTrue(SCREEN[0] <= viewer[0] and viewer[0] + viewer[2] <= SCREEN[2], viewer)  # its close box too
        app.close_window(VIEWER)
        wait_until(lambda: app.windows(MAIN), what="the main window back")
        wait_until(lambda: self.near(app.frames(MAIN)[-1], normal), timeout=5, what="the main window where it was")

        request_maximized(self.display, app.window(MAIN), True)
        wait_until(lambda: self.state(app), timeout=5, what="the maximised state")
        self.assertEqual(app.close(MAIN), 0)
        self.assertEqual(self.read("PP1.dat"), PP1)  # the normal size, not the screen's


class At144DpiTest(ScreensTest):
    program_env = {}
    scale = 1.5  # Xft.dpi 144: Qt scales by 1.5

    def setUp(self):
        super().setUp()
        self.run_tool("xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER", "Xft.dpi:\t144\n")
