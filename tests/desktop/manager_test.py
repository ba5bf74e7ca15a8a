"""The manager on a real desktop: window titles as the window manager shows them, a message box's
caption and buttons, settings fields found by their captions, a tool button pressed through the
accessibility bus, the close box during a send, and a second start. On a 1366x768 screen the main
menu, the communication settings, the folder picker, the progress window and the boxes each lie on
the screen, centred over the window they belong to; a picture of each goes to SCREENSHOT_FOLDER.

    manager_test.py BIN_FOLDER TOOL_FOLDER SCREENSHOT_FOLDER

BIN_FOLDER holds harbrook; TOOL_FOLDER holds harbrook-terminal-sim.
"""

import contextlib
import hashlib
import json
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Failure, log, wait_for  # noqa: E402

MAIN_TITLE = "Ferrolin Pro BHT-800"
COMM_KEY = "Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll"
APP_KEY = "Software\\Vestrane\\FerrolinProBHT800"
# At 115200 bit/s about six seconds on the line: long enough to try the close box while it runs.
SEND_SIZE = 64 * 1024


def check(condition, text):
    if not condition:
        raise Failure(text)


def check_equal(actual, expected, what):
    if actual != expected:
        raise Failure("%s: expected %r, saw %r" % (what, expected, actual))


def write_store(path, folder, send_file=None):
    """Complete communication settings, so that no first-start dialog appears."""

    def integer(value):
        return {"data": value, "type": "integer"}

    def text(value):
        return {"data": value, "type": "string"}

    for sub in ("received", "send", "log"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    keys = {
        COMM_KEY: {
            "ComPort": integer(1),
            "ComSpeed": integer(115200),
            "RcvMode": integer(0),
            "WrMode": integer(1),
            "DspMode": integer(1),
            "LogEnable": integer(1),
            "LogFileMode": integer(1),
            "LogFolder": text(os.path.join(folder, "log") + "/"),
            "DefRxFolder": text(os.path.join(folder, "received") + "/"),
            "DefTxFolder": text(os.path.join(folder, "send") + "/"),
        }
    }
    if send_file:
        keys[APP_KEY] = {
            "SendFolder": text(os.path.dirname(send_file) + "/"),
            "SendFile": text(send_file),
        }
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"format": "harbrook-registry", "keys": keys, "version": 1}, f, ensure_ascii=False, indent=4)


class Manager:
    """What one start of the manager needs: its own store, lock folder and temporary folder."""

    def __init__(self, desk, bin_folder, folder, port, send_file=None):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.store = os.path.join(folder, "registry.json")
        write_store(self.store, folder, send_file)
        self.env = {
            "HARBROOK_REGISTRY": self.store,
            "HARBROOK_LOCK_DIR": os.path.join(folder, "lock"),
            "HARBROOK_PORT_COM1": port,
            "TMPDIR": os.path.join(folder, "tmp"),
        }
        for sub in ("lock", "tmp"):
            os.makedirs(os.path.join(folder, sub), mode=0o700, exist_ok=True)
        self.desk = desk
        self.argv = [os.path.join(bin_folder, "harbrook")]

    def start(self, name="harbrook"):
        return self.desk.start(name, self.argv, self.env)


def show_stderr(program):
    log("--- standard error of %s (pid %d) ---" % (program.name, program.pid))
    text = program.stderr()
    log(text.rstrip("\n") if text else "(empty)")
    log("--- end of standard error ---")


def main_menu(program):
    """The main menu, once both the window manager and the accessibility tree have it."""
    window = program.window(MAIN_TITLE)
    menu = program.top_level(MAIN_TITLE)
    return window, menu


def check_title_exact(window):
    """The title the window manager shows is the window's caption and nothing after it."""
    check_equal(window.title(), MAIN_TITLE, "main menu's _NET_WM_NAME")
    visible = window.visible_title()
    check(visible in (None, MAIN_TITLE), "main menu's _NET_WM_VISIBLE_NAME reads %r" % visible)


def placed(desk, window, owner, screenshots, name):
    """The window's frame lies on the screen, centred over its owner's (over the screen for None),
    once the window manager has framed it and the program has kept it on the screen; then its
    picture is taken."""
    last = []

    def settled():
        try:
            desktop.check_on_screen(window)
            desktop.check_centred(window, owner)
        except Failure as failure:
            last[:] = [failure]
            return False
        return True

    try:
        wait_for("%r placed" % window.title(), settled, 5)
    except Failure:
        raise last[0] from None
    x, y, width, height = window.frame()
    log("%s: frame %dx%d at %d,%d, on the screen and centred over %s"
        % (window.title(), width, height, x, y, "the screen" if owner is None else repr(owner.title())))
    desk.shoot(window, os.path.join(screenshots, name))


