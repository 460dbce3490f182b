"""What the main window shows: received bytes in the trace grid with their
running stamp and end mark, the connection state in the status bar and the
toolbar, and every command on the toolbar when there is no menu bar.

Screen checks measure the grid from the screenshot itself (end marks, band
colors), so they hold for any trace font; positions are then counted in
columns, as the program draws them."""
import collections
import socket

from device_sim import TcpServer
from lanvisor_e2e import (IDNO, IDOK, STATUS_BAR_ID, TBSTATE_ENABLED, TBSTATE_HIDDEN, TBSTATE_INDETERMINATE,
                          TOOLBAR_ID, Rect, client_settings, free_port, scenario, server_settings, utf16, wait_until)

CLEAR_QUESTION = 5
LANGUAGE_DIALOG, LANGUAGE_COMBO, LANGUAGE_OK = "setup of language", 1201, 1041
ENVIRONMENT_TITLE = 75

# Toolbar buttons by command.
REDRAW_BUTTON, CLEAR_BUTTON, SCROLL_BUTTONS = 332, 333, (334, 335, 336, 337)
SEND_DIALOG_BUTTONS, SETTINGS_BUTTON, OPEN_BUTTON, CLOSE_BUTTON = (338, 339, 340), 341, 342, 343
HOST_NAME_BUTTON, ENVIRONMENT_BUTTON, LANGUAGE_BUTTON, END_BUTTON = 344, 348, 350, 355
ONLY_WHILE_CLOSED = {REDRAW_BUTTON, *SCROLL_BUTTONS, SETTINGS_BUTTON, OPEN_BUTTON}
ONLY_WHILE_OPEN = {*SEND_DIALOG_BUTTONS, CLOSE_BUTTON}

HELLO = b"HELLO\r\n"
TRAILER_CELLS = 3  # "t=", then the stamp's high and low digit pairs
STAMP_LABEL_COLUMN = len(HELLO)  # the trailer follows the block
HELLO_END_COLUMN = len(HELLO) + TRAILER_CELLS  # where the end mark goes next

# Right edges of the status bar parts that the program draws, from the bar's
# left; the parts past the window's width are cut off.
STATUS_PART_EDGES = (460, 500, 560, 620, 740, 900, 1000, 1100)
STATUS_GRIP = 20


class Palette(collections.namedtuple("Palette", "back char_bands hex_bands end_mark stamp glyph closed tip_client "
                                                "toolbar_ink")):
    """The default colors of the light set, as they show on the screen.
    char_bands and hex_bands: (even column, odd column). toolbar_ink: the
    outline color of the set's toolbar images."""


LIGHT = Palette(back=(255, 255, 255), char_bands=((200, 255, 200), (200, 200, 255)),
                hex_bands=((255, 255, 200), (255, 200, 255)), end_mark=(0, 0, 255), stamp=(255, 0, 0),
                glyph=(0, 0, 0), closed=(255, 255, 255), tip_client=(0, 250, 0), toolbar_ink=(40, 44, 52))
DARK_TOOLBAR_INK = (226, 228, 232)
TIP_SERVER, UDP_CLIENT, UDP_SERVER = (146, 208, 80), (0, 255, 204), (33, 209, 255)


# ---- screen geometry ------------------------------------------------------------

def blended(pixel, back, front):
    """True when the pixel is front drawn over back, more front than back
    (the core of an anti-aliased glyph), and not some third color."""
    span = [f - b for f, b in zip(front, back)]
    length = sum(d * d for d in span)
    share = sum((p - b) * d for p, b, d in zip(pixel, back, span)) / length
    nearest = [b + share * d for b, d in zip(back, span)]
    off = sum((p - n) ** 2 for p, n in zip(pixel, nearest))
    return share > 0.5 and off < 40 ** 2


def runs(pixels):
    """[(color, start, length)] of equal neighbours in a list of pixels."""
    found = []
    for i, color in enumerate(pixels):
        if found and found[-1][0] == color:
            found[-1][2] += 1
        else:
            found.append([color, i, 1])
    return [tuple(r) for r in found]


