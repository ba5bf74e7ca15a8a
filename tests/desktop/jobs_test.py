"""The job settings editor on a small screen, as an operator meets it: opened from the main menu,
after 新規作成, after 開く of a job set, on each page, and every dialog its buttons open. Each window
lies on the screen with its caption bar and is centred over the window that opened it; the editor
keeps its place and size throughout; Enter walks the add-job dialog to 追加 and presses it; the
focus is back on the button that opened a dialog. A picture of each window goes to the screenshots
folder.

    jobs_test.py BIN_FOLDER SET_WRITER SCREENSHOT_FOLDER

BIN_FOLDER holds harbrook and AddIn.lst; SET_WRITER is harbrook-desktop-addin-set, which writes the
job settings file the editor opens.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import addin_test  # noqa: E402
import desktop  # noqa: E402
import manager_test  # noqa: E402
from desktop import Failure, log, wait_for  # noqa: E402
from manager_test import check_equal  # noqa: E402

MENU_BUTTON = "業務設定データ作成/編集/転送"
EDITOR = "業務設定"
SET_FILE = "SET.BNF"


def settled_frame(window):
    """The window's frame once the window manager and the program have stopped moving it."""
    last = [None]

    def still():
        frame = window.frame()
        same = frame == last[0]
        last[0] = frame
        return same

    wait_for("%r to stay in one place" % window.title(), still, 10)
    return last[0]


class Run:
    """The manager with its editor, and the checks and pictures of each window it shows."""

    def __init__(self, desk, program, screenshots):
        self.desk = desk
        self.program = program
        self.screenshots = screenshots
        self.main_window, menu = manager_test.main_menu(program)
        menu.find("push button", MENU_BUTTON).press()
        self.form = program.top_level(EDITOR, "dialog")
        # Windows that are not centred over their owners: all are checked before the run fails.
        self.off_centre = []
        self.window = self.placed(EDITOR, self.main_window, "jobs-editor")
        self.frame = settled_frame(self.window)

    def placed(self, title, owner, picture):
        """The program's window titled title, checked on the screen and centred over owner."""
        window = self.program.window(title)
        frame = settled_frame(window)
        desktop.check_on_screen(window)
        try:
            desktop.check_centred(window, owner)
        except Failure as failure:
            log("off centre: %s" % failure)
            self.off_centre.append(str(failure))
        self.desk.shoot(window, os.path.join(self.screenshots, "desktop-%s.png" % picture))
        log("%s: frame %dx%d at %d,%d" % (title, frame[2], frame[3], frame[0], frame[1]))
        return window

    def editor_again(self, caption, picture):
        """The editor under its new caption: the same window, where it was and as large as it was:
        it neither grows nor jumps."""
        self.form = self.program.top_level(caption, "dialog")
        window = self.program.window(caption)
        check_equal(window.id, self.window.id, "the editor's window after %s" % picture)
        check_equal(settled_frame(window), self.frame, "the editor's frame after %s" % picture)
        self.desk.shoot(window, os.path.join(self.screenshots, "desktop-%s.png" % picture))

    def page(self, name, label, picture):
        """Chooses the page name in 設定画面選択; the page shows the label label."""
        self.form.find("list item", name).click()
        wait_for("the page %s" % name, lambda: any(c.showing() for c in self.form.find_all("label", label)), 10)
        self.editor_again(self.window.title(), picture)

    def dialog(self, opener, title, picture, owner=None, form=None):
        """Clicks the button opener of form (the editor's by default) and checks the dialog it opens."""
        form = form or self.form
        button = form.find("push button", opener)
        button.click()
        dialog = self.program.top_level(title, "dialog")
        window = self.placed(title, owner or self.window, picture)
        return button, dialog, window

    def closed(self, title, button, dialog_button, dialog):
        """Presses dialog_button of the dialog titled title; the focus is back on button."""
        dialog.find("push button", dialog_button).press()
        wait_for("%s to close" % title, lambda: ("dialog", title) not in self.program.top_levels(), 10)
        wait_for("the focus back on %r (the editor's focus: %r)" % (button.name, self.focused_name()),
                 button.focused, 10)

    def focused_name(self):
        found = [c.name for c in self.form.descendants() if c.focused()]
        return found[0] if found else None


