"""lanvisor-run playing the device: the rules files of examples/replies
answering real clients on 127.0.0.1, --strict, and rules files refused
(python3 runner_replies.py --runner build/native/program/lanvisor-run)."""
import argparse
import os
import signal
import socket
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import runner_native  # noqa: E402
from device_sim import TcpServer  # noqa: E402
from lanvisor_e2e import free_port  # noqa: E402
from runner_native import finish, run, start  # noqa: E402

EXAMPLES = Path(__file__).resolve().parents[2] / "examples" / "replies"
WAIT = 5  # seconds for an answer that should come at once


def serve(mode, rules, *extra, folder):
    """Starts the runner as a server with the rules; returns it and its port
    once it takes connections (TCP) or a moment after it started (UDP)."""
    kind = socket.SOCK_STREAM if mode == "--tcp-server" else socket.SOCK_DGRAM
    port = free_port(kind)
    process = start(mode, f"127.0.0.1:{port}", "--reply", str(rules), "--timeout", "25", *extra, folder=folder)
    deadline = time.time() + WAIT
    while kind == socket.SOCK_STREAM:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            break
        except OSError:
            assert process.poll() is None and time.time() < deadline, "the runner does not listen"
            time.sleep(0.05)
    if kind == socket.SOCK_DGRAM:
        time.sleep(0.5)
    return process, port


def connect(port):
    client = socket.create_connection(("127.0.0.1", port), timeout=WAIT)
    client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return client


def expect(sock, wanted):
    """Reads as many bytes as wanted holds and checks them."""
    data = b""
    while len(data) < len(wanted):
        piece = sock.recv(len(wanted) - len(data))
        assert piece, f"closed after {data!r}"
        data += piece
    assert data == wanted, f"{data!r}, wanted {wanted!r}"


def nothing_more(sock, quiet=0.3):
    sock.settimeout(quiet)
    try:
        extra = sock.recv(100)
    except socket.timeout:
        extra = b""
    sock.settimeout(WAIT)
    assert extra == b"", f"unexpected {extra!r}"


def stop(process, *words):
    """Ends a device that serves until stopped: a request to end is its normal end."""
    process.send_signal(signal.SIGTERM)
    return finish(process, 0, *words)


