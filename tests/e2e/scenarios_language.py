"""Language choice and the clear-trace question, whose text follows it."""
from lanvisor_e2e import IDNO, IDYES, scenario, settings_file, wait_until

LANGUAGE_DIALOG = "setup of language"
LANGUAGE_COMBO, LANGUAGE_OK = 1201, 1041
CLEAR_TRACE = 211
LANGUAGE_DIALOG_COMMAND = 243
CLEAR_QUESTION = 5
LANGUAGES = ["Japanese", "English", "Korean", "Chinese"]
VK_RETURN = 0x0D


def clear_question(app, ctx, language, answer=IDNO):
    """Asks the clear-trace question, checks its text in the language, answers."""
    app.command(CLEAR_TRACE)
    text = app.msgbox_text("Lanvisor")
    expected = ctx.language_text(CLEAR_QUESTION, language)
    assert expected, f"the language file has no text {CLEAR_QUESTION} for {language}"
    assert text == expected, f"clear question {text!r}, expected {expected!r}"
    app.answer("Lanvisor", answer)


def choose_language(app, *, shown, select=None, typed=None):
    """Opens the language dialog, checks the name it shows, picks an entry or
    types a name, and accepts with OK."""
    app.command(LANGUAGE_DIALOG_COMMAND)
    dialog = app.wait_window(LANGUAGE_DIALOG)
    assert dialog.items(LANGUAGE_COMBO) == LANGUAGES
    assert dialog.text(LANGUAGE_COMBO) == shown
    if select:
        dialog.combo_select(LANGUAGE_COMBO, select)
    else:
        # Enter on the way accepts nothing: the dialog stays open and takes
        # the rest of the typing.
        dialog.settext(LANGUAGE_COMBO, "")
        dialog.key(VK_RETURN)
        dialog.type(LANGUAGE_COMBO, typed)
        wait_until(lambda: dialog.text(LANGUAGE_COMBO) == typed, what=f"{typed!r} typed after Enter")
    dialog.click(LANGUAGE_OK)
    dialog.wait_gone()


@scenario("language")
def switch_to_english(ctx):
    app = ctx.launch()
    clear_question(app, ctx, "j")
    choose_language(app, shown="Japanese", select="English")
    clear_question(app, ctx, "e")
    # The dialog shows the language now in use.
    choose_language(app, shown="English", select="English")
    app.end()
    assert ctx.settings()["moji_type"] == "1"


@scenario("language")
def lower_case_name_means_japanese(ctx):
    # Names are compared exactly: "english" is no language name, so it
    # falls back to Japanese even when English was in use.
    app = ctx.launch(files={"Lanvisor.ini": settings_file(moji_type=1)})
    clear_question(app, ctx, "e")
    choose_language(app, shown="English", typed="english")
    clear_question(app, ctx, "j")
    app.end()
    assert ctx.settings()["moji_type"] == "0"


@scenario("clear")
def question_answers(ctx):
    # Either answer closes the box and leaves the program running and usable:
    # the next command reaches the main window only if no box holds it.
    app = ctx.launch()
    for answer in (IDNO, IDYES):
        clear_question(app, ctx, "j", answer)
        assert app.process.poll() is None, f"Lanvisor.exe ended after answer {answer}"
        assert app.boxes() == [], f"boxes left after answer {answer}: {app.boxes()}"
    app.end()
