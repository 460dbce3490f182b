"""lanvisor-run, the native build, against the device simulator on 127.0.0.1
(and the README's broadcast and multicast examples on this host):
the exit codes a script acts on, the lines it prints and the files it writes.

    python3 runner_native.py --runner build/native/program/lanvisor-run
"""
import argparse
import os
import re
import shlex
import signal
import socket
import subprocess
import sys
import tempfile
import textwrap
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from device_sim import TcpClient, TcpServer, UdpClient  # noqa: E402
from lanvisor_e2e import free_port, trace_file_size  # noqa: E402

RUNNER = None  # the program, from --runner
RUN_LIMIT = 30  # seconds; a hang fails the check instead of blocking the suite

# Ask, send, branch on the reply: PEND when the device says OK, else off the end.
ASK_MACRO = "SEND 'PING'0D\nREAD 01 002 030\nCMPL 01 ok1 'OK'\nGOTO bad\n:ok1 the device answered\nPEND\n:bad\n"


def start(*args, folder):
    return subprocess.Popen([RUNNER, *args], cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            encoding="utf-8")


def finish(process, wanted, *words, absent=()):
    """Waits for the run; checks its exit code, that each pattern of words
    shows in its output and none of absent; returns the lines of standard
    output without their times."""
    try:
        out, err = process.communicate(timeout=RUN_LIMIT)
    except subprocess.TimeoutExpired:
        process.kill()
        out, err = process.communicate()
        raise AssertionError(f"lanvisor-run did not end within {RUN_LIMIT} s:\n{out}\n{err}")
    assert process.returncode == wanted, f"exit {process.returncode}, wanted {wanted}\n{out}\n{err}"
    for word in words:
        assert re.search(word, out + err), f"{word!r} not in\nstdout:\n{out}\nstderr:\n{err}"
    for word in absent:
        assert not re.search(word, out + err), f"{word!r} in\nstdout:\n{out}\nstderr:\n{err}"
    return [line.split(None, 1)[1] for line in out.splitlines()]


def run(*args, wanted=0, words=(), absent=(), folder):
    return finish(start(*args, folder=folder), wanted, *words, absent=absent)


def reply_branches(folder):
    """The OK reply reaches PEND (exit 0) from a UTF-16 file, with the lines,
    the trace file and the text log showing both blocks, and the reports of
    success asked for; a conversion of the trace without connection options
    leaves the peer blank. Any other reply runs off the end of the file
    (exit 1), here a UTF-8 one with bare line feeds and the connection from a
    settings file; standard error then tells that alone."""
    macro = folder / "ask16.mac"
    macro.write_bytes(b"\xff\xfe" + ASK_MACRO.replace("\n", "\r\n").encode("utf-16-le"))
    with TcpServer(replies=[(5, b"OK\r\n")]) as device:
        peer = f"127.0.0.1:{device.port}"
        lines = run("--tcp-client", peer, "--trace", "ask.log", "--log", "ask.txt", "--lang", "en", "--verbose", macro,
                    words=[r"\[Lanvisor\] The macro ended at PEND\.", r"\[LAN disconnect\]"], folder=folder)
        assert device.received == b"PING\r", device.received
    # The request is recorded before the reply it caused, however fast the reply.
    assert lines == [f"SEND {peer} 5 50 49 4E 47 0D |PING.|", f"READ {peer} 4 4F 4B 0D 0A |OK..|"], lines
    # What the trace file holds is loaded into the window in the Wine runner scenario.
    assert (folder / "ask.log").stat().st_size == trace_file_size(4 + 3 + 5 + 3), "ask.log: two blocks and trailers"
    logged = (folder / "ask.txt").read_text(encoding="utf-8").splitlines()
    assert [line.split()[1] for line in logged] == ["SEND", "RECV"], logged
    run("--convert", "ask.log", "--to", "csv", "ask.csv", folder=folder)
    csv = (folder / "ask.csv").read_text(encoding="utf-8")
    assert ",SEND,,5," in csv and ",RECV,,4," in csv, csv

    with TcpServer(replies=[(5, b"NG\r\n")]) as device:
        (folder / "device.ini").write_bytes(("\ufeff[Lanvisor]\r\nip_no1=127\r\nip_no2=0\r\nip_no3=0\r\nip_no4=1\r\n"
                                             f"port_no={device.port}\r\nmoji_type=1\r\n").encode("utf-16-le"))
        (folder / "ask8.mac").write_text("\ufeff" + ASK_MACRO, encoding="utf-8")
        lines = run("--settings", "device.ini", "--quiet", "ask8.mac", wanted=1,
                    words=[r"\A\[Lanvisor\] The macro has reached the end of the file\.\n\Z"], folder=folder)
    assert lines == [], "--quiet prints no blocks"


