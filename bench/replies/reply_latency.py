"""Round-trip latency of request/reply pairs against lanvisor-run playing the
device (--reply) beside a bare echo server, taking turns in one run.

    reply_latency.py --runner RUNNER --echo ECHO_SERVER [--wine] [--pairs 1000]

Prints p50 and p99 in microseconds for each, and the lanvisor/bare ratio of
the p50s. Also the runner as a TCP client answering this script's server
(its receive loop pauses after every receive: measured, no goal).
"""
import argparse
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
REQUEST = b"MEAS:VOLT? " + b"x" * 52 + b"\n"  # 64 bytes


def percentiles(samples):
    ordered = sorted(samples)
    return ordered[len(ordered) // 2] * 1e6, ordered[int(len(ordered) * 0.99)] * 1e6


def free_port(kind):
    with socket.socket(socket.AF_INET, kind) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def command(args, program, *words):
    return (["wine"] if args.wine else []) + [program, *words]


def round_trip(sock):
    """Seconds from sending the request to having all of its echo."""
    start = time.perf_counter()
    sock.send(REQUEST)
    got = b""
    while len(got) < len(REQUEST):
        got += sock.recv(1024)
    return time.perf_counter() - start


def round_trips(kind, port, pairs):
    if kind == socket.SOCK_STREAM:
        deadline = time.time() + 20
        while True:
            try:
                sock = socket.create_connection(("127.0.0.1", port), timeout=5)
                break
            except OSError:
                if time.time() > deadline:
                    raise
                time.sleep(0.05)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    else:
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.settimeout(5)
        sock.connect(("127.0.0.1", port))
        for _ in range(200):  # until the server is up
            sock.send(REQUEST)
            try:
                sock.recv(1024)
                break
            except (socket.timeout, ConnectionRefusedError):
                time.sleep(0.05)
    with sock:
        samples = [round_trip(sock) for _ in range(50 + pairs)]  # the first 50 warm up
    return samples[50:]


def lanvisor(args, mode, kind):
    port = free_port(kind)
    process = subprocess.Popen(command(args, args.runner, mode, f"127.0.0.1:{port}", "--reply",
                                       str(HERE / "echo.rules"), "--quiet", "--timeout", "120"),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return round_trips(kind, port, args.pairs)
    finally:
        process.terminate()
        process.wait()


def bare(args, kind):
    process = subprocess.Popen(command(args, args.echo, "tcp" if kind == socket.SOCK_STREAM else "udp"),
                               stdout=subprocess.PIPE, text=True)
    try:
        port = int(process.stdout.readline().split()[1])
        return round_trips(kind, port, args.pairs)
    finally:
        process.kill()
        process.wait()


def tcp_client(args):
    """The runner connects to this script and answers its requests."""
    with socket.socket() as listener:
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        port = listener.getsockname()[1]
        process = subprocess.Popen(command(args, args.runner, "--tcp-client", f"127.0.0.1:{port}", "--reply",
                                           str(HERE / "echo.rules"), "--quiet", "--timeout", "120"),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            listener.settimeout(20)
            conn, _ = listener.accept()
            conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            conn.settimeout(5)
            with conn:
                return [round_trip(conn) for _ in range(min(args.pairs, 300))]
        finally:
            process.terminate()
            process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    parser.add_argument("--echo", required=True)
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--pairs", type=int, default=1000)
    args = parser.parse_args()
    for name, mode, kind in (("TCP server", "--tcp-server", socket.SOCK_STREAM),
                             ("UDP server", "--udp-server", socket.SOCK_DGRAM)):
        ours = percentiles(lanvisor(args, mode, kind))
        base = percentiles(bare(args, kind))
        print(f"{name}: lanvisor p50 {ours[0]:.0f} us p99 {ours[1]:.0f} us | bare echo p50 {base[0]:.0f} us "
              f"p99 {base[1]:.0f} us | p50 ratio {ours[0] / base[0]:.2f}", flush=True)
    client = percentiles(tcp_client(args))
    print(f"TCP client (pauses after every receive): p50 {client[0]:.0f} us p99 {client[1]:.0f} us", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
