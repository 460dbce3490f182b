"""What the main window shows: the trace grid (the received bytes with their
running stamp and end mark are checked with the trace files), the connection
state in the status bar and the toolbar, and every command on the toolbar
when there is no menu bar.

Screen checks find the grid on the screenshot itself (end marks, band
colors), so they hold for any trace font; positions are then counted in
columns, as the program draws them."""
import collections
import socket

from device_sim import TcpServer
from lanvisor_e2e import (STATUS_BAR_ID, TBSTATE_ENABLED, TBSTATE_HIDDEN, TBSTATE_INDETERMINATE, TOOLBAR_ID,
                          Rect, client_settings, free_port, scenario, server_settings, settle, utf16)

LANGUAGE_DIALOG, LANGUAGE_COMBO, LANGUAGE_OK = "setup of language", 1201, 1041
VK_RETURN = 0x0D
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


# ---- the grid on the screen ------------------------------------------------------

def blended(pixel, back, front):
    """True when the pixel is front drawn over back, more front than back
    (the core of an anti-aliased glyph), and not some third color."""
    span = [f - b for f, b in zip(front, back)]
    share = sum((p - b) * d for p, b, d in zip(pixel, back, span)) / sum(d * d for d in span)
    off = sum((p - b - share * d) ** 2 for p, b, d in zip(pixel, back, span))
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
        self.shot, self.palette = shot, palette
        read_mark, send_mark = self._end_marks(area)
        self.bands = {"READ": self._bands_below(read_mark, area), "SEND": self._bands_below(send_mark, area)}
        y = sum(self.bands["SEND"][1]) // 2
        hex_runs = [r for r in runs([shot.pixel(x, y) for x in range(area.left, area.right)])
                    if r[0] in palette.hex_bands]
        if len(hex_runs) < 2:
            raise GridProblem(f"no hexadecimal bands on pixel row {y}")
        self.left, self.pitch, self.columns = area.left + hex_runs[0][1], hex_runs[0][2], len(hex_runs)
        for i, (color, start, length) in enumerate(hex_runs):
            if color != palette.hex_bands[i % 2] or length != self.pitch or area.left + start != self.x(i):
                raise GridProblem(f"hexadecimal band {i} on pixel row {y} is {color} at {area.left + start}, "
                                  f"{length} wide; the first is {self.pitch} wide")
        # The stamp line starts on the last pixel row of the hexadecimal band.
        (char_top, char_bottom), (_, hex_bottom) = self.bands["READ"]
        self.stamp_line = (hex_bottom - 1, hex_bottom - 1 + char_bottom - char_top)
        self.mark_column = self._column_at(read_mark.left, "READ end mark")
        if self._column_at(send_mark.left, "SEND end mark") != self.mark_column:
            raise GridProblem(f"end marks in different columns: {read_mark}, {send_mark}")

    def _end_marks(self, area):
        pixels = self.shot.where(self.palette.end_mark, area)
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

    def _bands_below(self, mark, area):
        """(top, bottom) of the character and the hexadecimal band under an
        end mark, where nothing has been drawn yet."""
        found = runs([self.shot.pixel(mark.left + 1, y) for y in range(mark.bottom, area.bottom)])
        for (first, start, length), (second, _, length2) in zip(found, found[1:]):
            if first in self.palette.char_bands and second in self.palette.hex_bands:
                top = mark.bottom + start
                return (top, top + length), (top + length, top + length + length2)
        raise GridProblem(f"no character and hexadecimal band under the end mark at {mark}: {found[:6]}")

    def x(self, column):
        return self.left + column * self.pitch

    def _column_at(self, x, what):
        column, rest = divmod(x - self.left, self.pitch)
        if rest or not 0 <= column < self.columns:
            raise GridProblem(f"{what} at x={x}, not at the start of a column (first at {self.left}, "
                              f"{self.pitch} wide)")
        return column

    def ink(self, column, rows, back, front):
        """The pixels of front drawn over back in one cell, relative to the cell."""
        return frozenset((x - self.x(column), y - rows[0]) for x in range(self.x(column), self.x(column + 1))
                         for y in range(*rows) if blended(self.shot.pixel(x, y), back, front))

    def glyph(self, column, half, row):
        """Glyph ink in the character ("char") or hexadecimal ("hex") band cell."""
        bands = self.palette.char_bands if row == "char" else self.palette.hex_bands
        rows = self.bands[half][0 if row == "char" else 1]
        return self.ink(column, rows, bands[column % 2], self.palette.glyph)

    def stamp_ink(self, column):
        return self.ink(column, self.stamp_line, self.palette.back, self.palette.stamp)


class MainWindowLayout:
    """Where the trace area, the toolbar and the status bar are on the screen."""

    def __init__(self, app):
        client = app.main.client_rect()
        self.toolbar = app.main.rect(TOOLBAR_ID)
        self.status_bar = app.main.rect(STATUS_BAR_ID)
        self.trace = Rect(client.left, self.toolbar.bottom, client.right, self.status_bar.top)


