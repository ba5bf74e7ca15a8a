"""The master file editor on a real desktop: opened from the main menu, a master opened, and every
dialog of the editor opened through its button. Each window's frame lies on the 1366x768 screen,
centred over the window that opened it; the tool bar keeps its place from the start through
opening and closing the master; the focus is back on the button that opened a dialog.

    masters_test.py BIN_FOLDER WORKBOOK SCREENSHOT_FOLDER

BIN_FOLDER holds harbrook and its table reader; WORKBOOK is an .xlsx workbook the import offers.
"""

import contextlib
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
import manager_test  # noqa: E402
from addin_test import Store  # noqa: E402
from desktop import Failure, log, wait_for  # noqa: E402
from manager_test import check_equal  # noqa: E402

MENU_BUTTON = "ﾏｽﾀｰﾌｧｲﾙ作成／編集/転送"
EDITOR = "マスターファイル編集"
FIELDS = "フィールド情報設定"
OPEN = "マスターファイルを開く"
SAVE = "マスターデータ保存"
SEND = "マスターファイル送信"
SOURCE = "Ａｃｃｅｓｓ/Excelﾃﾞｰﾀｲﾝﾎﾟｰﾄ"
TABLES = "テーブル選択と項目指定"
# Widths of the key and two reference fields, and records with half-width katakana and kanji.
WIDTHS = (13, 20, 6)
RECORDS = [
    ("4901234500001", "ｼｮｳﾕ 1L", "198"),
    ("4901234500002", "味噌 赤だし", "258"),
    ("4901234500003", "ﾐｿ ｱｶﾀﾞｼ 500g", "298"),
    ("4901234500004", "緑茶ティーバッグ", "1080"),
]


def write_master(folder):
    """SHOHIN.DAT and its width file; the master's path."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "SHOHIN.DAT")
    with open(path, "wb") as f:
        for record in RECORDS:
            f.write(b"".join(field.encode("cp932").ljust(width) for field, width in zip(record, WIDTHS)) + b"\r\n")
    with open(os.path.join(folder, "SHOHIN.fld"), "wb") as f:
        f.write(",".join(str(w) for w in WIDTHS).encode() + b"\r\n")
    return path


def placement_fault(window, owner):
    """None when the window's frame lies on the screen, centred over its owner's, once the window
    manager has placed it; else what is wrong, with the figures."""

    def fault():
        try:
            desktop.check_on_screen(window)
            desktop.check_centred(window, owner)
        except Failure as failure:
            return str(failure)
        return None

    with contextlib.suppress(Failure):
        wait_for("%r placed" % window.title(), lambda: fault() is None, 2)
    x, y, width, height = window.frame()
    log("%s: frame %dx%d at %d,%d" % (window.title(), width, height, x, y))
    return fault()


class Editor:
    """The master editor the main menu opened, with the program and its windows."""

    def __init__(self, desk, program, screenshots):
        self.desk = desk
        self.program = program
        self.screenshots = screenshots
        self.main_window, self.menu = manager_test.main_menu(program)
        self.menu.find("push button", MENU_BUTTON).press()
        self.caption = EDITOR
        self.form = program.top_level(EDITOR, "dialog")
        self.window = program.window(EDITOR)
        # Every window is looked at before the run fails on one that is out of place.
        self.misplaced = []
        self.check_placed(self.window, self.main_window)

    def check_placed(self, window, owner):
        fault = placement_fault(window, owner)
        if fault:
            log("misplaced: %s" % fault)
            self.misplaced.append(fault)

    def shoot(self, window, name):
        self.desk.shoot(window, os.path.join(self.screenshots, name))

    def retitled(self, caption):
        """The editor once its title reads caption."""
        self.caption = caption
        self.window = self.program.window(caption)
        self.form = self.program.top_level(caption, "dialog")

    def button(self, caption):
        return self.form.find("push button", caption)

    def dialog(self, title, shot, role="dialog"):
        """Clicks nothing; waits for the dialog titled title, checks its place and shoots it."""
        form = self.program.top_level(title, role)
        window = self.program.window(title)
        self.check_placed(window, self.window)
        self.shoot(window, shot)
        return form

    def open_through(self, caption, title, shot, role="dialog"):
        """Clicks the tool button (its dialog opens inside the press, so a click does not wait for
        it); the dialog, placed and shot."""
        self.button(caption).click()
        return self.dialog(title, shot, role)

    def closes(self, title):
        wait_for("%s to close" % title, lambda: ("dialog", title) not in self.program.top_levels(), 10)

    def focus_back_on(self, caption):
        wait_for("the focus back on %s" % caption, self.button(caption).focused, 10)

    def tool_bar(self):
        """Where 開く, 送信 and 終了 lie in the window, by the window's frame."""
        x, y, _, _ = self.window.frame()
        places = {}
        for caption in ("開く", "送信", "終了"):
            bx, by, width, height = self.button(caption).extents()
            places[caption] = (bx - x, by - y, width, height)
        return places


