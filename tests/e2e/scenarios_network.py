"""The connection settings dialog and the network tools it opens: adapter
search, the IP address setting dialog with its add dialog, the connect-IP
search, and the PC name lookup.

Nothing here changes this machine's network: no address-change batch file is
ever run (the change button of the IP address setting dialog is never
pressed), the connect-IP search runs a harmless batch file put in place of
the sample one, and the name lookup is only given "localhost" or a name
that the resolver refuses by its form."""
import re
import socket

from lanvisor_e2e import LOOPBACK_LOCAL, free_port, scenario, settings_file, settle, trace_file_size, wait_until
from scenarios_trace_files import save_trace
from scenarios_view import MainWindowLayout

SETTINGS_COMMAND, SETTINGS_TITLE = 231, 103
VK_RETURN = 0x0D
VERSION_COMBO = 1202
CLIENT, SERVER, TIP, UDP, AUTO, VALID = 1061, 1062, 1063, 1064, 1065, 1066
ADAPTER_OCTETS, ADAPTER_PORT = (1071, 1072, 1073, 1074), 1075
ACCESS_OCTETS, ACCESS_PORT = (1076, 1077, 1078, 1079), 1080
PC_NAME = 1081
SETTINGS_OK, SETTINGS_CANCEL, ADAPTER_SEARCH, CONNECT_SEARCH, IP_ADDRESS_SET, IP_SET = (
    1041, 1042, 1043, 1044, 1046, 1047)
RUN_AS_ADMIN = 1221
GROUP, TTL, GROUP_REFUSED, TTL_REFUSED = 1082, 1083, 302, 303

# The tool dialogs, by title.
ADAPTER_DIALOG, ADAPTER_LIST, ADAPTER_SET, ADAPTER_CLOSE = "NetworkAdapter", 1231, 1041, 1042
IP_DIALOG, BATCH_LIST, BATCH_ADD, BATCH_DELETE, BATCH_CANCEL = "IP Address Setting", 1231, 1042, 1043, 1044
ADD_DIALOG, ADD_ADAPTERS, ADD_AUTO, ADD_SET, ADD_CLOSE = "Add IP Address", 1231, 1221, 1042, 1043
ADD_ADDRESS, ADD_MASK = (1071, 1072, 1073, 1074), (1075, 1076, 1077, 1078)
CONNECT_DIALOG, CONNECT_LIST, CONNECT_SET = "connect IP address", 1231, 1041

DEFAULT_FORM = {
    "version": "2.0", "mode": "client", "protocol": "TIP", "bind": "Auto",
    "adapter": ("192", "168", "0", "99"), "adapter_port": "1050",
    "access": ("192", "168", "0", "1"), "access_port": "1050", "pc_name": "",
}
# For the tools: an address before them that differs from 127.0.0.1 in
# every octet, so that each octet the tool sets shows.
BEFORE_TOOLS = dict(ip_no1=192, ip_no2=168, ip_no3=5, ip_no4=7, aip_no1=192, aip_no2=168, aip_no3=5, aip_no4=99)
BEFORE_TOOLS_FORM = dict(DEFAULT_FORM, access=("192", "168", "5", "7"), adapter=("192", "168", "5", "99"))


def open_settings(app):
    return app.open_dialog(SETTINGS_COMMAND, SETTINGS_TITLE)


def checked_of(dialog, first, second, names):
    """Name of the checked button of a radio pair ("none"/"both" otherwise)."""
    states = (dialog.state(first)["checked"], dialog.state(second)["checked"])
    return {(1, 0): names[0], (0, 1): names[1], (0, 0): "none"}.get(states, "both")


def shown_form(dialog):
    """What the connection settings dialog shows, in the terms of DEFAULT_FORM."""
    texts = {control.id: control.text for control in dialog.controls()}
    return {
        "version": texts[VERSION_COMBO],
        "mode": checked_of(dialog, CLIENT, SERVER, ("client", "server")),
        "protocol": checked_of(dialog, TIP, UDP, ("TIP", "UDP")),
        "bind": checked_of(dialog, AUTO, VALID, ("Auto", "Valid")),
        "adapter": tuple(texts[i] for i in ADAPTER_OCTETS), "adapter_port": texts[ADAPTER_PORT],
        "access": tuple(texts[i] for i in ACCESS_OCTETS), "access_port": texts[ACCESS_PORT],
        "pc_name": texts[PC_NAME],
    }


def expect_form(dialog, expected, when):
    shown = shown_form(dialog)
    wrong = {key: value for key, value in shown.items() if value != expected[key]}
    assert not wrong, f"settings dialog {when} shows {wrong}, expected {({key: expected[key] for key in wrong})}"


