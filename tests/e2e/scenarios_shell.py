"""Start and end of the program."""
from lanvisor_e2e import scenario

# Lanvisor.ini after a first run with no settings file: every key, in order.
DEFAULT_SETTINGS = [
    ("wsa_ver", "3"), ("ip_mode", "0"), ("tipudp_mode", "0"), ("bind_mode", "0"), ("port_no", "1050"),
    ("ip_no1", "192"), ("ip_no2", "168"), ("ip_no3", "0"), ("ip_no4", "1"), ("aport_no", "1050"),
    ("aip_no1", "192"), ("aip_no2", "168"), ("aip_no3", "0"), ("aip_no4", "99"), ("scrol_pitch", "2"),
    ("hexasc_komoji", "0"), ("auto_foucs_OFF", "0"), ("pl_time", "300"), ("moji_type", "0"),
    ("macro_filename", ""), ("mypcname", ""), ("dlg4_short", "0"), ("dlg5_short", "0"), ("pw_mode", "0"),
    ("capture_on", "0"), ("capture_folder", ""),
]


@scenario("shell")
def start(ctx):
    app = ctx.launch()
    rect = app.main.rect()

    def problem(shot):
        screen_width, screen_height = shot.size
        if rect.width < 320 or rect.height < 200:
            return f"main window too small: {rect}"
        if rect.left < 0 or rect.right > screen_width or rect.top < 0 or rect.bottom > screen_height:
            return f"main window {rect} not on the {screen_width}x{screen_height} screen"
        # A frame and title bar around the trace area, which is mostly the
        # white background of the light color set.
        colors = shot.colors(rect)
        if len(colors) < 2 or colors.most_common(1)[0][0] != (255, 255, 255):
            return f"main window area not drawn as expected, most common colors {colors.most_common(3)}"
        return None

    ctx.wait_for_screen("main-window", problem)
    boxes = [title for cls, title in app.windows() if cls == "#32770"]
    assert not boxes, f"dialogs or message boxes at start: {boxes}"


@scenario("shell")
def end(ctx):
    assert not ctx.file("Lanvisor.ini").exists()
    app = ctx.launch()
    app.end()
    assert list(ctx.settings().items()) == DEFAULT_SETTINGS, \
        f"Lanvisor.ini after a first run:\n{list(ctx.settings().items())}"