def failures(folder):
    """A refused macro line (exit 2, the line named), a refused connect (3),
    a device that never answers a READ without time limit (the run's time-out,
    4) and files that cannot be used (64, the reason alone)."""
    (folder / "bad.mac").write_text("SEND 41\nCHKA 11 03\nSEND 42\nPEND\n")
    (folder / "wait.mac").write_text("READ 01 001 000\nPEND\n")
    with TcpServer() as device:
        peer = f"127.0.0.1:{device.port}"
        run("--tcp-client", peer, "bad.mac", wanted=2,
            words=[r"\[Lanvisor\] Macro line 2: the source register is empty \| CHKA 11 03"], folder=folder)
        assert device.wait_bytes(1) == b"A"
        run("--tcp-client", peer, "--timeout", "0.5", "wait.mac", wanted=4, words=["timeout of 0.5 s passed"],
            folder=folder)
    run("--tcp-client", f"127.0.0.1:{free_port()}", "--send", "41", wanted=3,
        words=[r"\[connect_Error\] No\.10061 :Connection refused\."], folder=folder)
    (folder / "latin1.mac").write_bytes(b"SEND '\xe9'\nPEND\n")
    for args, words in [(["--listen", "1"], "no Lanvisor.ini in the current folder"),
                        (["--tcp-client", "127.0.0.1:9", "missing.mac"], '"missing.mac" cannot be read'),
                        (["--tcp-client", "127.0.0.1:9", "latin1.mac"], '"latin1.mac" is neither UTF-16 .* nor UTF-8'),
                        (["--tcp-client", "127.0.0.1:9", "--trace", "no/dir.log", "--listen", "1"],
                         "cannot write the trace file"),
                        (["--tcp-client", "127.0.0.1:9", "--pcap", "no/dir.pcap", "--listen", "1"],
                         'cannot write "no/dir.pcap"'),
                        (["--convert", "none.log", "--to", "text", "out.txt"], '"none.log"')]:
        run(*args, wanted=64, words=[words], absent=["usage:"], folder=folder)
    run("--bogus", wanted=64, words=["unknown option", "usage: lanvisor-run"], folder=folder)


def macro_files_checked(folder):
    """A macro file that cannot run as a macro is refused before connecting
    (exit 64) in one line naming it; --check reports the lines that will not
    run as written (exit 2) and passes the README's example."""
    readme = (Path(__file__).resolve().parents[2] / "README.md").read_text(encoding="utf-8")
    example = textwrap.dedent(re.search(r"Example, `check.mac`:\n\n((?:    .*\n)+)", readme).group(1))
    files = {"nobom.mac": "SEND 41\r\nPEND\r\n".encode("utf-16-le"), "notes.mac": b"; no commands\n:end\n",
             "typo.mac": b"SEND 41\nSNED 42\nGOTO end\nPEND\n", "check.mac": example.encode()}
    for name, data in files.items():
        (folder / name).write_bytes(data)
    for args, wanted, out_pattern, err_pattern in [
        (["nobom.mac"], 64, "", r'lanvisor-run: the macro file "nobom.mac" holds 00 bytes: UTF-16 without .*\n'),
        (["notes.mac"], 64, "", r'lanvisor-run: the macro file "notes.mac" holds no commands.*\n'),
        (["--check", "typo.mac"], 2, r'typo.mac:2: "SNED 42" is not a command.*\ntypo.mac:3: .*":end".*\n', ""),
        (["--check", "check.mac"], 0, "", ""),
    ]:
        process = start("--tcp-client", "127.0.0.1:9", *args, folder=folder)
        out, err = process.communicate(timeout=RUN_LIMIT)
        assert (process.returncode, bool(re.fullmatch(out_pattern, out)), bool(re.fullmatch(err_pattern, err))) == \
            (wanted, True, True), f"{args}: exit {process.returncode}\n{out}\n{err}"


