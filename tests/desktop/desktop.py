"""Drives the programs on a real desktop, as an operator would.

A Desktop is a virtual X server with an EWMH window manager, a D-Bus session and the accessibility
bus. Programs started on it find their controls through the accessibility tree (as a screen reader
does); window titles are read from the window manager's properties, and windows are closed through
the window manager, as with the close box.

Every process the desktop starts carries a marker in its environment, so that teardown also finds
what was started on its behalf (the accessibility bus, its registry daemon) and ends it by its id.
Waits are bounded and sleep between looks; a hang ends in a Failure, never in a stuck test.
"""

import contextlib
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import uuid

# The exit code CTest's SKIP_RETURN_CODE maps to "skipped".
SKIP_EXIT = 77

MARKER = "HARBROOK_DESKTOP_RUN"
POLL = 0.1


class Skip(Exception):
    """A piece of the desktop stack cannot run here; the reason says which."""


class Failure(AssertionError):
    """What the program showed differs from what the test expects."""


class Timeout(BaseException):
    """The run took longer than its limit, or was told to stop. Not an Exception, so that no
    look that tolerates a vanished accessible swallows it."""


def log(text):
    print(text, flush=True)


def wait_for(what, probe, timeout):
    """Returns probe()'s first truthy result within timeout seconds, else raises Failure."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise Failure("gave up after %.1f s waiting for %s" % (timeout, what))
        time.sleep(POLL)


def _read_line(stream, timeout):
    """One line from a pipe within timeout seconds, or None."""
    deadline = time.monotonic() + timeout
    data = b""
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        ready, _, _ = select.select([stream], [], [], left)
        if not ready:
            return None
        chunk = os.read(stream.fileno(), 4096)
        if not chunk:
            return data.decode() if data else None
        data += chunk
    return data.decode()


def _die_with_parent():
    """In the child before exec: the kernel ends it should the test itself be killed."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def _end_process(process, grace=3.0):
    """Ends a Popen: SIGTERM, then SIGKILL after grace seconds. Returns its exit code."""
    if process.poll() is None:
        with contextlib.suppress(ProcessLookupError):
            process.terminate()
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            with contextlib.suppress(ProcessLookupError):
                process.kill()
            process.wait(grace)
    return process.returncode


def _marked_pids(token):
    """Ids of the live processes whose environment carries this run's marker."""
    needle = ("%s=%s" % (MARKER, token)).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                if needle in f.read().split(b"\0"):
                    found.append(int(entry))
        except OSError:
            continue
    return found


def _process_name(pid):
    try:
        with open("/proc/%d/comm" % pid, encoding="utf-8") as f:
            return f.read().strip()
    except OSError:
        return "?"


def _keysym(name):
    """The X keysym of a key name: one printable ASCII character, or a keysym name."""
    if len(name) == 1 and 0x20 <= ord(name) < 0x7F:
        return ord(name)
    named = {"Return": 0xFF0D, "BackSpace": 0xFF08, "Tab": 0xFF09, "Escape": 0xFF1B, "Home": 0xFF50,
             "End": 0xFF57, "Left": 0xFF51, "Right": 0xFF53, "Up": 0xFF52, "Down": 0xFF54, "Delete": 0xFFFF}
    if name not in named:
        raise Failure("no keysym for the key %r" % name)
    return named[name]


