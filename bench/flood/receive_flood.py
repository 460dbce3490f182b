#!/usr/bin/env python3
"""Receive-flood benchmark: the program's receive loops and trace against a
bare reader, both built with the same compiler and run the same way (under
Wine for the Windows build), fed by the same native sender on 127.0.0.1.

    receive_flood.py --receiver build/win/bench/flood_receiver.exe \\
                     --sender build/native/bench/flood_sender [--wine] [--repeat 3]
                     [--before OLD_RECEIVER]

Prints one row per flood and reader (the median of the repeats) and the
ratio of the program's figure to the bare reader's. With --before, a reader
built from an older version of the program takes its turns in the same run,
in rows marked "(before)".

With --runner LANVISOR_RUN, sustained floods follow: lanvisor-run as a UDP
server (--quiet --log) against a bare reader asking for the same receive
buffer; the runner's figure is the datagrams its log holds.
"""
import argparse
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time

UDP_FLOODS = [  # (datagrams, bytes each, datagrams per second; 0: as fast as the sender goes)
    (1500, 64, 2000),
    (1800, 64, 20000),
    (1800, 64, 0),
]
TCP_BYTES = 20 * 1024 * 1024
SUSTAINED_FLOODS = [  # long enough that the receive side must keep pace, not only buffer
    (100000, 64, 10000),
    (200000, 64, 0),
]
PROGRAM_RECEIVE_BUFFER = 4 << 20  # what the program asks for a UDP socket
BEFORE = " (before)"


def run_once(args, reader, sender_args, reader_args=()):
    receiver_path, mode = (args.before, reader[:-len(BEFORE)]) if reader.endswith(BEFORE) else (args.receiver, reader)
    command = (["wine"] if args.wine else []) + [str(receiver_path), mode] + list(reader_args)
    receiver = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        line = receiver.stdout.readline()
        if not line.startswith("port "):
            raise RuntimeError(f"{reader}: no port line ({line!r})")
        port = line.split()[1]
        subprocess.run([str(args.sender)] + [sender_args[0], port] + sender_args[1:], check=True,
                       stdout=subprocess.DEVNULL, timeout=120)
        for line in receiver.stdout:
            if line.startswith("result "):
                return {k: float(v) for k, v in (item.split("=") for item in line.split()[1:])}
        raise RuntimeError(f"{reader}: no result")
    finally:
        try:
            receiver.wait(timeout=60)
        except subprocess.TimeoutExpired:
            receiver.kill()


def medians(args, readers, sender_args, key):
    """The median figure of each reader; the readers take turns, so that a
    change in the machine's load falls on all of them alike."""
    values = {reader: [] for reader in readers}
    for _ in range(args.repeat):
        for reader in readers:
            result = run_once(args, reader, sender_args)
            values[reader].append(result[key] if key != "rate" else TCP_BYTES / max(result["seconds"], 1e-9))
    return {reader: statistics.median(v) for reader, v in values.items()}


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_until_bound(port, runner):
    """Waits until someone holds the UDP port (a bind of ours fails)."""
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        if runner.poll() is not None:
            raise RuntimeError(f"lanvisor-run ended early with {runner.returncode}")
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
            try:
                probe.bind(("127.0.0.1", port))
            except OSError:
                return
        time.sleep(0.05)
    raise RuntimeError("lanvisor-run never bound its port")


def runner_once(args, sender_args, listen_seconds):
    """Datagrams in the log of one lanvisor-run UDP server."""
    with tempfile.TemporaryDirectory() as folder:
        open(os.path.join(folder, "Lanvisor.ini"), "w").close()
        port = free_udp_port()
        command = (["wine"] if args.wine else []) + [
            os.path.abspath(args.runner), "--udp-server", f"127.0.0.1:{port}", "--quiet", "--log", "flood.log",
            "--listen", str(listen_seconds)]
        runner = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_until_bound(port, runner)
            subprocess.run([str(args.sender), sender_args[0], str(port)] + sender_args[1:], check=True,
                           stdout=subprocess.DEVNULL, timeout=120)
            runner.wait(timeout=listen_seconds + 60)
        finally:
            if runner.poll() is None:
                runner.kill()
        with open(os.path.join(folder, "flood.log"), encoding="utf-8", errors="replace") as log:
            return sum(1 for line in log if " RECV " in line)


def sustained(args):
    print(f"{'sustained flood':<34} {'reader':<20} {'recorded':>10} {'bare':>10} {'ratio':>6}")
    for count, size, rate in SUSTAINED_FLOODS:
        flood = f"UDP {count} x {size} B at " + (f"{rate}/s" if rate else "full speed")
        sender_args = ["udp", str(count), str(size), str(rate)]
        # The sender's time (at full speed some hundred thousand a second)
        # and a margin for Wine's start.
        listen_seconds = (count // rate if rate else 5) + 15
        bare_values, runner_values = [], []
        for _ in range(args.repeat):
            bare = run_once(args, "bare-udp", sender_args, [str(PROGRAM_RECEIVE_BUFFER)])
            bare_values.append(bare["count"])
            runner_values.append(runner_once(args, sender_args, listen_seconds))
        bare, got = statistics.median(bare_values), statistics.median(runner_values)
        print(f"{flood:<34} {'lanvisor-run':<20} {got:>10.0f} {bare:>10.0f} {got / max(bare, 1):>6.2f}")
        sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--receiver", required=True)
    parser.add_argument("--sender", required=True)
    parser.add_argument("--wine", action="store_true", help="run the receiver under wine")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--only", choices=["udp", "tcp", "sustained"], help="run only these floods")
    parser.add_argument("--runner", help="lanvisor-run, for the sustained floods")
    parser.add_argument("--before", help="a reader built from an older version, measured in the same run")
    args = parser.parse_args()
    if args.wine:
        os.environ.setdefault("WINEDEBUG", "-all")
        os.environ.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")

    def with_before(readers):
        return readers + ([reader + BEFORE for reader in readers] if args.before else [])

    if args.only == "sustained":
        sustained(args)
        return
    print(f"{'flood':<34} {'reader':<20} {'recorded':>10} {'bare':>10} {'ratio':>6}")
    for count, size, rate in (UDP_FLOODS if args.only in (None, "udp") else []):
        flood = f"UDP {count} x {size} B at " + (f"{rate}/s" if rate else "full speed")
        sender_args = ["udp", str(count), str(size), str(rate)]
        readers = with_before(["udp-server", "udp-client"])
        figures = medians(args, ["bare-udp"] + readers, sender_args, "count")
        bare = figures["bare-udp"]
        for reader in readers:
            got = figures[reader]
            print(f"{flood:<34} {reader:<20} {got:>10.0f} {bare:>10.0f} {got / max(bare, 1):>6.2f}")
            sys.stdout.flush()
    if args.only != "udp":
        tcp(args, with_before)
    if args.runner and args.only is None:
        sustained(args)


def tcp(args, with_before):
    sender_args = ["tcp", str(TCP_BYTES)]
    readers = with_before(["tcp-server"])
    figures = medians(args, ["bare-tcp"] + readers, sender_args, "rate")
    bare = figures["bare-tcp"]
    flood = f"TCP {TCP_BYTES >> 20} MB, one stream (MB/s)"
    for reader in readers:
        got = figures[reader]
        print(f"{flood:<34} {reader:<20} {got / 1e6:>10.1f} {bare / 1e6:>10.1f} {got / bare:>6.2f}")


if __name__ == "__main__":
    main()