def choose_offered(dialog, name, accept):
    """Presses accept in a file dialog once it offers name."""
    field = dialog.find("text", "ファイル名(N):")
    wait_for("the file dialog to offer %s (it offers %r)" % (name, field.text()), lambda: field.text() == name, 10)
    button = dialog.find("push button", accept)
    wait_for("%s enabled" % accept, button.enabled, 10)
    button.press()


def cancel(editor, form, title, caption="キャンセル"):
    form.find("push button", caption).press()
    editor.closes(title)


def every_dialog(desk, bin_folder, workbook, folder, screenshots):
    """Each dialog through its button; what lay out of place."""
    master = write_master(os.path.join(folder, "masters"))
    source = os.path.join(folder, "sources", "products.xlsx")
    os.makedirs(os.path.dirname(source), exist_ok=True)
    shutil.copyfile(workbook, source)
    manager = manager_test.Manager(desk, bin_folder, folder, os.path.join(folder, "no-such-device"))
    # The dialogs offer the master and the workbook, as after an earlier session.
    Store(manager.store).add(
        manager_test.APP_KEY,
        {
            "MasterFolder": os.path.dirname(master) + "/",
            "MasterFile": master,
            "DataSourceFolder": os.path.dirname(source) + "/",
            "DataSourceFile": source,
        },
    )
    program = manager.start()
    editor = Editor(desk, program, screenshots)
    editor.shoot(editor.window, "desktop-master-editor-empty.png")
    frame = editor.window.frame()
    bar = editor.tool_bar()

    fields = editor.open_through("新規作成", FIELDS, "desktop-master-field-dialog.png")
    cancel(editor, fields, FIELDS)
    editor.focus_back_on("新規作成")

    opened = editor.open_through("開く", OPEN, "desktop-master-open-dialog.png")
    choose_offered(opened, "SHOHIN.DAT", "開く(O)")
    editor.retitled("マスターファイル（SHOHIN.DAT）編集")
    grid = editor.form.find("table", EDITOR)
    wait_for("the grid shown", grid.showing, 10)
    check_equal(editor.window.frame(), frame, "the editor's frame after 開く")
    check_equal(editor.tool_bar(), bar, "the tool bar's buttons after 開く")
    editor.shoot(editor.window, "desktop-master-editor-open.png")

    send = editor.open_through("送信", SEND, "desktop-master-send-dialog.png")
    cancel(editor, send, SEND)
    editor.focus_back_on("送信")

    save = editor.open_through("保存", SAVE, "desktop-master-save-dialog.png")
    cancel(editor, save, SAVE)
    editor.focus_back_on("保存")

    chosen = editor.open_through("インポート", SOURCE, "desktop-master-import-source-dialog.png")
    choose_offered(chosen, "products.xlsx", "開く(O)")
    tables = editor.dialog(TABLES, "desktop-master-table-dialog.png")
    cancel(editor, tables, TABLES, "ｷｬﾝｾﾙ")
    editor.focus_back_on("インポート")

    # A change: 閉じる asks first; No keeps the master open.
    editor.form.find("table cell", RECORDS[0][1]).click()
    importer = editor.button("インポート")
    wait_for("the focus in the grid", lambda: not importer.focused(), 10)
    desk.type("X")
    question = editor.open_through("閉じる", EDITOR, "desktop-master-close-question.png", "alert")
    question.find("push button", "いいえ(N)").click()
    wait_for("the question to close", lambda: ("alert", EDITOR) not in program.top_levels(), 10)
    editor.focus_back_on("閉じる")
    question = editor.open_through("閉じる", EDITOR, "desktop-master-close-question.png", "alert")
    question.find("push button", "はい(Y)").click()
    wait_for("the question to close", lambda: ("alert", EDITOR) not in program.top_levels(), 10)
    editor.retitled(EDITOR)
    wait_for("the grid hidden", lambda: not grid.showing(), 10)
    check_equal(editor.window.frame(), frame, "the editor's frame after 閉じる")
    check_equal(editor.tool_bar(), bar, "the tool bar's buttons after 閉じる")
    editor.shoot(editor.window, "desktop-master-editor-closed.png")
    log("master editor: every dialog opened and was shot; the tool bar kept its place")

    editor.button("終了").press()
    editor.closes(EDITOR)
    wait_for("the main menu enabled again", editor.menu.enabled, 10)
    editor.main_window.close()
    check_equal(program.wait(15), 0, "exit code after the close box")
    return editor.misplaced


def main(argv):
    bin_folder, workbook, screenshots = argv[1], argv[2], argv[3]
    if not os.path.isfile(workbook):
        raise SystemExit("no workbook %s: build the harbrook_test_workbooks target" % workbook)

    def body(folder):
        desktop.limit(90)
        with desktop.Desktop(folder) as desk:
            misplaced = every_dialog(desk, bin_folder, workbook, folder, screenshots)
        if misplaced:
            raise Failure("windows out of place:\n" + "\n".join(misplaced))
        log("every window lay on the screen, centred over the window that opened it")

    return desktop.run(body, "masters")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
