#include "shell/toolbar_window.h"

#include <commctrl.h>

#include "appearance/dark_mode.h"
#include "resources/resource_ids.h"
#include "shell/menu_layout.h"

namespace {

constexpr int kToolbarId = 329;
constexpr DWORD kToolbarStyle = 0x50008D20;  // child, visible, flat, transparent, tooltips, Alt-drag
// The strips' background colors, taken as transparent so that grayed
// buttons show grayed icons rather than gray squares.
constexpr COLORREF kLightStripBack = RGB(240, 240, 240);
constexpr COLORREF kDarkStripBack = RGB(32, 32, 32);
HWND toolbar = nullptr;
HIMAGELIST images = nullptr;

void SetStates(bool connectionOpen) {
    if (!toolbar) return;
    for (CommandAction action : ToolbarButtons()) {
        int id = CommandFor(action).toolbarId;
        // A disabled button shows grayed (indeterminate) and gives no command.
        BYTE state = IsCommandEnabled(id, connectionOpen) ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
        SendMessageW(toolbar, TB_SETSTATE, id, MAKELONG(state, 0));
    }
}

}  // namespace

void CreateMainToolbar(HWND mainWindow) {
    TBBUTTON buttons[kToolbarImages] = {};
    int i = 0;
    for (CommandAction action : ToolbarButtons()) {
        const CommandEntry& command = CommandFor(action);
        buttons[i].iBitmap = command.image;
        buttons[i].idCommand = command.toolbarId;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = TBSTYLE_BUTTON;
        ++i;
    }
    UINT strip = g_Appearance.DarkMode ? IDB_TOOLBAR_DARK : IDB_TOOLBAR_LIGHT;
    toolbar = CreateToolbarEx(mainWindow, kToolbarStyle, kToolbarId, kToolbarImages, GetModuleHandleW(nullptr), strip,
                              nullptr, 0, kToolbarImageSize, kToolbarImageSize, kToolbarImageSize, kToolbarImageSize,
                              sizeof(TBBUTTON));
    if (!toolbar) return;
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(kToolbarImageSize, kToolbarImageSize));
    images = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(strip), kToolbarImageSize, 0,
                                  g_Appearance.DarkMode ? kDarkStripBack : kLightStripBack, IMAGE_BITMAP,
                                  LR_CREATEDIBSECTION);
    if (images) SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(toolbar, TB_ADDBUTTONSW, kToolbarImages, reinterpret_cast<LPARAM>(buttons));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    SetToolbarDisconnected();
}

void ForwardSizeToToolbar() {
    if (toolbar) SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

void SetToolbarConnected() { SetStates(true); }
void SetToolbarDisconnected() { SetStates(false); }
