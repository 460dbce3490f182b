#!/usr/bin/env python3
"""Takes the pictures of the README and the manual: starts Lanvisor.exe under
Wine on a virtual display, in English, as a TCP server on 127.0.0.1 that a
simulated multimeter connects to, fills the trace with a short measuring session and
photographs the window and its dialogs. Each picture is cropped to its window
and written as a palette PNG to docs/images/NAME.png.

Run it through tools/take_screenshots.sh, which builds the program and
prepares Wine and the display first:

    tools/take_screenshots.sh [NAME ...]     # all pictures, or these

A new picture is one more entry in SHOTS below.
"""
import argparse
import collections
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import lanvisor_e2e as e2e  # noqa: E402
from device_sim import Reply, TcpClient  # noqa: E402

IMAGES = ROOT / "docs" / "images"
MAX_BYTES = 150 * 1024

SETTINGS, INPUT_SEND, MACRO, REPLY_RULES, REPLY_AUTOMATICALLY, COLORS = 231, 221, 223, 235, 236, 244
SERVER_RADIO, UDP_RADIO, GROUP, TTL = 1062, 1064, 1082, 1083
MACRO_FILE, MACRO_START, INPUT_TYPING, INPUT_SEND_BUTTON, INPUT_CLEAR = 1071, 1041, 501, 1041, 1043
VK_RETURN = 0x0D
PEND_MESSAGE = 16

# The simulated multimeter answers each request with the next reading.
REQUEST = b"MEAS:VOLT:DC?\r\n"
READINGS = [b"+1.2497E+00\r\n", b"+1.2503E+00\r\n", b"+1.2501E+00\r\n", b"+1.2499E+00\r\n"]
POLL_MACRO = "\r\n".join(["SEND 'MEAS:VOLT:DC?'0D0A", "READ 01 001 050"] * len(READINGS) + ["PEND", ""])
RULES = ("# This PC answers the meter's identification request.\n"
         "frame delimiter 0A\n"
         "on '*IDN?'0A reply 'LANVISOR,BENCH-PC,0001,1.0'0A\n"
         "on regex '^SYST:ERR\\?' reply '+0,\"No error\"'0A\n"
         )
IDENTITY = b"LANVISOR,BENCH-PC,0001,1.0\n"  # the rules' answer to *IDN?


class Session:
    """One run of the program with the meter, its trace filled."""

    def __init__(self, ctx, dark):
        self.ctx = ctx
        port = e2e.free_port()
        files = {"Lanvisor.ini": e2e.settings_file(tipudp_mode=0, ip_mode=1, bind_mode=1, aport_no=port, moji_type=1,
                                                   reply_rules="meter.rules", macro_filename="poll.txt",
                                                   **e2e.LOOPBACK_LOCAL, **e2e.LOOPBACK),
                 "poll.txt": e2e.utf16(POLL_MACRO), "meter.rules": RULES.encode(),
                 "dkm.ini": e2e.utf16(f"dkm={int(dark)}\r\n")}
        self.app = ctx.launch(files=files)
        self.app.command(e2e.OPEN)
        self.app.expect_startup_box()
        self.app.expect_box("LAN connection", "Success of thread!")
        self.app.command(REPLY_AUTOMATICALLY)
        replies = [Reply(len(IDENTITY) + len(REQUEST) * (n + 1), reading) for n, reading in enumerate(READINGS)]
        self.device = ctx.device(TcpClient(port, replies=replies))
        self.macro = None

    def fill_trace(self):
        """The meter asks who is there, then the macro reads four values."""
        self.device.send(b"*IDN?\n")
        self.device.wait_bytes(len(IDENTITY))
        self.macro = self.open(MACRO)
        self.macro.settext(MACRO_FILE, "poll.txt")
        self.macro.click(MACRO_START)
        self.app.expect_box("Lanvisor", self.ctx.language_text(PEND_MESSAGE, "e"))

    def close_macro(self):
        if self.macro:
            self.macro.close()
            self.macro = None

    def open(self, command):
        """Gives a command and returns the dialog it opens."""
        before = set(self.app.boxes())
        self.app.command(command)
        title = e2e.wait_until(lambda: next(iter(set(self.app.boxes()) - before), None), what="a dialog")
        return self.app.window(title).wait()


