"""Reply rules in the window: the program, a TCP server on 127.0.0.1, plays
the device by a rules file, switched on from the menu; the rules dialog
shows the rules with their hit counts as they change, and a file saved
again while the rules are on is read again; Edit opens it in the editor."""
from device_sim import TcpClient
from lanvisor_e2e import (CLOSE as CLOSE_CONNECTION, IDYES, LOOPBACK, LOOPBACK_LOCAL, OPEN, SUCCESS, free_port,
                          scenario, settings_file, settle)
from scenarios_help import wait_opened

REPLY_RULES, REPLY_AUTOMATICALLY = 235, 236
RULES_TITLE = 290
CLOSE_QUESTION_CAPTION, CLOSE_QUESTION = 21, 22
RULES_LIST, UNMATCHED, FAILED, ERROR_LINE, EDIT, CLOSE = 1072, 1006, 1008, 1009, 1041, 1043

RULES = ("# a line device\n"
         "frame delimiter 0A\n"
         "on 'PING'0A reply 'PONG'0A\n"
         "on regex '^ID\\? ?([0-9]+)' reply 'DEV' $1 0A\n")
PING_RULE = "on 'PING'0A reply 'PONG'0A"
ID_RULE = "on regex '^ID\\? ?([0-9]+)' reply 'DEV' $1 0A"


@scenario("replies")
def tcp_server_answers_by_rules(ctx):
    port = free_port()
    settings = settings_file(tipudp_mode=0, ip_mode=1, bind_mode=1, aport_no=port, reply_rules="replies.txt",
                             **LOOPBACK_LOCAL, **LOOPBACK)
    app = ctx.launch(files={"Lanvisor.ini": settings, "replies.txt": RULES.encode()})
    app.command(OPEN)
    app.expect_startup_box()
    app.expect_box("LAN connection", "Success of thread!")
    app.command(REPLY_AUTOMATICALLY)
    # Commands are taken in order: once the dialog shows, the rules are on.
    dialog = app.open_dialog(REPLY_RULES, RULES_TITLE)
    assert dialog.items(RULES_LIST) == [f"3\t0\t{PING_RULE}", f"4\t0\t{ID_RULE}"], dialog.items(RULES_LIST)

    # A request in two pieces is one frame; each answer is exactly the rule's.
    peer = ctx.device(TcpClient(port))
    peer.send(b"PI")
    peer.wait_read_by_peer()
    peer.send(b"NG\n")
    assert peer.wait_bytes(5) == b"PONG\n", peer.received
    peer.send(b"ID? 7\n")
    assert peer.wait_bytes(10) == b"PONG\nDEV7\n", peer.received
    peer.send(b"HELLO\n")
    settle(lambda: dialog.items(RULES_LIST), [f"3\t1\t{PING_RULE}", f"4\t1\t{ID_RULE}"], "hit counts")
    settle(lambda: dialog.text(UNMATCHED), "1", "unmatched frames")
    assert dialog.text(FAILED) == "0" and dialog.text(ERROR_LINE) == ""
    assert peer.received == b"PONG\nDEV7\n", "a frame no rule matched was answered"
    ctx.screenshot("rules dialog with hits")

    # Saved again while on: read again, counts from 0; a broken save keeps
    # the rules in use and says why.
    ctx.file("replies.txt").write_bytes(RULES.replace("'PONG'", "'PONG2'").encode())
    settle(lambda: dialog.items(RULES_LIST)[0], f"3\t0\ton 'PING'0A reply 'PONG2'0A", "the rules read again")
    ctx.file("replies.txt").write_bytes(b"frame delimiter 0A\non 'PING'0A replay 'X'\n")
    settle(lambda: dialog.text(ERROR_LINE), "replies.txt:2:13: unknown word 'replay'", "the error line")
    peer.send(b"PING\n")
    assert peer.wait_bytes(16) == b"PONG\nDEV7\nPONG2\n", peer.received
    settle(lambda: dialog.items(RULES_LIST)[0], f"3\t1\ton 'PING'0A reply 'PONG2'0A", "the hit by the rules in use")
    ctx.screenshot("rules dialog with error")
    # Edit hands the file to the system's editor for it.
    dialog.click(EDIT)
    wait_opened(app, "replies.txt")
    dialog.dismiss(CLOSE)
    app.expect_no_boxes("after the rules dialog")

    # The client is still there: the close asks first.
    app.command(CLOSE_CONNECTION)
    app.expect_box(ctx.language_text(CLOSE_QUESTION_CAPTION, "j"), ctx.language_text(CLOSE_QUESTION, "j"),
                   answer=IDYES)
    app.expect_box("LAN disconnect", SUCCESS)
    peer.wait_disconnects(1)
    app.end()
    assert ctx.stored("reply_rules", "reply_on") == {"reply_rules": "replies.txt", "reply_on": "1"}, ctx.settings()
