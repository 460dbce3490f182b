"""lanvisor-run, the native build, against the device simulator on 127.0.0.1:
the verdicts a script acts on, the text lines and the trace file's bytes.

    python3 runner_native.py --runner build/native/program/lanvisor-run
"""
import argparse
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from device_sim import Reply, TcpClient, TcpServer, UdpClient  # noqa: E402
from lanvisor_e2e import free_port  # noqa: E402

RUN_LIMIT = 30  # seconds; a hang fails the check instead of blocking the suite
RECEIVED, SENT = 1, 2

# Ask, send, branch on the reply: PEND when the device says OK, else off the end.
ASK_MACRO = """; ask and branch
SEND 'PING'0D
READ 01 002 030
CMPL 01 ok1 'OK'
GOTO bad
:ok1 the device answered
PEND
:bad
"""


def trace_cells(path):
    """(kind, value, pos, value2) of every cell, after checking header and size."""
    data = Path(path).read_bytes()
    count = int(data[:30].decode("utf-16-le"))
    assert data[:32] == f"{count:015d}\r".encode("utf-16-le"), data[:32]
    assert len(data) == 32 + 8 * count, (len(data), count)
    return [(data[i], data[i + 2], data[i + 4], data[i + 3]) for i in range(32, len(data), 8)]


def trace_blocks(cells):
    """(kind, bytes) of each data block."""
    blocks = []
    for kind, value, pos, _ in cells:
        if kind in (RECEIVED, SENT):
            if pos == 0:
                blocks.append((kind, bytearray()))
            blocks[-1][1].append(value)
    return [(kind, bytes(data)) for kind, data in blocks]


class Checks:
    def __init__(self, runner, folder):
        self.runner, self.folder, self.failures = runner, Path(folder), []

    def file(self, name, text=None, data=None):
        path = self.folder / name
        path.write_bytes(data if data is not None else text.encode("utf-8"))
        return str(path)

    def start(self, *args, cwd=None):
        return subprocess.Popen([self.runner, *args], cwd=cwd or self.folder, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, encoding="utf-8")

    def finish(self, process):
        try:
            out, err = process.communicate(timeout=RUN_LIMIT)
        except subprocess.TimeoutExpired:
            process.kill()
            out, err = process.communicate()
            raise AssertionError(f"lanvisor-run did not end within {RUN_LIMIT} s:\n{out}\n{err}")
        return process.returncode, out, err

    def run(self, *args, cwd=None):
        return self.finish(self.start(*args, cwd=cwd))

    def case(self, name, function):
        try:
            function(self)
            print(f"ok   {name}")
        except Exception as error:  # every case runs; the failures are listed at the end
            self.failures.append(name)
            print(f"FAIL {name}: {error}")


def expect(code, out, err, wanted, *words):
    assert code == wanted, f"exit {code}, wanted {wanted}\nstdout:\n{out}\nstderr:\n{err}"
    for word in words:
        assert re.search(word, out + err), f"{word!r} not in\nstdout:\n{out}\nstderr:\n{err}"


def reply_taken(c):
    """UTF-16 macro file: the OK branch reaches PEND (exit 0); the lines and
    the trace file show both blocks in order."""
    with TcpServer(replies=[Reply(after=5, data=b"OK\r\n")]) as device:
        macro = c.file("ask16.mac", data=b"\xff\xfe" + ASK_MACRO.replace("\n", "\r\n").encode("utf-16-le"))
        trace = str(c.folder / "ask.log")
        code, out, err = c.run("--tcp-client", f"127.0.0.1:{device.port}", "--trace", trace, "--lang", "en", macro)
        expect(code, out, err, 0, r"\[Lanvisor\] The macro ended at PEND\.", r"\[LAN disconnect\]")
        assert device.received == b"PING\r", device.received
    peer = f"127.0.0.1:{device.port}"
    # An immediate reply may be recorded before the send that asked for it:
    # the send path records a block once it has gone.
    lines = sorted(line.split(None, 1)[1] for line in out.splitlines())
    assert lines == [f"READ {peer} 4 4F 4B 0D 0A |OK..|", f"SEND {peer} 5 50 49 4E 47 0D |PING.|"], out
    cells = trace_cells(trace)
    assert sorted(trace_blocks(cells)) == [(RECEIVED, b"OK\r\n"), (SENT, b"PING\r")], cells
    assert len(cells) == 5 + 3 + 4 + 3 and [c[0] for c in cells[-3:]] == [3, 4, 5], "a trailer follows each block"


