"""The headless quick start as a newcomer uses it: `scripts/harbrook --xvfb` (on the build under test,
without setting up or building) prints one line that, pasted into a second shell, lets
`xwininfo -root -tree` reach the display and list the main menu; through the accessibility bus a
mode X job's "アドインプログラム設定" starts its settings program; then a SIGTERM to the script
alone ends every process it started (Harbrook, the settings program, the terminal simulator, the
virtual display) and leaves nothing in the temporary folder.

    quickstart_test.py SOURCE_FOLDER BUILD_FOLDER SET_WRITER

BUILD_FOLDER holds bin/ (the program folder) and tools/bin/; SET_WRITER is harbrook-desktop-addin-set,
which writes the job settings file the editor opens.
"""

import json
import os
import shlex
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import addin_test  # noqa: E402
import desktop  # noqa: E402
import manager_test  # noqa: E402
from desktop import Failure, log, wait_for  # noqa: E402
from manager_test import check, check_equal  # noqa: E402

SETTINGS_PROGRAM = "olvide"


class ScriptDesktop(desktop.Desktop):
    """The desktop around a display the script runs: the session bus first, so that Harbrook finds
    it when the script starts it; the window manager and the accessibility bus once the script has
    told its display."""

    def _start(self):
        self._prepare()
        self._start_session_bus()

    def attach(self, display, xauthority):
        self.display = display
        self.env.update({"DISPLAY": display, "XAUTHORITY": xauthority})
        # What the session bus starts on demand (the accessibility bus, its registry, which plays
        # the pointer and the keys) must reach the display too.
        self.tool(["dbus-update-activation-environment", "DISPLAY=" + display, "XAUTHORITY=" + xauthority])
        self._start_window_manager()
        self._start_accessibility()


class Started(desktop.Child):
    """A process the script started, seen on the desktop as any program is."""

    def child(self, name, timeout=20):
        return desktop.Child.of(self, name, timeout)


def session_processes(session):
    """(pid, name) of the processes of the session, zombies too: not yet reaped is not gone."""
    return [(pid, desktop._process_name(pid)) for pid in desktop.processes(lambda fields: int(fields[3]) == session)]


def child_named(parent, name, timeout=30):
    """The pid of parent's child named name, once it runs."""

    def probe():
        if not parent.running():
            raise Failure(parent.ended())
        return next((pid for pid in desktop._children(parent.pid) if desktop._process_name(pid) == name), None)

    return wait_for("%s to start %s" % (parent.name, name), probe, timeout)


def export_line(script, timeout=60):
    """The line the script prints for a second shell; the lines before it are logged."""
    deadline = time.monotonic() + timeout
    pending = ""
    while True:
        lines = pending.split("\n")
        for line in lines[:-1]:
            log("script: %s" % line)
            if line.startswith("export DISPLAY="):
                return line
        pending = lines[-1]
        left = deadline - time.monotonic()
        chunk = desktop._read_line(script.process.stdout, left) if left > 0 else None
        if chunk is None:
            raise Failure("the script printed no line exporting DISPLAY within %d s\n%s" % (timeout, script.ended()))
        pending += chunk


def pasted(line, command, env):
    """command run in a second shell after the pasted line: its output."""
    done = subprocess.run(["sh", "-c", line + "\n" + command], env=env, capture_output=True, timeout=20)
    if done.returncode != 0:
        raise Failure("%r after the pasted line failed (%d): %s" % (command, done.returncode, done.stderr.decode(errors="replace")))
    return done.stdout.decode("utf-8", "replace")


def merge_store(path, key, values):
    """Adds string values to a key of the store, keeping what it holds."""
    with open(path, encoding="utf-8") as f:
        store = json.load(f)
    store["keys"].setdefault(key, {}).update({name: {"data": data, "type": "string"} for name, data in values.items()})
    with open(path + ".part", "w", encoding="utf-8") as f:
        json.dump(store, f, ensure_ascii=False, indent=4)
    os.replace(path + ".part", path)