class GridProblem(AssertionError):
    """The screenshot shows no grid that can be measured (yet)."""


class Grid:
    """The top screen line of the trace grid on a screenshot, measured from
    the drawing: the two end marks, the bands of the empty column under
    them (rows) and the SEND half's hexadecimal bands (columns)."""

    def __init__(self, shot, area, palette):
        self.shot, self.area, self.palette = shot, area, palette
        self.read_mark, self.send_mark = self._end_marks()
        self.send_char, self.send_hex = self._bands_below(self.send_mark)
        self.left, self.pitch, self.columns = self._columns()
        self.read_char, self.read_hex = self._bands_below(self.read_mark)
        # The stamp line starts on the last pixel row of the hexadecimal band.
        top = self.read_hex[1] - 1
        self.stamp_line = (top, top + self.read_char[1] - self.read_char[0])
        self.mark_column = self._column_at(self.read_mark.left, "READ end mark")
        if self._column_at(self.send_mark.left, "SEND end mark") != self.mark_column:
            raise GridProblem(f"end marks in different columns: {self.read_mark}, {self.send_mark}")

    def _end_marks(self):
        pixels = self.shot.where(self.palette.end_mark, self.area)
        groups = []  # pixel rows that touch make one mark
        for y in sorted({y for _, y in pixels}):
            if groups and y == groups[-1][-1] + 1:
                groups[-1].append(y)
            else:
                groups.append([y])
        if len(groups) != 2:
            raise GridProblem(f"{len(groups)} end marks (pixel rows {[(g[0], g[-1]) for g in groups]}), expected "
                              "one in the READ and one in the SEND half")
        marks = []
        for rows in groups:
            xs = [x for x, y in pixels if rows[0] <= y <= rows[-1]]
            marks.append(Rect(min(xs), rows[0], max(xs) + 1, rows[-1] + 1))
        return marks

    def _bands_below(self, mark):
        """(top, bottom) of the character and the hexadecimal band under an
        end mark, where nothing has been drawn yet."""
        x = mark.left + 1
        column = [self.shot.pixel(x, y) for y in range(mark.bottom, self.area.bottom)]
        found = runs(column)
        for i in range(len(found) - 1):
            (first, start, length), (second, _, length2) = found[i], found[i + 1]
            if first in self.palette.char_bands and second in self.palette.hex_bands:
                top = mark.bottom + start
                return (top, top + length), (top + length, top + length + length2)
        raise GridProblem(f"no character and hexadecimal band under the end mark at {mark}: {found[:6]}")

    def _columns(self):
        y = sum(self.send_hex) // 2
        row = [self.shot.pixel(x, y) for x in range(self.area.left, self.area.right)]
        bands = [r for r in runs(row) if r[0] in self.palette.hex_bands]
        if len(bands) < 2:
            raise GridProblem(f"no hexadecimal bands on pixel row {y}")
        pitch = bands[0][2]
        for i, (color, start, length) in enumerate(bands):
            if color != self.palette.hex_bands[i % 2] or length != pitch or start != bands[0][1] + i * pitch:
                raise GridProblem(f"hexadecimal band {i} on pixel row {y} is {color} at {self.area.left + start}, "
                                  f"{length} wide; the first is {pitch} wide")
        return self.area.left + bands[0][1], pitch, len(bands)

    def _column_at(self, x, what):
        column, rest = divmod(x - self.left, self.pitch)
        if rest or not 0 <= column < self.columns:
            raise GridProblem(f"{what} at x={x}, not at the start of a column (first at {self.left}, "
                              f"{self.pitch} wide)")
        return column

    # -- cells ------------------------------------------------------------
    def cell(self, column, rows):
        return Rect(self.left + column * self.pitch, rows[0], self.left + (column + 1) * self.pitch, rows[1])

    def band_rows(self, half, row):
        """Pixel rows of the character ("char") or hexadecimal ("hex") band of
        the READ or SEND half."""
        return {("READ", "char"): self.read_char, ("READ", "hex"): self.read_hex,
                ("SEND", "char"): self.send_char, ("SEND", "hex"): self.send_hex}[half, row]

    def glyph(self, column, half, row):
        """The pixels of glyph ink in one band cell, relative to the cell."""
        rect = self.cell(column, self.band_rows(half, row))
        bands = self.palette.char_bands if row == "char" else self.palette.hex_bands
        back = bands[column % 2]
        return frozenset((x - rect.left, y - rect.top) for x in range(rect.left, rect.right)
                         for y in range(rect.top, rect.bottom)
                         if blended(self.shot.pixel(x, y), back, self.palette.glyph))

    def stamp_ink(self, column):
        rect = self.cell(column, self.stamp_line)
        return [(x, y) for x in range(rect.left, rect.right) for y in range(rect.top, rect.bottom)
                if blended(self.shot.pixel(x, y), self.palette.back, self.palette.stamp)]


