"""The environment dialog, and the dark and light mode with its restart."""
from lanvisor_e2e import END_PROGRAM, IDNO, START_TIMEOUT, Rect, scenario, wait_until

ENVIRONMENT_COMMAND, DARK_MODE_COMMAND, LANGUAGE_COMMAND = 241, 242, 243
ENVIRONMENT_TITLE, DARK_MODE_TITLE = 75, 261
SCROLL_COMBO, LOWER_CASE_CHECK, NO_FOCUS_CHECK, PERIOD_EDIT, ENVIRONMENT_OK = 1201, 1221, 1222, 1071, 1041
DARK_CHECK, NO_MENU_BAR_CHECK, WRITE_AND_CLOSE, DARK_MODE_CLOSE = 1221, 1222, 1041, 1042
WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def shown_values(dialog):
    return {
        "scroll": dialog.text(SCROLL_COMBO),
        "period": dialog.text(PERIOD_EDIT),
        "lower_case": dialog.state(LOWER_CASE_CHECK)["checked"],
        "no_focus": dialog.state(NO_FOCUS_CHECK)["checked"],
    }


STORED_KEYS = ("pl_time", "scrol_pitch", "hexasc_komoji", "auto_foucs_OFF")


@scenario("appearance")
def environment_settings(ctx):
    # A first run: no settings file, nothing asked at the start.
    assert not ctx.file("Lanvisor.ini").exists()
    app = ctx.launch()
    app.expect_no_boxes("at the start")
    dialog = app.open_dialog(ENVIRONMENT_COMMAND, ENVIRONMENT_TITLE)
    assert dialog.items(SCROLL_COMBO) == [str(n) for n in range(1, 22)]
    assert shown_values(dialog) == {"scroll": "2", "period": "300", "lower_case": 0, "no_focus": 0}
    # Below the shortest refresh period: the shortest is kept.
    dialog.settext(PERIOD_EDIT, "50")
    dialog.dismiss(ENVIRONMENT_OK)
    app.end()
    assert ctx.stored(*STORED_KEYS) == dict(zip(STORED_KEYS, ("100", "2", "0", "0"))), ctx.stored(*STORED_KEYS)

    # The next run shows what was stored; above the longest period the
    # longest is kept; any scroll width can be typed.
    app = ctx.launch()
    dialog = app.open_dialog(ENVIRONMENT_COMMAND, ENVIRONMENT_TITLE)
    assert shown_values(dialog)["period"] == "100"
    dialog.settext(PERIOD_EDIT, "5000")
    dialog.settext(SCROLL_COMBO, "7")
    dialog.click(LOWER_CASE_CHECK)
    dialog.dismiss(ENVIRONMENT_OK)
    # The close box leaves everything as it was.
    dialog = app.open_dialog(ENVIRONMENT_COMMAND, ENVIRONMENT_TITLE)
    assert shown_values(dialog) == {"scroll": "7", "period": "1000", "lower_case": 1, "no_focus": 0}
    dialog.settext(PERIOD_EDIT, "700")
    dialog.settext(SCROLL_COMBO, "9")
    dialog.click(NO_FOCUS_CHECK)
    dialog.close()
    app.end()
    assert ctx.stored(*STORED_KEYS) == dict(zip(STORED_KEYS, ("1000", "7", "1", "0"))), ctx.stored(*STORED_KEYS)


def client_color(ctx, window, color, other, label):
    """Waits until the middle of the window has this color as its background
    (the most common color, well spread) and next to nothing of the other
    set's background. The edges are left out, where title, menu, tool and
    status bars go; the trace grid draws over part of the rest."""
    outer = window.rect()
    middle = Rect(outer.left + outer.width // 4, outer.top + outer.height // 3,
                  outer.right - outer.width // 4, outer.bottom - outer.height // 4)

    def problem(shot):
        colors = shot.colors(middle)
        total = sum(colors.values())
        common = colors.most_common(3)
        if not total or common[0][0] != color or colors[color] < total // 5 or colors[other] > total // 20:
            return f"background not {color} in {middle}: most common colors {common}, {other} {colors[other]}"
        return None

    ctx.wait_for_screen(label, problem)


@scenario("appearance", timeout=240)
def dark_mode_restart(ctx):
    app = ctx.launch()
    client_color(ctx, app.main, WHITE, BLACK, "light")
    # A setting changed in this run must reach the restarted program.
    language = app.open_dialog(LANGUAGE_COMMAND, "setup of language")
    language.combo_select(1201, "English")
    language.dismiss(1041)

    # The close button writes nothing and restarts nothing.
    dialog = app.open_dialog(DARK_MODE_COMMAND, DARK_MODE_TITLE, "e")
    assert (dialog.state(DARK_CHECK)["checked"], dialog.state(NO_MENU_BAR_CHECK)["checked"]) == (0, 0)
    dialog.click(DARK_CHECK)
    dialog.dismiss(DARK_MODE_CLOSE)
    assert app.boxes() == [] and not ctx.file("dkm.ini").exists(), f"after close: {app.boxes()}"

    dialog = app.open_dialog(DARK_MODE_COMMAND, DARK_MODE_TITLE, "e")
    assert dialog.state(DARK_CHECK)["checked"] == 0
    dialog.click(DARK_CHECK)
    dialog.click(WRITE_AND_CLOSE)
    app.expect_box("ReStart", "YES=Reboot as administrator NO=Normal reboot", answer=IDNO)

    # The program ends, having saved its settings; the restart tool then
    # starts it again from the same folder.
    code = app.wait_exit(START_TIMEOUT)
    assert code == 0, f"Lanvisor.exe ended with exit code {code} for the restart"
    assert ctx.file("dkm.ini").read_bytes() == b"\xff\xfe" + "dkm=1\r\n".encode("utf-16-le")
    assert ctx.settings()["moji_type"] == "1"

    # The restarted program's window has the same title and class.
    app.main.wait(START_TIMEOUT)
    running = ctx.session.processes("Lanvisor.exe")
    assert len(running) == 1, f"Lanvisor.exe processes after the restart: {running}"
    client_color(ctx, app.main, BLACK, WHITE, "dark")
    # It started with the settings of the first run: English.
    app.expect_clear_question("e")
    app.command(END_PROGRAM)
    app.main.wait_gone()
    wait_until(lambda: not ctx.session.processes("Lanvisor.exe"), what="the restarted Lanvisor.exe did not end")
