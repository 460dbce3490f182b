"""A scripted network peer for the end-to-end tests: it plays the device that
Lanvisor talks to. Every role binds to 127.0.0.1 only (port 0: the system
picks a free port), records each byte it receives and sends bytes on request
or, by a script of replies, once a given number of bytes has arrived. A
background thread receives; stop() (or leaving the with-block) ends it.

Roles, named after the device's side:
    TcpServer()           listens; the program connects as TCP client
    TcpClient(port)       connects to the program listening as TCP server
    UdpServer()           receives; the program sends to it as UDP client
    UdpClient(port)       sends to the program bound as UDP server
"""
import collections
import ipaddress
import selectors
import socket
import struct
import threading
import time
from pathlib import Path

LOOPBACK = "127.0.0.1"
DEFAULT_TIMEOUT = 10.0

# Bytes the device sends once it has received `after` bytes in total.
Reply = collections.namedtuple("Reply", "after data")


def require_loopback(host):
    """Tests talk to 127.0.0.0/8 only; anything else is refused outright."""
    if ipaddress.ip_address(host) not in ipaddress.ip_network("127.0.0.0/8"):
        raise ValueError(f"device simulator refuses non-loopback address {host}")
    return host


# ---- the system's TCP socket table ----------------------------------------------
#
# What the program does with its sockets shows in the kernel's table even when
# its window does not draw it: a listener appears, bytes it has read have left
# its receive queue.

TCP_ESTABLISHED, TCP_LISTEN = 0x01, 0x0A
TcpEntry = collections.namedtuple("TcpEntry", "local remote state send_queue receive_queue")


def _address(field):
    host, port = field.split(":")
    return socket.inet_ntoa(struct.pack("<I", int(host, 16))), int(port, 16)


def tcp_table():
    """Every IPv4 TCP socket of this network namespace; for a connection the
    receive queue holds the bytes received but not yet read by its owner."""
    entries = []
    for line in Path("/proc/net/tcp").read_text().splitlines()[1:]:
        fields = line.split()
        send_queue, receive_queue = (int(v, 16) for v in fields[4].split(":"))
        entries.append(TcpEntry(_address(fields[1]), _address(fields[2]), int(fields[3], 16), send_queue,
                                receive_queue))
    return entries


def tcp_listener(host, port):
    """The listening socket bound to exactly (host, port), or None."""
    return next((e for e in tcp_table() if e.state == TCP_LISTEN and e.local == (host, port)), None)


class Device:
    """What every role shares: the record, the waits and the script."""

    def __init__(self, replies=()):
        self._lock = threading.Condition()
        self._received = bytearray()
        self._replies = [Reply(*reply) for reply in replies]
        self._selector = selectors.DefaultSelector()
        self._wake_r, self._wake_w = socket.socketpair()
        self._selector.register(self._wake_r, selectors.EVENT_READ, None)
        self._actions = collections.deque()  # run on the background thread
        self._stopping = False
        self._thread = None
        self.error = None  # an exception raised in the background thread

    @property
    def received(self):
        with self._lock:
            return bytes(self._received)

    def _record(self, sender, data):
        due = []
        with self._lock:
            self._received += data
            while self._replies and len(self._received) >= self._replies[0].after:
                due.append(self._replies.pop(0))
            self._lock.notify_all()
        for reply in due:
            self._reply(sender, bytes(reply.data))

    def _wait(self, condition, timeout, what):
        deadline = time.monotonic() + timeout
        with self._lock:
            while not condition():
                if self.error:
                    raise RuntimeError(f"device simulator failed: {self.error!r}")
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError(f"{what} within {timeout} s; received so far: {bytes(self._received)!r}")
                self._lock.wait(left)

    def wait_bytes(self, count, timeout=DEFAULT_TIMEOUT):
        """Waits until `count` bytes have arrived in total; returns them all."""
        self._wait(lambda: len(self._received) >= count, timeout, f"device did not receive {count} bytes")
        return self.received

    # -- thread -----------------------------------------------------------
    def start(self):
        self._thread = threading.Thread(target=self._run, name=type(self).__name__, daemon=True)
        self._thread.start()
        return self

    def _run(self):
        try:
            while not self._stopping:
                for key, _ in self._selector.select():
                    if key.data is None:
                        key.fileobj.recv(4096)
                        while self._actions:
                            self._actions.popleft()()
                    elif key.fileobj.fileno() >= 0:
                        key.data(key.fileobj)
        except Exception as error:  # reported to the waiting test
            with self._lock:
                self.error = error
                self._lock.notify_all()

    def _in_thread(self, action):
        """Runs an action on the background thread, between two receives."""
        self._actions.append(action)
        self._wake_w.send(b"x")

    def stop(self):
        self._stopping = True
        try:
            self._wake_w.send(b"x")
        except OSError:
            pass
        if self._thread:
            self._thread.join(5)
            if self._thread.is_alive():
                raise RuntimeError("device simulator thread did not stop")
        for key in list(self._selector.get_map().values()):
            key.fileobj.close()
        self._selector.close()
        self._wake_w.close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