def send_until(device, data, done):
    """Sends until `done` is set: a server binds some time after it starts."""
    while not done.wait(0.1):
        device.send(data)


def ends_in_time(process, limit):
    """Waits for a run that must end by itself within `limit` seconds (twice
    its own limit: only a hang fails); returns its output."""
    start = time.monotonic()
    out, err = process.communicate(timeout=RUN_LIMIT)
    assert time.monotonic() - start < limit, f"ran {time.monotonic() - start:.1f} s\n{err}"
    return out, err


def flood(folder):
    """A client floods a TCP server run with numbered bytes, far more than the
    trace holds: the time limit holds, --log keeps every byte that came in,
    in order, and standard output never glues blocks together."""
    port = free_port()
    process = start("--tcp-server", f"127.0.0.1:{port}", "--listen", "6", "--timeout", "3", "--log", "flood.txt",
                    folder=folder)
    sent = bytes(i * 7 % 251 for i in range(1 << 22))
    with TcpClient(port) as device:
        threading.Thread(target=lambda: device.send(sent), daemon=True).start()
        out, err = ends_in_time(process, 6)
    assert process.returncode == 4, (process.returncode, err)
    logged = b"".join(bytes.fromhex(" ".join(line.split()[4:4 + int(line.split()[3])]))
                      for line in (folder / "flood.txt").read_text().splitlines() if " RECV " in line)
    assert len(logged) > 131200 and sent.startswith(logged), f"{len(logged)} bytes logged, not what was sent"
    for line in out.splitlines():
        words = line.split("|")[0].split()
        assert words[1] in ("OPEN", "CLOSE", "SKIP") or len(words) == 4 + int(words[3]) <= 4 + 1023, line


def hangs_and_failures(folder):
    """The time limit covers a connect to a listener that never accepts (4,
    not 3 after the system's limit); a macro send that fails ends the run
    with 2 naming the line; a refused connect leaves an old trace file as it
    was."""
    listener = socket.create_server(("127.0.0.1", 0), backlog=0)
    port = listener.getsockname()[1]
    fillers = [socket.socket() for _ in range(4)]
    for filler in fillers:
        filler.setblocking(False)
        filler.connect_ex(("127.0.0.1", port))
    out, err = ends_in_time(start("--tcp-client", f"127.0.0.1:{port}", "--timeout", "1", "--send", "41",
                                  folder=folder), 2)
    assert "timeout of 1.0 s passed while connecting" in err, err
    (folder / "sends.mac").write_text("SEND 41\nTIME 003\nSEND 42\nTIME 003\nSEND 43\nPEND\n")
    with TcpServer() as device:
        process = start("--tcp-client", f"127.0.0.1:{device.port}", "sends.mac", folder=folder)
        device.wait_connections()
        device.disconnect()
        finish(process, 2, r"Macro line [35]: the send failed")
    (folder / "old.log").write_bytes(b"old")
    run("--tcp-client", f"127.0.0.1:{free_port()}", "--trace", "old.log", "--send", "41", wanted=3, folder=folder)
    assert (folder / "old.log").read_bytes() == b"old"


