"""The macro dialog running macro files against the device simulator on
127.0.0.1, the program being its TCP client."""
import functools

from device_sim import Reply, TcpServer
from lanvisor_e2e import scenario, settle, utf16
from scenarios_trace_files import OPEN_TITLE

MACRO_DIALOG = 223
MACRO_TITLE, END_OF_TEXT, PEND_MESSAGE, STOPPED = 90, 15, 16, 17
NAME_TOO_SHORT, NO_MARK, EMPTY_FILE = 2, 23, 24
FILE_NAME, STEP, LINE, START, CLOSE, BROWSE, STOP = 1071, 1002, 1003, 1041, 1042, 1043, 1044

# Sends REQ, the round number and its check characters, CR; expects OK back
# and goes round three times. A reply that is not OK ends the run with BAD.
# The device answers at once, before the READ line runs.
LOOP_MACRO = "\r\n".join([
    "MOVE 05 '00'",
    ":top request with round and check",
    "MOVE 02 'REQ'",
    "MADD 02 05",
    "CHKA 02 03",
    "MADD 02 03",
    "MOVE 04 0D",
    "MADD 02 04",
    "MSED 02",
    "READ 01 002 050",
    "CMPL 01 ok1 'OK'",
    "GOTO bad",
    ":ok1",
    "MINC 05",
    "CMPL 05 end '03'",
    "GOTO top",
    ":bad",
    "SEND 'BAD'",
    ":end",
    "PEND",
    "",
])

# Waits for five bytes without a time limit.
WAIT_MACRO = "SEND 'X'\r\nREAD 01 005 000\r\nSEND 'Y'\r\nPEND\r\n"


def request(round_number):
    body = b"REQ%02d" % round_number
    check = functools.reduce(lambda a, b: a ^ b, body)
    return body + b"%02X\r" % check


def wait_line(dialog, text):
    settle(lambda: dialog.text(LINE), text, "the line field")


def start(dialog, name):
    dialog.settext(FILE_NAME, name)
    dialog.click(START)


def expect_step(dialog, macro, line):
    """The step field names the line's position and the macro's length in
    code units, the byte-order mark counting as position 0."""
    position = macro.index(line) + 1
    expected = f"Step:{position:03d}/{len(macro) + 1:03d}"
    assert dialog.text(STEP) == expected, f"step field {dialog.text(STEP)!r}, expected {expected!r}"


@scenario("macro")
def loop_of_requests(ctx):
    expected = b"".join(request(n) for n in range(3))
    replies = [Reply(len(request(0)) * (n + 1), b"OK\x00\r\n") for n in range(3)]
    device = ctx.device(TcpServer(replies=replies))
    app = ctx.launch_client(device, files={"loop.txt": utf16(LOOP_MACRO)})
    dialog = app.open_dialog(MACRO_DIALOG, MACRO_TITLE)
    assert dialog.text(STEP) == "Step:000" and dialog.text(LINE) == "********", (dialog.text(STEP),
                                                                                dialog.text(LINE))
    start(dialog, "loop.txt")
    app.expect_box("Lanvisor", ctx.language_text(PEND_MESSAGE, "j"))
    expect_step(dialog, LOOP_MACRO, "PEND")
    assert dialog.text(LINE).startswith("PEND"), dialog.text(LINE)
    assert device.received == expected, device.received
    app.expect_no_boxes("after the run", dialogs=[dialog.title])
    ctx.screenshot("macro-ended")
    dialog.dismiss(CLOSE)
    app.close_connection(device)
    assert device.received == expected, device.received
    app.end()
    assert ctx.settings()["macro_filename"] == "loop.txt", ctx.settings()["macro_filename"]


@scenario("macro")
def stop_ends_read_without_time_limit(ctx):
    device = ctx.device(TcpServer())
    files = {"wait.txt": utf16(WAIT_MACRO), "utf8.txt": WAIT_MACRO.encode("utf-8")}
    app = ctx.launch_client(device, files=files)
    dialog = app.open_dialog(MACRO_DIALOG, MACRO_TITLE)

    # Refused starts.
    start(dialog, "ab")
    app.expect_box("MacroFile", ctx.language_text(NAME_TOO_SHORT, "j"))
    assert not ctx.file("ab").exists()
    start(dialog, "utf8.txt")
    app.expect_box("FileError", ctx.language_text(NO_MARK, "j"))
    start(dialog, "new.txt")
    app.expect_box("FileError", ctx.language_text(EMPTY_FILE, "j"))
    assert ctx.file("new.txt").read_bytes() == b""

    # A file chosen with the browse button is started by its full path.
    dialog.click(BROWSE)
    app.choose_file(OPEN_TITLE, "wait.txt")
    chosen = dialog.text(FILE_NAME)
    assert chosen[1:3] == ":\\" and chosen.endswith("\\wait.txt"), chosen
    dialog.click(START)
    device.wait_bytes(1)
    wait_line(dialog, "READ 01 005 000")
    dialog.click(STOP)
    app.expect_box("Lanvisor", ctx.language_text(STOPPED, "j"))
    # Data that would end the wait reaches a stopped macro: nothing follows
    # it, and the next start begins again at the first line.
    device.send(b"12345")
    device.wait_read_by_peer()
    dialog.click(START)
    device.wait_bytes(2)
    wait_line(dialog, "READ 01 005 000")
    assert device.received == b"XX", device.received
    # Closing the dialog ends the running macro without a word.
    dialog.dismiss(CLOSE)
    app.expect_no_boxes("after closing the dialog")
    device.send(b"12345")
    device.wait_read_by_peer()
    # Reopened, it shows the name of the file last started.
    dialog = app.open_dialog(MACRO_DIALOG, MACRO_TITLE)
    assert dialog.text(FILE_NAME) == chosen, dialog.text(FILE_NAME)
    dialog.click(STOP)
    app.expect_box("Lanvisor", ctx.language_text(STOPPED, "j"))
    assert device.received == b"XX", device.received
    dialog.dismiss(CLOSE)
    app.close_connection(device)
    app.end()
