"""The color setting dialog: typed colors reach the preview only with Set
Color, Rewrite writes color.ini for the next start, Cancel changes nothing."""
from lanvisor_e2e import IDOK, read_ini, scenario, settle

COLOR_COMMAND = 244
LIGHT_RADIO, DARK_RADIO = 1061, 1062
CANCEL, REWRITE, SET_COLOR = 1040, 1198, 1199
FIRST_EDIT, FIRST_BUTTON = 1071, 1041
ASC_BACK_1_ROW, ASC_BACK_2_ROW, DIALOG_BACK_ROW, LAST_ROW = 0, 1, 4, 16
# The chooser's red, green and blue boxes.
CHOOSER_RED = 706


def row_values(dialog, row):
    return tuple(dialog.text(FIRST_EDIT + 3 * row + c) for c in range(3))


def type_row(dialog, row, values):
    for c, value in enumerate(values):
        dialog.settext(FIRST_EDIT + 3 * row + c, str(value))


def preview_cell(client, column, row="read-asc"):
    """A point inside a preview cell clear of the texts drawn over it."""
    top = {"read-asc": 90, "read-hex": 108}[row]
    return client.left + 50 + 18 * column + 2, client.top + top + 14


def wait_pixel(ctx, point, color, label):
    def problem(shot):
        found = shot.pixel(*point)
        return None if found == color else f"{point} is {found}, not {color}"
    return ctx.wait_for_screen(label, problem)


@scenario("colors")
def set_color_previews_and_rewrite_saves(ctx):
    app = ctx.launch()
    dialog = app.open_dialog(COLOR_COMMAND, "色設定")
    assert dialog.state(LIGHT_RADIO)["checked"] == 1 and dialog.state(DARK_RADIO)["checked"] == 0
    assert row_values(dialog, ASC_BACK_1_ROW) == ("200", "200", "255")
    assert dialog.text(SET_COLOR) == "色をセット" and dialog.text(FIRST_BUTTON) == "色"
    client = dialog.client_rect()
    # Column 0 takes the second ASCII color, column 1 the first.
    wait_pixel(ctx, preview_cell(client, 0), (200, 255, 200), "light-defaults")
    wait_pixel(ctx, preview_cell(client, 1), (200, 200, 255), "light-defaults")

    # Typed values show only after Set Color; 256 is stored as 0, while the
    # boxes keep what was typed.
    type_row(dialog, ASC_BACK_1_ROW, (10, 20, 30))
    type_row(dialog, ASC_BACK_2_ROW, (256, 300, "x"))
    type_row(dialog, DIALOG_BACK_ROW, (5, 5, 5))
    assert ctx.screenshot("typed").pixel(*preview_cell(client, 1)) == (200, 200, 255)
    dialog.click(SET_COLOR)
    wait_pixel(ctx, preview_cell(client, 1), (10, 20, 30), "set-color")
    wait_pixel(ctx, preview_cell(client, 0), (0, 44, 0), "set-color")
    assert row_values(dialog, ASC_BACK_2_ROW) == ("256", "300", "x")

    # The dark set: its own values; typed but unset values are dropped.
    dialog.click(DARK_RADIO)
    assert row_values(dialog, ASC_BACK_1_ROW) == ("100", "100", "0")
    wait_pixel(ctx, preview_cell(client, 1), (100, 100, 0), "dark-set")
    type_row(dialog, ASC_BACK_1_ROW, (1, 2, 3))
    dialog.click(LIGHT_RADIO)
    dialog.click(DARK_RADIO)
    assert row_values(dialog, ASC_BACK_1_ROW) == ("100", "100", "0")
    dialog.click(LIGHT_RADIO)
    assert row_values(dialog, ASC_BACK_1_ROW) == ("10", "20", "30")

    dialog.dismiss(REWRITE)
    values = dict(read_ini(ctx.file("color.ini"), "Setting"))

    def slot(s, n):
        return tuple(int(values[f"rbg{s}s[{n}].{c}"]) for c in "rgb")
    assert slot("L", 2) == (10, 20, 30) and slot("L", 3) == (0, 44, 0), (slot("L", 2), slot("L", 3))
    assert slot("L", 6) == (5, 5, 5) and slot("L", 20) == (251, 251, 251), (slot("L", 6), slot("L", 20))
    assert slot("D", 2) == (100, 100, 0) and slot("D", 20) == (42, 42, 42), (slot("D", 2), slot("D", 20))
    rewritten = ctx.file("color.ini").read_bytes()

    # The dialog opens again on the rewritten colors. The last row's color
    # button opens the chooser like every other row; Cancel forgets what was
    # chosen, typed and set.
    dialog = app.open_dialog(COLOR_COMMAND, "色設定")
    client = dialog.client_rect()
    reopened = [row_values(dialog, row) for row in (ASC_BACK_1_ROW, LAST_ROW)]
    assert reopened[0] == ("10", "20", "30"), reopened
    dialog.click(FIRST_BUTTON + LAST_ROW)
    chooser = app.wait_window("Color")
    for offset, value in enumerate((40, 50, 60)):
        chooser.settext(CHOOSER_RED + offset, str(value))
    chooser.dismiss(IDOK)
    settle(lambda: row_values(dialog, LAST_ROW), ("40", "50", "60"), "the chosen color in the last row")
    type_row(dialog, ASC_BACK_1_ROW, (7, 8, 9))
    dialog.click(SET_COLOR)
    wait_pixel(ctx, preview_cell(client, 1), (7, 8, 9), "set-color-again")
    dialog.dismiss(CANCEL)
    assert ctx.file("color.ini").read_bytes() == rewritten
    dialog = app.open_dialog(COLOR_COMMAND, "色設定")
    assert [row_values(dialog, row) for row in (ASC_BACK_1_ROW, LAST_ROW)] == reopened
    dialog.close()
    app.end()
