"""Manual sending: the input-send, preset send and preset edit dialogs, with
the device simulator on 127.0.0.1 as the peer."""
from device_sim import TcpClient, UdpServer, tcp_listener
from lanvisor_e2e import CLOSE as CLOSE_CONNECTION
from lanvisor_e2e import (IDNO, IDOK, IDYES, OPEN, SUCCESS, client_settings, free_port, scenario, server_settings,
                          utf16, wait_until)

CLOSE_QUESTION_CAPTION, CLOSE_QUESTION = 21, 22

INPUT_SEND, PRESET_SEND, PRESET_EDIT = 221, 222, 226
VK_RETURN = 0x0D
SAVE_TITLE, OPEN_TITLE = 10, 11

# Input-send dialog controls.
TYPING, SEND, CLOSE, HEX, FOLD = 501, 1041, 1042, 1062, 1057
IS_REFRESH, IS_DELETE, IS_SAVE, IS_HISTORY, IS_CLIENTS = 1056, 1046, 1261, 1250, 1202

# Preset send dialog controls.
PS_ROW_SEND, PS_CLOSE = 1041, 1051

# Preset edit dialog controls.
PE_TYPING, PE_CLOSE, PE_ASSEMBLE, PE_CLEAR, PE_SAVE = 502, 1041, 1042, 1046, 1261
PE_ROW_NUMBER, PE_MOVE_UP, PE_READ = 1048, 1257, 1259

# The read-only check box of the common file dialog.
READ_ONLY_BOX = 1040


def close_question(ctx, app, answer):
    app.expect_box(ctx.language_text(CLOSE_QUESTION_CAPTION, "j"), ctx.language_text(CLOSE_QUESTION, "j"),
                   answer=answer)


def open_udp_client(ctx, device, files=None):
    """Starts the program as UDP client of the device and opens it."""
    app = ctx.launch(files={"Lanvisor.ini": client_settings(device.port, udp=True), **(files or {})})
    app.open_connection(client=True)
    return app


def close_and_end(app):
    app.close_connection()
    app.end()


def type_keys(dialog, control_id, text):
    """Characters into a typing box, then the key release that takes them."""
    dialog.type(control_id, text)
    dialog.keyup(control_id, VK_RETURN)


def open_input_send(ctx, app):
    title = ctx.language_text(60, "j")
    app.command(INPUT_SEND)
    return app.wait_window(title)


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
    app.expect_no_boxes("after sending presets", dialogs=[title])
    dialog.click(PS_CLOSE)
    dialog.wait_gone()
    # Both presets went into the history, the last one sent on top.
    history = open_input_send(ctx, app)
    ctx.screenshot("history after presets")
    history.click(IS_HISTORY + 1)
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
    app.expect_box("FileError", ctx.language_text(23, "j"))
    dialog = app.wait_window(ctx.language_text(70, "j"))
    assert ctx.file("mdata.txt").read_bytes() == b"", "mdata.txt is created empty"
    dialog.click(PS_CLOSE)
    dialog.wait_gone()
    close_and_end(app)


@scenario("sending")
def input_send_history_saved(ctx):
    device = ctx.device(UdpServer())
    app = open_udp_client(ctx, device)
    dialog = open_input_send(ctx, app)
    type_keys(dialog, TYPING, "Hi")
    dialog.click(SEND)
    device.wait_bytes(2)
    dialog.click(HEX)
    app.expect_box(ctx.language_text(83, "j"), ctx.language_text(82, "j"))
    type_keys(dialog, TYPING, "00ff")
    dialog.click(SEND)
    # The line stays after a send: the second send is H i 00 FF.
    device.wait_bytes(6)
    assert device.received == b"HiHi\x00\xff", device.received
    # Saving makes a new file.
    assert not ctx.file("history.txt").exists()
    dialog.click(IS_SAVE)
    app.choose_file(SAVE_TITLE, "history")
    # Newest first, two hex digits per code, CR LF after each line.
    expected = utf16("486900FF\r\n4869\r\n")
    saved = wait_for_file(ctx, "history.txt")
    assert saved == expected, saved
    # Deleting row 01 asks first; then the older line moves up into row 01.
    dialog.click(IS_DELETE)
    app.expect_box("Lanvisor", ctx.language_text(36, "j"), answer=IDYES)
    dialog.click(IS_HISTORY)
    device.wait_bytes(8)
    assert device.received == b"HiHi\x00\xffHi", device.received
    app.expect_no_boxes("after the sends", dialogs=[dialog.title])
    # Folding keeps the input row only; unfolding restores the size at opening.
    full = dialog.rect()
    dialog.click(FOLD)
    wait_until(lambda: dialog.rect().height == 150, what="the dialog folded to 150 pixels")
    assert dialog.rect().width == full.width
    dialog.click(FOLD)
    wait_until(lambda: dialog.rect() == full, what="the dialog unfolded")
    dialog.click(CLOSE)
    dialog.wait_gone()
    close_and_end(app)


def wait_for_file(ctx, name):
    path = ctx.file(name)
    return wait_until(lambda: path.exists() and path.read_bytes(), what=f"{name} written")


