// Drives the running program from outside, as a user would, for run.sh and
// the end-to-end tests: runs under Wine beside the program, one command per
// start (the list is in Usage below).
//
// Windows are found by exact title among the visible top-level windows of all
// processes; --class narrows the search to one window class. Commands that
// need a window wait up to --timeout (default 10000 ms) for it. Commands that
// act as the user would (command, key, keyup, click, settext, type,
// combo-select, tbclick) refuse a window that a modal dialog or message box
// disables; they post their messages, so that the driver is not held up when
// the program opens a modal dialog. tbclick moves the real mouse pointer to
// the button, clicks, and parks the pointer in the screen's bottom-right
// corner so that no tooltip or hot button stays behind.
//
// Output is UTF-8, one result a line; texts in the lines of items, texts and
// windows escape backslash, tab, CR and LF as \\ \t \r \n. "wait" prints the
// window's class, "state" "visible=V enabled=E checked=C", "texts"
// id<TAB>class<TAB>text, rect and client left top right bottom in screen
// pixels, "menu" "none" or "items=N", "tbstate" "command-id state" per
// button, "windows" handle<TAB>class<TAB>title<TAB>process id.
//
// Exit code 0 on success, 1 on time-out or when something is not found or not
// usable, 2 on bad usage.
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr DWORD kPollMs = 30;
constexpr UINT kMessageTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 0xFFFF;

// ---- output ---------------------------------------------------------------

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

void Write(FILE* stream, const std::wstring& text) {
    std::string bytes = ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

void PrintLine(const std::wstring& text) { Write(stdout, text + L"\n"); }

int Fail(const std::wstring& why) {
    Write(stderr, L"lvdriver: " + why + L"\n");
    return kFailed;
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'\\': out += L"\\\\"; break;
        case L'\t': out += L"\\t"; break;
        case L'\r': out += L"\\r"; break;
        case L'\n': out += L"\\n"; break;
        default: out += c;
        }
    }
    return out;
}

// ---- window access ----------------------------------------------------------

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// Top-level titles are kept by the system, so reading them needs no message
// to the owning thread.
std::wstring TitleOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring title(static_cast<size_t>(length) + 1, L'\0');
    title.resize(static_cast<size_t>(GetWindowTextW(window, title.data(), length + 1)));
    return title;
}

// Control texts live in the owning process: ask it, without hanging on a
// window that does not answer.
bool TextOf(HWND window, std::wstring& text) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
        return false;
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
        return false;
    buffer.resize(copied);
    text = buffer;
    return true;
}

bool SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

int ControlId(HWND control) { return static_cast<int>(GetWindowLongPtrW(control, GWLP_ID)); }

// Templates store ids as 16 bits, so -1 and 0xFFFF are the same id.
bool SameId(int a, int b) { return (a & 0xFFFF) == (b & 0xFFFF); }

HWND FindControl(HWND parent, int id) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (SameId(ControlId(child), id)) return child;
    return nullptr;
}

bool IsMessageBox(HWND window) {
    return ClassOf(window) == L"#32770" && FindControl(window, kMessageBoxTextId) != nullptr;
}

struct Search {
    std::wstring title;
    std::wstring windowClass;  // empty: any class
    bool messageBoxesOnly = false;
};

struct SearchState {
    const Search* search;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto* state = reinterpret_cast<SearchState*>(data);
    const Search& search = *state->search;
    if (!IsWindowVisible(window) || TitleOf(window) != search.title) return TRUE;
    if (!search.windowClass.empty() && ClassOf(window) != search.windowClass) return TRUE;
    if (search.messageBoxesOnly && !IsMessageBox(window)) return TRUE;
    state->found = window;
    return FALSE;
}