def settings_program_started(desk, harbrook, build, set_writer, folder):
    """A mode X job opened in the editor, and its "アドインプログラム設定": the settings program the
    program folder's AddIn.lst names starts and shows its window."""
    row = addin_test.PROGRAMS[SETTINGS_PROGRAM]
    jobs = os.path.join(folder, "jobs")
    os.makedirs(jobs, exist_ok=True)
    path = os.path.join(jobs, "SET.BNF")
    subprocess.run([set_writer, path, os.path.join(build, "bin"), row.job, row.add_in, *row.paras], check=True, timeout=30)
    # The open dialog offers the set, as it does for an operator who opened it before: the editor
    # reads the place when it opens.
    merge_store(os.path.join(build, "demo", "registry.json"), manager_test.APP_KEY, {"BnfFolder": jobs + "/", "BnfFile": path})
    editor = addin_test.Editor(desk, harbrook, path)
    settings, window, _ = editor.start_settings(SETTINGS_PROGRAM, row)
    check_equal(window.title(), row.title, "the settings program's window title")
    log("アドインプログラム設定: %s (pid %d) shows %r" % (settings.name, settings.pid, row.title))
    return settings.pid


def quick_start(desk, source, build_under_test, set_writer, folder):
    # A build folder of the run's own over the programs under test, so that the demo's folders and
    # settings the script makes stay in the run.
    build = os.path.join(folder, "build")
    os.makedirs(os.path.join(build, "tools"))
    for sub in ("bin", os.path.join("tools", "bin")):
        os.symlink(os.path.join(build_under_test, sub), os.path.join(build, sub))
    temp = os.path.join(folder, "tmp")
    os.makedirs(temp)
    env = {"HARBROOK_BUILD_DIR": build, "TMPDIR": temp}
    # As on a machine without a desktop session: no runtime folder either (the session bus, started
    # already, keeps the desktop's).
    desk.env.pop("XDG_RUNTIME_DIR", None)
    script = desk.start("harbrook-script", [os.path.join(source, "scripts", "harbrook"), "--xvfb"], env,
                        stdout=subprocess.PIPE)
    line = export_line(script)
    words = shlex.split(line)
    check(len(words) == 3 and words[0] == "export" and words[1].startswith("DISPLAY=")
          and words[2].startswith("XAUTHORITY="), "the line to paste reads %r" % line)
    display, xauthority = words[1].partition("=")[2], words[2].partition("=")[2]

    # A second shell: no display of its own, nothing but the pasted line.
    second = {k: v for k, v in desk.env.items() if k not in ("DISPLAY", "XAUTHORITY")}
    tree = wait_for("the main menu in xwininfo -root -tree",
                    lambda: (lambda out: out if manager_test.MAIN_TITLE in out else None)(
                        pasted(line, "xwininfo -root -tree", second)), 30)
    check('"%s"' % manager_test.MAIN_TITLE in tree, "xwininfo -root -tree lists no main menu:\n%s" % tree)
    log("pasted line: xwininfo -root -tree on %s lists %r" % (display, manager_test.MAIN_TITLE))

    seen = {script.pid: "scripts/harbrook"}
    for name in ("Xvfb", "harbrook-termin", "harbrook"):
        seen[child_named(script, name)] = name
    harbrook = Started(desk, "harbrook", child_named(script, "harbrook"), script)

    desk.attach(display, xauthority)
    settings_pid = settings_program_started(desk, harbrook, build, set_writer, folder)
    seen[settings_pid] = SETTINGS_PROGRAM

    before = sorted(os.listdir(temp))
    log("the temporary folder holds %r while the demo runs" % before)
    live = session_processes(script.pid)
    log("the script's processes: %r" % live)
    os.kill(script.pid, signal.SIGTERM)
    code = script.wait(20)
    check_equal(code, 128 + signal.SIGTERM, "the script's exit code after SIGTERM")
    # Every process the script started, and everything in its session, is gone.
    wait_for("every process of the script's session to end", lambda: not session_processes(script.pid), 10)
    for pid, name in seen.items():
        check(not os.path.exists("/proc/%d" % pid), "%s (pid %d) outlived the script" % (name, pid))
    check_equal(os.listdir(temp), [], "what the temporary folder holds after the script ended")
    number = display.lstrip(":")
    for path in ("/tmp/.X%s-lock" % number, "/tmp/.X11-unix/X%s" % number):
        check(not os.path.exists(path), "%s outlived the display" % path)
    log("SIGTERM to the script: it ended with %d, and so did %s; the temporary folder is empty"
        % (code, ", ".join(sorted(set(seen.values())))))


def main(argv):
    source, build, set_writer = argv[1:4]

    def body(folder):
        desktop.limit(110)
        with ScriptDesktop(folder) as desk:
            quick_start(desk, os.path.abspath(source), os.path.abspath(build), set_writer, folder)

    return desktop.run(body, "quickstart")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
