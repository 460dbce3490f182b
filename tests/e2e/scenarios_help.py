"""The about box, the manual, the web pages and macro-file editing: what the
user sees, and which document the program hands to the system."""
import subprocess

from lanvisor_e2e import FILE_NAME_BOX, IDCANCEL, IDOK, scenario, wait_until

MACRO_FILE_EDITING, ABOUT, MANUAL, WEB_PAGE = 228, 251, 252, 253
ABOUT_VERSION, ABOUT_BUILD, ABOUT_OK, ABOUT_NEW_VERSION = 1001, 1002, 1041, 1042
MANUAL_CAPTION, MANUAL_MISSING = 0, 1
MACRO_EDIT_TITLE = "MACROファイル編集"


def set_default_value(ctx, key, value):
    subprocess.run(["wine", "reg", "add", key, "/ve", "/d", value, "/f"], env=ctx.session.env(), check=True,
                   timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def open_with_notepad(ctx, extension):
    """Makes Notepad the program that opens files of this extension in the
    test prefix, so an opened document shows as a Notepad process with its
    path."""
    kind = f"{extension}file"
    set_default_value(ctx, f"HKCR\\.{extension}", kind)
    set_default_value(ctx, f"HKCR\\{kind}\\shell\\open\\command", 'notepad.exe "%1"')


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
    open_with_notepad(ctx, "pdf")
    set_default_value(ctx, "HKCR\\https\\shell\\open\\command", 'notepad.exe "%1"')
    app = ctx.launch(files={"loop.txt": "\ufeffSEND 'A'\r\n".encode("utf-16-le")})
    assert ctx.file("Lanvisor_manual.pdf").read_bytes().startswith(b"%PDF-"), "no manual beside the program"
    app.command(MANUAL)
    wait_opened(app, "Lanvisor_manual.pdf")
    assert app.boxes() == [], app.boxes()
    app.command(WEB_PAGE)
    wait_opened(app, "https://www.lanvisor.dev/")

    # Cancelling the macro file choice opens nothing; a chosen file opens in
    # the editor the system has for text files.
    app.command(MACRO_FILE_EDITING)
    chooser = app.wait_window(MACRO_EDIT_TITLE)
    chooser.click(IDCANCEL)
    chooser.wait_gone()
    assert not ctx.notepads()
    app.command(MACRO_FILE_EDITING)
    chooser = app.wait_window(MACRO_EDIT_TITLE)
    chooser.settext(FILE_NAME_BOX, "loop.txt")
    chooser.click(IDOK)
    chooser.wait_gone()
    wait_opened(app, "loop.txt")

    app.command(ABOUT)
    about = app.wait_window(ctx.language_text(40, "j"))
    assert about.text(ABOUT_VERSION) == "Version 1.168", about.text(ABOUT_VERSION)
    build = about.text(ABOUT_BUILD)
    month, day, year = build.removeprefix("Build: ").split(" ")
    assert build.startswith("Build: ") and len(month) == 3 and day.isdigit() and len(year) == 4, build
    texts = [control.text for control in about.controls()]
    for fixed in ("LAN communication", "debugging software", "Lanvisor", "NewVersion"):
        assert fixed in texts, texts
    ctx.screenshot("about")
    about.click(ABOUT_NEW_VERSION)
    wait_opened(app, "https://www.lanvisor.dev/download/")
    assert about.title in app.boxes(), "the about box closed on NewVersion"
    about.click(ABOUT_OK)
    about.wait_gone()
    # The close box closes it too.
    app.command(ABOUT)
    about.wait()
    about.close()
    assert app.boxes() == [], app.boxes()

    ctx.file("Lanvisor_manual.pdf").unlink()
    app.command(MANUAL)
    caption = ctx.language_text(MANUAL_CAPTION, "j")
    assert app.msgbox_text(caption) == ctx.language_text(MANUAL_MISSING, "j")
    app.answer(caption, IDOK)
    assert not ctx.notepads()
    app.end()
