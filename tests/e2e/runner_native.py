"""lanvisor-run, the native build, against the device simulator on 127.0.0.1:
the exit codes a script acts on, the lines it prints and the files it writes.

    python3 runner_native.py --runner build/native/program/lanvisor-run
"""
import argparse
import os
import re
import socket
import subprocess
import sys
import tempfile
import textwrap
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from device_sim import TcpServer, UdpClient  # noqa: E402
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
    # An immediate reply may be recorded before the send that asked for it:
    # the send path records a block once it has gone.
    assert sorted(lines) == [f"READ {peer} 4 4F 4B 0D 0A |OK..|", f"SEND {peer} 5 50 49 4E 47 0D |PING.|"], lines
    # What the trace file holds is loaded into the window in the Wine runner scenario.
    assert (folder / "ask.log").stat().st_size == trace_file_size(4 + 3 + 5 + 3), "ask.log: two blocks and trailers"
    logged = (folder / "ask.txt").read_text(encoding="utf-8").splitlines()
    assert sorted(line.split()[1] for line in logged) == ["RECV", "SEND"], logged
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
    4) and a file that cannot be written (a usage error, 64)."""
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
    run("--tcp-client", "127.0.0.1:9", "--trace", "no/dir.log", "--listen", "1", wanted=64,
        words=["cannot write the trace file"], absent=["usage:"], folder=folder)
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


def udp_server_replies(folder):
    """A UDP server sends (bytes in line notation) once a datagram has come,
    to its sender."""
    port = free_port(socket.SOCK_DGRAM)
    process = start("--udp-server", f"127.0.0.1:{port}", "--send", "'ACK'0D0A", "--listen", "1", "--verbose",
                    folder=folder)
    # The server is bound once its receive thread has started; a datagram
    # sent before that would be lost.
    while "Success of thread!" not in (line := process.stderr.readline()):
        assert line, "no start message from lanvisor-run"
    with UdpClient(port, source="127.0.0.2") as device:
        device.send(b"one")
        assert device.wait_bytes(5) == b"ACK\r\n"
        lines = finish(process, 0)
    assert lines == ["READ 127.0.0.2 3 6F 6E 65 |one|", "SEND 127.0.0.2 5 41 43 4B 0D 0A |ACK..|"], lines


def main():
    global RUNNER
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    RUNNER = os.path.abspath(parser.parse_args().runner)
    cases = [reply_branches, failures, macro_files_checked, udp_server_replies]
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
