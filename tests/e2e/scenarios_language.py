"""Language choice: the clear-trace question follows it, and a name that is
not exactly one of the offered ones means Japanese."""
from lanvisor_e2e import scenario, settings_file, settle

LANGUAGE_DIALOG, LANGUAGE_COMBO, LANGUAGE_OK, LANGUAGE_COMMAND = "setup of language", 1201, 1041, 243
VK_RETURN = 0x0D


@scenario("language")
def lower_case_name_means_japanese(ctx):
    # Names are compared exactly: "english" is no language name, so it
    # falls back to Japanese even when English was in use.
    app = ctx.launch(files={"Lanvisor.ini": settings_file(moji_type=1)})
    app.expect_clear_question("e")
    dialog = app.open_dialog(LANGUAGE_COMMAND, LANGUAGE_DIALOG)
    assert dialog.items(LANGUAGE_COMBO) == ["Japanese", "English", "Korean", "Chinese"]
    assert dialog.text(LANGUAGE_COMBO) == "English"
    # Enter on the way accepts nothing: the dialog stays open and takes the
    # rest of the typing.
    dialog.settext(LANGUAGE_COMBO, "")
    dialog.key(VK_RETURN)
    dialog.type(LANGUAGE_COMBO, "english")
    settle(lambda: dialog.text(LANGUAGE_COMBO), "english", "the name typed after Enter")
    dialog.dismiss(LANGUAGE_OK)
    app.expect_clear_question("j")
    app.end()
    assert ctx.settings()["moji_type"] == "0"
