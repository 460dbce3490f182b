"""Language choice: the clear-trace question follows it, and a name that is
not exactly one of the offered ones means Japanese."""
from lanvisor_e2e import IDNO, scenario, settings_file, wait_until

LANGUAGE_DIALOG, LANGUAGE_COMBO, LANGUAGE_OK, LANGUAGE_COMMAND = "setup of language", 1201, 1041, 243
CLEAR_TRACE, CLEAR_QUESTION = 211, 5
VK_RETURN = 0x0D


def clear_question(app, ctx, language):
    """Asks the clear-trace question, checks its text in the language, answers No."""
    app.command(CLEAR_TRACE)
    text = app.msgbox_text("Lanvisor")
    expected = ctx.language_text(CLEAR_QUESTION, language)
    assert expected, f"the language file has no text {CLEAR_QUESTION} for {language}"
    assert text == expected, f"clear question {text!r}, expected {expected!r}"
    app.answer("Lanvisor", IDNO)


@scenario("language")
def lower_case_name_means_japanese(ctx):
    # Names are compared exactly: "english" is no language name, so it
    # falls back to Japanese even when English was in use.
    app = ctx.launch(files={"Lanvisor.ini": settings_file(moji_type=1)})
    clear_question(app, ctx, "e")
    app.command(LANGUAGE_COMMAND)
    dialog = app.wait_window(LANGUAGE_DIALOG)
    assert dialog.items(LANGUAGE_COMBO) == ["Japanese", "English", "Korean", "Chinese"]
    assert dialog.text(LANGUAGE_COMBO) == "English"
    # Enter on the way accepts nothing: the dialog stays open and takes the
    # rest of the typing.
    dialog.settext(LANGUAGE_COMBO, "")
    dialog.key(VK_RETURN)
    dialog.type(LANGUAGE_COMBO, "english")
    wait_until(lambda: dialog.text(LANGUAGE_COMBO) == "english", what="'english' typed after Enter")
    dialog.click(LANGUAGE_OK)
    dialog.wait_gone()
    clear_question(app, ctx, "j")
    app.end()
    assert ctx.settings()["moji_type"] == "0"
