"""Library for the end-to-end scenarios: runs Lanvisor.exe under Wine in a
fresh program folder and drives it from outside through lvdriver.exe.

A scenario is a function that takes a Context:

    @scenario("connection")
    def tcp_client(ctx):
        device = ctx.device(TcpServer())         # the peer, on 127.0.0.1
        app = ctx.launch_client(device)          # set up as its client; opened, every box answered
        app.close_connection(device)
        app.end()                                # command 203, process exits

Everything a scenario starts is ended by the runner afterwards, pass or fail.
"""
import collections
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time
from pathlib import Path

MAIN_TITLE = "Lanvisor"
MAIN_CLASS = "Lanvisor"
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
END_PROGRAM, CLEAR_TRACE, OPEN, CLOSE = 203, 211, 232, 233
CLEAR_QUESTION = 5  # language text
SUCCESS = "Success\uFF01"
LOOPBACK = dict(ip_no1=127, ip_no2=0, ip_no3=0, ip_no4=1)
LOOPBACK_LOCAL = dict(aip_no1=127, aip_no2=0, aip_no3=0, aip_no4=1)
FILE_NAME_BOX = 1148  # of the common file dialog
STATUS_BAR_ID, TOOLBAR_ID = 328, 329
TOOLBAR_COMMANDS = range(330, 356)  # one button each
TBSTATE_ENABLED, TBSTATE_HIDDEN, TBSTATE_INDETERMINATE = 0x04, 0x08, 0x10
DEFAULT_TIMEOUT = 10.0  # seconds, for each wait
START_TIMEOUT = 60.0  # a cold Wine start takes a while

# Files that the program writes while it runs: never copied into a fresh
# program folder, so that every scenario starts as a first run.
RUNTIME_FILES = {"lanvisor.ini", "color.ini", "dkm.ini", "temp.txt", "temp1.log", "mdata.txt", "log.txt",
                 "autokey.ini", "ipaddress"}

SCENARIOS = []


class Scenario(collections.namedtuple("Scenario", "suite name function timeout")):
    @property
    def full_name(self):
        return f"{self.suite}.{self.name}"


def scenario(suite, timeout=180):
    """Registers a scenario."""

    def register(function):
        SCENARIOS.append(Scenario(suite, function.__name__, function, timeout))
        return function
    return register


class DriverError(AssertionError):
    """A driver command failed: a window, control or message box was not
    there in time, or was not usable."""


