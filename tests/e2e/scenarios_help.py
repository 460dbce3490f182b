"""The about box, the manual, the web pages and macro-file editing: what the
user sees, and which document the program hands to the system."""
import subprocess

from lanvisor_e2e import FILE_NAME_BOX, IDCANCEL, IDOK, scenario, wait_until

MACRO_FILE_EDITING, ABOUT, MANUAL, WEB_PAGE = 228, 251, 252, 253
ABOUT_TITLE, ABOUT_VERSION, ABOUT_OK, ABOUT_NEW_VERSION = 40, 1001, 1041, 1042
MANUAL_CAPTION, MANUAL_MISSING = 0, 1
MACRO_EDIT_TITLE = "MACROファイル編集"


def wait_opened(app, name):
    """Waits for Notepad with this document or address, and for its window:
    the shell returns to the program only once the started program is ready
    for input, so ending Notepad before then could fail the launch."""
    ctx = app.ctx
    wait_until(lambda: any(name in command for _, command in ctx.notepads()),
               what=f"Notepad with {name}; running: {ctx.session.processes()}")
    wait_until(lambda: any(cls == "Notepad" for cls, _ in app.windows()), what="the Notepad window")
    ctx.end_notepads()


@scenario("help")
def documents_and_pages_open(ctx):
    # Notepad stands in for the PDF viewer and the browser: the document or
    # address shows on its command line. The test prefix opens text files
    # with Notepad, as Windows does.
    for key in ("HKCR\\pdffile\\shell\\open\\command", "HKCR\\https\\shell\\open\\command"):
        subprocess.run(["wine", "reg", "add", key, "/ve", "/d", 'notepad.exe "%1"', "/f"], env=ctx.session.env(),
                       check=True, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    app = ctx.launch(files={"loop.txt": "\ufeffSEND 'A'\r\n".encode("utf-16-le")})
    assert ctx.file("Lanvisor_manual.pdf").read_bytes().startswith(b"%PDF-"), "no manual beside the program"
    app.command(MANUAL)
    wait_opened(app, "Lanvisor_manual.pdf")
    assert app.boxes() == [], app.boxes()
    app.command(WEB_PAGE)
    wait_opened(app, "https://www.lanvisor.dev/")

    # Cancelling the macro file choice opens nothing; a chosen file opens in
    # the editor the system has for text files.
    app.open_dialog(MACRO_FILE_EDITING, MACRO_EDIT_TITLE).dismiss(IDCANCEL)
    assert not ctx.notepads()
    chooser = app.open_dialog(MACRO_FILE_EDITING, MACRO_EDIT_TITLE)
    chooser.settext(FILE_NAME_BOX, "loop.txt")
    chooser.dismiss(IDOK)
    wait_opened(app, "loop.txt")

    # The about box: its version, and its buttons.
    about = app.open_dialog(ABOUT, ABOUT_TITLE)
    assert about.text(ABOUT_VERSION) == "Version 1.168", about.text(ABOUT_VERSION)
    ctx.screenshot("about")
    about.click(ABOUT_NEW_VERSION)
    wait_opened(app, "https://www.lanvisor.dev/download/")
    assert about.title in app.boxes(), "the about box closed on NewVersion"
    about.dismiss(ABOUT_OK)

    ctx.file("Lanvisor_manual.pdf").unlink()
    app.command(MANUAL)
    app.expect_box(ctx.language_text(MANUAL_CAPTION, "j"), ctx.language_text(MANUAL_MISSING, "j"))
    assert not ctx.notepads()
    app.end()