def measure(shot, area, palette):
    """(Grid, None), or (None, what is wrong) while the grid is not drawn."""
    try:
        return Grid(shot, area, palette), None
    except GridProblem as problem:
        return None, str(problem)


class MainWindowLayout:
    """Where the trace area, the toolbar and the status bar are on the screen."""

    def __init__(self, app):
        client = app.main.client_rect()
        self.toolbar = app.main.rect(TOOLBAR_ID)
        self.status_bar = app.main.rect(STATUS_BAR_ID)
        self.trace = Rect(client.left, self.toolbar.bottom, client.right, self.status_bar.top)

    def status_parts(self):
        """The inside of each drawn status bar part that shows whole."""
        bar, parts, left = self.status_bar, [], 0
        for edge in STATUS_PART_EDGES:
            if bar.left + edge > bar.right - STATUS_GRIP:
                break
            parts.append(Rect(bar.left + left + 3, bar.top + 3, bar.left + edge - 1, bar.bottom - 2))
            left = edge
        return parts


# ---- checks ------------------------------------------------------------------------

def status_color_problem(shot, layout, color):
    """None when every status bar part is filled with this color (its text
    on top), else what shows instead."""
    for part, rect in enumerate(layout.status_parts()):
        colors = shot.colors(rect)
        common, count = colors.most_common(1)[0]
        if common != color or count < sum(colors.values()) // 2:
            return f"status bar part {part} {rect} shows {colors.most_common(3)}, not {color}"
    return None


def toolbar_images_problem(shot, layout):
    """None when the toolbar shows the light set's images, told apart from
    the dark set's by their outline color."""
    colors = shot.colors(layout.toolbar)
    if colors[LIGHT.toolbar_ink] and not colors[DARK_TOOLBAR_INK]:
        return None
    return (f"toolbar images not the light ones: {colors[LIGHT.toolbar_ink]} pixels of the light outline, "
            f"{colors[DARK_TOOLBAR_INK]} of the dark one")


def wait_status_color(ctx, layout, color, label):
    return ctx.wait_for_screen(label, lambda shot: status_color_problem(shot, layout, color))


def toolbar_problems(app, connection_open):
    """The buttons whose state does not fit the connection state."""
    unusable = ONLY_WHILE_CLOSED if connection_open else ONLY_WHILE_OPEN
    wrong = []
    for command, state in app.toolbar_states().items():
        # A disabled button shows grayed (indeterminate) and gives no command.
        shown = TBSTATE_INDETERMINATE if command in unusable else TBSTATE_ENABLED
        if state & (TBSTATE_ENABLED | TBSTATE_INDETERMINATE | TBSTATE_HIDDEN) != shown:
            wrong.append(f"{command}: state {state:#x}, expected {shown:#x}")
    return wrong


def wait_toolbar(app, connection_open):
    wrong = []

    def fits():
        wrong[:] = toolbar_problems(app, connection_open)
        return not wrong

    try:
        wait_until(fits, what=f"toolbar states for a {'open' if connection_open else 'closed'} connection")
    except AssertionError as error:
        raise AssertionError(f"{error}; wrong: {wrong}") from None


