"""The device simulator's own guards: it refuses every address outside
127.0.0.0/8, and it tells read bytes from unread ones (every scenario that
waits for the program to read relies on that)."""
import socket

from device_sim import TcpClient, TcpServer, UdpClient, UdpServer, tcp_listener
from lanvisor_e2e import scenario


def recv_exactly(sock, count):
    data = b""
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        assert chunk, f"peer closed after {data!r}"
        data += chunk
    return data


@scenario("device_sim", wine=False, timeout=60)
def stop_and_refuse(ctx):
    # After stop the port is closed and the thread is gone.
    device = TcpServer().start()
    port = device.port
    device.stop()
    try:
        socket.create_connection(("127.0.0.1", port), timeout=2).close()
        raise AssertionError("the stopped simulator still accepts connections")
    except ConnectionRefusedError:
        pass
    # Nothing but 127.0.0.0/8, whatever a scenario asks for.
    for make in (lambda: TcpServer(host="192.168.0.1"), lambda: TcpClient(1050, host="192.168.0.1"),
                 lambda: UdpServer(host="10.0.0.1"), lambda: UdpClient(1050, host="0.0.0.0")):
        try:
            make()
            raise AssertionError("a non-loopback address was accepted")
        except ValueError:
            pass


@scenario("device_sim", wine=False, timeout=60)
def peer_reads(ctx):
    # What the connection scenarios learn from the socket table: a listener
    # on its exact address, and whether the peer has read the device's bytes.
    with socket.create_server(("127.0.0.1", 0)) as listener:
        port = listener.getsockname()[1]
        assert tcp_listener("127.0.0.1", port) is not None
        assert tcp_listener("0.0.0.0", port) is None
        with TcpClient(port) as device:
            peer, _ = listener.accept()
            with peer:
                device.send(b"HELLO\r\n")
                try:
                    device.wait_read_by_peer(timeout=0.5)
                    raise AssertionError("seven unread bytes went unnoticed")
                except TimeoutError as error:
                    assert "7 unread" in str(error), error
                assert recv_exactly(peer, 7) == b"HELLO\r\n"
                device.wait_read_by_peer(timeout=5)
    assert tcp_listener("127.0.0.1", port) is None
