"""An add-in settings program on a real desktop, started from the job settings editor as an operator
starts it: its window and title, the editor locked while it runs, one field changed by keyboard,
the confirm node, and the parameters the editor took back, down to the bytes of the saved file; and
a cancelled run that leaves the job as it was. Then, on a 1366x768 screen, the program started with
the same job: its form centred on the screen, each page and each dialog its buttons open, every
frame on the screen and each dialog centred over the form, the focus back on the button that opened
it, and a picture of each in the screenshots folder.

    addin_test.py PROGRAM BIN_FOLDER SET_WRITER SCREENSHOT_FOLDER

PROGRAM names a row of PROGRAMS; BIN_FOLDER holds harbrook, the settings programs and AddIn.lst;
SET_WRITER is harbrook-desktop-addin-set, which writes the job settings file the editor opens.
"""

import collections
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
import manager_test  # noqa: E402
from desktop import Failure, log, wait_for  # noqa: E402
from manager_test import check, check_equal  # noqa: E402

HAND_OFF_KEY = "Software\\Vestrane\\FerrolinAddInPrg"
MENU_BUTTON = "業務設定データ作成/編集/転送"
EDITOR = "業務設定"
JOB_PAGE = "動作設定"
SETTINGS_BUTTON = "アドインプログラム設定"
DISCARD = "設定したデータを破棄してもいいですか？"

# One row per settings program, "name": Row(...) on a line of its own (CMake registers desktop.<name>
# for each such row whose program the build makes).
#   add_in   the job's add-in program, as AddIn.lst names it (the list maps it to the program)
#   job      the job's name, handed to the program
#   title    the program's window title for that job on model 800
#   paras    the job's strings Para0 to Para<count> before any run, as its file holds them
#   field    the caption of the label beside the text field the operator changes on the first page
#   text     what the operator types there, after erasing what it holds
#   answer   the parameter strings the program writes on confirm, from Para0 on
#   confirm, cancel   the captions of the tree's confirm and cancel nodes
#   page     the tree node of the page that holds the field (None: the page the program opens on)
#   question the title of the box that asks before the edits are discarded (None: the title)
Row = collections.namedtuple(
    "Row", "add_in job title paras field text answer confirm cancel page question", defaults=(None, None)
)


def padded(text, width):
    return text.ljust(width)[:width]


def olvide_para(date):
    """Olvide's 400-byte string for AI 17 against the set date (YYMMDD), read date later than it,
    GS1 DataBar and Code128."""
    return padded("17=" + date + ">" + padded("RK", 20), 400)


def fixed(length, *fields):
    """A fixed record as the stored set holds it: blanks of length bytes with each (position, text)
    placed at its 1-based byte position in code page 932, decoded back for the hand-off's text."""
    record = bytearray(b" " * length)
    for position, text in fields:
        data = text.encode("cp932")
        record[position - 1 : position - 1 + len(data)] = data
    if len(record) != length:
        raise ValueError("a field runs past byte %d" % length)
    return record.decode("cp932")


def cp932_padded(text, width):
    """text padded with blanks to width bytes of code page 932."""
    return fixed(width, (1, text))


def tessary_bar(symbols, most, least, length):
    """Tessary's long barcode text: symbologies, digit counts, no user code, GTIN and check digit
    off, fixed length, no data check, data 1 at 1 with the given length, then data 2 to 5 at 1
    with length 1 (the delete part follows apart)."""
    return (
        cp932_padded(symbols, 20) + "%04d%04d" % (most, least) + " " * 32 + "00N0010001" + " " * 32
        + "00000001%04d" % length + "000000010001" * 4
    )


def tessary_paras(save_file):
    """A 1:N collation on model 800 whose results go to save_file: source and target read one
    symbology whole, two saved fields (source barcode, OK/NG), save type OK/NG details."""
    para0 = fixed(
        468, (1, "1"), (2, save_file), (16, "0"), (160, "N0"), (162, "照合元"),
        (184, tessary_bar("A", 13, 1, 13)), (346, "0-"), (467, "D1"),
    )
    para1 = fixed(
        400, (1, "照合先"), (23, tessary_bar("A", 13, 1, 13)), (185, "0-0"),
        (188, "023N" + "M00010013" + "O00010002"), (336, "0"), (360, "0"),
    )
    return [para0, para1]


