"""The README's broadcast and multicast examples of lanvisor-run, run as
written with this host's addresses put in: the broadcast goes to
127.255.255.255, groups stay in 239.255/16 with TTL 0 on 127.0.0.1, devices
answer from 127.0.0.2 and 127.0.0.3.

    python3 runner_udp.py --runner build/native/program/lanvisor-run
"""
import argparse
import ipaddress
import os
import re
import shlex
import socket
import sys
import threading
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import runner_native  # noqa: E402
from lanvisor_e2e import free_port  # noqa: E402

README = Path(__file__).resolve().parents[2] / "README.md"


def examples():
    """The commands of the README's section, addresses made local, ports free."""
    text = README.read_text(encoding="utf-8").split("### Broadcast and multicast", 1)[1].split("\n## ", 1)[0]
    ports = {}
    commands = []
    for line in re.findall(r"^    \$ lanvisor-run (.*)$", text, re.M):
        line = line.replace("255.255.255.255", "127.255.255.255").replace("192.168.0.99", "127.0.0.1")
        line = re.sub(r"--ttl \d+", "--ttl 0", re.sub(r"--listen \d+", "--listen 2", line))
        line = re.sub(r":(\d+)\b", lambda m: f":{ports.setdefault(m[1], free_port(socket.SOCK_DGRAM))}", line)
        args = shlex.split(line)
        for word in args:  # nothing leaves this host
            for address in re.findall(r"^(\d+\.\d+\.\d+\.\d+)", word):
                assert ipaddress.ip_address(address) in ipaddress.ip_network("127.0.0.0/8") or \
                    address.startswith("239.255."), args
        commands.append(args)
    return commands


def endpoint(args, option):
    host, port = args[args.index(option) + 1].rsplit(":", 1)
    return host, int(port)


def group_socket(port=0, join=None):
    """A datagram socket that sends to groups on 127.0.0.1 only, and may listen to one."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, 0)
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton("127.0.0.1"))
    sock.bind(("0.0.0.0" if join else "127.0.0.2", port))
    if join:
        sock.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, socket.inet_aton(join) + socket.inet_aton("127.0.0.1"))
    sock.settimeout(runner_native.RUN_LIMIT)
    return sock


def discovery(folder):
    """A device hears the broadcast, two answer: each answer is a line naming
    its sender, and the summary has one line per sender."""
    command = examples()[0]
    port = endpoint(command, "--udp-client")[1]
    hear = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    hear.bind(("0.0.0.0", port))
    process = runner_native.start(*command, folder=folder)
    hear.settimeout(runner_native.RUN_LIMIT)
    request, asker = hear.recvfrom(100)
    for last in (2, 3):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as answer:
            answer.bind((f"127.0.0.{last}", 0))
            answer.sendto(b"NODE-%d" % (last - 1), asker)
    lines = sorted(runner_native.finish(process, 0))
    assert request == b"DISCOVER", request
    assert [re.sub(r":\d+$", "", " ".join(line.split()[:2])) for line in lines] == [
        "PEER 127.0.0.2", "PEER 127.0.0.3", "READ 127.0.0.2", "READ 127.0.0.3", "SEND 127.255.255.255"], lines
    assert lines[0].endswith(" 1 datagrams 6 bytes") and lines[3].endswith("|NODE-2|"), lines


def send_until(sock, to, done):
    while not done.wait(0.1):
        sock.sendto(b"hi", to)


def multicast(folder):
    """The server hears a group datagram sent on 127.0.0.1; the client's send
    to the group reaches a listener joined on 127.0.0.1."""
    server, client = examples()[1:]
    group, port = endpoint(client, "--udp-client")
    process = runner_native.start(*server, folder=folder)
    done = threading.Event()
    with group_socket() as sender:  # until the server, started meanwhile, has heard one
        threading.Thread(target=send_until, args=(sender, (group, port), done)).start()
        try:
            lines = runner_native.finish(process, 0)
        finally:
            done.set()
    assert lines[0] == "READ 127.0.0.2 2 68 69 |hi|" and lines[-1].startswith("PEER 127.0.0.2:"), lines
    with group_socket(port, join=group) as listener:
        runner_native.run(*client, folder=folder)
        assert listener.recvfrom(100)[0] == b"hello group"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    runner_native.RUNNER = os.path.abspath(parser.parse_args().runner)
    return runner_native.run_cases([discovery, multicast])


if __name__ == "__main__":
    sys.exit(main())