def add_job_by_enter(run):
    """The add-job dialog, filled and confirmed with the keyboard: Enter moves along its chain and
    presses 追加 at its end."""
    button, dialog, _ = run.dialog("業務追加", "業務追加", "jobs-add-job")
    name = dialog.find("text", "業務名")
    wait_for("the job name to have the focus", name.focused, 10)
    run.desk.type("NYUKA")
    run.desk.key("Return", "Return")
    wait_for("the save file name to have the focus", dialog.find("text", "ファイル名").focused, 10)
    run.desk.type("DATA")
    # The HtNo box, the time stamp (no stamp: its place is passed over), 追加, and 追加 pressed.
    run.desk.key("Return", "Return", "Return")
    wait_for("追加 to have the focus", dialog.find("push button", "追加").focused, 10)
    run.desk.key("Return")
    wait_for("the add-job dialog to close", lambda: ("dialog", "業務追加") not in run.program.top_levels(), 10)
    wait_for("the new job in the job menu", lambda: run.form.find_all("list item", "NYUKA"), 10)
    wait_for("the focus back on 業務追加", button.focused, 10)
    log("add job: Enter walked to 追加 and pressed it; the focus is back on 業務追加")


def add_item(run, opener, name):
    button, dialog, _ = run.dialog(opener, opener, "jobs-" + ("add-group-item" if "ｸﾞﾙｰﾌﾟ" in opener else "add-data-item"))
    field = dialog.find("text", opener.replace("追加", "名"))
    wait_for("the item name to have the focus", field.focused, 10)
    run.desk.type(name)
    run.desk.key("Return")
    wait_for("%s to close" % opener, lambda: ("dialog", opener) not in run.program.top_levels(), 10)
    wait_for("the focus back on %s" % opener, button.focused, 10)


def choose_barcode_input(run):
    """入力方法 of the current item set to バーコード with the arrow keys, as the list wants it."""
    boxes = [c for c in run.form.find_all("combo box") if "入力方法" in manager_test.labelled_by(c)]
    check_equal(len(boxes), 1, "combo boxes labelled 入力方法")
    box = boxes[0]
    box.click()
    # The keys go to the list once it has opened; before, they would go to the closed box.
    pyatspi = run.desk.accessibility()
    wait_for("the list of 入力方法 to open", lambda: box.accessible.getState().contains(pyatspi.STATE_EXPANDED), 10)
    run.desk.key("Down", "Return")
    wait_for("the barcode button", lambda: any(c.showing() for c in run.form.find_all("push button", "ﾊﾞｰｺｰﾄﾞ設定")), 10)


def dialogs_of_the_job_page(run):
    add_job_by_enter(run)
    add_item(run, "ｸﾞﾙｰﾌﾟ項目追加", "TOKUI")
    add_item(run, "ﾃﾞｰﾀ項目追加", "SURYO")
    for opener, picture in (("業務削除", "delete-job"), ("ｸﾞﾙｰﾌﾟ項目削除", "delete-group-item"),
                            ("ﾃﾞｰﾀ項目削除", "delete-data-item")):
        button, dialog, _ = run.dialog(opener, opener, "jobs-" + picture)
        run.closed(opener, button, "キャンセル", dialog)
    layout = "NYUKA 送信データレイアウト (DATA)"
    button, dialog, _ = run.dialog("送信ﾃﾞｰﾀﾚｲｱｳﾄ表示", layout, "jobs-send-data-layout")
    run.closed(layout, button, "終了", dialog)

    choose_barcode_input(run)
    button, dialog, _ = run.dialog("ﾊﾞｰｺｰﾄﾞ設定", "バーゴード読取設定", "jobs-barcode-settings")
    run.closed("バーゴード読取設定", button, "キャンセル", dialog)

    run.form.find("check box", "使用する").click()
    button, master, master_window = run.dialog("設定", "マスター参照設定", "jobs-master-reference")
    _, definitions, _ = run.dialog("ﾏｽﾀｰ追加/変更", "マスターファイル追加/変更", "jobs-master-definitions",
                                   owner=master_window, form=master)
    definitions.find("push button", "キャンセル").press()
    wait_for("the definitions to close",
             lambda: ("dialog", "マスターファイル追加/変更") not in run.program.top_levels(), 10)
    run.closed("マスター参照設定", button, "キャンセル", master)
    log("job page: every dialog on the screen; the focus back on its button")