def shoot(ctx, window, name, out_dir):
    """Crops the screen to the window and writes a palette PNG."""
    rect = window.rect()
    shot = ctx.screenshot(name)
    target = out_dir / f"{name}.png"
    subprocess.run(["convert", str(shot.path), "-crop", f"{rect.width}x{rect.height}+{rect.left}+{rect.top}",
                    "+repage", "-dither", "None", "-colors", "128", "-strip", f"PNG8:{target}"], check=True)
    size = target.stat().st_size
    print(f"{target.relative_to(ROOT)}: {rect.width}x{rect.height}, {size} bytes")
    if size >= MAX_BYTES:
        raise AssertionError(f"{target.name} is {size} bytes, more than {MAX_BYTES}")


def dialog_shot(command, prepare=None):
    """A dialog opened on the filled trace, closed after."""
    def take(session, shot):
        session.close_macro()
        dialog = session.open(command)
        if prepare:
            prepare(dialog)
        shot(dialog)
        dialog.close()
    return take


def type_lines(dialog):
    """Two lines sent, which the history keeps, and a third typed."""
    for line in ("*RST", "*IDN?", "*OPC?"):
        dialog.click(INPUT_CLEAR)
        dialog.type(INPUT_TYPING, line)
        dialog.keyup(INPUT_TYPING, VK_RETURN)
        if line != "*OPC?":
            dialog.click(INPUT_SEND_BUTTON)


def udp_server_with_group(dialog):
    """The settings of a UDP server that joins a group, not applied."""
    dialog.click(SERVER_RADIO)
    dialog.click(UDP_RADIO)
    dialog.settext(GROUP, "239.255.0.9")
    dialog.settext(TTL, "1")


def macro_dialog(session, shot):
    shot(session.macro)


def main_window(session, shot):
    session.close_macro()
    shot(session.app.main)


# (name, light or dark session, what to do): taken in this order, each
# session once its trace is filled.
Shot = collections.namedtuple("Shot", "name dark take")
SHOTS = [
    Shot("macro_dialog", False, macro_dialog),
    Shot("main_window", False, main_window),
    Shot("connection_settings", False, dialog_shot(SETTINGS)),
    Shot("input_send_dialog", False, dialog_shot(INPUT_SEND, type_lines)),
    Shot("color_setting_dialog", False, dialog_shot(COLORS)),
    Shot("reply_rules_dialog", False, dialog_shot(REPLY_RULES)),
    Shot("multicast_settings", False, dialog_shot(SETTINGS, udp_server_with_group)),
    Shot("main_window_dark", True, main_window),
]


def run(args):
    work = Path(tempfile.mkdtemp(prefix="lanvisor-shots-"))
    session = e2e.WineSession(work / "prefix", args.display)
    session.prepare(args.template_prefix)
    # Wine's desktop as large as the display: the input-send dialog is wide.
    subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d",
                    args.desktop, "/f"], env=session.env(), check=True, capture_output=True)
    session.kill_all()
    driver = e2e.Driver(session, args.driver)
    args.out.mkdir(parents=True, exist_ok=True)
    try:
        for dark in (False, True):
            wanted = [s for s in SHOTS if s.dark == dark and (not args.names or s.name in args.names)]
            if not wanted:
                continue
            scenario = e2e.Scenario("pictures", "dark" if dark else "light", None, 0)
            ctx = e2e.Context(scenario, session, driver, args.program, work, work / "screens", work / "logs")
            ctx.artifacts.mkdir(parents=True, exist_ok=True)
            try:
                live = Session(ctx, dark)
                live.fill_trace()
                for s in wanted:
                    s.take(live, lambda window, name=s.name: shoot(ctx, window, name, args.out))
            except BaseException:
                failed = ROOT / "build" / "screenshot-failure.png"
                subprocess.run(["cp", str(ctx.screenshot("failure").path), str(failed)])
                print(f"the screen when it failed: {failed}", file=sys.stderr)
                raise
            finally:
                ctx.cleanup(False)
    finally:
        session.kill_all()
        subprocess.run(["rm", "-rf", str(work)])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", type=Path, default=ROOT / "build/win/program")
    parser.add_argument("--driver", type=Path, default=ROOT / "build/win/tools/lvdriver.exe")
    parser.add_argument("--template-prefix", type=Path, default=ROOT / "build/win/wineprefix")
    parser.add_argument("--display", required=True)
    parser.add_argument("--desktop", default="1600x1200", help="the display's size")
    parser.add_argument("--out", type=Path, default=IMAGES)
    parser.add_argument("names", nargs="*", help="only these pictures")
    args = parser.parse_args()
    unknown = set(args.names) - {s.name for s in SHOTS}
    if unknown:
        parser.error(f"no such picture: {', '.join(sorted(unknown))}")
    run(args)


if __name__ == "__main__":
    main()
