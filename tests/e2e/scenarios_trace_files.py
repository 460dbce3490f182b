"""The trace on the screen and in files: a received block in the grid, the
clear command, a trace saved through the file dialog loads back into the same
screen, every load (also a cancelled or refused one) shows the newest cells,
the capture and the export write the received block; the memo file is made
once and opened in Notepad."""
from device_sim import TcpServer
from lanvisor_e2e import (CLEAR_TRACE, FILE_NAME_BOX, IDOK, IDYES, TRACE_CELL_BYTES, TRACE_HEADER_BYTES, Rect,
                          scenario, trace_file_size, wait_until)
from scenarios_view import (HELLO, HELLO_END_COLUMN, LIGHT, STAMP_LABEL_COLUMN, TRAILER_CELLS, MainWindowLayout,
                            hello_problem, send_hello, status_color_problem, toolbar_images_problem, wait_grid)

SAVE_TRACE, LOAD_TRACE, MEMO, FIRST_LINE = 201, 202, 227, 215
SAVE_TITLE, OPEN_TITLE = 10, 11
EXPORT, CAPTURE, EXPORT_QUESTION = 205, 206, 285


def empty_trace_problem(grid):
    if grid.mark_column != 0:
        return f"end mark in column {grid.mark_column} of an empty trace"
    inked = [c for c in range(grid.columns) if grid.glyph(c, "READ", "char") or grid.stamp_ink(c)]
    return f"cells drawn in columns {inked} of an empty trace" if inked else None


def differs(shot, reference, rect):
    changed = shot.changed(reference, rect)
    return f"{len(changed)} pixels differ from {reference.path.name}, e.g. {changed[:5]}" if changed else None


def save_trace(ctx, app, name):
    """The save command answered with `name`; returns the bytes written."""
    app.command(SAVE_TRACE)
    app.choose_file(SAVE_TITLE, name)
    path = ctx.file(name + ".log")
    return wait_until(lambda: path.exists() and path.stat().st_size >= TRACE_HEADER_BYTES and path.read_bytes(),
                      what=f"{name}.log written")


def load_trace(ctx, app, name):
    app.command(LOAD_TRACE)
    app.choose_file(OPEN_TITLE, name)


@scenario("trace")
def received_block_shown_saved_and_cleared(ctx):
    device = ctx.device(TcpServer())
    app = ctx.launch_client(device, connect=False)
    assert app.main.has_menu_bar(), "no menu bar with the default settings"
    layout = MainWindowLayout(app)
    client = app.main.client_rect()
    fresh, _ = wait_grid(ctx, layout, "fresh", lambda grid: empty_trace_problem(grid)
                         or status_color_problem(grid.shot, layout, LIGHT.closed))

    app.open_connection(client=True, device=device)
    send_hello(device)
    first, grid = wait_grid(ctx, layout, "hello", lambda grid: hello_problem(grid)
                            or status_color_problem(grid.shot, layout, LIGHT.tip_client))
    assert toolbar_images_problem(first, layout) is None, toolbar_images_problem(first, layout)
    # The glyphs follow the bytes: the two L look alike, neighbours that differ do not.
    char = [grid.glyph(c, "READ", "char") for c in range(len(HELLO))]
    hexa = [grid.glyph(c, "READ", "hex") for c in range(len(HELLO))]
    assert char[2] == char[3] and hexa[2] == hexa[3], "the two L (4C) cells differ"
    for a, b in ((0, 1), (1, 2), (3, 4), (5, 6)):
        assert char[a] != char[b] and hexa[a] != hexa[b], f"columns {a} and {b} look alike for different bytes"
    # Nothing else arrives: the stamp keeps counting in place, and nothing
    # else in the trace area changes.
    digits = Rect(grid.x(STAMP_LABEL_COLUMN + 1), grid.stamp_line[0], grid.x(HELLO_END_COLUMN), grid.stamp_line[1])
    shot = first
    for step in ("stamp-later", "stamp-later-still"):
        before = shot
        shot = ctx.wait_for_screen(step, lambda s: None if s.changed(before, digits) else "the stamp did not change")
    elsewhere = [(x, y) for x, y in shot.changed(first, layout.trace)
                 if not (digits.left <= x < digits.right and digits.top <= y < digits.bottom)]
    assert not elsewhere, f"{len(elsewhere)} pixels changed outside the stamp digits {digits}, e.g. {elsewhere[:5]}"

    app.close_connection(device)
    closed, _ = wait_grid(ctx, layout, "closed", lambda grid: hello_problem(grid)
                          or status_color_problem(grid.shot, layout, LIGHT.closed))
    # No keeps everything; the window looks as before the question.
    app.expect_clear_question("j")
    ctx.wait_for_screen("kept", lambda shot: differs(shot, closed, client))
    data = save_trace(ctx, app, "hello")
    # HELLO CR LF, one cell a byte, and its stamp trailer.
    assert len(data) == trace_file_size(len(HELLO) + TRAILER_CELLS), f"hello.log of {len(data)} bytes"

    # Yes empties the trace: the window looks as it did at the start, status
    # bar counters included.
    app.command(CLEAR_TRACE)
    app.answer("Lanvisor", IDYES)
    ctx.wait_for_screen("cleared", lambda shot: differs(shot, fresh, client))
    # The saved trace loads back into the same screen and saves as the same file.
    load_trace(ctx, app, "hello.log")
    ctx.wait_for_screen("loaded", lambda shot: differs(shot, closed, layout.trace))
    assert save_trace(ctx, app, "again") == data, "the loaded trace saves differently"
    app.end()