def jobs_on_desktop(desk, bin_folder, set_writer, folder, screenshots):
    manager = manager_test.Manager(desk, bin_folder, folder, os.path.join(folder, "no-port"))
    jobs = os.path.join(folder, "jobs")
    os.makedirs(jobs, exist_ok=True)
    path = os.path.join(jobs, SET_FILE)
    subprocess.run([set_writer, path, bin_folder, "ADDIN", "GS1DATE.PD4"], check=True, timeout=30)
    # The open dialog offers the set, as it does for an operator who opened it before.
    addin_test.Store(manager.store).add(manager_test.APP_KEY, {"BnfFolder": jobs + "/", "BnfFile": path})

    program = manager.start()
    run = Run(desk, program, screenshots)
    run.form.find("push button", "新規作成").click()
    run.editor_again("業務設定(新規作成)", "jobs-new")

    run.form.find("push button", "開く").click()
    question = program.top_level("業務設定を開く", "alert")
    question.find("push button", "はい(Y)").press()
    dialog = program.top_level("業務設定ファイルを開く", "dialog")
    program.window("業務設定ファイルを開く")
    field = dialog.find("text", "ファイル名(N):")
    wait_for("the file dialog to offer %s" % SET_FILE, lambda: field.text() == SET_FILE, 10)
    accept = dialog.find("push button", "開く(O)")
    wait_for("開く(O) enabled", accept.enabled, 10)
    accept.press()
    caption = "%s(%s)" % (EDITOR, SET_FILE)
    run.editor_again(caption, "jobs-open")
    opener = run.form.find("push button", "開く")
    wait_for("the focus back on 開く (the editor's focus: %r)" % run.focused_name(), opener.focused, 10)
    log("new and open: the editor kept its frame %dx%d at %d,%d" % (run.frame[2:] + run.frame[:2]))

    run.page("動作設定", "業務名", "jobs-job-page")
    dialogs_of_the_job_page(run)
    run.page("基本設定", "ｵｰﾄﾊﾟﾜｰｵﾌ時間", "jobs-base-page")
    button, bt, _ = run.dialog("Bluetooth設定", "Bluetooth通信環境設定", "jobs-bluetooth")
    run.closed("Bluetooth通信環境設定", button, "取消", bt)

    run.window.close()
    question = program.top_level(EDITOR, "alert")
    question.find("push button", "はい(Y)").press()
    wait_for("the editor to close", lambda: not run.window.exists(), 10)
    run.main_window.close()
    check_equal(program.wait(15), 0, "exit code after the close box")
    manager_test.show_stderr(program)
    if run.off_centre:
        raise Failure("%d windows are not centred over their owners:\n%s"
                      % (len(run.off_centre), "\n".join(run.off_centre)))


def main(argv):
    bin_folder, set_writer, screenshots = argv[1:4]

    def body(folder):
        desktop.limit(90)
        with desktop.Desktop(folder) as desk:
            jobs_on_desktop(desk, bin_folder, set_writer, os.path.join(folder, "jobs"), screenshots)

    return desktop.run(body, "jobs")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