def failure_branch(c):
    """UTF-8 file with bare line feeds, connection from a settings file: the
    other reply jumps past PEND, so the macro runs off its end (exit 1)."""
    with TcpServer(replies=[Reply(after=5, data=b"NG\r\n")]) as device:
        settings = c.file("device.ini", data=("\ufeff[Lanvisor]\r\nip_no1=127\r\nip_no2=0\r\nip_no3=0\r\nip_no4=1\r\n"
                                              f"port_no={device.port}\r\nmoji_type=1\r\n").encode("utf-16-le"))
        code, out, err = c.run("--settings", settings, "--quiet", c.file("ask8.mac", "\ufeff" + ASK_MACRO))
        expect(code, out, err, 1, r"\[Lanvisor\] The macro has reached the end of the file\.")
    assert out == "", "--quiet prints no blocks"


def macro_error(c):
    """A line the interpreter refuses stops the macro: exit 2, the line named."""
    with TcpServer() as device:
        macro = c.file("bad.mac", "SEND 41\nCHKA 11 03\nSEND 42\nPEND\n")
        code, out, err = c.run("--tcp-client", f"127.0.0.1:{device.port}", macro)
        expect(code, out, err, 2, r"\[Lanvisor\] Macro line 2: the source register is empty \| CHKA 11 03")
        assert device.wait_bytes(1) == b"A"


def refused(c):
    """Nothing listens: exit 3 with the socket error's number and text."""
    port = free_port()
    code, out, err = c.run("--tcp-client", f"127.0.0.1:{port}", "--send", "41")
    expect(code, out, err, 3, r"\[connect_Error\] No\.10061 :Connection refused\.")
    code, out, err = c.run("--tcp-client", f"127.0.0.1:{port}", "--lang", "ja", "--send", "41")
    expect(code, out, err, 3, "No.10061 :接続が拒否されました。")


def silent_device(c):
    """A READ without time limit on a device that never answers: the run's
    timeout ends it (exit 4)."""
    with TcpServer() as device:
        macro = c.file("wait.mac", "READ 01 001 000\nPEND\n")
        began = time.monotonic()
        code, out, err = c.run("--tcp-client", f"127.0.0.1:{device.port}", "--timeout", "0.5", macro)
        expect(code, out, err, 4, "timeout of 0.5 s passed")
        assert time.monotonic() - began < RUN_LIMIT


def udp_server_two_senders(c):
    """A UDP server replies to its first sender (--send in line notation, sent
    once a datagram has come) and then hears a second sender."""
    port = free_port(socket.SOCK_DGRAM)
    trace = str(c.folder / "udp.log")
    process = c.start("--udp-server", f"127.0.0.1:{port}", "--send", "'ACK'0D0A", "--send", "00FF",
                      "--listen", "1", "--trace", trace)
    # The server is bound once its receive thread has started; a datagram
    # sent before that would be lost.
    deadline = time.monotonic() + 10
    while True:
        line = process.stderr.readline()
        assert line and time.monotonic() < deadline, "no start message from lanvisor-run"
        if "Success of thread!" in line:
            break
    with UdpClient(port) as first, UdpClient(port, source="127.0.0.2") as second:
        first.send(b"one")
        assert first.wait_bytes(7) == b"ACK\r\n\x00\xff"
        # Once the runner has recorded its last send, a second sender.
        seen = ""
        while "00 FF" not in seen:
            line = process.stdout.readline()
            assert line, f"no line of the last send in {seen!r}"
            seen += line
        second.send(b"two")
        code, out, err = c.finish(process)
        out = seen + out
    expect(code, out, err, 0)
    lines = [line.split(None, 1)[1] for line in out.splitlines()]
    assert lines == ["READ 127.0.0.1 3 6F 6E 65 |one|", "SEND 127.0.0.1 5 41 43 4B 0D 0A |ACK..|",
                     "SEND 127.0.0.1 2 00 FF |..|", "READ 127.0.0.2 3 74 77 6F |two|"], out
    cells = trace_cells(trace)
    senders = [tuple(c[2] for c in cells[i:i + 4]) for i, c in enumerate(cells) if c[:2] == (7, 11)]
    assert senders == [(127, 0, 0, 1), (127, 0, 0, 2)], senders
    # The newest block's stamp counted the second of listening after it.
    stamp = bytes([cells[-2][1], cells[-2][3], cells[-1][1], cells[-1][3]]).decode()
    assert 5 <= int(stamp) <= 50 and [c[0] for c in cells[-3:]] == [3, 4, 5], stamp


