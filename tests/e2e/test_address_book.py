from parupo_e2e import ProgramTest, lines, wait_until

MAIN, BOOK = "!ぱるぽ", "アドレス帳"
# As the Windows program wrote it, with what its own reader split or mixed up: commas in
# names and in a number, one name in two groups; "髙" as Windows writes it (the IBM
# extension's code, where Python's codec takes the NEC-selected one).
PPAD = lines("友人", "山田,太郎\tyamada@example.jp", "同名\tdou-a@example.jp",
             "仕事", "髙橋～①, 営業部\ttakahashi@example.jp\t090-1234-5678,内線",
             "同名\tdou-b@example.jp\t080-0000-1111", "空のグループ").replace(
    "髙".encode("cp932"), b"\xfb\xfc")


class AddressBookTest(ProgramTest):
    window_manager = True  # the book's place depends on the main window's real frame

    def test_opens_once_beside_the_main_window_with_its_icon_and_a_real_drag_moves_an_entry_kept_byte_for_byte(self):
        import pyatspi
        self.write("PP1.dat", lines("127.0.0.1:1", "me@example.jp"))
        self.write("PPad.dat", PPAD)
        app = self.start().ready()
        app.press("あ2", "menu item")

        def beside():
            main, book = app.frames(MAIN)[-1], app.frames(BOOK)[-1]
            return (book[0], book[1], book[3]) == (main[0] + main[2], main[1], main[3]) and book[2] > 0
        wait_until(beside, timeout=5, what="the book's frame at the main window's right edge")
        main_icon, book_icon = (self.run_tool("xprop", "-id", str(app.window(t)), "_NET_WM_ICON").split("=")[-1]
                                for t in (MAIN, BOOK))
        self.assertEqual(book_icon, main_icon)
        self.assertIn("Icon (16 x 16)", book_icon)
        app.press("あ2", "menu item")  # again: the open book comes to the front, no second one

        def cell(name):
            return wait_until(lambda: app.all(name, "table cell", showing=True), what=name)[0]
        self.mouse(cell("友人"), "click", "--repeat", "2", "1")
        self.mouse(cell("山田,太郎"), "mousedown", "1")
        target = cell("空のグループ")
        x, y, w, h = target.queryComponent().getExtents(0)
        for step in range(5, -1, -1):  # a hand's way there, the row's middle last
            self.run_tool("xdotool", "mousemove", str(x + 40), str(y + h // 2 - 4 * step))
        # Released once the tree has followed the mouse there, as a hand would.
        wait_until(lambda: target.clear_cache() or target.getState().contains(pyatspi.STATE_SELECTED),
                   what="the drop highlight")
        self.run_tool("xdotool", "mouseup", "1")
        # The drag's picture is a window of its own: the drop is handled once it is gone.
        wait_until(lambda: len(app.windows()) == 2, what="the drag's end")

        self.assertEqual(len(app.windows(BOOK)), 1)
        self.assertEqual(app.close(MAIN), 0)  # the open book is saved first
        self.assertEqual(self.read("PPad.dat"), PPAD.replace(lines("山田,太郎\tyamada@example.jp"), b"")
                         + lines("山田,太郎\tyamada@example.jp"))

    def test_after_a_real_click_on_a_group_right_down_and_shift_f10_act_in_the_tree(self):
        self.write("PP1.dat", lines("127.0.0.1:1", "me@example.jp"))
        self.write("PPad.dat", PPAD)
        app = self.start().ready()
        to = app.find("宛先", "text", showing=True)
        app.press("あ2", "menu item")
        group = wait_until(lambda: app.all("仕事", "table cell", showing=True), what="the tree")[0]
        self.mouse(group, "click", "1")
        name = app.find("名前", "text", showing=True)
        wait_until(lambda: app.text_of(name) == "仕事", what="the group's name in its box")
        self.run_tool("xdotool", "key", "Right")  # opens the group
        wait_until(lambda: app.all("同名", "table cell", showing=True), what="the group opened")
        self.run_tool("xdotool", "key", "Down", "Down")  # walks to its second entry
        wait_until(lambda: app.text_of(to) == "dou-b@example.jp", what="the entry's address in 宛先")
        shown = len(app.windows())
        self.run_tool("xdotool", "key", "shift+F10")
        wait_until(lambda: len(app.windows()) == shown + 1, what="the tree's menu")
        self.run_tool("xdotool", "key", "Escape")
        wait_until(lambda: len(app.windows()) == shown, what="the menu closed")
        self.assertEqual(app.text_of(name), "同名")  # nothing went into the name box
        self.assertEqual(app.close(MAIN), 0)