def quillon_bar(symbols, length):
    """Quillon's barcode text: symbologies, fixed length, no data check, data from 1 for length."""
    return cp932_padded(symbols, 20) + " " * 32 + "00N0010001" + " " * 32 + "0001%04d" % length + "0   "


def quillon_paras(ok_time):
    """A collation on model 800: a search key looked up in MASTER.DAT and the collation data, both
    read as two symbologies, results not saved; the OK result shows for ok_time tenths."""
    buzzers = "%02d" % ok_time + " " * 14 + "0001010501" + "0" + "30" + " " * 14 + "0002030101" + "0"
    para0 = fixed(
        468, (1, "0"), (16, "0"), (189, "品番"), (211, "00200001"), (219, quillon_bar("AK", 13)),
        (325, "MASTER.DAT"), (369, buzzers), (467, "m0"),
    )
    para1 = fixed(500, (1, "照合"), (23, "0"), (24, quillon_bar("AK", 13)), (130, "0"), (151, "011"))
    return [para0, para1]


def marrent_paras(code_length, separator="000"):
    """An inspection on model 800 against SHOHIN.DAT, whose product code field is code_length
    bytes: no data or voucher kind, the product code read whole from one symbology, no quantity
    input, no result file."""
    para0 = fixed(
        468, (1, "0"), (16, "K0"), (18, "0"), (189, "0"), (338, "SHOHIN.DAT"),
        (352, "08%02d4006" % code_length), (467, "P0"),
    )
    # The separator code outside its format: read as 44, and written back as the record holds it.
    bar = cp932_padded("A", 20) + "00130013" + " " * 32 + "00N" + separator + "0010001" + " " * 32 + "000113"
    para1 = fixed(468, (1, bar), (112, "006"), (131, "00" + "X01" * 8 + "2"))
    return [para0, para1]


PROGRAMS = {
    "olvide": Row(
        add_in="GS1DATE.PD4",
        job="賞味期限",
        title="賞味期限 設定 (BHT-800)",
        # Olvide answers Para0 alone; the file still carries the job's Para1 line.
        paras=[olvide_para("240101"), ""],
        field="設定日付",
        text="25",
        answer=[olvide_para("250101")],
        confirm="確定",
        cancel="キャンセル",
    ),
    "tessary": Row(
        add_in="COUNTCOL.PD4",
        job="検品",
        title="検品 照合プログラム設定(BHT-800)",
        paras=tessary_paras("KEKKA.DAT"),
        field="保存ファイル",
        text="KEKKA2.DAT",
        answer=tessary_paras("KEKKA2.DAT"),
        confirm="更新",
        cancel="キャンセル",
        page="データ保存",
        question="アドイン照合設定",
    ),
    "quillon": Row(
        add_in="COLLATE.PD4",
        job="照合",
        title="照合 設定(BHT-800)",
        paras=quillon_paras(30),
        field="OK表示時間",
        text="25",
        answer=quillon_paras(25),
        confirm="更新",
        cancel="キャンセル",
        page="照合条件",
        question="アドイン照合設定",
    ),
    "marrent": Row(
        add_in="PICKINSP.PD4",
        job="入荷検品",
        title="入荷検品 設定 (BHT-800)",
        paras=marrent_paras(13),
        field="商品コード",
        text="14",
        answer=marrent_paras(14, separator="044"),
        confirm="確定",
        cancel="キャンセル",
        page="検品マスター",
        question="アドインピッキング／検品設定",
    ),
}