def hello_problem(grid):
    """What is wrong with the grid after the device sent HELLO CR LF, or None."""
    if grid.mark_column != HELLO_END_COLUMN:
        return f"end mark in column {grid.mark_column}, expected {HELLO_END_COLUMN}"
    for column in range(grid.columns):
        for half, row in (("READ", "char"), ("READ", "hex"), ("SEND", "char"), ("SEND", "hex")):
            inked = bool(grid.glyph(column, half, row))
            if inked != (half == "READ" and column < len(HELLO)):
                return f"{half} {row} row, column {column}: {'a glyph' if inked else 'no glyph'}"
    for column in range(grid.columns):
        stamped = bool(grid.stamp_ink(column))
        if stamped != (STAMP_LABEL_COLUMN <= column < HELLO_END_COLUMN):
            return f"stamp line, column {column}: {'stamp' if stamped else 'no stamp'}"
    return None


def check_hello_glyphs(grid):
    """The glyphs follow the bytes: equal bytes look alike, different ones
    not; a printable byte is one centred character, a control byte a
    two-letter name that fills its column."""
    char = [grid.glyph(c, "READ", "char") for c in range(len(HELLO))]
    hexa = [grid.glyph(c, "READ", "hex") for c in range(len(HELLO))]
    assert char[2] == char[3] and hexa[2] == hexa[3], "the two L (4C) cells differ"
    for a, b in ((0, 1), (1, 2), (3, 4), (5, 6)):
        assert char[a] != char[b] and hexa[a] != hexa[b], f"columns {a} and {b} look alike for different bytes"
    quarter = grid.pitch // 4
    for column, glyph in enumerate(char):
        xs = [x for x, _ in glyph]
        two_letters = HELLO[column] < 0x20
        if two_letters:
            assert min(xs) < quarter and max(xs) >= grid.pitch - quarter, \
                f"control byte in column {column} does not fill its column: ink x {min(xs)}..{max(xs)}"
        else:
            assert min(xs) >= quarter - 1 and max(xs) <= grid.pitch - quarter, \
                f"byte {HELLO[column]:#x} in column {column} not centred: ink x {min(xs)}..{max(xs)}"


def wait_grid(ctx, layout, palette, label, problem):
    """Screenshots until the grid is measurable and problem(grid) is None;
    returns (screenshot, grid)."""
    measured = {}

    def check(shot):
        grid, wrong = measure(shot, layout.trace, palette)
        if grid is None:
            return wrong
        measured["grid"] = grid
        return problem(grid)

    shot = ctx.wait_for_screen(label, check)
    return shot, measured["grid"]


def launch_tcp_client(ctx, device, files=None):
    """Starts the program set up as TCP client of the simulated device."""
    return ctx.launch(files={"Lanvisor.ini": client_settings(device.port), **(files or {})})


def receive_hello(app, device):
    """Opens the TCP client and has the device send HELLO CR LF; returns
    once the program has read the bytes."""
    app.open_connection(client=True)
    device.wait_connections(1)
    device.send(HELLO)
    device.wait_read_by_peer()


# ---- scenarios -----------------------------------------------------------------------

@scenario("view")
def received_bytes(ctx):
    device = ctx.device(TcpServer())
    app = launch_tcp_client(ctx, device)
    assert app.main.has_menu_bar(), "no menu bar with the default settings"
    receive_hello(app, device)
    layout = MainWindowLayout(app)
    wait_status_color(ctx, layout, LIGHT.tip_client, "open")
    first, grid = wait_grid(ctx, layout, LIGHT, "hello-light", hello_problem)
    check_hello_glyphs(grid)
    assert toolbar_images_problem(first, layout) is None, toolbar_images_problem(first, layout)

    # Nothing else arrives: the stamp keeps counting in place, and nothing
    # else in the trace area changes.
    digits = Rect(grid.cell(STAMP_LABEL_COLUMN + 1, grid.stamp_line).left, grid.stamp_line[0],
                  grid.cell(HELLO_END_COLUMN, grid.stamp_line).left, grid.stamp_line[1])
    shot = first
    for step in ("stamp-later", "stamp-later-still"):
        before = shot
        shot = ctx.wait_for_screen(step, lambda s: None if s.changed(before, digits) else "the stamp did not change")
    elsewhere = [(x, y) for x, y in shot.changed(first, layout.trace)
                 if not (digits.left <= x < digits.right and digits.top <= y < digits.bottom)]
    assert not elsewhere, f"{len(elsewhere)} pixels changed outside the stamp digits {digits}, e.g. {elsewhere[:5]}"
    assert hello_problem(measure(shot, layout.trace, LIGHT)[0]) is None

    app.close_connection(device)
    wait_status_color(ctx, layout, LIGHT.closed, "closed")
    app.end()


