"""Connections against the device simulator on 127.0.0.1: a refused connect,
the end of the program while connected, and floods. The plain open and close
of each mode goes through the view scenarios, which also look at the bars,
and the close of a TCP server with a client through the sending ones."""
import threading
import time

from device_sim import TcpServer, UdpClient
from lanvisor_e2e import (END_PROGRAM, OPEN, STATUS_BAR_ID, SUCCESS, client_settings, free_port, scenario,
                          server_settings)


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


def launch_connected(ctx, device):
    app = ctx.launch(files={"Lanvisor.ini": client_settings(device.port)})
    app.open_connection(client=True, device=device)
    return app


@scenario("connection")
def end_while_connected(ctx):
    # Ending the program closes an open connection on the way out.
    device = ctx.device(TcpServer())
    app = launch_connected(ctx, device)
    app.command(END_PROGRAM)
    app.expect_box("LAN disconnect", SUCCESS)
    device.wait_disconnects(1)
    app.main.wait_gone()
    code = app.wait_exit()
    assert code == 0, f"Lanvisor.exe ended with exit code {code}"
    assert ctx.settings()["port_no"] == str(device.port)


@scenario("connection")
def peer_floods_then_resets(ctx):
    # A device that sends many times what the trace holds, as fast as the
    # program reads, and then aborts the connection.
    device = ctx.device(TcpServer())
    app = launch_connected(ctx, device)
    flood = bytes(range(256)) * 4096 * 2  # 2 MiB: sixteen times what the trace holds
    failures = []

    def send_flood():
        try:
            device.send(flood)
        except OSError as error:
            failures.append(error)
    sender = threading.Thread(target=send_flood, daemon=True)
    sender.start()
    # The window answers all along, while the program reads (the driver
    # gives up on a window that does not answer within 5 s).
    deadline = time.monotonic() + 120
    while True:
        app.main.text(STATUS_BAR_ID)
        if not sender.is_alive():
            try:
                device.wait_read_by_peer(timeout=0.5)
                break
            except TimeoutError:
                pass
        assert time.monotonic() < deadline, "the program did not read 2 MiB within 120 s"
    assert not failures, failures
    app.expect_no_boxes("after the flood")
    ctx.screenshot("after-flood")

    # A reset is not reported; the program stays usable and closes as usual.
    device.reset()
    app.main.text(STATUS_BAR_ID)
    app.expect_no_boxes("after the reset")
    app.close_connection()
    app.end()


@scenario("connection")
def udp_server_under_a_datagram_flood(ctx):
    # Datagrams as fast as the device can send them: the program takes what
    # it can, the window answers all along, and the close is as usual.
    port = free_port()
    app = ctx.launch(files={"Lanvisor.ini": server_settings(port, udp=True)})
    app.open_connection(client=False)
    device = ctx.device(UdpClient(port))
    stop = threading.Event()

    def flood():
        datagram = bytes(range(200))
        while not stop.is_set():
            try:
                device.send(datagram)
            except OSError:  # the program's buffer is full: try again
                pass
    sender = threading.Thread(target=flood, daemon=True)
    sender.start()
    try:
        started = time.monotonic()
        while time.monotonic() - started < 15:
            app.main.text(STATUS_BAR_ID)
    finally:
        stop.set()
        sender.join(5)
    ctx.screenshot("after-flood")
    app.expect_no_boxes("after the flood")
    app.close_connection()
    app.end()