# What the screens walk ticks on each page before it presses the page's buttons, so that every
# group and button a box shows is on the screen: page node -> captions of the boxes, in order.
TICKS = {
    "olvide": {"検査条件": []},
    "tessary": {
        "データ区分": ["データ区分を使用する", "バーコード使用", "文字列表示マスターファイルを使用する"],
        "照合条件": ["文字列表示マスターファイルを使用する"],
        "データ保存": [],
    },
    "quillon": {
        "データ区分": ["データ区分を使用する", "バーコード使用", "マスター参照表示を使用する"],
        "照合条件": ["情報表示ﾏｽﾀｰﾌｧｲﾙを使用"],
        "データ保存": ["照合結果を保存する"],
    },
    "marrent": {
        "動作モード": [],
        "データ区分": ["データ区分を使用する", "バーコード使用", "表示マスターを使用する"],
        "伝票区分": ["伝票区分を使用する", "バーコード使用"],
        "検品マスター": [],
        "検品画面": [],
        "処理結果": ["処理結果を送信する"],
    },
}
CANCEL = "キャンセル"
YES = "はい(Y)"


# The job settings file: 500-byte lines; the job's line holds the mode letter, the add-in program
# (12 bytes) and the count (1 byte) from byte 19, then Para0; each further string has a line.
LINE = 500
JOB_FIELDS = 18
FIRST_PARA = 32


def cp932(text):
    return text.encode("cp932")


def job_lines(data, row):
    """(index of the job's line, its lines) in the file's lines."""
    lines = data.split(b"\r\n")
    head = b"X" + cp932(padded(row.add_in, 12))
    for i, line in enumerate(lines):
        if line[JOB_FIELDS : JOB_FIELDS + len(head)] == head:
            count = int(line[JOB_FIELDS + len(head) : FIRST_PARA])
            return i, lines, lines[i : i + 1 + count]
    raise Failure("no mode X line of %s in the file" % row.add_in)


def expected_job_lines(line, paras):
    """The job's lines as they must read with the strings paras (Para0 to Para<count>): its own
    fields up to the count, then the strings."""
    first = line[: FIRST_PARA - 1] + str(len(paras) - 1).encode() + cp932(paras[0])
    return [padded_bytes(first, LINE)] + [padded_bytes(cp932(p), LINE) for p in paras[1:]]


def padded_bytes(data, width):
    return data.ljust(width)[:width]


class Store:
    """The registry store the manager and the settings program share."""

    def __init__(self, path):
        self.path = path

    def read(self):
        with open(self.path, encoding="utf-8") as f:
            return json.load(f)["keys"]

    def hand_off(self):
        """The hand-off key's values: name -> data."""
        return {name: value["data"] for name, value in self.read().get(HAND_OFF_KEY, {}).items()}

    def add(self, key, values):
        with open(self.path, encoding="utf-8") as f:
            store = json.load(f)
        store["keys"][key] = {name: {"data": data, "type": "string"} for name, data in values.items()}
        with open(self.path, "w", encoding="utf-8") as f:
            json.dump(store, f, ensure_ascii=False, indent=4)


def offered(parts):
    """The strings a hand-off offers the program: SetCount and the Para values the manager wrote."""
    return {k: v for k, v in parts.items() if k == "SetCount" or k.startswith("Para")}


def field_beside(form, caption):
    """The text field a person finds right of the label caption, on the same row of the page shown
    (pages the tree hides may hold labels of the same caption)."""
    label = wait_for(
        "a label %r shown in %r" % (caption, form.name),
        lambda: next((c for c in form.find_all("label", caption) if c.showing() and c.extents()[2] > 0), None),
        10,
    )
    lx, ly, lw, lh = label.extents()
    beside = []
    for text in form.find_all("text"):
        x, y, w, h = text.extents()
        if w > 0 and x >= lx + lw and y < ly + lh and ly < y + h:
            beside.append((x, text))
    check(beside, "no text field right of the label %r" % caption)
    return min(beside, key=lambda found: found[0])[1]


def retype(desk, field, text):
    """Clicks into field, erases what it holds and types text, as a person does."""
    field.click()
    wait_for("the field to take the focus", field.focused, 10)
    desk.key("End", *["BackSpace"] * len(field.text()))
    desk.type(text)
    wait_for("the field to read %r (it reads %r)" % (text, field.text()), lambda: field.text() == text, 10)


def node(form, caption):
    """A node of the program's tree, found by its caption as a person reads it."""
    return form.find("table cell", caption)