def press_ok(box):
    buttons = [c.name for c in box.find_all("push button")]
    check_equal(buttons, ["OK"], "buttons of %r" % box.name)
    box.find("push button", "OK").press()


def labelled_by(control):
    """Names of the labels a control is labelled by, as a screen reader announces a combo box."""
    import pyatspi  # noqa: PLC0415 - imported once the session bus is known

    names = []
    for relation in control.accessible.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def settings_by_caption(desk, program, window, menu, folder, screenshots):
    """The communication settings as a screen reader reaches them: each field found by the caption
    beside it, never by where it sits. Each dialog opens over the one it was opened from, and so
    does the folder picker."""
    menu.find("push button", "通信条件設定").press()
    para = program.top_level("通信条件設定", "dialog")
    para_window = program.window("通信条件設定")
    placed(desk, para_window, window, screenshots, "desktop-communication-conditions.png")
    # On Linux a combo box's name is its current item; its caption is the label it is labelled by.
    ports = [c for c in para.find_all("combo box") if "通信ポート" in labelled_by(c)]
    check_equal(len(ports), 1, "combo boxes labelled 通信ポート")
    check_equal(ports[0].name, "COM1", "the port shown")
    para.find("push button", "通信モード設定").press()
    mode = program.top_level("通信モード設定", "dialog")
    mode_window = program.window("通信モード設定")
    placed(desk, mode_window, para_window, screenshots, "desktop-communication-mode.png")
    received = mode.find("text", "受信デフォルトフォルダ")
    check_equal(received.text(), os.path.join(folder, "received") + "/", "受信デフォルトフォルダ")
    check_equal(mode.find("text", "送信デフォルトフォルダ").text(), os.path.join(folder, "send") + "/",
                "送信デフォルトフォルダ")
    log("communication settings: fields found by their captions")
    # The browse buttons in tree order: the log folder's, the receive folder's, the send folder's.
    browse = mode.find_all("push button", "参照")
    check_equal(len(browse), 3, "参照 buttons of the mode dialog")
    browse[1].press()
    program.top_level("受信デフォルトフォルダ設定", "dialog")
    placed(desk, program.window("受信デフォルトフォルダ設定"), mode_window, screenshots, "desktop-folder-picker.png")
    # Escape, as the operator leaves it: its folder tree, still filling, is no place to look for a
    # button through the accessibility bus.
    desk.key("Escape")
    wait_for("the folder picker to close",
             lambda: ("dialog", "受信デフォルトフォルダ設定") not in program.top_levels(), 10)
    mode.find("push button", "キャンセル").press()
    wait_for("the mode settings to close", lambda: ("dialog", "通信モード設定") not in program.top_levels(), 10)
    para.find("push button", "キャンセル").press()
    wait_for("the communication settings to close",
             lambda: ("dialog", "通信条件設定") not in program.top_levels(), 10)
    wait_for("the main menu enabled again", menu.enabled, 10)


def tool_button_press(program, menu):
    """A tool button that opens a modal dialog, pressed through the accessibility bus as a screen
    reader presses it: the press answers at once, not when the dialog has closed."""
    menu.find("push button", "業務設定データ作成/編集/転送").press()
    editor = program.top_level("業務設定", "dialog")
    program.window("業務設定")
    started = time.monotonic()
    editor.find("push button", "開く").press()
    took = time.monotonic() - started
    check(took < 2, "the press of 開く answered after %.1f s" % took)
    opened = program.top_level("業務設定ファイルを開く", "dialog")
    program.window("業務設定ファイルを開く")
    log("tool button: the press of 開く answered in %.2f s; its file dialog is open" % took)
    opened.find("push button", "キャンセル").press()
    wait_for("the file dialog to close", lambda: ("dialog", "業務設定ファイルを開く") not in program.top_levels(), 10)
    editor.find("push button", "終了").press()
    wait_for("the editor to close", lambda: ("dialog", "業務設定") not in program.top_levels(), 10)
    wait_for("the main menu enabled again", menu.enabled, 10)


def enquiry_without_browser(desk, program, window, menu, bin_folder, screenshots):
    """問い合わせ on a desktop that cannot open the help page: the box of our own says where the page
    is, readable whole, over the main menu."""
    menu.find("push button", "問い合わせ").press()
    box = program.top_level(MAIN_TITLE, "alert")
    page = os.path.join(os.path.abspath(bin_folder), "help", "index.html")
    check("ヘルプページを開けませんでした。\n" + page in box.texts(), "enquiry box reads %r" % box.texts())
    box_window = next(w for w in program.windows() if w.id != window.id and w.title() == MAIN_TITLE)
    placed(desk, box_window, window, screenshots, "desktop-enquiry-box.png")
    press_ok(box)
    wait_for("the main menu enabled again", menu.enabled, 10)