# ---- checks ------------------------------------------------------------------------

def status_color_problem(shot, layout, color):
    """None when the status bar shows this color from end to end (through its
    texts), but for the lines between its parts."""
    bar = layout.status_bar  # the parts are drawn inside its frame
    xs = sorted({x for x, _ in shot.where(color, Rect(bar.left, bar.top + 3, bar.right, bar.bottom - 2))})
    gaps = [(a, b) for a, b in zip([bar.left] + xs, xs + [bar.right]) if b - a > 5]
    return f"status bar {bar} not {color} between x {gaps}" if gaps else None


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


def wait_toolbar(app, connection_open):
    """Waits until every toolbar button is usable or grayed as fits the
    connection state; a grayed button shows indeterminate and gives no command."""
    unusable = ONLY_WHILE_CLOSED if connection_open else ONLY_WHILE_OPEN

    def wrong():
        return {command: state for command, state in app.toolbar_states().items()
                if state & (TBSTATE_ENABLED | TBSTATE_INDETERMINATE | TBSTATE_HIDDEN)
                != (TBSTATE_INDETERMINATE if command in unusable else TBSTATE_ENABLED)}
    settle(wrong, {}, f"toolbar buttons in the wrong state for a {'open' if connection_open else 'closed'} connection")


def hello_problem(grid):
    """What is wrong with the grid after the device sent HELLO CR LF, or None."""
    if grid.mark_column != HELLO_END_COLUMN:
        return f"end mark in column {grid.mark_column}, expected {HELLO_END_COLUMN}"
    for column in range(grid.columns):
        for half, row in (("READ", "char"), ("READ", "hex"), ("SEND", "char"), ("SEND", "hex")):
            inked = bool(grid.glyph(column, half, row))
            if inked != (half == "READ" and column < len(HELLO)):
                return f"{half} {row} row, column {column}: {'a glyph' if inked else 'no glyph'}"
        stamped = bool(grid.stamp_ink(column))
        if stamped != (STAMP_LABEL_COLUMN <= column < HELLO_END_COLUMN):
            return f"stamp line, column {column}: {'stamp' if stamped else 'no stamp'}"
    return None


def wait_grid(ctx, layout, label, problem):
    """Screenshots until the grid is measurable and problem(grid) is None;
    returns (screenshot, grid)."""
    measured = {}

    def check(shot):
        try:
            measured["grid"] = Grid(shot, layout.trace, LIGHT)
        except GridProblem as wrong:
            return str(wrong)
        return problem(measured["grid"])

    shot = ctx.wait_for_screen(label, check)
    return shot, measured["grid"]


def send_hello(device):
    """The device sends HELLO CR LF; returns once the program has read it."""
    device.send(HELLO)
    device.wait_read_by_peer()


# ---- scenarios -----------------------------------------------------------------------

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
    app.expect_clear_question("j", ask=lambda: app.click_toolbar(CLEAR_BUTTON))
    app.click_toolbar(HOST_NAME_BUTTON)
    assert app.expect_box("HostName"), "empty HostName box"

    # The language changes from the toolbar too, and still no menu bar is built.
    app.click_toolbar(LANGUAGE_BUTTON)
    dialog = app.wait_window(LANGUAGE_DIALOG)
    assert dialog.items(LANGUAGE_COMBO) == ["Japanese", "English", "Korean", "Chinese"]
    dialog.combo_select(LANGUAGE_COMBO, "English")
    dialog.dismiss(LANGUAGE_OK)
    assert not app.main.has_menu_bar(), "a menu bar after the language change"
    app.click_toolbar(ENVIRONMENT_BUTTON)
    app.wait_window(ctx.language_text(ENVIRONMENT_TITLE, "e")).close()

    # A grayed button gives no command: the close button with no connection
    # would report; only the clear question after it shows.
    app.click_toolbar(CLOSE_BUTTON)
    app.expect_clear_question("e", ask=lambda: app.click_toolbar(CLEAR_BUTTON))
    app.expect_no_boxes("after the grayed close button")

    # Names are compared exactly: "english" is no language name, so it means
    # Japanese. Enter on the way accepts nothing: the dialog takes the rest
    # of the typing.
    app.click_toolbar(LANGUAGE_BUTTON)
    dialog = app.wait_window(LANGUAGE_DIALOG)
    assert dialog.text(LANGUAGE_COMBO) == "English"
    dialog.settext(LANGUAGE_COMBO, "")
    dialog.key(VK_RETURN)
    dialog.type(LANGUAGE_COMBO, "english")
    settle(lambda: dialog.text(LANGUAGE_COMBO), "english", "the name typed after Enter")
    dialog.dismiss(LANGUAGE_OK)
    app.expect_clear_question("j", ask=lambda: app.click_toolbar(CLEAR_BUTTON))

    app.click_toolbar(END_BUTTON)
    app.wait_ended()
    assert ctx.settings()["moji_type"] == "0", dict(ctx.settings())