def change_field(desk, form, row):
    """Opens the page of the row's field through the tree and types the row's text there."""
    if row.page is not None:
        node(form, row.page).click()
    retype(desk, field_beside(form, row.field), row.text)


class Editor:
    """The job settings editor, opened from the main menu with the prepared file."""

    def __init__(self, desk, program, path):
        self.desk = desk
        self.program = program
        self.main_window, menu = manager_test.main_menu(program)
        menu.find("push button", MENU_BUTTON).press()
        self.form = program.top_level(EDITOR, "dialog")
        program.window(EDITOR)
        # The toolbar's buttons open their dialogs inside the press; a click does not wait for them.
        self.form.find("push button", "開く").click()
        self.choose_file("業務設定ファイルを開く", "開く(O)", os.path.basename(path))
        self.caption = "%s(%s)" % (EDITOR, os.path.basename(path))
        self.window = program.window(self.caption)
        self.form = program.top_level(self.caption, "dialog")
        self.form.find("list item", JOB_PAGE).click()
        self.button = self.form.find("push button", SETTINGS_BUTTON)
        wait_for("the job page with its %r" % SETTINGS_BUTTON, self.button.showing, 10)

    def choose_file(self, title, accept, name, typed=False):
        dialog = self.program.top_level(title, "dialog")
        self.program.window(title)
        field = dialog.find("text", "ファイル名(N):")
        if typed:
            retype(self.desk, field, name)
        else:
            wait_for("the file dialog to offer %s" % name, lambda: field.text() == name, 10)
        button = dialog.find("push button", accept)
        wait_for("%s enabled" % accept, button.enabled, 10)
        button.press()

    def start_settings(self, name, row):
        """Presses the button; the settings program's process, window and form."""
        self.button.click()
        settings = self.program.child(name)
        window = settings.window(row.title)
        form = settings.top_level(row.title, "dialog")
        return settings, window, form

    def save_as(self, name):
        self.form.find("push button", "保存").click()
        self.choose_file("業務設定ファイルを保存", "保存(S)", name, typed=True)
        self.caption = "%s(%s)" % (EDITOR, name)
        self.window = self.program.window(self.caption)
        self.form = self.program.top_level(self.caption, "dialog")


def check_locked(desk, editor, settings, window):
    """While the settings program runs: its window has the focus, the editor is disabled, and the
    editor's close box is refused."""
    wait_for("the settings window to have the focus", lambda: desk.active_window() == window.id, 10)
    check(not editor.form.enabled(), "the editor is enabled while %s runs" % settings.name)
    editor.window.close()
    # The window manager's request reaches the editor at once; a second shows whether it was obeyed.
    time.sleep(1)
    check(editor.window.exists(), "the editor closed while %s ran" % settings.name)
    check(settings.running(), "%s ended when the editor's close box was pressed" % settings.name)


def cancelled_run(desk, editor, store, name, row):
    """A change, the cancel node and Yes to the question: the program ends, writes nothing, and the
    job keeps its strings (the next hand-off offers the same ones)."""
    settings, window, form = editor.start_settings(name, row)
    check_equal(window.title(), row.title, "settings window's _NET_WM_NAME")
    check(window.visible_title() in (None, row.title), "settings window's _NET_WM_VISIBLE_NAME reads %r" % window.visible_title())
    first = store.hand_off()
    check_equal(first.get("Result"), 0, "Result in the hand-off while %s runs" % settings.name)
    check_locked(desk, editor, settings, window)
    change_field(desk, form, row)
    node(form, row.cancel).click()
    question = settings.top_level(row.question or row.title, "alert")
    check(DISCARD in question.texts(), "the close question reads %r" % question.texts())
    question.find("push button", "はい(Y)").click()
    settings.wait(10)
    after = store.hand_off()
    check_equal(after, first, "the hand-off after a cancelled run")
    wait_for("the editor enabled again", editor.form.enabled, 10)
    log("cancelled run: %s wrote nothing; the editor is enabled again" % settings.name)
    return offered(first)