// The first match in Z order, that is the topmost.
HWND FindNow(const Search& search) {
    SearchState state{&search, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

bool Gone(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

template <typename Condition>
bool PollUntil(DWORD timeoutMs, Condition condition) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

HWND WaitFor(const Search& search, DWORD timeoutMs) {
    HWND found = nullptr;
    PollUntil(timeoutMs, [&] { return (found = FindNow(search)) != nullptr; });
    return found;
}

// ---- arguments --------------------------------------------------------------

bool ParseNumber(const wchar_t* text, long& value) {
    if (!text || !*text) return false;
    wchar_t* end = nullptr;
    value = std::wcstol(text, &end, 0);
    return *end == L'\0';
}

struct Invocation {
    std::wstring command;
    std::vector<std::wstring> args;
    std::wstring windowClass;
    DWORD timeoutMs = 10000;

    const wchar_t* Arg(size_t i) const { return i < args.size() ? args[i].c_str() : nullptr; }
    Search For(const std::wstring& title, bool messageBoxes = false) const {
        return Search{title, messageBoxes ? std::wstring(L"#32770") : windowClass, messageBoxes};
    }
};

int Usage() {
    Write(stderr,
          L"usage: lvdriver [--class NAME] [--timeout MS] <command> <arguments>\n"
          L"  wait|gone <title> [ms]   close <title> [ms]\n"
          L"  command <title> <id>     key <title> <vk>  click <title> <id>\n"
          L"  settext|type <title> <id> <text>           gettext <title> [id]\n"
          L"  keyup <title> <id> <vk>\n"
          L"  combo-select <title> <id> <text>           items|state <title> <id>\n"
          L"  texts <title>   msgbox <caption> [ms]      answer <caption> <button-id> [ms]\n"
          L"  rect <title> [id]   client <title>   menu <title>   windows\n"
          L"  tbstate <title> <toolbar-id> <command-id>...\n"
          L"  tbclick <title> <toolbar-id> <command-id>\n");
    return kUsage;
}

// ---- commands ---------------------------------------------------------------

// Finds the window, and the control when an id is given, reporting what is
// missing. Returns kOk or the exit code to give up with.
int Locate(const Invocation& inv, const wchar_t* title, const wchar_t* idText, HWND& window, HWND* control,
           bool messageBox = false) {
    long id = 0;
    if (idText && !ParseNumber(idText, id)) return Usage();
    window = WaitFor(inv.For(title, messageBox), inv.timeoutMs);
    if (!window) return Fail(std::wstring(L"no window titled \"") + title + L"\"");
    if (!control) return kOk;
    *control = FindControl(window, static_cast<int>(id));
    if (!*control) return Fail(L"no control " + std::to_wstring(id) + L" in \"" + title + L"\"");
    return kOk;
}

// The optional time-out argument at index, else --timeout.
bool TimeoutArg(const Invocation& inv, size_t index, DWORD& timeoutMs) {
    timeoutMs = inv.timeoutMs;
    if (!inv.Arg(index)) return true;
    long ms = 0;
    if (!ParseNumber(inv.Arg(index), ms) || ms < 0) return false;
    timeoutMs = static_cast<DWORD>(ms);
    return true;
}

// A user cannot reach a window that a modal dialog or message box disables.
int Unreachable(const Invocation& inv, HWND window) {
    return IsWindowEnabled(window) ? kOk : Fail(L"\"" + inv.args[0] + L"\" is disabled");
}

int Wait(const Invocation& inv) {
    DWORD timeoutMs;
    if (!TimeoutArg(inv, 1, timeoutMs)) return Usage();
    HWND window = WaitFor(inv.For(inv.args[0]), timeoutMs);
    if (!window) return Fail(L"timed out waiting for \"" + inv.args[0] + L"\"");
    PrintLine(ClassOf(window));
    return kOk;
}

int WaitGone(const Invocation& inv) {
    DWORD timeoutMs;
    if (!TimeoutArg(inv, 1, timeoutMs)) return Usage();
    Search search = inv.For(inv.args[0]);
    if (!PollUntil(timeoutMs, [&] { return FindNow(search) == nullptr; }))
        return Fail(L"\"" + inv.args[0] + L"\" is still there");
    return kOk;
}

int Close(const Invocation& inv) {
    DWORD timeoutMs;
    if (!TimeoutArg(inv, 1, timeoutMs)) return Usage();
    HWND window;
    if (int rc = Locate(inv, inv.Arg(0), nullptr, window, nullptr)) return rc;
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!PollUntil(timeoutMs, [&] { return Gone(window); }))
        return Fail(L"\"" + inv.args[0] + L"\" did not close");
    return kOk;
}

int Command(const Invocation& inv) {
    long id = 0;
    if (!ParseNumber(inv.Arg(1), id)) return Usage();
    HWND window;
    if (int rc = Locate(inv, inv.Arg(0), nullptr, window, nullptr)) return rc;
    if (int rc = Unreachable(inv, window)) return rc;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return kOk;
}

// "key": the key pressed and released on a window; "keyup": only released
// over a control, which is what makes a typing box take its text.
int Key(const Invocation& inv) {
    bool upOnly = inv.command == L"keyup";
    long vk = 0;
    if (!ParseNumber(inv.Arg(upOnly ? 2 : 1), vk)) return Usage();
    HWND window, control = nullptr;
    if (int rc = Locate(inv, inv.Arg(0), upOnly ? inv.Arg(1) : nullptr, window, upOnly ? &control : nullptr))
        return rc;
    if (int rc = Unreachable(inv, window)) return rc;
    LPARAM bits = 1 | (MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) << 16);
    if (!upOnly) PostMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(vk), bits);
    PostMessageW(upOnly ? control : window, WM_KEYUP, static_cast<WPARAM>(vk), bits | 0xC0000000u);
    return kOk;
}