def port_missing(desk, bin_folder, folder, screenshots):
    """The main menu's title, a screenshot of it, a second start, and the boxes of a port that
    cannot be opened, with the program's standard error."""
    manager = Manager(desk, bin_folder, folder, os.path.join(folder, "no-such-device"))
    # Nothing on the path opens a page: the enquiry has no browser, whatever the machine has.
    manager.env["PATH"] = os.path.join(folder, "no-programs")
    program = manager.start()
    window, menu = main_menu(program)
    check_title_exact(window)
    log("main menu: _NET_WM_NAME %r" % window.title())
    placed(desk, window, None, screenshots, "desktop-main-menu.png")

    second = manager.start("second harbrook")
    refusal = second.top_level(MAIN_TITLE, "alert")
    check_equal(second.window(MAIN_TITLE).title(), MAIN_TITLE, "second start's box title")
    check("既にこのプログラムは起動しています。" in refusal.texts(), "second start's box reads %r" % refusal.texts())
    press_ok(refusal)
    check_equal(second.wait(10), 1, "exit code of the second start")
    log("second start: refused, exit code 1")

    menu.find("push button", "データ送信").press()
    library = program.top_level("Corliss通信", "alert")
    library_window = program.window("Corliss通信")
    check_equal(library_window.title(), "Corliss通信", "library box title")
    check("COM1 は既に使用されているか\n使用不可の状態です。" in library.texts(), "library box reads %r" % library.texts())
    placed(desk, library_window, window, screenshots, "desktop-library-box.png")
    press_ok(library)
    caption = "通信ポートCOM1"
    box = program.top_level(caption, "alert")
    check_equal(program.window(caption).title(), caption, "port box title")
    check("COM1をオープンできません" in box.texts(), "port box reads %r" % box.texts())
    # Asked while no window is active (the first box has just gone, the menu waits disabled).
    placed(desk, program.window(caption), window, screenshots, "desktop-port-box.png")
    press_ok(box)
    wait_for("the main menu enabled again", menu.enabled, 10)

    settings_by_caption(desk, program, window, menu, folder, screenshots)
    enquiry_without_browser(desk, program, window, menu, bin_folder, screenshots)
    tool_button_press(program, menu)

    window.close()
    check_equal(program.wait(15), 0, "exit code after the close box")
    show_stderr(program)
    # The boxes name only the port; one line on standard error names the device and why.
    device = os.path.join(folder, "no-such-device")
    lines = [line for line in program.stderr().splitlines() if line.startswith("COM1: cannot open " + device)]
    if len(lines) != 1 or "HARBROOK_PORT_COM1" not in lines[0] or "No such file or directory" not in lines[0]:
        raise Failure("no line on standard error names the port's device and the reason: %r" % program.stderr())


def simulator(desk, tool_folder, folder):
    """The terminal simulator on a pty paced as the cradle's line; its line's device path."""
    inbox = os.path.join(folder, "inbox")
    os.makedirs(inbox, exist_ok=True)
    link = os.path.join(folder, "link")
    argv = [os.path.join(tool_folder, "harbrook-terminal-sim"), "--link", link, "--inbox", inbox,
            "--rate", "115200", "--log", os.path.join(folder, "sim.log")]
    sim = desk.start("harbrook-terminal-sim", argv)

    def device():
        if not sim.running():
            raise Failure("the terminal simulator ended with code %s: %s" % (sim.process.returncode, sim.stderr()))
        with contextlib.suppress(OSError), open(link, encoding="utf-8") as f:
            return f.readline().strip()
        return None

    return sim, wait_for("the terminal simulator's line", device, 10), inbox


def sample_bytes(size):
    """Bytes of every value in no pattern a transfer fault could hide in; the same on every run."""
    out = bytearray()
    block = b"harbrook"
    while len(out) < size:
        block = hashlib.sha256(block).digest()
        out += block
    return bytes(out[:size])


def progress_window(program, main_window):
    """The window the library shows while it transfers (titled after the port, then the step)."""
    return next((w for w in program.windows() if w.id != main_window.id and w.title() != "送信ファイル選択"), None)