def confirmed_run(desk, editor, store, name, row, offered_before, screenshots):
    """The same job again: the editor offers what it held, the operator changes the field and
    confirms; the program's answer is what the editor keeps."""
    settings, window, form = editor.start_settings(name, row)
    check_equal(offered(store.hand_off()), offered_before, "what the job offers after the cancelled run")
    check_locked(desk, editor, settings, window)
    change_field(desk, form, row)
    desk.screenshot(os.path.join(screenshots, "desktop-%s.png" % settings.name))
    node(form, row.confirm).click()
    settings.wait(10)
    answer = store.hand_off()
    check_equal(answer.get("Result"), 1, "Result after the confirm node")
    check_equal(answer.get("SetCount"), 1, "SetCount after the confirm node")
    for i, para in enumerate(row.answer):
        check_equal(answer.get("Para%d" % i), para, "Para%d after the confirm node" % i)
    wait_for("the editor enabled again", editor.form.enabled, 10)
    log("confirmed run: %s answered %r" % (settings.name, answer.get("Para0", "")[:40]))
    # The editor keeps SetCount strings; one the program left alone is the one the manager offered.
    return [answer["Para%d" % i] if "Para%d" % i in answer else "" for i in range(answer["SetCount"] + 1)]


def hand_off(desk, bin_folder, set_writer, folder, screenshots, name):
    row = PROGRAMS[name]
    manager = manager_test.Manager(desk, bin_folder, folder, os.path.join(folder, "no-port"))
    store = Store(manager.store)
    jobs = os.path.join(folder, "jobs")
    os.makedirs(jobs, exist_ok=True)
    path = os.path.join(jobs, "SET.BNF")
    subprocess.run([set_writer, path, bin_folder, row.job, row.add_in, *row.paras], check=True, timeout=30)
    with open(path, "rb") as f:
        prepared = f.read()
    # The open dialog offers the last file, as it does for an operator who opened it before.
    store.add(manager_test.APP_KEY, {"BnfFolder": jobs + "/", "BnfFile": path})

    program = manager.start()
    editor = Editor(desk, program, path)
    kept = cancelled_run(desk, editor, store, name, row)
    paras = confirmed_run(desk, editor, store, name, row, kept, screenshots)

    editor.save_as("saved.bnf")
    with open(os.path.join(jobs, "saved.bnf"), "rb") as f:
        saved = f.read()
    index, lines, before = job_lines(prepared, row)
    check_equal(before, expected_job_lines(before[0], row.paras), "the prepared job's lines")
    want = lines[:index] + expected_job_lines(before[0], paras) + lines[index + len(before) :]
    got = saved.split(b"\r\n")
    if got != want:
        differ = [i for i in range(max(len(got), len(want))) if got[i : i + 1] != want[i : i + 1]]
        raise Failure("the saved file differs from the prepared one with the answer in lines %r" % differ)
    log("saved: the job's add-in lines hold the answer byte for byte; every other line is as prepared")

    editor.window.close()
    wait_for("the editor to close", lambda: not editor.window.exists(), 10)
    editor.main_window.close()
    check_equal(program.wait(15), 0, "exit code after the close box")
    manager_test.show_stderr(program)


def settings_store(path, row):
    """A store holding the hand-off the manager writes for the row's job on model 800."""
    values = {"GyName": {"data": row.job, "type": "string"}, "BhtType": {"data": 800, "type": "integer"},
              "SetCount": {"data": len(row.paras) - 1, "type": "integer"},
              "Result": {"data": 0, "type": "integer"}}
    for i, para in enumerate(row.paras):
        values["Para%d" % i] = {"data": para, "type": "string"}
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"format": "harbrook-registry", "version": 1, "keys": {HAND_OFF_KEY: values}}, f, ensure_ascii=False)


def shown(form, role, caption=None):
    """The controls of role (named caption) that the page shown holds."""
    return [c for c in form.find_all(role, caption) if c.showing() and c.extents()[2] > 0]


def placed(desk, window, owner, what):
    """The window's frame lies on the screen, centred over owner (the screen for None)."""
    desktop.check_on_screen(window)
    desktop.check_centred(window, owner)
    x, y, width, height = window.frame()
    log("%s: frame %dx%d at %d,%d" % (what, width, height, x, y))