class Window:
    """A top-level window as the window manager has it."""

    def __init__(self, desktop, window_id, pid):
        self.desktop = desktop
        self.id = window_id
        self.pid = pid

    def title(self):
        """_NET_WM_NAME, the title the window manager shows, decoded from UTF-8."""
        return self.desktop.window_property(self.id, "_NET_WM_NAME")

    def visible_title(self):
        """_NET_WM_VISIBLE_NAME, the title the window manager says it shows (openbox sets it for
        every window); None when it sets none."""
        return self.desktop.window_property(self.id, "_NET_WM_VISIBLE_NAME")

    def close(self):
        """Asks the window manager to close the window, as the close box does."""
        self.desktop.tool(["wmctrl", "-i", "-c", self.id])

    def exists(self):
        return any(w.id == self.id for w in self.desktop.windows())

    def frame(self):
        """(x, y, width, height) of the window with the frame the window manager draws around it."""
        info = self.desktop.tool(["xwininfo", "-id", self.id]).decode()
        fields = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            fields[key] = value.strip()
        try:
            x, y = int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])
            width, height = int(fields["Width"]), int(fields["Height"])
        except (KeyError, ValueError):
            raise Failure("xwininfo gave no geometry for %r: %r" % (self, info)) from None
        out = self.desktop.tool(["xprop", "-id", self.id, "-notype", "_NET_FRAME_EXTENTS"]).decode()
        _, _, extents = out.partition("=")
        left, right, top, bottom = [int(v) for v in extents.split(",")] if extents.strip() else [0, 0, 0, 0]
        return x - left, y - top, width + left + right, height + top + bottom

    def __repr__(self):
        return "Window(%s, pid %s, %r)" % (self.id, self.pid, self.title())


class _Shown:
    """What a process shows: its windows, as the window manager lists them, and its controls, as a
    screen reader finds them. A subclass gives name, pid, desktop, running() and ended()."""

    def ended(self):
        """How the process ended, for a failure's text."""
        return "%s ended" % self.name

    # Windows, as the window manager lists them.

    def windows(self):
        return [w for w in self.desktop.windows() if w.pid == self.pid]

    def window(self, title, timeout=20):
        """The program's window whose title reads exactly title."""
        try:
            return wait_for(
                "a window of %s titled %r" % (self.name, title),
                lambda: next((w for w in self.windows() if w.title() == title), None),
                timeout,
            )
        except Failure as failure:
            raise Failure("%s; its windows are titled %r" % (failure, [w.title() for w in self.windows()])) from None

    # Controls, as a screen reader finds them.

    def application(self, timeout=20):
        """The program's root in the accessibility tree."""
        a11y = self.desktop.accessibility()

        def probe():
            if not self.running():
                raise Failure(self.ended())
            desktop = a11y.Registry.getDesktop(0)
            for app in desktop:
                with contextlib.suppress(Exception):
                    if app is not None and app.get_process_id() == self.pid:
                        return app
            return None

        return wait_for("%s on the accessibility bus" % self.name, probe, timeout)

    def top_level(self, name, role=None, timeout=20):
        """The program's top-level accessible named name, of role ("dialog", "alert"…) when given.
        (Qt gives a plain widget window the role "filler".)"""

        def probe():
            for child in self.application():
                with contextlib.suppress(Exception):
                    if child is not None and child.name == name and role in (None, child.getRoleName()):
                        return Control(child)
            return None

        try:
            return wait_for("a %s %r of %s" % (role, name, self.name), probe, timeout)
        except Failure as failure:
            if not self.running():
                raise
            raise Failure("%s; it shows %r" % (failure, self.top_levels())) from None

    def top_levels(self):
        """(role, name) of each top-level accessible."""
        shown = []
        for child in self.application():
            with contextlib.suppress(Exception):
                shown.append((child.getRoleName(), child.name))
        return shown


class Program(_Shown):
    """A program started on the desktop, with its standard error kept in a file."""

    def __init__(self, desktop, name, argv, env, stdout=None):
        self.desktop = desktop
        self.name = name
        self.stderr_path = os.path.join(desktop.folder, "%s-%s.stderr" % (name, uuid.uuid4().hex[:6]))
        self._stderr = open(self.stderr_path, "wb")
        self.process = subprocess.Popen(
            argv,
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=stdout if stdout is not None else subprocess.DEVNULL,
            stderr=self._stderr,
            start_new_session=True,
            preexec_fn=_die_with_parent,
        )
        self.pid = self.process.pid
        desktop._programs.append(self)

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout):
        """The exit code once the program has ended within timeout seconds, else Failure."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not end within %.1f s" % (self.name, timeout)) from None

    def stderr(self):
        self._stderr.flush()
        with open(self.stderr_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def end(self):
        code = _end_process(self.process)
        self._stderr.close()
        return code

    def ended(self):
        return "%s ended with code %s\n%s" % (self.name, self.process.returncode, self.stderr())

    def child(self, name, timeout=20):
        """The process this program started (the first one seen), once it runs."""
        return Child.of(self, name, timeout)


def processes(match):
    """Ids of the processes whose fields of /proc/PID/stat after the name (state, parent, group,
    session…) satisfy match."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        with contextlib.suppress(OSError, ValueError, IndexError):
            with open("/proc/%s/stat" % entry, encoding="utf-8", errors="replace") as f:
                # The name in parentheses may hold blanks; the fields after it do not.
                fields = f.read().rpartition(")")[2].split()
            if match(fields):
                found.append(int(entry))
    return found