def first_peer_and_signals(folder):
    """A READ before any send sees what the first peer sent, also from a TCP
    client gone within a poll, and a UDP server's reply goes to the sender;
    SIGTERM ends a run in order (143, the trace written); a reader that closes
    standard output does not change the code."""
    (folder / "hi.mac").write_text("READ 01 002 020\nCMPL 01 ok1 'hi'\nGOTO bad\n:ok1\nPEND\n:bad\n")
    port = free_port()
    process = start("--tcp-server", f"127.0.0.1:{port}", "--timeout", "5", "hi.mac", folder=folder)
    with TcpClient(port) as device:
        device.send(b"hi")
        device.disconnect()
    finish(process, 0)
    (folder / "ack.mac").write_text("READ 01 002 020\nCMPL 01 ok1 'hi'\nGOTO bad\n:ok1\nSEND 'ok'\nPEND\n:bad\n")
    port = free_port(socket.SOCK_DGRAM)
    process = start("--udp-server", f"127.0.0.1:{port}", "--timeout", "10", "ack.mac", folder=folder)
    with UdpClient(port, source="127.0.0.2") as device:
        ended = threading.Event()
        threading.Thread(target=send_until, args=(device, b"hi", ended), daemon=True).start()
        finish(process, 0)
        ended.set()
        assert device.wait_bytes(2) == b"ok", "the reply goes to the datagram's sender"
    process = start("--udp-server", f"127.0.0.1:{port}", "--listen", "30", "--trace", "term.log", folder=folder)
    with UdpClient(port) as device:
        bound = threading.Event()
        threading.Thread(target=send_until, args=(device, b"x", bound), daemon=True).start()
        assert process.stdout.readline().endswith("|x|\n")
        bound.set()
        process.stdout.close()  # as `| head -n1` does
        device.send(b"y")
        time.sleep(0.3)
        process.send_signal(signal.SIGTERM)
        assert process.wait(timeout=RUN_LIMIT) == 143, process.stderr.read()
    cells = (folder / "term.log").read_bytes()[32:]
    assert any(cells[i:i + 3] == b"\x01\x00y" for i in range(0, len(cells), 8)), "the datagram after the close kept"


def tshark(pcap, *fields, shown=None):
    args = ["tshark", "-r", str(pcap), "-T", "fields", "-E", "separator=,"] + [a for f in fields for a in ("-e", f)]
    out = subprocess.run(args + (["-Y", shown] if shown else []), capture_output=True, text=True, timeout=60)
    return [line for line in out.stdout.splitlines() if line]


def pcap_streams_and_empty_datagrams(folder):
    """Two clients of one address are two streams on their real ports, each
    closed on its own; a conversion of the saved trace says it cannot tell
    them apart. An empty datagram is logged and captured at its own time."""
    port = free_port()
    process = start("--tcp-server", f"127.0.0.1:{port}", "--listen", "2", "--pcap", "s.pcap", "--trace", "s.log",
                    folder=folder)
    with TcpClient(port) as a, TcpClient(port) as b:
        client_ports = {str(c.connections[0].getsockname()[1]) for c in (a, b)}
        a.send(b"AAAA")
        b.send(b"BBBB")
        time.sleep(0.2)
        a.disconnect()
        b.send(b"bb")
        finish(process, 0)
    rows = [line.split(",") for line in tshark(folder / "s.pcap", "tcp.stream", "tcp.srcport", "tcp.dstport",
                                                       "tcp.payload", shown="tcp.len > 0 || tcp.flags.fin == 1")]
    payloads = {}
    for stream, _, _, payload in rows:
        payloads.setdefault(stream, []).append(bytes.fromhex(payload) if payload else b"FIN")
    assert sorted(b"".join(p) for p in payloads.values()) == [b"AAAAFINFIN", b"BBBBbb"], payloads
    assert {src for _, src, dst, _ in rows if dst == str(port)} == client_ports, rows
    assert tshark(folder / "s.pcap", "frame.number", shown="tcp.analysis.flags || ip.checksum.status == 0") == []
    run("--tcp-server", "127.0.0.1:1", "--convert", "s.log", "--to", "pcap", "c.pcap", words=["cannot tell"],
        folder=folder)

    port = free_port(socket.SOCK_DGRAM)
    process = start("--udp-server", f"127.0.0.1:{port}", "--listen", "1", "--log", "u.txt", "--pcap", "u.pcap",
                    folder=folder)
    with UdpClient(port) as device:
        bound = threading.Event()
        threading.Thread(target=send_until, args=(device, b"", bound), daemon=True).start()
        assert process.stdout.readline().split()[1:4] == ["READ", "127.0.0.1", "0"]
        bound.set()
        time.sleep(0.3)
        device.send(b"x")
        finish(process, 0)
    logged = [line.split() for line in (folder / "u.txt").read_text().splitlines()]
    assert logged[0][1:4] == ["RECV", "127.0.0.1", "0"] and float(logged[-1][0]) >= 0.3, logged
    assert tshark(folder / "u.pcap", "udp.length")[0] == "8"