int Click(const Invocation& inv) {
    HWND window, control;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, &control)) return rc;
    if (int rc = Unreachable(inv, window)) return rc;
    if (!IsWindowEnabled(control)) return Fail(L"control " + inv.args[1] + L" is disabled");
    PostMessageW(control, BM_CLICK, 0, 0);
    return kOk;
}

int SetText(const Invocation& inv) {
    HWND window, control;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, &control)) return rc;
    if (int rc = Unreachable(inv, window)) return rc;
    LRESULT result = 0;
    if (!SendTimed(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inv.args[2].c_str()), result))
        return Fail(L"the window does not answer");
    return kOk;
}

int Type(const Invocation& inv) {
    HWND window, control;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, &control)) return rc;
    if (int rc = Unreachable(inv, window)) return rc;
    for (wchar_t c : inv.args[2]) PostMessageW(control, WM_CHAR, c, 1);
    return kOk;
}

int GetText(const Invocation& inv) {
    HWND window, control = nullptr;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, inv.Arg(1) ? &control : nullptr)) return rc;
    if (!control) {
        PrintLine(TitleOf(window));
        return kOk;
    }
    std::wstring text;
    if (!TextOf(control, text)) return Fail(L"the window does not answer");
    PrintLine(text);
    return kOk;
}

struct ListMessages {
    UINT count, textLength, text, findExact, setSelection;
    WORD selectionChanged;
};

bool ListMessagesFor(HWND control, ListMessages& messages) {
    std::wstring name = ClassOf(control);
    if (lstrcmpiW(name.c_str(), L"ComboBox") == 0) {
        messages = {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_FINDSTRINGEXACT, CB_SETCURSEL, CBN_SELCHANGE};
        return true;
    }
    if (lstrcmpiW(name.c_str(), L"ListBox") == 0) {
        messages = {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_FINDSTRINGEXACT, LB_SETCURSEL, LBN_SELCHANGE};
        return true;
    }
    return false;
}

bool EntryText(HWND control, const ListMessages& m, LRESULT i, std::wstring& entry) {
    LRESULT length = 0;
    if (!SendTimed(control, m.textLength, static_cast<WPARAM>(i), 0, length) || length < 0) return false;
    entry.assign(static_cast<size_t>(length) + 1, L'\0');
    if (!SendTimed(control, m.text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()), length))
        return false;
    entry.resize(static_cast<size_t>(length > 0 ? length : 0));
    return true;
}

int ComboSelect(const Invocation& inv) {
    HWND window, control;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, &control)) return rc;
    if (int rc = Unreachable(inv, window)) return rc;
    ListMessages m;
    if (!ListMessagesFor(control, m)) return Fail(L"control " + inv.args[1] + L" is no combo box or list box");
    // The exact-match search ignores case; a user picks the entry as written.
    LRESULT index = -1, start = -1;
    for (;;) {
        LRESULT found = 0;
        if (!SendTimed(control, m.findExact, static_cast<WPARAM>(start),
                       reinterpret_cast<LPARAM>(inv.args[2].c_str()), found))
            return Fail(L"the window does not answer");
        if (found < 0 || (start >= 0 && found <= start)) break;
        std::wstring entry;
        if (EntryText(control, m, found, entry) && entry == inv.args[2]) {
            index = found;
            break;
        }
        start = found;
    }
    if (index < 0) return Fail(L"no entry \"" + inv.args[2] + L"\" in control " + inv.args[1]);
    LRESULT result = 0;
    if (!SendTimed(control, m.setSelection, static_cast<WPARAM>(index), 0, result))
        return Fail(L"the window does not answer");
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(ControlId(control), m.selectionChanged),
                 reinterpret_cast<LPARAM>(control));
    return kOk;
}

int Items(const Invocation& inv) {
    HWND window, control;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, &control)) return rc;
    ListMessages m;
    if (!ListMessagesFor(control, m)) return Fail(L"control " + inv.args[1] + L" is no combo box or list box");
    LRESULT count = 0;
    if (!SendTimed(control, m.count, 0, 0, count)) return Fail(L"the window does not answer");
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring entry;
        if (!EntryText(control, m, i, entry)) return Fail(L"cannot read entry " + std::to_wstring(i));
        PrintLine(Escaped(entry));
    }
    return kOk;
}