def _children(pid):
    """Ids of the live processes whose parent is pid."""
    return processes(lambda fields: int(fields[1]) == pid and fields[0] != "Z")


class Child(_Shown):
    """A process a program started: seen on the desktop as any window is, ended by its parent."""

    def __init__(self, desktop, name, pid, parent):
        self.desktop = desktop
        self.name = name
        self.pid = pid
        self.parent = parent

    @classmethod
    def of(cls, parent, name, timeout):
        def probe():
            if not parent.running():
                raise Failure(parent.ended())
            return next(iter(_children(parent.pid)), None)

        pid = wait_for("%s to start %s" % (parent.name, name), probe, timeout)
        log("desktop: %s (pid %d) started %s (pid %d)" % (parent.name, parent.pid, name, pid))
        return cls(parent.desktop, name, pid, parent)

    def running(self):
        """Until the parent has reaped it: a process that exited but was not waited for still runs
        as far as its parent knows."""
        return self.pid in _children(self.parent.pid)

    def wait(self, timeout):
        wait_for("%s (pid %d) to end" % (self.name, self.pid), lambda: not self.running(), timeout)

    def ended(self):
        return "%s (pid %d) ended" % (self.name, self.pid)


class Control:
    """An accessible: a window or a control in one."""

    def __init__(self, accessible):
        self.accessible = accessible

    @property
    def name(self):
        return self.accessible.name

    @property
    def role(self):
        return self.accessible.getRoleName()

    def descendants(self):
        stack = [self.accessible]
        while stack:
            node = stack.pop()
            yield Control(node)
            children = []
            with contextlib.suppress(Exception):
                children = [c for c in node if c is not None]
            stack.extend(reversed(children))

    def find_all(self, role, name=None):
        return [c for c in self.descendants() if c.role == role and (name is None or c.name == name)]

    def find(self, role, name, timeout=10):
        """The first descendant of role named name."""
        return wait_for(
            "a %s %r in %r" % (role, name, self.name),
            lambda: next(iter(self.find_all(role, name)), None),
            timeout,
        )

    def texts(self):
        """Names of the labels inside, in tree order."""
        return [c.name for c in self.find_all("label")]

    def enabled(self):
        return self.accessible.getState().contains(self._pyatspi().STATE_ENABLED)

    def press(self):
        """Presses a button through its accessible action, as assistive technology does. Press
        once the window manager shows the window (Program.window), as a person sees it first: a
        file dialog's Open pressed as soon as the dialog is in the accessibility tree was lost.
        A tool button's press answers only once what it opened has closed, so a tool button that
        opens a dialog is clicked instead (click)."""
        action = self.accessible.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for wanted in ("Press", "press", "click"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        raise Failure("%s %r has no press action (it has %r)" % (self.role, self.name, names))

    def text(self):
        """The text a text control holds."""
        return self.accessible.queryText().getText(0, -1)

    def extents(self):
        """(x, y, width, height) on the screen."""
        box = self.accessible.queryComponent().getExtents(self._pyatspi().DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def showing(self):
        return self.accessible.getState().contains(self._pyatspi().STATE_SHOWING)

    def focused(self):
        return self.accessible.getState().contains(self._pyatspi().STATE_FOCUSED)

    def click(self):
        """A left click of the real pointer in the middle of the control, as a person clicks."""
        x, y, width, height = self.extents()
        if width <= 0 or height <= 0:
            raise Failure("%r has no place on the screen to click" % self)
        self._pyatspi().Registry.generateMouseEvent(x + width // 2, y + height // 2, "b1c")

    @staticmethod
    def _pyatspi():
        import pyatspi  # noqa: PLC0415 - imported once the session bus is known

        return pyatspi

    def __repr__(self):
        return "Control(%s %r)" % (self.role, self.name)


class Desktop:
    """Xvfb, a window manager, a D-Bus session and the accessibility bus, torn down on every path."""

    def __init__(self, folder, size="1366x768x24"):
        self.folder = folder
        self.size = size
        self.token = uuid.uuid4().hex
        self.display = None
        self.env = None
        self._services = []
        self._programs = []
        self._logs = []
        self._pyatspi = None

    # Life.

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self._stop()
            raise
        return self

    def __exit__(self, *exc):
        self._stop()
        return False

    def _start(self):
        self._prepare()
        self._start_display()
        self._start_session_bus()
        self._start_window_manager()
        self._start_accessibility()

    def _prepare(self):
        """Checks the tools and builds the environment every process of the desktop gets."""
        for tool in ("Xvfb", "openbox", "dbus-daemon", "xprop", "xwininfo", "wmctrl", "import"):
            if shutil.which(tool) is None:
                raise Skip("%s is not installed (scripts/setup installs it)" % tool)
        home = os.path.join(self.folder, "home")
        runtime = os.path.join(self.folder, "runtime")
        for path in (home, runtime):
            os.makedirs(path, exist_ok=True)
        os.chmod(runtime, 0o700)
        env = {
            key: value
            for key, value in os.environ.items()
            if not key.startswith(("DBUS_", "AT_SPI_", "QT_", "XDG_", "WAYLAND_", "DISPLAY", "XAUTHORITY"))
        }
        env.update(
            {
                MARKER: self.token,
                "HOME": home,
                "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
                "XDG_CACHE_HOME": os.path.join(home, ".cache"),
                "XDG_RUNTIME_DIR": runtime,
                "LANG": "C.UTF-8",
                "LC_ALL": "C.UTF-8",
            }
        )
        self.env = env

    def _start_display(self):
        read_end, write_end = os.pipe()
        xvfb = self._service(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size, "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,),
        )
        os.close(write_end)
        with os.fdopen(read_end, "rb", buffering=0) as displayfd:
            number = _read_line(displayfd, 15)
        if not number or not number.strip().isdigit():
            raise Skip("Xvfb did not start (code %s)" % xvfb.poll())
        self.display = ":" + number.strip()
        self.env["DISPLAY"] = self.display

    def _start_session_bus(self):
        bus = self._service(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
            stdout=subprocess.PIPE,
        )
        address = _read_line(bus.stdout, 15)
        if not address or not address.strip():
            raise Skip("the D-Bus session daemon did not start (code %s)" % bus.poll())
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address.strip()

    def _start_window_manager(self):
        self._service(["openbox", "--sm-disable"])
        try:
            wait_for("the window manager", lambda: self._tool_ok(["wmctrl", "-m"]), 15)
        except Failure as failure:
            raise Skip("openbox did not take the display: %s" % failure) from None

    def _start_accessibility(self):
        env = self.env
        # libatspi reads the bus from the environment of the process that imports it.
        for key in ("DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            if key in env:
                os.environ[key] = env[key]
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        try:
            import pyatspi  # noqa: PLC0415 - needs the session bus above
        except ImportError as error:
            raise Skip("pyatspi cannot be imported (%s; scripts/setup installs python3-pyatspi)" % error) from None
        # Bounded D-Bus calls: a program that hangs fails the test instead of stalling it.
        with contextlib.suppress(Exception):
            pyatspi.setTimeout(5000, 15000)
        self._pyatspi = pyatspi
        try:
            # Starts the accessibility bus now, so that programs find it when they start.
            pyatspi.Registry.getDesktop(0).childCount
        except Exception as error:
            raise Skip("the accessibility bus did not start: %s" % error) from None
        log("desktop: display %s, window manager openbox, session bus %s" % (self.display, env["DBUS_SESSION_BUS_ADDRESS"]))

    def _service(self, argv, stdout=None, pass_fds=()):
        process = subprocess.Popen(
            argv,
            env=self.env,
            stdin=subprocess.DEVNULL,
            stdout=stdout if stdout is not None else subprocess.DEVNULL,
            stderr=self._log_file(os.path.basename(argv[0])),
            pass_fds=pass_fds,
            start_new_session=True,
            preexec_fn=_die_with_parent,
        )
        self._services.append(process)
        return process

    def _log_file(self, name):
        log_file = open(os.path.join(self.folder, "%s.log" % name), "wb")
        self._logs.append(log_file)
        return log_file

    def _stop(self):
        for program in reversed(self._programs):
            if program.running():
                log("desktop: %s (pid %d) still ran at teardown; ended" % (program.name, program.pid))
            program.end()
        for process in reversed(self._services):
            _end_process(process)
            if process.stdout:
                process.stdout.close()
        for log_file in self._logs:
            log_file.close()
        # What was started for the desktop: the accessibility bus, its daemons.
        deadline = time.monotonic() + 3
        while True:
            left = _marked_pids(self.token)
            if not left or time.monotonic() >= deadline:
                break
            time.sleep(POLL)
        for pid in left:
            log("desktop: %s (pid %d) outlived its session bus; ended" % (_process_name(pid), pid))
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)

    # Programs.

    def start(self, name, argv, env=None, stdout=None):
        """Starts a program on the desktop with the platform and accessibility Qt needs there."""
        program_env = dict(self.env)
        program_env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        program_env.update(env or {})
        log("desktop: starting %s" % " ".join(argv))
        return Program(self, name, argv, program_env, stdout)

    def accessibility(self):
        return self._pyatspi

    # The window manager's view.

    def tool(self, argv, timeout=10):
        try:
            done = subprocess.run(argv, env=self.env, capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not answer within %d s" % (argv[0], timeout)) from None
        if done.returncode != 0:
            raise Failure("%s failed (%d): %s" % (" ".join(argv), done.returncode, done.stderr.decode(errors="replace")))
        return done.stdout

    def _tool_ok(self, argv):
        try:
            return subprocess.run(argv, env=self.env, capture_output=True, timeout=5).returncode == 0
        except subprocess.TimeoutExpired:
            return False

    def windows(self):
        """The client windows the window manager manages (_NET_CLIENT_LIST), with their process ids."""
        # wmctrl fails with BadWindow when a window closes while it reads the list: read it again.
        for attempt in range(5):
            try:
                listing = self.tool(["wmctrl", "-l", "-p"]).decode("utf-8", "replace")
                break
            except Failure as failure:
                if "BadWindow" not in str(failure) or attempt == 4:
                    raise
                time.sleep(POLL)
        found = []
        for line in listing.splitlines():
            fields = line.split(None, 4)
            if len(fields) >= 3:
                with contextlib.suppress(ValueError):
                    found.append(Window(self, fields[0], int(fields[2])))
        return found

    def window_property(self, window_id, name):
        """A UTF-8 string property of a window, exactly as stored; None when the window has none
        or is gone (a box that closed while the list was read)."""
        # Each byte as a number, so no locale or quoting of xprop's stands between the bytes and us.
        argv = ["xprop", "-id", window_id, "-notype", "-f", name, "8c", name]
        try:
            done = subprocess.run(argv, env=self.env, capture_output=True, timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure("xprop did not answer within 10 s") from None
        if done.returncode != 0:
            if b"BadWindow" in done.stderr:
                return None
            raise Failure("%s failed (%d): %s" % (" ".join(argv), done.returncode, done.stderr.decode(errors="replace")))
        out = done.stdout.decode()
        if "not found" in out or "no such atom" in out:
            return None
        _, _, values = out.partition("=")
        values = values.strip()
        if not values:
            return ""
        return bytes(int(v) & 0xFF for v in values.split(",")).decode("utf-8")

    def active_window(self):
        """The id of the window the window manager has given the focus (_NET_ACTIVE_WINDOW)."""
        out = self.tool(["xprop", "-root", "-notype", "_NET_ACTIVE_WINDOW"]).decode()
        _, _, value = out.partition("#")
        value = value.strip().split(",")[0].strip()
        return "0x%08x" % int(value, 16) if value.startswith("0x") else None

    def key(self, *names):
        """Presses and releases each named key (X keysym names: "Return", "End", "BackSpace"),
        as the keyboard sends them to the window that has the focus."""
        pyatspi = self._pyatspi
        for name in names:
            keysym = _keysym(name)
            pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
            time.sleep(0.05)

    def type(self, text):
        """Types text key by key; digits, ASCII letters and the punctuation of a file name."""
        self.key(*text)

    def screenshot(self, path):
        """The whole screen as a PNG."""
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.tool(["import", "-window", "root", "png:" + path], timeout=20)
        log("desktop: screenshot %s" % path)

    def screen(self):
        """(width, height) of the screen."""
        width, height = self.size.split("x")[:2]
        return int(width), int(height)

    def shoot(self, window, path):
        """A PNG of the window with its frame as the screen shows it; the whole screen for None."""
        if window is None:
            self.screenshot(path)
            return
        x, y, width, height = window.frame()
        screen_width, screen_height = self.screen()
        # Only what lies on the screen can be shot.
        left, top = max(x, 0), max(y, 0)
        width, height = min(x + width, screen_width) - left, min(y + height, screen_height) - top
        os.makedirs(os.path.dirname(path), exist_ok=True)
        crop = "%dx%d+%d+%d" % (width, height, left, top)
        self.tool(["import", "-window", "root", "-crop", crop, "+repage", "png:" + path], timeout=20)
        log("desktop: screenshot %s (%s)" % (path, crop))


def check_on_screen(window):
    """The window's frame, caption bar and all, lies within the screen."""
    x, y, width, height = window.frame()
    screen_width, screen_height = window.desktop.screen()
    if x < 0 or y < 0 or x + width > screen_width or y + height > screen_height:
        raise Failure("%r (frame %dx%d at %d,%d) leaves the %dx%d screen"
                      % (window.title(), width, height, x, y, screen_width, screen_height))


def check_centred(window, owner, tolerance=4):
    """The window's frame is centred over its owner's (over the screen for None), or as near to that
    as the screen lets it be."""
    x, y, width, height = window.frame()
    screen_width, screen_height = window.desktop.screen()
    if owner is None:
        centre_x, centre_y = screen_width / 2, screen_height / 2
        over = "the screen"
    else:
        ox, oy, owner_width, owner_height = owner.frame()
        centre_x, centre_y = ox + owner_width / 2, oy + owner_height / 2
        over = repr(owner.title())
    want_x = min(max(centre_x - width / 2, 0), max(screen_width - width, 0))
    want_y = min(max(centre_y - height / 2, 0), max(screen_height - height, 0))
    if abs(x - want_x) > tolerance or abs(y - want_y) > tolerance:
        raise Failure("%r (frame %dx%d at %d,%d) is not centred over %s: expected about %d,%d"
                      % (window.title(), width, height, x, y, over, want_x, want_y))


def run(main, name):
    """Runs main(folder) in a temporary folder and exits as CTest expects: 0 passed, SKIP_EXIT
    skipped (with the reason), 1 failed. SIGTERM and the run's alarm end it through teardown."""

    def interrupted(signum, _frame):
        if signum == signal.SIGALRM:
            raise Timeout("the run took longer than its limit of %d s" % _limit[0])
        raise Timeout("stopped by signal %d" % signum)

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGALRM, interrupted)
    folder = tempfile.mkdtemp(prefix="harbrook-%s-" % name)
    keep = False
    try:
        main(folder)
    except Skip as skip:
        log("SKIPPED: %s" % skip)
        return SKIP_EXIT
    except (Failure, Timeout) as failure:
        keep = True
        log("FAILED: %s" % failure)
        return 1
    except BaseException:
        keep = True
        raise
    finally:
        signal.alarm(0)
        if keep:
            log("the run's files (stores, standard error, logs) stay in %s" % folder)
        else:
            shutil.rmtree(folder, ignore_errors=True)
    log("PASSED")
    return 0


_limit = [0]


def limit(seconds):
    """Fails the run (through teardown) when it takes longer than seconds."""
    _limit[0] = int(seconds)
    signal.alarm(_limit[0])


if __name__ == "__main__":
    sys.exit("desktop.py is a module; run a test that imports it")