def close_during_send(desk, bin_folder, tool_folder, folder, screenshots):
    """The close box of the main menu during a send is refused; the send completes byte-exact, and
    afterwards the close box closes the menu and the program ends with code 0."""
    sim, device, inbox = simulator(desk, tool_folder, os.path.join(folder, "sim"))
    send_file = os.path.join(folder, "send", "PHOTO.BMP")
    os.makedirs(os.path.dirname(send_file), exist_ok=True)
    payload = sample_bytes(SEND_SIZE)
    with open(send_file, "wb") as f:
        f.write(payload)
    manager = Manager(desk, bin_folder, folder, device, send_file)
    program = manager.start()
    window, menu = main_menu(program)

    send_remembered_file(program, menu)
    progress = wait_for("the progress window", lambda: progress_window(program, window), 15)
    # The first transfer on the port: no place stored yet, so over the window that started it.
    placed(desk, progress, window, screenshots, "desktop-progress-window.png")
    received = os.path.join(inbox, "PHOTO.BMP")
    window.close()
    # The window manager's request reaches the program at once; a second shows whether it was obeyed.
    time.sleep(1)
    check(program.running(), "the program ended when its main menu was closed during a send")
    check(window.exists(), "the main menu vanished when closed during a send")
    check(not os.path.exists(received), "the send was over before the close box was tried; make the file larger")
    log("during the send: windows %r" % [w.title() for w in program.windows()])

    done = program.top_level("データ送信", "alert", timeout=40)
    check("正常終了" in done.texts(), "end of send box reads %r" % done.texts())
    placed(desk, program.window("データ送信"), window, screenshots, "desktop-result-box.png")
    press_ok(done)
    check(os.path.isfile(received), "the simulator's inbox holds %r" % os.listdir(inbox))
    with open(received, "rb") as f:
        arrived = f.read()
    check_equal(len(arrived), len(payload), "size of the file that arrived")
    check(arrived == payload, "the file that arrived differs from the one sent")
    log("send: %d bytes arrived byte-identical; the close box was refused meanwhile" % len(arrived))

    wait_for("the main menu enabled again", menu.enabled, 10)
    stored_place_off_screen(desk, manager, program, window, menu, screenshots)
    window.close()
    check_equal(program.wait(15), 0, "exit code after the close box")
    check(not window.exists(), "the main menu stayed after the close box")
    show_stderr(program)
    sim.end()


def send_remembered_file(program, menu):
    """データ送信, and Open in its file dialog once the dialog offers the remembered PHOTO.BMP."""
    menu.find("push button", "データ送信").press()
    dialog = program.top_level("送信ファイル選択", "dialog")
    check_equal(program.window("送信ファイル選択").title(), "送信ファイル選択", "file dialog's title")
    buttons = sorted(c.name for c in dialog.find_all("push button") if c.name)
    # Qt's own texts, in Japanese as on the operators' systems.
    check("キャンセル" in buttons and "開く(O)" in buttons, "file dialog's buttons read %r" % buttons)
    # Open is pressed once the dialog shows the file, as a person would.
    name = dialog.find("text", "ファイル名(N):")
    wait_for("the file dialog to offer PHOTO.BMP", lambda: name.text() == "PHOTO.BMP", 10)
    open_button = dialog.find("push button", "開く(O)")
    wait_for("Open enabled", open_button.enabled, 10)
    open_button.press()


def stored_place_off_screen(desk, manager, program, window, menu, screenshots):
    """The progress window's place, stored per port, as a larger screen left it: the next transfer
    shows the window on this screen all the same."""
    with open(manager.store, encoding="utf-8") as f:
        store = json.load(f)
    port_key = (COMM_KEY + "\\COM1").lower()
    key = next((k for k in store["keys"] if k.lower() == port_key), None)
    check(key is not None, "no place stored for COM1 after the send: keys %r" % list(store["keys"]))
    store["keys"][key].update({"DspX": {"data": 1900, "type": "integer"}, "DspY": {"data": 1000, "type": "integer"}})
    with open(manager.store, "w", encoding="utf-8") as f:
        json.dump(store, f, ensure_ascii=False, indent=4)

    send_remembered_file(program, menu)
    progress = wait_for("the progress window", lambda: progress_window(program, window), 15)
    wait_for("the progress window on the screen", lambda: _on_screen(progress), 5)
    x, y, width, height = progress.frame()
    log("progress window stored at 1900,1000: frame %dx%d at %d,%d" % (width, height, x, y))
    desk.shoot(None, os.path.join(screenshots, "desktop-progress-window-stored-off-screen.png"))
    done = program.top_level("データ送信", "alert", timeout=40)
    press_ok(done)
    wait_for("the main menu enabled again", menu.enabled, 10)


def _on_screen(window):
    try:
        desktop.check_on_screen(window)
    except Failure:
        return False
    return True


def main(argv):
    bin_folder, tool_folder, screenshots = argv[1:4]

    def body(folder):
        desktop.limit(90)
        with desktop.Desktop(folder) as desk:
            port_missing(desk, bin_folder, os.path.join(folder, "port-missing"), screenshots)
            close_during_send(desk, bin_folder, tool_folder, os.path.join(folder, "send"), screenshots)

    return desktop.run(body, "manager")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