class _StreamDevice(Device):
    """TCP roles: any number of connections, all recorded together."""

    def __init__(self, replies=()):
        super().__init__(replies)
        self.connections = []  # open connections, oldest first
        self._peers = {}
        self.connects = self.disconnects = 0

    def _adopt(self, conn):
        # Blocking sockets: the thread reads only what select reported ready.
        conn.settimeout(None)
        with self._lock:
            self._peers[conn] = conn.getpeername()
            self.connections.append(conn)
            self.connects += 1
            self._lock.notify_all()
        self._selector.register(conn, selectors.EVENT_READ, self._on_data)

    def _on_data(self, conn):
        try:
            data = conn.recv(65536)
        except ConnectionResetError:
            data = b""
        if data:
            self._record(self._peers[conn], data)
        else:
            self._drop(conn)

    def _drop(self, conn):
        self._selector.unregister(conn)
        conn.close()
        with self._lock:
            self.connections.remove(conn)
            self.disconnects += 1
            self._lock.notify_all()

    def _reply(self, sender, data):
        for conn in list(self.connections):
            if self._peers.get(conn) == sender:
                try:
                    conn.sendall(data)
                except OSError:
                    pass

    def send(self, data):
        """Sends on the newest connection."""
        with self._lock:
            if not self.connections:
                raise RuntimeError("device has no connection to send on")
            conn = self.connections[-1]
        conn.sendall(bytes(data))

    def wait_connections(self, count=1, timeout=DEFAULT_TIMEOUT):
        self._wait(lambda: self.connects >= count, timeout, f"fewer than {count} connections")

    def wait_disconnects(self, count=1, timeout=DEFAULT_TIMEOUT):
        self._wait(lambda: self.disconnects >= count, timeout, f"fewer than {count} disconnects")

    def wait_read_by_peer(self, timeout=DEFAULT_TIMEOUT):
        """Waits until the program has read every byte the device sent on its
        open connections: nothing unacknowledged on the device's side, nothing
        unread in the program's socket. A program that reads has accepted."""
        with self._lock:
            pairs = [(conn.getsockname(), conn.getpeername()) for conn in self.connections]
        if not pairs:
            raise RuntimeError("device has no connection")

        def pending():
            table = {(e.local, e.remote): e for e in tcp_table() if e.state == TCP_ESTABLISHED}
            waiting = []
            for mine, theirs in pairs:
                own, peer = table.get((mine, theirs)), table.get((theirs, mine))
                if own is None or peer is None:
                    waiting.append(f"{theirs} not connected to {mine}")
                elif own.send_queue or peer.receive_queue:
                    waiting.append(f"{theirs}: {own.send_queue} bytes unacknowledged, "
                                   f"{peer.receive_queue} unread")
            return waiting

        deadline = time.monotonic() + timeout
        while waiting := pending():
            if time.monotonic() >= deadline:
                raise TimeoutError(f"the program did not read what the device sent within {timeout} s: "
                                   + "; ".join(waiting))
            time.sleep(0.05)

    def disconnect(self, reset=False, timeout=DEFAULT_TIMEOUT):
        """Closes every connection from the device's side; with reset, aborts
        them: the peer gets a reset, not an orderly close."""
        def end_all():
            for conn in list(self.connections):
                if reset:
                    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self._drop(conn)
        with self._lock:
            target = self.disconnects + len(self.connections)
        self._in_thread(end_all)
        self.wait_disconnects(target, timeout)


class TcpServer(_StreamDevice):
    def __init__(self, replies=()):
        super().__init__(replies)
        self._listener = socket.create_server((LOOPBACK, 0))
        self.port = self._listener.getsockname()[1]
        self._selector.register(self._listener, selectors.EVENT_READ, lambda sock: self._adopt(sock.accept()[0]))


class TcpClient(_StreamDevice):
    """Connects when started, retrying until the program listens."""

    def __init__(self, port, replies=()):
        super().__init__(replies)
        self.peer = (LOOPBACK, port)

    def start(self):
        deadline = time.monotonic() + DEFAULT_TIMEOUT
        while True:
            try:
                conn = socket.create_connection(self.peer, timeout=1)
                break
            except (ConnectionRefusedError, TimeoutError):
                if time.monotonic() >= deadline:
                    raise
                time.sleep(0.1)
        self._adopt(conn)
        return super().start()


class _DatagramDevice(Device):
    def __init__(self, replies=(), source=LOOPBACK):
        super().__init__(replies)
        self._sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self._sock.bind((require_loopback(source), 0))
        self.port = self._sock.getsockname()[1]
        self.peer = None  # where send() goes
        self._selector.register(self._sock, selectors.EVENT_READ, self._on_datagram)

    def _on_datagram(self, sock):
        try:
            data, sender = sock.recvfrom(65536)
        except (ConnectionRefusedError, ConnectionResetError):  # an earlier datagram found no listener
            return
        self._record(sender, data)

    def _reply(self, sender, data):
        self._sock.sendto(data, sender)

    def send(self, data):
        if self.peer is None:
            raise RuntimeError("device has no peer to send to")
        self._sock.sendto(bytes(data), self.peer)


class UdpServer(_DatagramDevice):
    """Replies (by its script) to whoever sent the datagram."""


class UdpClient(_DatagramDevice):
    """Sends to the program's port on 127.0.0.1, from `source` (another
    loopback address, such as 127.0.0.2, tells two senders apart)."""

    def __init__(self, port, replies=(), source=LOOPBACK):
        super().__init__(replies, source)
        self.peer = (LOOPBACK, port)