LOCAL = ("127", "0", "0", "1")


@scenario("network")
def settings_round_trip(ctx):
    # How typed numbers and versions are read back, and which edits the
    # radio buttons enable, are unit tests; here the dialog's way to the file.
    app = ctx.launch()
    dialog = open_settings(app)
    expect_form(dialog, DEFAULT_FORM, "at the first opening")
    # Cancel and the close box forget what was edited.
    for leave in (lambda: dialog.dismiss(SETTINGS_CANCEL), dialog.close):
        dialog.settext(ACCESS_PORT, "2222")
        dialog.combo_select(VERSION_COMBO, "1.0")
        dialog.click(SERVER)
        leave()
        dialog = open_settings(app)
        expect_form(dialog, DEFAULT_FORM, "after leaving without OK")

    # Enter accepts nothing: the dialog stays open and takes what is typed next.
    dialog.settext(ACCESS_PORT, "")
    dialog.key(VK_RETURN)
    dialog.type(ACCESS_PORT, "x80")
    settle(lambda: dialog.text(ACCESS_PORT), "x80", "the port typed after Enter")
    dialog.settext(ACCESS_PORT, "80")
    dialog.combo_select(VERSION_COMBO, "2.2")
    for button in (SERVER, UDP, VALID):
        dialog.click(button)
    for edit, text in zip((*ADAPTER_OCTETS, ADAPTER_PORT), (*LOCAL, "4000")):
        dialog.settext(edit, text)
    dialog.dismiss(SETTINGS_OK)
    app.end()
    keys = ("wsa_ver", "ip_mode", "tipudp_mode", "bind_mode", "aip_no1", "aip_no2", "aip_no3", "aip_no4",
            "aport_no", "port_no")
    expected = dict(zip(keys, ("4", "1", "1", "1", "127", "0", "0", "1", "4000", "80")))
    assert ctx.stored(*keys) == expected, ctx.stored(*keys)

    # The next run shows what was stored.
    app = ctx.launch()
    edited = dict(DEFAULT_FORM, version="2.2", mode="server", protocol="UDP", bind="Valid", adapter=LOCAL,
                  adapter_port="4000", access_port="80")
    dialog = open_settings(app)
    expect_form(dialog, edited, "in the next run")
    dialog.close()
    app.end()


@scenario("network")
def pc_name_lookup(ctx):
    app = ctx.launch(files={"Lanvisor.ini": settings_file(**BEFORE_TOOLS)})
    dialog = open_settings(app)
    dialog.settext(PC_NAME, "localhost")
    dialog.click(IP_SET)
    settle(lambda: shown_form(dialog)["access"], LOCAL, "access point after IP SET on localhost")
    assert app.boxes() == [dialog.title], f"boxes after the lookup: {app.boxes()}"
    dialog.dismiss(SETTINGS_OK)

    # A refused name leaves the access point as it was; what else was
    # typed is taken all the same, also when the dialog is then cancelled.
    dialog = open_settings(app)
    expect_form(dialog, dict(BEFORE_TOOLS_FORM, access=LOCAL, pc_name="localhost"), "after the lookup")
    dialog.settext(PC_NAME, "bad..name")
    dialog.settext(ACCESS_PORT, "3000")
    dialog.click(IP_SET)
    app.expect_box("error", pattern=r"getaddrinfo failed: -?[0-9]+\n?")
    form = dict(BEFORE_TOOLS_FORM, access=LOCAL, access_port="3000", pc_name="bad..name")
    settle(lambda: shown_form(dialog), form, "the dialog after a refused name")
    dialog.dismiss(SETTINGS_CANCEL)
    app.end()
    keys = ("ip_no1", "ip_no2", "ip_no3", "ip_no4", "port_no", "mypcname")
    assert ctx.stored(*keys) == dict(zip(keys, (*LOCAL, "3000", "bad..name"))), ctx.stored(*keys)


def adapter_lines(app, dialog):
    """Opens the adapter search from the settings dialog: its list lines."""
    dialog.click(ADAPTER_SEARCH)
    return app.wait_window(ADAPTER_DIALOG).items(ADAPTER_LIST)


def batch_line(name, tail):
    return f'netsh interface ip set address "{name}"{tail}\r\n'.encode("ascii")


def batch_files(ctx):
    """{name: bytes} of the address batch files written."""
    folder = ctx.file("ipaddress")
    return {entry.name: entry.read_bytes() for entry in folder.iterdir()} if folder.exists() else {}


