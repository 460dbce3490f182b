"""End of the program."""
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
def end(ctx):
    assert not ctx.file("Lanvisor.ini").exists()
    app = ctx.launch()
    boxes = app.boxes()
    assert not boxes, f"dialogs or message boxes at start: {boxes}"
    app.end()
    assert list(ctx.settings().items()) == DEFAULT_SETTINGS, \
        f"Lanvisor.ini after a first run:\n{list(ctx.settings().items())}"
