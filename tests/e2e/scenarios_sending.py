"""Manual sending: the input-send, preset send and preset edit dialogs, with
the device simulator on 127.0.0.1 as the peer."""
from device_sim import UdpServer
from lanvisor_e2e import IDOK, scenario, settings_file, utf16
from scenarios_connection import LOOPBACK, expect_box, expect_no_boxes, expect_startup_box

OPEN, CLOSE_CONNECTION = 232, 233
INPUT_SEND, PRESET_SEND, PRESET_EDIT = 221, 222, 226
VK_RETURN = 0x0D

# Input-send dialog controls.
TYPING, SEND, CLOSE, ASC, HEX = 501, 1041, 1042, 1061, 1062

# Preset send dialog controls.
PS_ROW_SEND, PS_CLOSE, PS_RELOAD = 1041, 1051, 1054


def open_udp_client(ctx, device, files=None):
    """Starts the program as UDP client of the device and opens it."""
    all_files = {"Lanvisor.ini": settings_file(tipudp_mode=1, ip_mode=0, port_no=device.port, **LOOPBACK)}
    all_files.update(files or {})
    app = ctx.launch(files=all_files)
    app.command(OPEN)
    expect_startup_box(app)
    expect_box(app, "LAN connection")
    expect_box(app, "LAN connection")
    expect_no_boxes(app, "after the open")
    return app


def close_and_end(app):
    app.command(CLOSE_CONNECTION)
    expect_box(app, "LAN disconnect", "Success\uFF01")
    app.end()


def expect_only_dialogs(app, titles, when):
    """No message box is open: every "#32770" window is one of the dialogs."""
    assert app.process.poll() is None, f"Lanvisor.exe ended {when}"
    boxes = [box for box in app.boxes() if box not in titles]
    assert boxes == [], f"boxes left {when}: {boxes}"


def type_keys(dialog, control_id, text):
    """Characters into a typing box, then the key release that takes them."""
    dialog.type(control_id, text)
    dialog.keyup(control_id, VK_RETURN)


def open_input_send(ctx, app):
    title = ctx.language_text(60, "j")
    app.command(INPUT_SEND)
    return app.wait_window(title)


@scenario("sending")
def input_send_asc_then_hex(ctx):
    device = ctx.device(UdpServer())
    app = open_udp_client(ctx, device)
    dialog = open_input_send(ctx, app)
    type_keys(dialog, TYPING, "ABC")
    dialog.click(HEX)
    expect_box(app, ctx.language_text(83, "j"), ctx.language_text(82, "j"))
    type_keys(dialog, TYPING, "0D")
    type_keys(dialog, TYPING, "0A")
    dialog.click(SEND)
    device.wait_bytes(5)
    assert device.received == b"ABC\r\n", device.received
    ctx.screenshot("input-send after send")
    expect_only_dialogs(app, [dialog.title], "after the send")
    dialog.click(CLOSE)
    dialog.wait_gone()
    close_and_end(app)


@scenario("sending")
def preset_send_from_hand_written_file(ctx):
    device = ctx.device(UdpServer())
    presets = utf16('"HELLO"0D0A\r\n0102\'x\'\r\n')
    app = open_udp_client(ctx, device, files={"mdata.txt": presets})
    title = ctx.language_text(70, "j")
    app.command(PRESET_SEND)
    dialog = app.wait_window(title)
    ctx.screenshot("preset send with two presets")
    dialog.click(PS_ROW_SEND + 1)
    device.wait_bytes(3)
    dialog.click(PS_ROW_SEND)
    device.wait_bytes(10)
    assert device.received == b"\x01\x02xHELLO\r\n", device.received
    expect_only_dialogs(app, [title], "after sending presets")
    dialog.click(PS_CLOSE)
    dialog.wait_gone()
    # Both presets went into the history, the last one sent on top.
    history = open_input_send(ctx, app)
    ctx.screenshot("history after presets")
    history.click(1250 + 1)
    device.wait_bytes(13)
    assert device.received.endswith(b"\x01\x02x"), device.received
    history.click(CLOSE)
    history.wait_gone()
    close_and_end(app)


@scenario("sending")
def preset_send_without_preset_file(ctx):
    device = ctx.device(UdpServer())
    app = open_udp_client(ctx, device)
    app.command(PRESET_SEND)
    expect_box(app, "FileError", ctx.language_text(23, "j"))
    dialog = app.wait_window(ctx.language_text(70, "j"))
    assert ctx.file("mdata.txt").read_bytes() == b"", "mdata.txt is created empty"
    dialog.click(PS_CLOSE)
    dialog.wait_gone()
    close_and_end(app)
