"""Opening and closing connections against the device simulator on 127.0.0.1."""
import re
import socket
import threading
import time

from device_sim import TcpClient, TcpServer, UdpClient, tcp_listener
from lanvisor_e2e import END_PROGRAM, IDNO, IDOK, IDYES, STATUS_BAR_ID, scenario, settings_file

OPEN, CLOSE = 232, 233
LOOPBACK = dict(ip_no1=127, ip_no2=0, ip_no3=0, ip_no4=1)
LOOPBACK_LOCAL = dict(aip_no1=127, aip_no2=0, aip_no3=0, aip_no4=1)
CLOSE_QUESTION_CAPTION, CLOSE_QUESTION = 21, 22


def free_port():
    """A port on 127.0.0.1 where nothing listens (bound once, then let go)."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def expect_box(app, caption, text=None, pattern=None, answer=IDOK):
    """Checks the text of the next message box with this caption (exactly, or
    as a whole against a pattern), answers it and returns the text."""
    shown = app.msgbox_text(caption)
    if text is not None:
        assert shown == text, f"{caption}: {shown!r}, expected {text!r}"
    if pattern is not None:
        assert re.fullmatch(pattern, shown, re.S), f"{caption}: {shown!r} does not match {pattern!r}"
    app.answer(caption, answer)
    return shown


def expect_startup_box(app):
    # The default Winsock request is 2.0; the library offers up to 2.2.
    lines = expect_box(app, "WSAStartup").split("\r\n")
    assert len(lines) == 3 and lines[0] == "Using:2.0/Max:2.2" and lines[1], f"WSAStartup box lines {lines}"


def expect_no_boxes(app, when):
    assert app.process.poll() is None, f"Lanvisor.exe ended {when}"
    assert app.boxes() == [], f"boxes left {when}: {app.boxes()}"


def open_tcp_client(ctx, device):
    """Starts the program as TCP client of the device and opens: every box in order."""
    app = ctx.launch(files={"Lanvisor.ini": settings_file(tipudp_mode=0, ip_mode=0, port_no=device.port,
                                                          **LOOPBACK)})
    app.command(OPEN)
    expect_startup_box(app)
    # The connect is made before the success box shows.
    device.wait_connections(1)
    expect_box(app, "LAN connection", pattern="Success\uFF01 No\\.[0-9]+")
    expect_box(app, "LAN connection", "Success of thread!")
    expect_no_boxes(app, "after the open")
    return app


@scenario("connection")
def tcp_client(ctx):
    device = ctx.device(TcpServer())
    app = open_tcp_client(ctx, device)
    # The receive thread takes what the device sends, without a word.
    device.send(b"HELLO\r\n")
    device.wait_read_by_peer()
    device.send(b"\x00\x01\xfe\xff" * 300)
    device.wait_read_by_peer()
    expect_no_boxes(app, "after receiving")
    assert device.disconnects == 0

    app.command(CLOSE)
    expect_box(app, "LAN disconnect", "Success\uFF01")
    device.wait_disconnects(1)
    expect_no_boxes(app, "after the close")
    app.end()


@scenario("connection")
def tcp_client_refused(ctx):
    port = free_port()
    app = ctx.launch(files={"Lanvisor.ini": settings_file(tipudp_mode=0, ip_mode=0, port_no=port, **LOOPBACK)})
    # A refused connect leaves no connection behind, so the open can be tried again.
    for attempt in (1, 2):
        app.command(OPEN)
        expect_startup_box(app)
        expect_box(app, "connect_Error", "No.10061 :接続が拒否されました。")
        expect_no_boxes(app, f"after refused attempt {attempt}")
    app.end()


@scenario("connection")
def tcp_server(ctx):
    port = free_port()
    app = ctx.launch(files={"Lanvisor.ini": settings_file(tipudp_mode=0, ip_mode=1, bind_mode=1, aport_no=port,
                                                          **LOOPBACK_LOCAL)})
    app.command(OPEN)
    expect_startup_box(app)
    shown = app.msgbox_text("LAN connection")
    assert shown == "Success of thread!", f"LAN connection: {shown!r}"
    # By then it listens, on the one local address it was given.
    assert tcp_listener("127.0.0.1", port), f"nothing listens on 127.0.0.1:{port}"
    app.answer("LAN connection", IDOK)
    expect_no_boxes(app, "after the open")

    # A client connects and sends; once the program has read the bytes it
    # has accepted the client, and closing asks first.
    device = ctx.device(TcpClient(port))
    device.send(b"HELLO\r\n")
    device.wait_read_by_peer()
    question = ctx.language_text(CLOSE_QUESTION, "j")
    caption = ctx.language_text(CLOSE_QUESTION_CAPTION, "j")
    app.command(CLOSE)
    expect_box(app, caption, question, answer=IDNO)
    expect_no_boxes(app, "after declining the close")
    # Still open: the client stays connected and is still read.
    device.send(b"MORE\r\n")
    device.wait_read_by_peer()
    assert device.disconnects == 0

    app.command(CLOSE)
    expect_box(app, caption, question, answer=IDYES)
    expect_box(app, "LAN disconnect", "Success\uFF01")
    device.wait_disconnects(1)
    assert tcp_listener("127.0.0.1", port) is None, f"still listening on 127.0.0.1:{port} after the close"
    expect_no_boxes(app, "after the close")
    app.end()


@scenario("connection")
def end_while_connected(ctx):
    # Ending the program closes an open connection on the way out.
    device = ctx.device(TcpServer())
    app = open_tcp_client(ctx, device)
    app.command(END_PROGRAM)
    expect_box(app, "LAN disconnect", "Success\uFF01")
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
    app = open_tcp_client(ctx, device)
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
    expect_no_boxes(app, "after the flood")
    ctx.screenshot("after-flood")

    # A reset is not reported; the program stays usable and closes as usual.
    device.reset()
    app.main.text(STATUS_BAR_ID)
    expect_no_boxes(app, "after the reset")
    app.command(CLOSE)
    expect_box(app, "LAN disconnect", "Success\uFF01")
    expect_no_boxes(app, "after the close")
    app.end()


@scenario("connection")
def udp_server_under_a_datagram_flood(ctx):
    # Datagrams as fast as the device can send them: the program takes what
    # it can, the window answers all along, and the close is as usual.
    port = free_port()
    app = ctx.launch(files={"Lanvisor.ini": settings_file(tipudp_mode=1, ip_mode=1, bind_mode=1, aport_no=port,
                                                          **LOOPBACK_LOCAL)})
    app.command(OPEN)
    expect_startup_box(app)
    expect_box(app, "LAN connection", "Success of thread!")
    expect_no_boxes(app, "after the open")
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
    expect_no_boxes(app, "after the flood")
    app.command(CLOSE)
    expect_box(app, "LAN disconnect", "Success\uFF01")
    expect_no_boxes(app, "after the close")
    app.end()