def tcp_server_sends(c):
    """A TCP server waits for its client, then sends; the lines show the
    client's arrival."""
    port = free_port()
    process = c.start("--tcp-server", f"127.0.0.1:{port}", "--send", "'AB'", "--send", "0D0A", "--timeout", "20")
    with TcpClient(port) as device:
        assert device.wait_bytes(4) == b"AB\r\n"
        code, out, err = c.finish(process)
    expect(code, out, err, 0, r"\d OPEN 127\.0\.0\.1\n", r"SEND 127\.0\.0\.1 2 41 42 \|AB\|\n.*SEND 127\.0\.0\.1 2 0D 0A")
    assert device.chunks[0][1] == b"AB", "each send goes out on its own"


def log_pcap_and_convert(c):
    """--log and --pcap while the run records, and --convert of its trace
    file afterwards, give the same blocks; tshark reassembles the stream."""
    with TcpServer(replies=[Reply(after=5, data=b"OK\r\n")]) as device:
        peer = ["--tcp-client", f"127.0.0.1:{device.port}"]
        files = {name: str(c.folder / name) for name in ("run.log", "run.txt", "run.pcap", "conv.txt", "conv.pcap")}
        code, out, err = c.run(*peer, "--trace", files["run.log"], "--log", files["run.txt"], "--pcap",
                               files["run.pcap"], "--send", "'PING'0D", "--listen", "0.5", "--quiet")
        expect(code, out, err, 0)
    for fmt, name in (("text", "conv.txt"), ("pcap", "conv.pcap")):
        code, out, err = c.run(*peer, "--convert", files["run.log"], "--to", fmt, files[name])
        expect(code, out, err, 0)
    logged = Path(files["run.txt"]).read_text(encoding="utf-8")
    assert logged == Path(files["conv.txt"]).read_text(encoding="utf-8"), logged
    assert sorted(line.split()[1] for line in logged.splitlines()) == ["RECV", "SEND"], logged
    if subprocess.run(["tshark", "--version"], capture_output=True).returncode != 0:
        return
    for name in ("run.pcap", "conv.pcap"):
        follow = subprocess.run(["tshark", "-r", files[name], "-q", "-z", "follow,tcp,raw,0"], capture_output=True,
                                text=True).stdout
        data = [line for line in follow.splitlines() if re.fullmatch(r"\t?[0-9a-f]+", line)]
        assert sorted(data) == ["\t4f4b0d0a", "50494e470d"], follow


def bad_input(c):
    """Files that cannot be used are usage errors (exit 64) with the usage."""
    empty = tempfile.mkdtemp(dir=c.folder)
    rows = [
        ([c.file("none.mac", "PEND\n")], empty, "no connection given and no Lanvisor.ini"),
        (["--tcp-client", "127.0.0.1:9", str(c.folder / "missing.mac")], None, "cannot read the macro file"),
        (["--tcp-client", "127.0.0.1:9", c.file("latin1.mac", data=b"SEND 'caf\xe9'\n")], None, "neither UTF-16"),
        (["--settings", str(c.folder / "missing.ini"), "--listen", "1"], None, "cannot read the settings file"),
        (["--tcp-client", "127.0.0.1:9", "--trace", str(c.folder / "no" / "dir.log"), "--listen", "1"], None,
         "cannot write the trace file"),
        (["--tcp-client", "127.0.0.1:9", "--timeout", "-1", "--listen", "1"], None, "--timeout needs"),
        (["--convert", str(c.folder / "missing.log"), "--to", "csv", str(c.folder / "m.csv")], None,
         "cannot read the trace file"),
        (["--tcp-client", "127.0.0.1:9", "--pcap", str(c.folder / "no" / "dir.pcap"), "--listen", "1"], None,
         "cannot write the --log or --pcap file"),
    ]
    for args, cwd, words in rows:
        code, out, err = c.run(*args, cwd=cwd)
        expect(code, out, err, 64, re.escape(words), "usage: lanvisor-run")


CASES = [reply_taken, failure_branch, macro_error, refused, silent_device, udp_server_two_senders, tcp_server_sends,
         log_pcap_and_convert, bad_input]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="lanvisor-run-") as folder:
        checks = Checks(os.path.abspath(args.runner), folder)
        for case in CASES:
            checks.case(case.__name__, case)
    print(f"{len(CASES) - len(checks.failures)} passed, {len(checks.failures)} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
