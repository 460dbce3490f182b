"""Manual sending: the input-send, preset send and preset edit dialogs, with
the device simulator on 127.0.0.1 as the peer."""
from device_sim import TcpClient, UdpServer, tcp_listener
from lanvisor_e2e import CLOSE as CLOSE_CONNECTION
from lanvisor_e2e import IDNO, IDOK, IDYES, OPEN, SUCCESS, free_port, scenario, server_settings, settle, utf16

CLOSE_QUESTION_CAPTION, CLOSE_QUESTION = 21, 22

INPUT_SEND, PRESET_SEND, PRESET_EDIT = 221, 222, 226
INPUT_SEND_TITLE, PRESET_SEND_TITLE, PRESET_EDIT_TITLE = 60, 70, 183
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


def type_keys(dialog, control_id, text):
    """Characters into a typing box, then the key release that takes them."""
    dialog.type(control_id, text)
    dialog.keyup(control_id, VK_RETURN)


def send_presets(app, device, rows):
    """Sends preset rows (0 is the first) one after the other; returns what
    the device has received by then."""
    dialog = app.open_dialog(PRESET_SEND, PRESET_SEND_TITLE)
    for row in rows:
        count = len(device.received)
        dialog.click(PS_ROW_SEND + row)
        device.wait_bytes(count + 1)
    app.expect_no_boxes("after sending presets", dialogs=[dialog.title])
    dialog.dismiss(PS_CLOSE)
    return device.received


@scenario("sending")
def input_send_history_saved(ctx):
    device = ctx.device(UdpServer())
    app = ctx.launch_client(device, udp=True)
    dialog = app.open_dialog(INPUT_SEND, INPUT_SEND_TITLE)
    type_keys(dialog, TYPING, "Hi")
    dialog.click(SEND)
    device.wait_bytes(2)
    dialog.click(HEX)
    app.expect_box(ctx.language_text(83, "j"), ctx.language_text(82, "j"))
    type_keys(dialog, TYPING, "00ff")
    dialog.click(SEND)
    # The line stays after a send: the second send is H i 00 FF.
    assert device.wait_bytes(6) == b"HiHi\x00\xff", device.received
    # Saving makes a new file: newest first, two hex digits per code, CR LF after each line.
    assert not ctx.file("history.txt").exists()
    dialog.click(IS_SAVE)
    app.choose_file(SAVE_TITLE, "history")
    assert ctx.wait_file("history.txt") == utf16("486900FF\r\n4869\r\n"), ctx.file("history.txt").read_bytes()
    # Deleting row 01 asks first; then the older line moves up into row 01.
    dialog.click(IS_DELETE)
    app.expect_box("Lanvisor", ctx.language_text(36, "j"), answer=IDYES)
    dialog.click(IS_HISTORY)
    assert device.wait_bytes(8) == b"HiHi\x00\xffHi", device.received
    app.expect_no_boxes("after the sends", dialogs=[dialog.title])
    # Folding keeps the input row only; unfolding restores the size at opening.
    full = dialog.rect()
    dialog.click(FOLD)
    settle(lambda: (dialog.rect().width, dialog.rect().height), (full.width, 150), "the folded dialog's size")
    dialog.click(FOLD)
    settle(dialog.rect, full, "the unfolded dialog's place")
    dialog.dismiss(CLOSE)
    app.close_connection()
    app.end()


@scenario("sending")
def preset_edit_assembles_and_saves(ctx):
    device = ctx.device(UdpServer())
    app = ctx.launch_client(device, udp=True)
    # Without a preset file the send dialog says so, and makes an empty one.
    app.command(PRESET_SEND)
    app.expect_box("FileError", ctx.language_text(23, "j"))
    app.wait_window(ctx.language_text(PRESET_SEND_TITLE, "j")).dismiss(PS_CLOSE)
    assert ctx.file("mdata.txt").read_bytes() == b"", "mdata.txt is created empty"

    dialog = app.open_dialog(PRESET_EDIT, PRESET_EDIT_TITLE)
    type_keys(dialog, PE_TYPING, "AB")
    dialog.click(PE_ASSEMBLE)
    dialog.click(PE_CLEAR)
    type_keys(dialog, PE_TYPING, "CDE")
    dialog.click(PE_ASSEMBLE)
    # Selecting row 2 marks its number; moving it up ends the selection.
    dialog.click(PE_ROW_NUMBER + 1)
    settle(lambda: dialog.text(PE_ROW_NUMBER + 1), "<02>", "row 2's number once selected")
    dialog.click(PE_MOVE_UP)
    settle(lambda: dialog.text(PE_ROW_NUMBER + 1), "02", "row 2's number after the move")
    ctx.screenshot("preset edit with two lines")
    dialog.click(PE_SAVE)
    app.choose_file(SAVE_TITLE, "mdata")
    assert ctx.wait_file("mdata.txt") == utf16("4142\r\n434445\r\n")
    # Reading back goes through the file dialog of the trace commands, which
    # offers no read-only box (it would have no effect).
    dialog.click(PE_READ)
    chooser = app.wait_window(ctx.language_text(OPEN_TITLE, "j"))
    assert chooser.state(READ_ONLY_BOX)["visible"] == 0, "the line file is chosen in a dialog of its own"
    app.choose_file(OPEN_TITLE, "mdata.txt")
    dialog.dismiss(PE_CLOSE)
    # The preset send dialog offers what was saved; both presets go into the
    # history, the last one sent on top.
    assert send_presets(app, device, [1, 0]) == b"CDEAB", device.received
    history = app.open_dialog(INPUT_SEND, INPUT_SEND_TITLE)
    ctx.screenshot("history after presets")
    history.click(IS_HISTORY + 1)
    assert device.wait_bytes(8) == b"CDEABCDE", device.received
    history.dismiss(CLOSE)
    app.close_connection()
    app.end()


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
    first, second = ctx.device(TcpClient(port)), ctx.device(TcpClient(port))
    for device in (first, second):
        device.send(b"1")
        device.wait_read_by_peer()
    dialog = app.open_dialog(INPUT_SEND, INPUT_SEND_TITLE)
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
    assert second.wait_bytes(2) == b"xy" and first.received == b"xy", (first.received, second.received)
    # When one client leaves, the other one can still be sent to.
    first.disconnect()

    def listed():
        dialog.click(IS_REFRESH)
        return dialog.items(IS_CLIENTS)
    settle(listed, [entries[1]], "clients listed once the first has left")
    dialog.settext(IS_CLIENTS, entries[1])
    dialog.click(SEND)
    assert second.wait_bytes(4) == b"xyxy", second.received
    app.expect_no_boxes("after the sends", dialogs=[dialog.title])
    dialog.dismiss(CLOSE)

    # Closing a server with a client asks first; declined, the client stays
    # connected and is still read.
    question = (ctx.language_text(CLOSE_QUESTION_CAPTION, "j"), ctx.language_text(CLOSE_QUESTION, "j"))
    app.command(CLOSE_CONNECTION)
    app.expect_box(*question, answer=IDNO)
    app.expect_no_boxes("after declining the close")
    second.send(b"MORE\r\n")
    second.wait_read_by_peer()
    assert second.disconnects == 0
    app.command(CLOSE_CONNECTION)
    app.expect_box(*question, answer=IDYES)
    app.expect_box("LAN disconnect", SUCCESS)
    second.wait_disconnects(1)
    assert tcp_listener("127.0.0.1", port) is None, f"still listening on 127.0.0.1:{port} after the close"
    app.expect_no_boxes("after the close")
    app.end()