def crc16_modbus(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return bytes([crc & 0xFF, crc >> 8])


def scpi_instrument(folder):
    """Line framing: a command split over two segments is answered once, two
    commands in one segment twice, a regular expression's capture goes into
    the answer, a command with no answer gets none; the lines show each
    request before its answer, and standard error counts every rule."""
    process, port = serve("--tcp-server", EXAMPLES / "scpi_multimeter.rules", folder=folder)
    with connect(port) as client:
        client.sendall(b"*ID")
        time.sleep(0.2)
        client.sendall(b"N?\n")
        expect(client, b"LANVISOR,DMM-SIM,0001,1.0\n")
        nothing_more(client)
        client.sendall(b"MEAS:VOLT:DC? (@3)\nSYST:ERR?\n")
        expect(client, b'+3.250E+00\n+0,"No error"\n')
        client.sendall(b"*RST\n")
        nothing_more(client)
        client.sendall(b"VOLT 5\n")
        expect(client, b'-113,"Undefined header"\n')
    lines = stop(process, r"line 6: 1 hit\(s\): on '\*IDN\?'0A", r"line 7: 1 hit\(s\)", r"line 8: 1 hit\(s\)",
                 r"line 10: 1 hit\(s\): on any", r"0 frame\(s\) unmatched, 0 reply send\(s\) failed")
    kinds = [line.split()[0] for line in lines if line.split()[0] in ("READ", "SEND")]
    assert kinds == ["READ", "READ", "SEND", "READ", "SEND", "SEND", "READ", "READ", "SEND"], lines


def modbus_device(folder):
    """Length-field framing with wild bytes and a CRC: two clients at once,
    each answered with its own transaction id; two requests in one segment
    answered in order."""
    process, port = serve("--tcp-server", EXAMPLES / "modbus_device.rules", folder=folder)

    def read_request(tid, start=0):
        return tid + b"\x00\x00\x00\x06\x01\x03" + start.to_bytes(2, "big") + b"\x00\x02"

    def read_answer(tid):
        pdu = b"\x01\x03\x04\x00\x2a\x01\xf4"
        return tid + b"\x00\x00\x00\x09" + pdu + crc16_modbus(pdu)

    write = b"\x00\x07\x00\x00\x00\x06\x01\x06\x00\x10\x12\x34"
    refused = b"\x01\x83\x02"
    with connect(port) as a, connect(port) as b:
        a.sendall(read_request(b"\x00\x01")[:5])
        b.sendall(read_request(b"\x01\x02") + write)
        a.sendall(read_request(b"\x00\x01")[5:])
        expect(b, read_answer(b"\x01\x02") + write)
        expect(a, read_answer(b"\x00\x01"))
        a.sendall(read_request(b"\x00\x03", start=0x40))
        expect(a, b"\x00\x03\x00\x00\x00\x05" + refused + crc16_modbus(refused))
        nothing_more(a)
    stop(process, r"line 8: 2 hit\(s\)", r"line 10: 1 hit\(s\)", r"line 12: 1 hit\(s\)")


def udp_sensor(folder):
    """One datagram a frame: two senders each answered with their own count,
    then each pushed a reading by the timer; --listen 0 with rules ends at the
    time limit with exit 0."""
    process, port = serve("--udp-server", EXAMPLES / "udp_sensor.rules", "--listen", "0", folder=folder)
    senders = []
    for source in ("127.0.0.1", "127.0.0.2"):
        sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sender.bind((source, 0))
        sender.settimeout(WAIT)
        senders.append(sender)
    try:
        for number, sender in enumerate(senders, 1):
            sender.sendto(b"T?", ("127.0.0.1", port))
            answer, where = sender.recvfrom(100)
            assert (answer, where[1]) == (f"T=21.5C #{number}\r\n".encode(), port), answer
        for sender in senders:
            assert sender.recvfrom(100)[0] == b"T=21.5C\r\n"
    finally:
        for sender in senders:
            sender.close()
    process.send_signal(signal.SIGINT)
    finish(process, 0, r"line 4: 2 hit\(s\)")


def strict_and_refused(folder):
    """--strict ends the run with 5 at the first frame no rule matches; the
    runner as a TCP client answers its server; a rules file with an error is a
    usage error naming file, line and column, and so is --strict alone."""
    (folder / "ping.rules").write_text("# a line device\nframe delimiter 0A\non 'PING'0A reply 'PONG'0A\n")
    process, port = serve("--tcp-server", folder / "ping.rules", "--strict", folder=folder)
    with connect(port) as client:
        client.sendall(b"PING\n")
        expect(client, b"PONG\n")
        client.sendall(b"HELLO\n")
        finish(process, 5, r"matched no rule", r"1 frame\(s\) unmatched")
    with TcpServer() as device:
        runner = start("--tcp-client", f"127.0.0.1:{device.port}", "--reply", "ping.rules", "--listen", "2",
                       folder=folder)
        device.wait_connections()
        device.send(b"PING\nPI")
        device.send(b"NG\n")
        device.wait_bytes(10)
        assert device.received == b"PONG\nPONG\n", device.received
        finish(runner, 0, r"line 3: 2 hit\(s\)")
    (folder / "bad.rules").write_text("frame delimiter 0A\non 'PING'0A reply 'PONG'0A\non 'X' reply 'Y' $1\n")
    run("--udp-server", "5999", "--reply", "bad.rules", wanted=64, words=[r"bad\.rules:3:\d+: .*\$1"], folder=folder)
    run("--udp-server", "5999", "--listen", "1", "--strict", wanted=64, words=[r"--strict goes with --reply"],
        folder=folder)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    runner_native.RUNNER = os.path.abspath(parser.parse_args().runner)
    return runner_native.run_cases([scpi_instrument, modbus_device, udp_sensor, strict_and_refused])


if __name__ == "__main__":
    sys.exit(main())
