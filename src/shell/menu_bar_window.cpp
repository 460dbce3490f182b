#include "shell/menu_bar_window.h"

#include "appearance/dark_mode.h"
#include "common/text_table.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"
#include "shell/menu_layout.h"

namespace {

HMENU menuBar = nullptr;
HBITMAP menuImages[kToolbarImages] = {};

void DeleteMenuImages() {
    for (HBITMAP& image : menuImages) {
        if (image) DeleteObject(image);
        image = nullptr;
    }
}

// Cuts the 26 images of the light strip into bitmaps of their own.
void LoadMenuImages(HWND mainWindow) {
    DeleteMenuImages();
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_TOOLBAR_LIGHT), IMAGE_BITMAP, 0, 0, 0));
    if (!strip) return;
    HDC windowDc = GetDC(mainWindow);
    HDC from = CreateCompatibleDC(windowDc);
    HDC to = CreateCompatibleDC(windowDc);
    HGDIOBJ oldFrom = SelectObject(from, strip);
    for (int i = 0; i < kToolbarImages; ++i) {
        menuImages[i] = CreateCompatibleBitmap(windowDc, kToolbarImageSize, kToolbarImageSize);
        HGDIOBJ oldTo = SelectObject(to, menuImages[i]);
        BitBlt(to, 0, 0, kToolbarImageSize, kToolbarImageSize, from, i * kToolbarImageSize, 0, SRCCOPY);
        SelectObject(to, oldTo);
    }
    SelectObject(from, oldFrom);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(mainWindow, windowDc);
    DeleteObject(strip);
}

// A command without a toolbar image keeps the plain check mark.
void AppendItem(HMENU popup, const CommandEntry& command) {
    std::u16string text = AppText(command.textNumber);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | (command.image == kNoImage ? 0 : MIIM_CHECKMARKS);
    info.wID = static_cast<UINT>(command.menuId);
    info.dwTypeData = const_cast<wchar_t*>(AsWide(text.c_str()));
    if (command.image != kNoImage) info.hbmpChecked = info.hbmpUnchecked = menuImages[command.image];
    InsertMenuItemW(popup, GetMenuItemCount(popup), TRUE, &info);
}

}  // namespace

void BuildMenuBar(HWND mainWindow) {
    menuBar = CreateMenu();
    HMENU popups[7] = {};
    int position = 0;
    for (const MenuPopupEntry& entry : MenuPopups()) {
        popups[position] = CreatePopupMenu();
        std::u16string title = AppText(entry.textNumber);
        InsertMenuW(menuBar, position, MF_BYPOSITION | MF_POPUP | MF_STRING,
                    reinterpret_cast<UINT_PTR>(popups[position]), AsWide(title.c_str()));
        ++position;
    }
    LoadMenuImages(mainWindow);
    position = 0;
    for (const MenuPopupEntry& entry : MenuPopups()) {
        for (CommandAction action : entry.items) AppendItem(popups[position], CommandFor(action));
        if (entry.separatorAtEnd) AppendMenuW(popups[position], MF_SEPARATOR, 0, nullptr);
        ++position;
    }
    SetMenu(mainWindow, menuBar);
    DrawMenuBar(mainWindow);
}

void DestroyMenuBar(HWND mainWindow) {
    if (!menuBar) return;
    SetMenu(mainWindow, nullptr);
    DestroyMenu(menuBar);  // the popups go with it
    menuBar = nullptr;
    DeleteMenuImages();
}

void RebuildMenuBar(HWND mainWindow) {
    if (g_Appearance.NoMenuBar) return;
    DestroyMenuBar(mainWindow);
    BuildMenuBar(mainWindow);
}