int State(const Invocation& inv) {
    HWND window, control;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, &control)) return rc;
    LRESULT checked = 0;
    if (lstrcmpiW(ClassOf(control).c_str(), L"Button") == 0) SendTimed(control, BM_GETCHECK, 0, 0, checked);
    PrintLine(L"visible=" + std::to_wstring(IsWindowVisible(control) ? 1 : 0) +
              L" enabled=" + std::to_wstring(IsWindowEnabled(control) ? 1 : 0) +
              L" checked=" + std::to_wstring(checked));
    return kOk;
}

int Texts(const Invocation& inv) {
    HWND window;
    if (int rc = Locate(inv, inv.Arg(0), nullptr, window, nullptr)) return rc;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::wstring text;
        if (!TextOf(child, text)) return Fail(L"the window does not answer");
        PrintLine(std::to_wstring(ControlId(child)) + L"\t" + ClassOf(child) + L"\t" + Escaped(text));
    }
    return kOk;
}

int MessageBoxText(const Invocation& inv) {
    Invocation timed = inv;
    if (!TimeoutArg(inv, 1, timed.timeoutMs)) return Usage();
    HWND box;
    if (int rc = Locate(timed, inv.Arg(0), nullptr, box, nullptr, true)) return rc;
    std::wstring text;
    if (!TextOf(FindControl(box, kMessageBoxTextId), text)) return Fail(L"the message box does not answer");
    PrintLine(text);
    return kOk;
}

int Answer(const Invocation& inv) {
    Invocation timed = inv;
    if (!TimeoutArg(inv, 2, timed.timeoutMs)) return Usage();
    HWND box, button;
    if (int rc = Locate(timed, inv.Arg(0), inv.Arg(1), box, &button, true)) return rc;
    if (!IsWindowEnabled(button)) return Fail(L"button " + inv.args[1] + L" is disabled");
    PostMessageW(button, BM_CLICK, 0, 0);
    if (!PollUntil(timed.timeoutMs, [&] { return Gone(box); }))
        return Fail(L"the message box \"" + inv.args[0] + L"\" stayed open");
    return kOk;
}

void PrintRect(const RECT& r) {
    PrintLine(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) + L" " +
              std::to_wstring(r.bottom));
}

int Rect(const Invocation& inv) {
    HWND window, control = nullptr;
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, inv.Arg(1) ? &control : nullptr)) return rc;
    RECT r;
    if (!GetWindowRect(control ? control : window, &r)) return Fail(L"no rectangle");
    PrintRect(r);
    return kOk;
}

int Client(const Invocation& inv) {
    HWND window;
    if (int rc = Locate(inv, inv.Arg(0), nullptr, window, nullptr)) return rc;
    RECT r;
    if (!GetClientRect(window, &r)) return Fail(L"no client area");
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    PrintRect(r);
    return kOk;
}

int Menu(const Invocation& inv) {
    HWND window;
    if (int rc = Locate(inv, inv.Arg(0), nullptr, window, nullptr)) return rc;
    HMENU bar = GetMenu(window);
    PrintLine(bar ? L"items=" + std::to_wstring(GetMenuItemCount(bar)) : std::wstring(L"none"));
    return kOk;
}

// The main window and its toolbar, for the toolbar commands.
int LocateToolbar(const Invocation& inv, HWND& window, HWND& toolbar) {
    if (int rc = Locate(inv, inv.Arg(0), inv.Arg(1), window, &toolbar)) return rc;
    if (lstrcmpiW(ClassOf(toolbar).c_str(), TOOLBARCLASSNAMEW) != 0)
        return Fail(L"control " + inv.args[1] + L" is no toolbar");
    return kOk;
}

int ToolbarState(const Invocation& inv) {
    std::vector<long> commandIds;
    for (size_t i = 2; i < inv.args.size(); ++i) {
        long id = 0;
        if (!ParseNumber(inv.Arg(i), id)) return Usage();
        commandIds.push_back(id);
    }
    HWND window, toolbar;
    if (int rc = LocateToolbar(inv, window, toolbar)) return rc;
    std::wstring lines;
    for (long id : commandIds) {
        LRESULT state = -1;
        if (!SendTimed(toolbar, TB_GETSTATE, static_cast<WPARAM>(id), 0, state))
            return Fail(L"the toolbar does not answer");
        if (state == -1) return Fail(L"no toolbar button " + std::to_wstring(id));
        lines += std::to_wstring(id) + L" " + std::to_wstring(state) + L"\n";
    }
    Write(stdout, lines);
    return kOk;
}