@scenario("network")
def adapter_search_and_address_batch_files(ctx):
    app = ctx.launch(files={"Lanvisor.ini": settings_file(**BEFORE_TOOLS)})
    dialog = open_settings(app)
    adapters = app.window(ADAPTER_DIALOG)
    # SET without a choice, and Close with one, close and change nothing.
    lines = adapter_lines(app, dialog)
    assert all(re.fullmatch(r"IP=\S* :Name=.+ \(.*\)", line) for line in lines), lines
    loopback = [line for line in lines if line.startswith("IP=127.0.0.1 ")]
    assert len(loopback) == 1, f"no single loopback line among the adapters: {lines}"
    adapters.dismiss(ADAPTER_SET)
    expect_form(dialog, BEFORE_TOOLS_FORM, "after SET without a choice")
    assert adapter_lines(app, dialog) == lines
    adapters.combo_select(ADAPTER_LIST, loopback[0])
    adapters.dismiss(ADAPTER_CLOSE)
    expect_form(dialog, BEFORE_TOOLS_FORM, "after Close")

    dialog.click(IP_ADDRESS_SET)
    batches = app.wait_window(IP_DIALOG)
    assert batches.items(BATCH_LIST) == []
    batches.click(BATCH_ADD)
    add = app.wait_window(ADD_DIALOG)
    # By name, every adapter of the search but the loopback, in the same order.
    names = [re.fullmatch(r"IP=.* :Name=(.+) \(.*\)", line).group(1) for line in lines if line not in loopback]
    assert add.items(ADD_ADAPTERS) == names, f"add dialog {add.items(ADD_ADAPTERS)}, adapters {lines}"
    usable = [name for name in names if re.fullmatch(r"[A-Za-z0-9 ._-]+", name)]
    assert usable, f"no adapter besides the loopback to write a batch file for: {lines}"
    name = usable[0]
    fields = ADD_ADDRESS + ADD_MASK
    assert [add.text(i) for i in fields] == ["192", "168", "", "", "255", "255", "255", "0"]

    # Refused: no adapter chosen, or an address field left empty.
    for edit, text in ((ADD_ADDRESS[0], "127"), (ADD_ADDRESS[1], "0"), (ADD_ADDRESS[3], "5")):
        add.settext(edit, text)
    add.click(ADD_SET)
    app.expect_box("listbox", "Please select an item.")
    add.combo_select(ADD_ADAPTERS, name)
    add.click(ADD_SET)
    app.expect_box("input", "Please enter all addresses.")
    assert batch_files(ctx) == {}, batch_files(ctx)

    add.settext(ADD_ADDRESS[2], "0")
    for edit, text in zip(ADD_MASK, ("255", "0", "0", "0")):
        add.settext(edit, text)
    add.click(ADD_SET)
    fixed = {f"{name}_127_0_0_5.bat": batch_line(name, " static 127.0.0.5 255.0.0.0")}
    settle(lambda: batch_files(ctx), fixed, "batch files")
    # Auto needs no address; the dialog stays open for more files.
    add.click(ADD_AUTO)
    settle(lambda: [add.state(i)["enabled"] for i in fields], [0] * 8, "address fields with Auto")
    add.click(ADD_SET)
    both = dict(fixed, **{f"{name}_auto.bat": batch_line(name, " dhcp")})
    settle(lambda: batch_files(ctx), both, "batch files")
    assert sorted(app.boxes()) == sorted([dialog.title, IP_DIALOG, ADD_DIALOG]), f"boxes after writing: {app.boxes()}"
    add.dismiss(ADD_CLOSE)

    settle(lambda: sorted(batches.items(BATCH_LIST)), sorted(both), "batch files listed")
    # Delete takes the chosen file away at once.
    batches.combo_select(BATCH_LIST, f"{name}_auto.bat")
    batches.click(BATCH_DELETE)
    settle(lambda: batches.items(BATCH_LIST), list(fixed), "batch files listed after the delete")
    assert batch_files(ctx) == fixed
    batches.dismiss(BATCH_CANCEL)
    # Writing files changes no address.
    expect_form(dialog, BEFORE_TOOLS_FORM, "after writing batch files")

    # SET with the loopback chosen takes its address for the adapter.
    adapter_lines(app, dialog)
    adapters.combo_select(ADAPTER_LIST, loopback[0])
    adapters.dismiss(ADAPTER_SET)
    settle(lambda: shown_form(dialog)["adapter"], LOCAL, "adapter address after SET")
    dialog.dismiss(SETTINGS_OK)
    app.end()
    keys = ("aip_no1", "aip_no2", "aip_no3", "aip_no4")
    assert ctx.stored(*keys) == dict(zip(keys, LOCAL)), ctx.stored(*keys)