@scenario("view", timeout=240)
def connection_state_in_bars(ctx):
    # Each mode colors the status bar its own way while open; the toolbar
    # offers what fits the state; closing gives back the closed look.
    tcp_port, udp_port = free_port(), free_port(socket.SOCK_DGRAM)
    device = ctx.device(TcpServer())
    modes = [("TIP client", LIGHT.tip_client, client_settings(device.port)),
             ("TIP server", TIP_SERVER, server_settings(tcp_port)),
             ("UDP client", UDP_CLIENT, client_settings(udp_port, udp=True)),
             ("UDP server", UDP_SERVER, server_settings(udp_port, udp=True))]
    for name, color, settings in modes:
        label = name.replace(" ", "-").lower()
        app = ctx.launch(files={"Lanvisor.ini": settings})
        layout = MainWindowLayout(app)
        if name == modes[0][0]:  # the start looks the same in every mode
            wait_toolbar(app, False)
            wait_status_color(ctx, layout, LIGHT.closed, "start")

        app.open_connection(client=name.endswith("client"))
        wait_toolbar(app, True)
        wait_status_color(ctx, layout, color, f"{label}-open")

        app.close_connection()
        wait_toolbar(app, False)
        wait_status_color(ctx, layout, LIGHT.closed, f"{label}-closed-again")
        app.end()


@scenario("view", timeout=240)
def toolbar_without_menu_bar(ctx):
    app = ctx.launch(files={"dkm.ini": utf16("dkm=2\r\n")})
    assert not app.main.has_menu_bar(), "a menu bar although dkm.ini says none"
    ctx.screenshot("no-menu-bar")
    question = ctx.language_text(CLEAR_QUESTION, "j")

    app.click_toolbar(CLEAR_BUTTON)
    assert app.msgbox_text("Lanvisor") == question
    app.answer("Lanvisor", IDNO)

    app.click_toolbar(HOST_NAME_BUTTON)
    assert app.msgbox_text("HostName"), "empty HostName box"
    app.answer("HostName", IDOK)

    # The language changes from the toolbar too, and still no menu bar is built.
    app.click_toolbar(LANGUAGE_BUTTON)
    dialog = app.wait_window(LANGUAGE_DIALOG)
    dialog.combo_select(LANGUAGE_COMBO, "English")
    dialog.click(LANGUAGE_OK)
    dialog.wait_gone()
    assert not app.main.has_menu_bar(), "a menu bar after the language change"

    app.click_toolbar(ENVIRONMENT_BUTTON)
    dialog = app.wait_window(ctx.language_text(ENVIRONMENT_TITLE, "e"))
    dialog.close()

    # A grayed button gives no command: the close button with no connection
    # would report; only the clear question after it shows.
    app.click_toolbar(CLOSE_BUTTON)
    app.click_toolbar(CLEAR_BUTTON)
    assert app.msgbox_text("Lanvisor") == ctx.language_text(CLEAR_QUESTION, "e")
    assert app.boxes() == ["Lanvisor"], f"boxes after the grayed close button: {app.boxes()}"
    app.answer("Lanvisor", IDNO)

    app.click_toolbar(END_BUTTON)
    app.main.wait_gone()
    code = app.wait_exit()
    assert code == 0, f"Lanvisor.exe ended with exit code {code}"
    assert ctx.settings()["moji_type"] == "1", dict(ctx.settings())