def wait_until(condition, timeout=DEFAULT_TIMEOUT, what="condition not met"):
    """Polls condition() until it returns a true value, which it returns;
    fails with `what` when the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"{what} within {timeout} s")
        time.sleep(0.1)


# ---- files ------------------------------------------------------------------

def utf16(text):
    """Bytes of a UTF-16LE file with byte order mark, as the program writes
    its own files; for seeding files through Context.launch(files=...)."""
    return b"\xff\xfe" + text.encode("utf-16-le")


def settings_file(**values):
    """Bytes of a Lanvisor.ini holding just these keys, for Context.launch
    (files={"Lanvisor.ini": settings_file(ip_no1=127, ...)}); the program
    takes its defaults for every other key."""
    lines = "".join(f"{key}={value}\r\n" for key, value in values.items())
    return utf16("[Lanvisor]\r\n" + lines)


def client_settings(port, udp=False):
    """Lanvisor.ini of a client of 127.0.0.1:port."""
    return settings_file(tipudp_mode=int(udp), ip_mode=0, port_no=port, **LOOPBACK)


def server_settings(port, udp=False):
    """Lanvisor.ini of a server bound to 127.0.0.1:port."""
    return settings_file(tipudp_mode=int(udp), ip_mode=1, bind_mode=1, aport_no=port, **LOOPBACK_LOCAL)


def free_port(kind=socket.SOCK_STREAM):
    """A port on 127.0.0.1 where nothing is bound (bound once, then let go)."""
    with socket.socket(socket.AF_INET, kind) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


# A trace file: its cell count as 15 digits and CR in UTF-16LE, then 8 bytes a cell.
TRACE_HEADER_BYTES, TRACE_CELL_BYTES = 32, 8


def trace_file_size(cells):
    return TRACE_HEADER_BYTES + TRACE_CELL_BYTES * cells


def read_ini(path, section):
    """Key/value pairs of one section of a UTF-16LE INI file (with its byte
    order mark, as the program writes them), in file order."""
    data = Path(path).read_bytes()
    assert data[:2] == b"\xff\xfe", f"{Path(path).name} does not start with the UTF-16LE mark: {data[:16]!r}"
    sections, current = {}, None
    for line in data[2:].decode("utf-16-le").splitlines():
        if line.startswith("[") and line.rstrip().endswith("]"):
            current = sections.setdefault(line.strip()[1:-1], [])
        elif "=" in line and current is not None:
            current.append(tuple(line.split("=", 1)))
    assert section in sections, f"{Path(path).name} has no section [{section}]; sections: {list(sections)}"
    return sections[section]


def settle(read, expected, what, timeout=DEFAULT_TIMEOUT):
    """Polls read() until it returns expected (clicks are posted, so the
    program acts on them a moment later); fails with the last value read."""
    last = []

    def matches():
        last[:] = [read()]
        return last[0] == expected

    try:
        wait_until(matches, timeout, what)
    except AssertionError:
        raise AssertionError(f"{what}: {last[0]!r}, expected {expected!r}") from None


# ---- screenshots ------------------------------------------------------------

class Rect(collections.namedtuple("Rect", "left top right bottom")):
    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top


class Screenshot:
    """A PNG of the whole screen, with its pixels read on demand."""

    def __init__(self, path):
        self.path = Path(path)
        self._size = None
        self._rgb = None

    def _load(self):
        if self._rgb is None:
            # A PNG file states its width and height at bytes 16 to 24.
            self._size = struct.unpack(">II", self.path.read_bytes()[16:24])
            self._rgb = subprocess.run(["convert", str(self.path), "-depth", "8", "rgb:-"], capture_output=True,
                                       check=True, timeout=60).stdout
            assert len(self._rgb) == self._size[0] * self._size[1] * 3, f"unexpected image {self.path.name}"
        return self._rgb

    @property
    def size(self):
        self._load()
        return self._size

    def pixel(self, x, y):
        rgb = self._load()
        i = (y * self._size[0] + x) * 3
        return tuple(rgb[i:i + 3])

    def _rows(self, rect):
        """(y, left, bytes of the row's pixels) for each row of rect on the screen."""
        rgb = self._load()
        width, height = self._size
        left, right = max(rect.left, 0), min(rect.right, width)
        for y in range(max(rect.top, 0), min(rect.bottom, height)):
            yield y, left, rgb[(y * width + left) * 3:(y * width + right) * 3]

    def colors(self, rect):
        """How often each (r, g, b) occurs inside rect (screen coordinates)."""
        counts = collections.Counter()
        for _, _, row in self._rows(rect):
            counts.update(zip(row[0::3], row[1::3], row[2::3]))
        return counts

    def where(self, color, rect):
        """The (x, y) of every pixel of exactly this color inside rect."""
        wanted = bytes(color)
        found = []
        for y, left, row in self._rows(rect):
            at = row.find(wanted)
            while at >= 0:
                if at % 3 == 0:
                    found.append((left + at // 3, y))
                at = row.find(wanted, at + 1)
        return found

    def changed(self, other, rect):
        """The (x, y) of every pixel inside rect that differs on the other
        screenshot of the same screen."""
        assert self.size == other.size, f"screenshots of different sizes: {self.size}, {other.size}"
        found = []
        for (y, left, mine), (_, _, theirs) in zip(self._rows(rect), other._rows(rect)):
            if mine != theirs:
                found += [(left + i // 3, y) for i in range(0, len(mine), 3) if mine[i:i + 3] != theirs[i:i + 3]]
        return found


# ---- Wine -------------------------------------------------------------------

class WineSession:
    """One Wine prefix for a whole suite run, copied from a prepared one."""

    def __init__(self, prefix, display):
        self.prefix = Path(prefix)
        self.display = display

    def env(self, **extra):
        env = dict(os.environ)
        env.update(WINEPREFIX=str(self.prefix), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                   DISPLAY=self.display)
        env.update(extra)
        return env

    def prepare(self, template):
        """A copy of the template that the test command prepares."""
        # Let a server still running on the template save its registry.
        self._wait_server(Path(template), 30)
        subprocess.run(["cp", "-a", str(template), str(self.prefix)], check=True, timeout=600)
        self.kill_all()

    def _wait_server(self, prefix, timeout):
        env = self.env(WINEPREFIX=str(prefix))
        try:
            subprocess.run(["wineserver", "-w"], env=env, timeout=timeout)
        except subprocess.TimeoutExpired:
            pass

    def kill_all(self):
        """Ends every process of this prefix and waits for its server to go."""
        subprocess.run(["wineserver", "-k"], env=self.env(), timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_server(self.prefix, 30)

    def processes(self, executable=None):
        """(pid, command line) of every process running in this prefix, also
        those that a program started itself; with executable, only those
        running a file of that name."""
        found = []
        wanted = f"WINEPREFIX={self.prefix}".encode()
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                if wanted not in (entry / "environ").read_bytes().split(b"\0"):
                    continue
                command = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode("utf-8", "replace").strip()
            except OSError:  # ended meanwhile, or not ours to read
                continue
            program = command.split(" ")[0].replace("\\", "/").rsplit("/", 1)[-1]
            if executable is None or program.lower() == executable.lower():
                found.append((int(entry.name), command))
        return found


class Driver:
    """Runs lvdriver.exe commands (see the driver source for the list)."""

    def __init__(self, session, exe):
        self.session = session
        self.exe = str(exe)

    # Now and then Wine fails to start a process at all (exit 1, nothing
    # printed, with its own messages switched off); the driver itself always
    # says why it failed. Such a start is tried again after a pause that grows,
    # since these failures come in short spells.
    START_ATTEMPTS = 5

    def run(self, *args, timeout=DEFAULT_TIMEOUT, window_class=None, check=True):
        """Output of one command, without its final newline."""
        for attempt in range(self.START_ATTEMPTS):
            if attempt:
                time.sleep(attempt)
            code, out, err = self._run_once(args, timeout, window_class)
            silent_failure = code != 0 and not out and not err
            if not silent_failure:
                break
        if check and code != 0:
            why = err or f"Wine did not start the driver ({self.START_ATTEMPTS} attempts)"
            raise DriverError(f"lvdriver {' '.join(str(a) for a in args)}: exit {code}: {why}")
        return out if check else (code, out)

    def _run_once(self, args, timeout, window_class):
        command = ["wine", self.exe]
        if window_class:
            command += ["--class", window_class]
        command += ["--timeout", str(int(timeout * 1000))] + [str(a) for a in args]
        # Output goes to files, not pipes: when this command is the first of
        # the session, the Wine server and services it starts inherit its
        # output and would hold a pipe open long after the driver has ended.
        with tempfile.TemporaryFile() as stdout, tempfile.TemporaryFile() as stderr:
            # A UTF-8 locale so that Wine passes non-ASCII arguments unchanged.
            process = subprocess.Popen(command, env=self.session.env(LC_ALL="C.UTF-8"), stdout=stdout,
                                       stderr=stderr, stdin=subprocess.DEVNULL)
            try:
                code = process.wait(timeout + 30)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
                raise DriverError(f"lvdriver {' '.join(str(a) for a in args)}: did not end") from None
            except BaseException:  # the scenario's time is up
                process.kill()
                process.wait()
                raise
            stdout.seek(0)
            stderr.seek(0)
            out = stdout.read().decode("utf-8")
            err = stderr.read().decode("utf-8", "replace").strip()
        if out.endswith("\n"):
            out = out[:-1]
        return code, out, err


def _unescape(text):
    """Undoes the driver's escapes of backslash, tab, CR and LF."""
    return re.sub(r"\\(.)", lambda m: {"t": "\t", "r": "\r", "n": "\n"}.get(m.group(1), m.group(1)), text)


Control = collections.namedtuple("Control", "id cls text")


class Window:
    """A top-level window or dialog, found by its exact title (and class)."""

    def __init__(self, driver, title, window_class=None):
        self.driver, self.title, self.window_class = driver, title, window_class

    def _run(self, *args, timeout=DEFAULT_TIMEOUT):
        return self.driver.run(*args, timeout=timeout, window_class=self.window_class)

    def wait(self, timeout=DEFAULT_TIMEOUT):
        """Waits until the window is shown; returns self."""
        self._run("wait", self.title, int(timeout * 1000), timeout=timeout)
        return self

    def wait_gone(self, timeout=DEFAULT_TIMEOUT):
        self._run("gone", self.title, int(timeout * 1000), timeout=timeout)

    def close(self, timeout=DEFAULT_TIMEOUT):
        self._run("close", self.title, int(timeout * 1000), timeout=timeout)

    def command(self, command_id):
        self._run("command", self.title, command_id)

    def key(self, virtual_key):
        self._run("key", self.title, virtual_key)

    def click(self, control_id):
        self._run("click", self.title, control_id)

    def dismiss(self, control_id):
        """Clicks a button that closes the window; waits until it is gone."""
        self.click(control_id)
        self.wait_gone()

    def settext(self, control_id, text):
        self._run("settext", self.title, control_id, text)

    def type(self, control_id, text):
        self._run("type", self.title, control_id, text)

    def keyup(self, control_id, virtual_key):
        self._run("keyup", self.title, control_id, virtual_key)

    def text(self, control_id=None):
        """The window's title, or the text of one control."""
        args = ["gettext", self.title] + ([] if control_id is None else [control_id])
        return self._run(*args)

    def combo_select(self, control_id, entry):
        self._run("combo-select", self.title, control_id, entry)

    def items(self, control_id):
        out = self._run("items", self.title, control_id)
        return [_unescape(line) for line in out.split("\n")] if out else []

    def state(self, control_id):
        """{'visible': 0/1, 'enabled': 0/1, 'checked': 0/1/2}"""
        return {k: int(v) for k, v in (p.split("=") for p in self._run("state", self.title, control_id).split())}

    def controls(self):
        """Every child control in creation order, as Control(id, cls, text)."""
        out = self._run("texts", self.title)
        result = []
        for line in out.split("\n") if out else []:
            cid, cls, text = line.split("\t", 2)
            result.append(Control(int(cid), cls, _unescape(text)))
        return result

    def rect(self, control_id=None):
        """The window's rectangle on the screen, or that of one of its controls."""
        args = ["rect", self.title] + ([] if control_id is None else [control_id])
        return Rect(*(int(v) for v in self._run(*args).split()))

    def client_rect(self):
        """The client area on the screen: inside the frame, below title and menu bar."""
        return Rect(*(int(v) for v in self._run("client", self.title).split()))

    def has_menu_bar(self):
        return self._run("menu", self.title) != "none"

    def toolbar_states(self, toolbar_id, command_ids):
        """{command id: TBSTATE_* bits} of toolbar buttons."""
        out = self._run("tbstate", self.title, toolbar_id, *command_ids)
        return {int(c): int(v) for c, v in (line.split() for line in out.split("\n"))}

    def click_toolbar(self, toolbar_id, command_id):
        """Clicks a toolbar button with the mouse, wherever it shows."""
        self._run("tbclick", self.title, toolbar_id, command_id)


class App:
    """One run of Lanvisor.exe in the scenario's program folder."""

    def __init__(self, ctx, folder):
        self.ctx = ctx
        self.folder = Path(folder)
        self.driver = ctx.driver
        self.main = Window(self.driver, MAIN_TITLE, MAIN_CLASS)
        log_path = ctx.artifacts / f"wine-{len(ctx.apps) + 1}.log"
        self._log = open(log_path, "wb")
        self.process = subprocess.Popen(["wine", "Lanvisor.exe"], cwd=self.folder, env=ctx.session.env(),
                                        stdout=self._log, stderr=subprocess.STDOUT, start_new_session=True)

    # -- life -------------------------------------------------------------
    def wait_main_window(self, timeout=START_TIMEOUT):
        deadline = time.monotonic() + timeout
        while True:
            code = self.process.poll()
            if code is not None:
                raise AssertionError(f"Lanvisor.exe ended with code {code} before its window appeared")
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"no main window within {timeout} s")
            try:
                rc, _ = self.driver.run("wait", MAIN_TITLE, int(min(left, 3) * 1000), timeout=min(left, 3),
                                        window_class=MAIN_CLASS, check=False)
            except DriverError:
                # Now and then a driver started while Wine brings the program
                # up hangs; the next poll starts a fresh one.
                continue
            if rc == 0:
                return self.main

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the process to end; returns its exit code."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"Lanvisor.exe still running {timeout} s later") from None

    def wait_ended(self, timeout=DEFAULT_TIMEOUT):
        """The window goes and the process ends with exit code 0."""
        self.main.wait_gone(timeout)
        code = self.wait_exit(timeout)
        assert code == 0, f"Lanvisor.exe ended with exit code {code}"

    def end(self, timeout=DEFAULT_TIMEOUT):
        """The end-program command, and the end."""
        self.command(END_PROGRAM)
        self.wait_ended(timeout)

    def kill(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                pass
        self._log.close()

    # -- windows ----------------------------------------------------------
    def window(self, title, window_class=None):
        return Window(self.driver, title, window_class)

    def command(self, command_id):
        """Posts a menu command to the main window."""
        self.main.command(command_id)

    def toolbar_states(self, command_ids=TOOLBAR_COMMANDS):
        return self.main.toolbar_states(TOOLBAR_ID, command_ids)

    def click_toolbar(self, command_id):
        """Presses a button of the main window's toolbar with the mouse."""
        self.main.click_toolbar(TOOLBAR_ID, command_id)

    def wait_window(self, title, timeout=DEFAULT_TIMEOUT):
        return self.window(title).wait(timeout)

    def open_dialog(self, command, title, language="j"):
        """Gives a menu command and waits for the dialog it opens; title is
        the dialog's title, or the number of its language text."""
        self.command(command)
        return self.wait_window(self.ctx.language_text(title, language) if isinstance(title, int) else title)

    def msgbox_text(self, caption, timeout=DEFAULT_TIMEOUT):
        """Waits for a message box with this caption and returns its text."""
        return self.driver.run("msgbox", caption, int(timeout * 1000), timeout=timeout)

    def answer(self, caption, button_id, timeout=DEFAULT_TIMEOUT):
        """Clicks a button of the message box and waits until it is gone."""
        self.driver.run("answer", caption, button_id, int(timeout * 1000), timeout=timeout)

    def windows(self):
        """Every visible top-level window as (class, title)."""
        out = self.driver.run("windows")
        return [tuple(_unescape(f) for f in line.split("\t")[1:3]) for line in out.split("\n") if line]

    def boxes(self):
        """Titles of the dialogs and message boxes shown now."""
        return [title for cls, title in self.windows() if cls == "#32770"]

    # -- shared steps -----------------------------------------------------
    def expect_box(self, caption, text=None, pattern=None, answer=IDOK):
        """Checks the text of the next message box with this caption (exactly,
        or as a whole against a pattern), answers it and returns the text."""
        shown = self.msgbox_text(caption)
        if text is not None:
            assert shown == text, f"{caption}: {shown!r}, expected {text!r}"
        if pattern is not None:
            assert re.fullmatch(pattern, shown, re.S), f"{caption}: {shown!r} does not match {pattern!r}"
        self.answer(caption, answer)
        return shown

    def expect_no_boxes(self, when, dialogs=()):
        """The program runs and shows no message box: nothing but these dialogs."""
        assert self.process.poll() is None, f"Lanvisor.exe ended {when}"
        boxes = [box for box in self.boxes() if box not in dialogs]
        assert boxes == [], f"boxes left {when}: {boxes}"

    def expect_startup_box(self):
        # The default Winsock request is 2.0; the library offers up to 2.2.
        lines = self.expect_box("WSAStartup").split("\r\n")
        assert len(lines) == 3 and lines[0] == "Using:2.0/Max:2.2" and lines[1], f"WSAStartup box lines {lines}"

    def open_connection(self, client, device=None):
        """The open command with its boxes, each answered; a client's connect
        reaches the device before its success box."""
        self.command(OPEN)
        self.expect_startup_box()
        if client:
            if device:
                device.wait_connections(1)
            self.expect_box("LAN connection", pattern="Success\uFF01 No\\.[0-9]+")
        self.expect_box("LAN connection", "Success of thread!")
        self.expect_no_boxes("after the open")

    def expect_clear_question(self, language, ask=None):
        """Asks to clear the trace (the menu command, or ask()), checks the
        question in the language and answers No."""
        question = self.ctx.language_text(CLEAR_QUESTION, language)
        assert question, f"no clear question for language {language} in the language file"
        ask() if ask else self.command(CLEAR_TRACE)
        self.expect_box("Lanvisor", question, answer=IDNO)

    def close_connection(self, device=None):
        """The close command of a client, or of a server without clients."""
        self.command(CLOSE)
        self.expect_box("LAN disconnect", SUCCESS)
        if device:
            device.wait_disconnects(1)
        self.expect_no_boxes("after the close")

    def choose_file(self, title_text, name):
        """Answers the file dialog titled by language text `title_text` with a
        file name in the program folder."""
        chooser = self.wait_window(self.ctx.language_text(title_text, "j"))
        chooser.settext(FILE_NAME_BOX, name)
        chooser.click(IDOK)
        chooser.wait_gone()


class Context:
    """What a scenario gets: its own program folder, launches, screenshots,
    device simulators; all cleaned up by the runner."""

    def __init__(self, scenario, session, driver, program_dir, work_dir, screenshots, artifacts):
        self.scenario = scenario
        self.session = session
        self.driver = driver
        self.screenshots = Path(screenshots)
        self.artifacts = Path(artifacts)
        self.folder = Path(work_dir) / scenario.full_name
        self.apps = []
        self.devices = []
        self._program_dir = Path(program_dir)
        self._shots = 0

    def _make_folder(self):
        if self.folder.exists():
            return
        self.folder.mkdir(parents=True)
        for entry in self._program_dir.iterdir():
            if entry.name.lower() in RUNTIME_FILES:
                continue
            if entry.is_dir():
                shutil.copytree(entry, self.folder / entry.name)
            else:
                shutil.copy2(entry, self.folder / entry.name)

    def launch(self, files=None):
        """Starts Lanvisor.exe in the scenario's folder (made on first use and
        kept for later launches, so settings carry over). files: {name: bytes}
        written into the folder before the start. Returns the App once its
        main window is shown."""
        self._make_folder()
        for name, data in (files or {}).items():
            (self.folder / name).write_bytes(data)
        app = App(self, self.folder)
        self.apps.append(app)
        app.wait_main_window()
        return app

    def run_console(self, exe, *args, timeout=START_TIMEOUT):
        """Runs a console program of the scenario's folder under Wine to its
        end; returns (exit code, standard output, standard error)."""
        self._make_folder()
        process = subprocess.Popen(["wine", exe, *args], cwd=self.folder, env=self.session.env(),
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)
        try:
            out, err = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.communicate()
            raise AssertionError(f"{exe} still running {timeout} s later") from None
        return process.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")

    def launch_client(self, device, udp=False, files=None, connect=True):
        """Starts the program set up as client of the device simulator and,
        unless connect is False, opens the connection."""
        app = self.launch(files={"Lanvisor.ini": client_settings(device.port, udp), **(files or {})})
        if connect:
            app.open_connection(client=True, device=None if udp else device)
        return app

    def device(self, device):
        """Starts a device simulator and stops it with the scenario."""
        self.devices.append(device)
        return device.start()

    def file(self, name):
        return self.folder / name

    def wait_file(self, name):
        """The bytes of a file of the folder once it is written."""
        path = self.file(name)
        return wait_until(lambda: path.exists() and path.read_bytes(), what=f"{name} written")

    def settings(self):
        """Lanvisor.ini of the folder as an ordered {key: value}."""
        return collections.OrderedDict(read_ini(self.file("Lanvisor.ini"), "Lanvisor"))

    def stored(self, *keys):
        """{key: value} of these keys of Lanvisor.ini, None for a missing one."""
        settings = self.settings()
        return {key: settings.get(key) for key in keys}

    def language_text(self, number, language):
        """Text `number` of Lanvisor_char2.ini; language one of j, e, k, c."""
        pairs = dict(read_ini(self.file("Lanvisor_char2.ini"), "Lanvisor"))
        return pairs.get(f"No.{number}:comt-{language}", "")[:63]

    def notepads(self):
        return self.session.processes("notepad.exe")

    def end_notepads(self):
        for pid, _ in self.notepads():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        wait_until(lambda: not self.notepads(), what="Notepad ended")

    def screenshot(self, label):
        """Saves the screen as <scenario>-<n>-<label>.png; returns a Screenshot."""
        self._shots += 1
        self.screenshots.mkdir(parents=True, exist_ok=True)
        path = self.screenshots / f"{self.scenario.full_name}-{self._shots}-{label}.png"
        subprocess.run(["import", "-window", "root", str(path)], env=self.session.env(), check=True,
                       timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return Screenshot(path)

    def wait_for_screen(self, label, problem, timeout=DEFAULT_TIMEOUT):
        """Takes screenshots until problem(shot) returns None (what is wrong
        otherwise, as text) or the time is up; returns the last screenshot.
        Drawing happens after a window appears, so screen checks poll."""
        deadline = time.monotonic() + timeout
        while True:
            shot = self.screenshot(label)
            wrong = problem(shot)
            if wrong is None:
                return shot
            if time.monotonic() >= deadline:
                raise AssertionError(f"screen after {timeout} s: {wrong} (see {shot.path.name})")
            shot.path.unlink()
            self._shots -= 1
            time.sleep(0.2)

    def cleanup(self, failed):
        errors = []
        for device in self.devices:
            try:
                device.stop()
            except Exception as error:
                errors.append(f"device simulator: {error}")
        if failed:
            self._keep_evidence()
        self.session.kill_all()
        for app in self.apps:
            app.kill()
        still = [str(app.process.pid) for app in self.apps if app.process.poll() is None]
        if still:
            errors.append(f"processes still running: {', '.join(still)}")
        # Programs that the program started (a restart) are not ours to
        # wait for, but must not outlive the scenario either.
        strays = self.session.processes()
        for pid, _ in strays:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        if strays:
            errors.append("processes of the prefix still running: "
                          + ", ".join(f"{pid} {command}" for pid, command in strays))
        if self.folder.exists():
            shutil.rmtree(self.folder, ignore_errors=True)
        return errors

    def _keep_evidence(self):
        """On failure: a screenshot, the window list and the files written."""
        try:
            self.screenshot("failure")
        except Exception:
            pass
        try:
            lines = self.driver.run("windows", timeout=5)
            (self.artifacts / "windows.txt").write_text(lines + "\n")
        except Exception:
            pass
        if self.folder.exists():
            for entry in self.folder.iterdir():
                shipped = self._program_dir / entry.name
                if entry.is_file() and not (shipped.is_file() and shipped.read_bytes() == entry.read_bytes()):
                    shutil.copy2(entry, self.artifacts / entry.name)