# Stands in for the sample connect_ip.bat, which would read this machine's
# ARP table: it only counts its runs.
CONNECT_BATCH = b'@echo off\r\necho run>> "%~dp0connect_runs.txt"\r\n'
# A log as an ARP listing gives it: a heading whose address ends past the
# part of the line that is read, a device line with leading blanks and the
# same device again, one address that begins with another, and a last line
# without its line end.
CONNECT_LOG = (b"\r\nInterface: 127.0.0.1 --- 0x1\r\n"
               b"  Internet Address      Physical Address      Type\r\n"
               b"127.0.0.10 00-11-22-33-44-55 dynamic\r\n"
               b"  127.0.0.1             00-11-22-33-44-66     dynamic\r\n"
               b"  127.0.0.1             00-11-22-33-44-66     dynamic\r\n"
               b"127.0.0.3")


@scenario("network")
def connect_ip_search(ctx):
    app = ctx.launch(files={"Lanvisor.ini": settings_file(**BEFORE_TOOLS), "connect_ip.bat": CONNECT_BATCH,
                            "log.txt": CONNECT_LOG})
    dialog = open_settings(app)
    # Pressed not as administrator: the batch file runs once, the list shows the log.
    assert dialog.state(RUN_AS_ADMIN)["checked"] == 0, "the administrator box is ticked"
    dialog.click(CONNECT_SEARCH)
    search = app.wait_window(CONNECT_DIALOG)
    settle(lambda: ctx.file("connect_runs.txt").exists() and ctx.file("connect_runs.txt").read_bytes().split(),
           [b"run"], "runs of connect_ip.bat")
    entries = ["IP=127.0.0.10", "IP=127.0.0.1", "IP=127.0.0.3"]
    settle(lambda: search.items(CONNECT_LIST), entries, "connect-IP list")
    search.combo_select(CONNECT_LIST, "IP=127.0.0.1")
    search.dismiss(CONNECT_SET)
    settle(lambda: shown_form(dialog)["access"], LOCAL, "access point after SET")
    assert ctx.file("log.txt").read_bytes() == CONNECT_LOG, "log.txt changed"

    dialog.dismiss(SETTINGS_OK)
    app.end()
    keys = ("ip_no1", "ip_no2", "ip_no3", "ip_no4")
    assert ctx.stored(*keys) == dict(zip(keys, LOCAL)), ctx.stored(*keys)
    wait_until(lambda: not ctx.session.processes("cmd.exe"), what="connect_ip.bat still running")


@scenario("network")
def udp_server_hears_its_group(ctx):
    # The group and TTL show from the file (English) and are checked at OK
    # (Japanese); the server joins the group typed: a datagram sent to it on
    # 127.0.0.1 with TTL 0 is recorded after its sender's address.
    port = free_port(socket.SOCK_DGRAM)
    server = dict(tipudp_mode=1, ip_mode=1, bind_mode=1, aport_no=port, **LOOPBACK_LOCAL)
    app = ctx.launch(files={"Lanvisor.ini": settings_file(moji_type=1, mcast_group="239.255.0.8", mcast_ttl=0, **server)})
    dialog = app.open_dialog(SETTINGS_COMMAND, SETTINGS_TITLE, "e")
    assert (dialog.text(GROUP), dialog.text(TTL)) == ("239.255.0.8", "0")
    ctx.screenshot("multicast-fields-english")
    dialog.close()
    app.end()
    app = ctx.launch(files={"Lanvisor.ini": settings_file(**server)})
    dialog = open_settings(app)
    for group, ttl, refused in (("223.255.0.9", "0", GROUP_REFUSED), ("239.255.0.9", "256", TTL_REFUSED)):
        dialog.settext(GROUP, group)
        dialog.settext(TTL, ttl)
        dialog.click(SETTINGS_OK)
        app.expect_box(ctx.language_text(SETTINGS_TITLE, "j"), ctx.language_text(refused, "j"))
    dialog.settext(TTL, "0")
    ctx.screenshot("multicast-fields-japanese")
    dialog.dismiss(SETTINGS_OK)
    app.open_connection(client=False)
    layout, before = MainWindowLayout(app), ctx.screenshot("open")
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
        sender.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, 0)
        sender.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton("127.0.0.1"))
        sender.sendto(b"GROUP", ("239.255.0.9", port))
    ctx.wait_for_screen("group-datagram", lambda shot: None if shot.changed(before, layout.trace) else "nothing came")
    app.close_connection()
    assert len(save_trace(ctx, app, "group")) == trace_file_size(4 + 5 + 3)  # its sender's address, GROUP, trailer
    app.end()
    assert ctx.stored("mcast_group", "mcast_ttl") == {"mcast_group": "239.255.0.9", "mcast_ttl": "0"}