@scenario("sending")
def preset_edit_assembles_and_saves(ctx):
    device = ctx.device(UdpServer())
    app = open_udp_client(ctx, device)
    title = ctx.language_text(183, "j")
    app.command(PRESET_EDIT)
    dialog = app.wait_window(title)
    type_keys(dialog, PE_TYPING, "AB")
    dialog.click(PE_ASSEMBLE)
    dialog.click(PE_CLEAR)
    type_keys(dialog, PE_TYPING, "CDE")
    dialog.click(PE_ASSEMBLE)
    # Selecting row 2 marks its number; moving it up ends the selection.
    dialog.click(PE_ROW_NUMBER + 1)
    wait_text(dialog, PE_ROW_NUMBER + 1, "<02>")
    dialog.click(PE_MOVE_UP)
    wait_text(dialog, PE_ROW_NUMBER + 1, "02")
    ctx.screenshot("preset edit with two lines")
    dialog.click(PE_SAVE)
    app.choose_file(SAVE_TITLE, "mdata")
    assert wait_for_file(ctx, "mdata.txt") == utf16("4142\r\n434445\r\n")
    # Reading back goes through the file dialog of the trace commands, which
    # offers no read-only box (it would have no effect).
    dialog.click(PE_READ)
    chooser = app.wait_window(ctx.language_text(OPEN_TITLE, "j"))
    assert chooser.state(READ_ONLY_BOX)["visible"] == 0, "the line file is chosen in a dialog of its own"
    app.choose_file(OPEN_TITLE, "mdata.txt")
    dialog.click(PE_CLOSE)
    dialog.wait_gone()
    # The preset send dialog offers what was saved.
    app.command(PRESET_SEND)
    presets = app.wait_window(ctx.language_text(70, "j"))
    presets.click(PS_ROW_SEND + 1)
    device.wait_bytes(3)
    presets.click(PS_ROW_SEND)
    device.wait_bytes(5)
    assert device.received == b"CDEAB", device.received
    presets.click(PS_CLOSE)
    presets.wait_gone()
    close_and_end(app)


def wait_text(dialog, control_id, text):
    wait_until(lambda: dialog.text(control_id) == text, what=f"control {control_id} reads {text!r}")


@scenario("sending")
def tcp_server_sends_to_chosen_client(ctx):
    port = free_port()
    app = ctx.launch(files={"Lanvisor.ini": server_settings(port)})
    app.command(OPEN)
    app.expect_startup_box()
    shown = app.msgbox_text("LAN connection")
    assert shown == "Success of thread!", f"LAN connection: {shown!r}"
    # By then it listens, on the one local address it was given.
    assert tcp_listener("127.0.0.1", port), f"nothing listens on 127.0.0.1:{port}"
    app.answer("LAN connection", IDOK)
    app.expect_no_boxes("after the open")
    # Once the program has read a client's bytes it has accepted the client.
    first = ctx.device(TcpClient(port))
    first.send(b"1")
    first.wait_read_by_peer()
    second = ctx.device(TcpClient(port))
    second.send(b"2")
    second.wait_read_by_peer()
    dialog = open_input_send(ctx, app)
    # One entry per client slot; the first one shows.
    entries = dialog.items(IS_CLIENTS)
    assert len(entries) == 2 and all("-IP:127,0,0,1]" in entry for entry in entries), entries
    assert dialog.text(IS_CLIENTS) == entries[0], dialog.text(IS_CLIENTS)
    type_keys(dialog, TYPING, "xy")
    dialog.click(SEND)
    first.wait_bytes(2)
    # The first character of the box's text chooses the slot.
    dialog.settext(IS_CLIENTS, entries[1])
    dialog.click(SEND)
    second.wait_bytes(2)
    assert first.received == b"xy" and second.received == b"xy", (first.received, second.received)
    # When one client leaves, the other one can still be sent to.
    first.disconnect()

    def listed():
        dialog.click(IS_REFRESH)
        return dialog.items(IS_CLIENTS)
    wait_until(lambda: listed() == [entries[1]], what="only the second client listed")
    dialog.settext(IS_CLIENTS, entries[1])
    dialog.click(SEND)
    second.wait_bytes(4)
    assert second.received == b"xyxy", second.received
    app.expect_no_boxes("after the sends", dialogs=[dialog.title])
    dialog.click(CLOSE)
    dialog.wait_gone()

    # Closing a server with a client asks first; declined, the client stays
    # connected and is still read.
    app.command(CLOSE_CONNECTION)
    close_question(ctx, app, IDNO)
    app.expect_no_boxes("after declining the close")
    second.send(b"MORE\r\n")
    second.wait_read_by_peer()
    assert second.disconnects == 0
    app.command(CLOSE_CONNECTION)
    close_question(ctx, app, IDYES)
    app.expect_box("LAN disconnect", SUCCESS)
    second.wait_disconnects(1)
    assert tcp_listener("127.0.0.1", port) is None, f"still listening on 127.0.0.1:{port} after the close"
    app.expect_no_boxes("after the close")
    app.end()
