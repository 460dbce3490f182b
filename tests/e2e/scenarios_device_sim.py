"""The device simulator against plain sockets on 127.0.0.1, so that the
connection scenarios can trust what it records and sends."""
import socket

from device_sim import Reply, TcpClient, TcpServer, UdpClient, UdpServer, tcp_listener
from lanvisor_e2e import scenario


def recv_exactly(sock, count):
    data = b""
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        assert chunk, f"peer closed after {data!r}"
        data += chunk
    return data


@scenario("device_sim", wine=False, timeout=60)
def roles(ctx):
    # TCP server: a client's bytes arrive in pieces, the scripted reply comes
    # once the fifth byte is in, sends go out, a close is seen.
    with TcpServer(replies=[Reply(after=5, data=b"OK\r\n")]) as device:
        with socket.create_connection(("127.0.0.1", device.port), timeout=5) as peer:
            peer.sendall(b"AB")
            device.wait_connections(1)
            assert device.wait_bytes(2) == b"AB"
            peer.sendall(b"C\r\n")
            assert device.wait_bytes(5) == b"ABC\r\n"
            assert recv_exactly(peer, 4) == b"OK\r\n"
            device.send(b"\x00\xff")
            assert recv_exactly(peer, 2) == b"\x00\xff"
        device.wait_disconnects(1)
        assert device.received == b"ABC\r\n"

    # TCP client: connects to a listener; a disconnect from the device side
    # reaches the peer as end of stream.
    with socket.create_server(("127.0.0.1", 0)) as listener:
        listener.settimeout(5)
        with TcpClient(listener.getsockname()[1], replies=[Reply(after=3, data=b"ack")]) as device:
            peer, _ = listener.accept()
            with peer:
                peer.settimeout(5)
                device.send(b"hello")
                assert recv_exactly(peer, 5) == b"hello"
                peer.sendall(b"xyz")
                assert device.wait_bytes(3) == b"xyz"
                assert recv_exactly(peer, 3) == b"ack"
                device.disconnect()
                assert peer.recv(1) == b""

    # UDP server: answers the sender of the last datagram.
    with UdpServer(replies=[Reply(after=4, data=b"pong")]) as device, \
            socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        peer.settimeout(5)
        peer.bind(("127.0.0.1", 0))
        peer.sendto(b"ping", ("127.0.0.1", device.port))
        assert device.wait_bytes(4) == b"ping"
        assert peer.recvfrom(64) == (b"pong", ("127.0.0.1", device.port))
        assert device.chunks == [(peer.getsockname(), b"ping")]
        device.send(b"again")
        assert peer.recvfrom(64) == (b"again", ("127.0.0.1", device.port))

    # UDP client: sends to the program's port, records the answers.
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        peer.settimeout(5)
        peer.bind(("127.0.0.1", 0))
        with UdpClient(peer.getsockname()[1]) as device:
            device.send(b"\x01\x02\x03")
            data, sender = peer.recvfrom(64)
            assert (data, sender) == (b"\x01\x02\x03", ("127.0.0.1", device.port))
            peer.sendto(b"r1", sender)
            peer.sendto(b"r2", sender)
            assert device.wait_bytes(4) == b"r1r2"


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