def press_dialog_buttons(desk, settings, window, form, page, screenshots):
    """Presses each button the page shows; its dialog must lie on the screen centred over the form,
    and once it is cancelled the focus must be back on the button."""
    for number, button in enumerate(shown(form, "push button")):
        if not button.enabled():
            continue
        button.click()
        dialog = wait_for(
            "the dialog of %r" % button.name,
            lambda: next((w for w in settings.windows() if w.id != window.id and w.title()), None),
            10,
        )
        title = dialog.title()
        # The window manager has placed it once it is drawn with its frame.
        wait_for("%r to be mapped" % title, lambda: dialog.frame()[2] > 0, 10)
        placed(desk, dialog, window, "dialog %r of %r" % (title, button.name))
        desk.shoot(dialog, os.path.join(screenshots, "desktop-%s-%s-%d.png" % (settings.name, page, number)))
        settings.top_level(title, "dialog").find("push button", CANCEL).press()
        wait_for("%r to close" % title, lambda: not dialog.exists(), 10)
        wait_for("the focus back on %r after its dialog" % button.name, button.focused, 10)


def screens(desk, bin_folder, folder, screenshots, name):
    """The program with the row's job on a 1366x768 screen: the form, each page and each dialog."""
    row = PROGRAMS[name]
    os.makedirs(folder, exist_ok=True)
    store = os.path.join(folder, "registry.json")
    settings_store(store, row)
    settings = desk.start(name, [os.path.join(bin_folder, name)], {"HARBROOK_REGISTRY": store})
    window = settings.window(row.title)
    form = settings.top_level(row.title, "dialog")
    wait_for("%s mapped" % row.title, lambda: window.frame()[2] > 0, 10)
    placed(desk, window, None, "form %r" % row.title)
    opened = window.frame()
    for page, ticks in TICKS[name].items():
        node(form, page).click()
        for caption in ticks:
            box = wait_for("a box %r shown on %r" % (caption, page), lambda: next(iter(shown(form, "check box", caption)), None), 10)
            box.click()
        # The form has room for every page and group: it neither grows nor moves under the operator.
        time.sleep(0.3)
        check_equal(window.frame(), opened, "the form's frame on the page %r" % page)
        desk.shoot(window, os.path.join(screenshots, "desktop-%s-%s.png" % (name, page)))
        press_dialog_buttons(desk, settings, window, form, page, screenshots)
    node(form, row.cancel).click()
    # A tick is a change: the cancel node asks before it discards it.
    if any(TICKS[name].values()):
        question = settings.top_level(row.question or row.title, "alert")
        box = wait_for("the question's window", lambda: next((w for w in settings.windows() if w.id != window.id), None), 10)
        wait_for("the question mapped", lambda: box.frame()[2] > 0, 10)
        placed(desk, box, window, "question %r" % box.title())
        question.find("push button", YES).click()
    check_equal(settings.wait(10), 0, "exit code after the cancel node")
    log("screens: %s's form, %d pages and their dialogs lie on the 1366x768 screen" % (name, len(TICKS[name])))


def main(argv):
    if argv[1] == "--screens":
        return screens_run(*argv[2:5])
    name, bin_folder, set_writer, screenshots = argv[1:5]
    if name not in PROGRAMS:
        sys.exit("no row for %r in PROGRAMS" % name)

    def body(folder):
        desktop.limit(100)
        with desktop.Desktop(folder) as desk:
            hand_off(desk, bin_folder, set_writer, os.path.join(folder, name), screenshots, name)

    code = desktop.run(body, name)
    if code != 0:
        return code
    # The accessibility library keeps the bus of the first desktop: the next one needs a process.
    return subprocess.run([sys.executable, os.path.abspath(__file__), "--screens", name, bin_folder, screenshots]).returncode


def screens_run(name, bin_folder, screenshots):
    def body(folder):
        desktop.limit(40)
        with desktop.Desktop(folder) as desk:
            screens(desk, bin_folder, os.path.join(folder, name), screenshots, name)

    return desktop.run(body, name)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