def trace_file(blocks):
    """A trace file of received blocks, each with its stamp trailer."""
    cells = bytearray()
    for block in blocks:
        for pos, byte in enumerate(block):
            cells += bytes((1, 0, byte, 0, pos & 0xFF, 0, 0, 0))
        cells += bytes((3, 0, ord("t"), ord("="), 0, 0, 0, 0))
        cells += bytes((4, 0, ord("0"), ord("0"), 0, 0, 0, 0)) + bytes((5, 0, ord("0"), ord("1"), 0, 0, 0, 0))
    return f"{len(cells) // TRACE_CELL_BYTES:015d}\r".encode("utf-16-le") + bytes(cells)


def end_mark_problem(layout, shown):
    """Whether the end mark, which follows the newest cell, is on the screen."""
    def problem(shot):
        if bool(shot.where(LIGHT.end_mark, layout.trace)) == shown:
            return None
        return "the end mark is not shown" if shown else "the end mark is still shown"
    return problem


@scenario("trace")
def load_command_returns_to_the_newest_cells(ctx):
    # Thirty blocks of a hundred letters: far more than one screen.
    long_trace = trace_file([bytes([0x41 + k % 26]) * 100 for k in range(30)])
    too_large = f"{200000:015d}\r".encode("utf-16-le")
    app = ctx.launch(files={"long.log": long_trace, "big.log": too_large})
    layout = MainWindowLayout(app)
    load_trace(ctx, app, "long.log")
    ctx.wait_for_screen("loaded", end_mark_problem(layout, True))
    # A load that is refused (or cancelled: the same way back) also shows the newest cells again.
    app.command(FIRST_LINE)
    ctx.wait_for_screen("first-line", end_mark_problem(layout, False))
    chooser = app.open_dialog(LOAD_TRACE, OPEN_TITLE)
    chooser.settext(FILE_NAME_BOX, "big.log")
    chooser.dismiss(IDOK)
    app.expect_box("CreateFile", pattern=".*200000.*")
    ctx.wait_for_screen("refused", end_mark_problem(layout, True))
    app.end()


@scenario("trace")
def memo_file_made_once(ctx):
    app = ctx.launch()
    memo = ctx.file("temp.txt")
    assert not memo.exists()
    app.command(MEMO)
    wait_until(lambda: memo.exists() and memo.read_bytes() == b"\xff\xfe", what="temp.txt with only a mark")
    wait_until(lambda: ctx.notepads(), what="Notepad started")
    ctx.end_notepads()
    # The user's notes stay as they are.
    notes = b"\xff\xfe" + "notes\r\n".encode("utf-16-le")
    memo.write_bytes(notes)
    app.command(MEMO)
    wait_until(lambda: ctx.notepads(), what="Notepad started again")
    assert memo.read_bytes() == notes
    ctx.end_notepads()
    app.end()


def capture_lines(ctx):
    """The lines of the capture files in the program folder."""
    lines = []
    for path in sorted(ctx.folder.glob("Lanvisor_*.txt")):
        lines += path.read_text(encoding="utf-8").splitlines()
    return lines


@scenario("trace")
def capture_and_export_from_the_menu(ctx):
    device = ctx.device(TcpServer())
    app = ctx.launch_client(device, connect=False)
    app.command(CAPTURE)
    app.open_connection(client=True, device=device)
    send_hello(device)
    app.close_connection(device)
    # The block reaches the file on a timer tick, with the trace's own names
    # for the control bytes.
    hello_hex = " ".join(f"{b:02X}" for b in HELLO)
    lines = wait_until(lambda: [l for l in capture_lines(ctx) if "RECV" in l], what="the block captured")
    assert lines == [f"     0.0 RECV  127.0.0.1           7  {hello_hex}  HELLO<CR><LF>"], lines

    # The trace on screen exported as CSV: the file type picks the format.
    app.command(EXPORT)
    app.expect_box("Export", ctx.language_text(EXPORT_QUESTION, "j"), answer=IDYES)
    app.choose_file(SAVE_TITLE, "hello.csv")
    csv = ctx.wait_file("hello.csv")
    assert csv == ("\ufefftime,event,peer,length,hex,text\r\n"
                   f"0.0,RECV,127.0.0.1,7,{hello_hex},\"HELLO\r\n\"\r\n").encode("utf-8"), csv
    app.end()
    assert ctx.settings().get("capture_on") == "1", ctx.settings()