INPUT MouseInput(DWORD flags, POINT at) {
    // Absolute positions are in 1/65536 of the screen.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65536, width) + 65536 / width / 2;
    input.mi.dy = MulDiv(at.y, 65536, height) + 65536 / height / 2;
    input.mi.dwFlags = flags;
    return input;
}

int ToolbarClick(const Invocation& inv) {
    long commandId = 0;
    if (!ParseNumber(inv.Arg(2), commandId)) return Usage();
    HWND window, toolbar;
    if (int rc = LocateToolbar(inv, window, toolbar)) return rc;
    if (int rc = Unreachable(inv, window)) return rc;
    LRESULT index = -1;
    if (!SendTimed(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(commandId), 0, index))
        return Fail(L"the toolbar does not answer");
    if (index < 0) return Fail(L"no toolbar button " + inv.args[2]);
    // The toolbar writes the rectangle through a pointer, which it takes as
    // one of its own process's addresses.
    DWORD pid = 0;
    GetWindowThreadProcessId(toolbar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    void* remote = process ? VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                           : nullptr;
    LRESULT ok = 0;
    RECT item = {};
    SIZE_T read = 0;
    bool found = remote && SendTimed(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(remote), ok) && ok &&
                 ReadProcessMemory(process, remote, &item, sizeof item, &read) && read == sizeof item;
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
    if (!found) return Fail(L"no rectangle for toolbar button " + inv.args[2]);
    POINT middle = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    MapWindowPoints(toolbar, nullptr, &middle, 1);
    // A user can only click what shows.
    if (WindowFromPoint(middle) != toolbar)
        return Fail(L"toolbar button " + inv.args[2] + L" is covered or off the screen");
    POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
    constexpr DWORD kMove = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    INPUT inputs[] = {MouseInput(kMove, middle), MouseInput(MOUSEEVENTF_LEFTDOWN | kMove, middle),
                      MouseInput(MOUSEEVENTF_LEFTUP | kMove, middle), MouseInput(kMove, corner)};
    if (SendInput(ARRAYSIZE(inputs), inputs, sizeof(INPUT)) != ARRAYSIZE(inputs))
        return Fail(L"the mouse input was refused");
    return kOk;
}

BOOL CALLBACK ListTopLevel(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t handle[32];
    swprintf(handle, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    PrintLine(std::wstring(handle) + L"\t" + ClassOf(window) + L"\t" + Escaped(TitleOf(window)) + L"\t" +
              std::to_wstring(pid));
    return TRUE;
}

int Windows(const Invocation&) {
    EnumWindows(ListTopLevel, 0);
    return kOk;
}

constexpr size_t kAnyCount = SIZE_MAX;

struct CommandSpec {
    const wchar_t* name;
    size_t minArgs, maxArgs;
    int (*run)(const Invocation&);
};

constexpr CommandSpec kCommands[] = {
    {L"wait", 1, 2, Wait},           {L"gone", 1, 2, WaitGone},       {L"close", 1, 2, Close},
    {L"command", 2, 2, Command},     {L"key", 2, 2, Key},             {L"keyup", 3, 3, Key},
    {L"click", 2, 2, Click},         {L"settext", 3, 3, SetText},     {L"type", 3, 3, Type},
    {L"gettext", 1, 2, GetText},     {L"combo-select", 3, 3, ComboSelect}, {L"items", 2, 2, Items},
    {L"state", 2, 2, State},         {L"texts", 1, 1, Texts},         {L"msgbox", 1, 2, MessageBoxText},
    {L"answer", 2, 3, Answer},       {L"rect", 1, 2, Rect},           {L"client", 1, 1, Client},
    {L"menu", 1, 1, Menu},           {L"windows", 0, 0, Windows},     {L"tbclick", 3, 3, ToolbarClick},
    {L"tbstate", 3, kAnyCount, ToolbarState},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    Invocation inv;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; i += 2) {
        std::wstring option = argv[i];
        long ms = 0;
        if (option == L"--class") inv.windowClass = argv[i + 1];
        else if (option == L"--timeout" && ParseNumber(argv[i + 1], ms) && ms >= 0)
            inv.timeoutMs = static_cast<DWORD>(ms);
        else return Usage();
    }
    if (i >= argc) return Usage();
    inv.command = argv[i++];
    for (; i < argc; ++i) inv.args.emplace_back(argv[i]);
    for (const CommandSpec& spec : kCommands) {
        if (inv.command != spec.name) continue;
        if (inv.args.size() < spec.minArgs || inv.args.size() > spec.maxArgs) return Usage();
        return spec.run(inv);
    }
    return Usage();
}