def readme_examples():
    """The commands of the README's broadcast and multicast section, made
    local: the broadcast to 127.255.255.255, the adapter 127.0.0.1, TTL 0, free ports."""
    text = (Path(__file__).resolve().parents[2] / "README.md").read_text(encoding="utf-8")
    ports, commands = {}, []
    for line in re.findall(r"^    \$ lanvisor-run (.*)$", text.split("### Broadcast and multicast")[1].split("\n## ")[0], re.M):
        line = line.replace("255.255.255.255", "127.255.255.255").replace("192.168.0.99", "127.0.0.1")
        line = re.sub(r"--ttl \d+", "--ttl 0", re.sub(r"--listen \d+", "--listen 2", line))
        line = re.sub(r":(\d+)\b", lambda m: f":{ports.setdefault(m[1], free_port(socket.SOCK_DGRAM))}", line)
        assert all(re.fullmatch(r"127(\.\d+){3}|239\.255(\.\d+){2}", a) for a in re.findall(r"\d+(?:\.\d+){3}", line)), line
        commands.append(shlex.split(line))
    return commands


def udp_port(args, option):
    host, port = args[args.index(option) + 1].rsplit(":", 1)
    return host, int(port)


def group_socket(port=0, join=None):
    """Sends to groups on 127.0.0.1 only (from 127.0.0.2); or listens to `join` there."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, 0)
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton("127.0.0.1"))
    sock.bind(("0.0.0.0" if join else "127.0.0.2", port))
    if join:
        sock.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, socket.inet_aton(join) + socket.inet_aton("127.0.0.1"))
    sock.settimeout(RUN_LIMIT)
    return sock


def readme_discovery(folder):
    """A device hears the broadcast, two answer: each answer is a line naming
    its sender, and the summary has one line per sender."""
    command = readme_examples()[0]
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as hear:
        hear.bind(("0.0.0.0", udp_port(command, "--udp-client")[1]))
        hear.settimeout(RUN_LIMIT)
        process = start(*command, folder=folder)
        request, asker = hear.recvfrom(100)
    for last in (2, 3):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as answer:
            answer.bind((f"127.0.0.{last}", 0))
            answer.sendto(b"NODE-%d" % (last - 1), asker)
    lines = sorted(finish(process, 0))
    assert request == b"DISCOVER" and lines[0].endswith(" 1 datagrams 6 bytes"), (request, lines)
    assert [re.sub(r":\d+$", "", " ".join(line.split()[:2])) for line in lines] == [
        "PEER 127.0.0.2", "PEER 127.0.0.3", "READ 127.0.0.2", "READ 127.0.0.3", "SEND 127.255.255.255"], lines


def send_to_group_until(sock, group, done):
    while not done.wait(0.1):
        sock.sendto(b"hi", group)


def readme_multicast(folder):
    """The server hears a group datagram sent on 127.0.0.1; the client's send
    to the group reaches a listener joined on 127.0.0.1."""
    server, client = readme_examples()[1:]
    group, port = udp_port(client, "--udp-client")
    process, done = start(*server, folder=folder), threading.Event()
    with group_socket() as sender:  # until the server, started meanwhile, has heard one
        threading.Thread(target=send_to_group_until, args=(sender, (group, port), done)).start()
        try:
            lines = finish(process, 0)
        finally:
            done.set()
    assert lines[0] == "READ 127.0.0.2 2 68 69 |hi|" and lines[-1].startswith("PEER 127.0.0.2:"), lines
    with group_socket(port, join=group) as listener:
        run(*client, folder=folder)
        assert listener.recvfrom(100)[0] == b"hello group"


def main():
    global RUNNER
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    RUNNER = os.path.abspath(parser.parse_args().runner)
    return run_cases([reply_branches, failures, macro_files_checked, flood, hangs_and_failures,
                      first_peer_and_signals, pcap_streams_and_empty_datagrams, readme_discovery, readme_multicast])


def run_cases(cases):
    """Runs every case in a folder of its own; 1 when any failed."""
    failed = []
    for case in cases:  # every case runs; the failures are counted at the end
        with tempfile.TemporaryDirectory(prefix="lanvisor-run-") as folder:
            try:
                case(Path(folder))
                print(f"ok   {case.__name__}")
            except Exception as error:
                failed.append(case.__name__)
                print(f"FAIL {case.__name__}: {error}")
    print(f"{len(cases) - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
