"""Connections against the device simulator on 127.0.0.1: a refused connect,
the end of the program while connected, and a flood (a UDP flood is one of
the unit tests). The plain open and close of each mode goes through the view
scenarios, which also look at the bars, and the close of a TCP server with a
client through the sending ones."""
import threading
import time

from device_sim import TcpServer
from lanvisor_e2e import END_PROGRAM, OPEN, STATUS_BAR_ID, SUCCESS, client_settings, free_port, scenario


@scenario("connection")
def tcp_client_refused(ctx):
    app = ctx.launch(files={"Lanvisor.ini": client_settings(free_port())})
    # A refused connect leaves no connection behind, so the open can be tried again.
    for attempt in (1, 2):
        app.command(OPEN)
        app.expect_startup_box()
        app.expect_box("connect_Error", "No.10061 :接続が拒否されました。")
        app.expect_no_boxes(f"after refused attempt {attempt}")
    app.end()


@scenario("connection")
def end_while_connected(ctx):
    # Ending the program closes an open connection on the way out.
    device = ctx.device(TcpServer())
    app = ctx.launch_client(device)
    app.command(END_PROGRAM)
    app.expect_box("LAN disconnect", SUCCESS)
    device.wait_disconnects(1)
    app.wait_ended()
    assert ctx.settings()["port_no"] == str(device.port)


def answers_during(app, sending, limit):
    """Reads the status bar while sending() is true: the window answers all
    along (the driver gives up on a window that does not answer within 5 s)."""
    deadline = time.monotonic() + limit
    while sending():
        app.main.text(STATUS_BAR_ID)
        assert time.monotonic() < deadline, f"still sending after {limit} s"


@scenario("connection")
def peer_floods_then_resets(ctx):
    # A device that sends many times what the trace holds, as fast as the
    # program reads, and then aborts the connection.
    device = ctx.device(TcpServer())
    app = ctx.launch_client(device)
    flood = bytes(range(256)) * 4096 * 2  # 2 MiB: sixteen times what the trace holds
    sender = threading.Thread(target=device.send, args=(flood,), daemon=True)
    sender.start()
    answers_during(app, sender.is_alive, 120)
    device.wait_read_by_peer(timeout=60)
    app.expect_no_boxes("after the flood")
    # A reset is not reported; the program stays usable and closes as usual.
    device.disconnect(reset=True)
    app.main.text(STATUS_BAR_ID)
    app.expect_no_boxes("after the reset")
    app.close_connection()
    app.end()
