// Drives the running program from outside, as a user would, for run.sh and
// the end-to-end tests: runs under Wine beside the program, one command per
// start (the list is in Usage below).
//
// Windows are found by exact title among the visible top-level windows of all
// processes; --class narrows the search to one window class. Commands wait up
// to --timeout (default 10000 ms), or the [ms] they are given, for their
// window. Commands that act as the user would (command, key, keyup, click,
// settext, type, combo-select, tbclick) refuse a window that a modal dialog or
// message box disables; they post their messages, so that the driver is not
// held up when the program opens a modal dialog. tbclick moves the real mouse
// pointer to the button, clicks, and parks the pointer in the screen's
// bottom-right corner so that no tooltip or hot button stays behind.
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

void Write(FILE* stream, const std::wstring& text) {
    if (text.empty()) return;
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
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

bool IsClass(HWND window, const wchar_t* name) { return lstrcmpiW(ClassOf(window).c_str(), name) == 0; }

// Top-level titles are kept by the system, so reading them needs no message
// to the owning thread.
std::wstring TitleOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring title(static_cast<size_t>(length) + 1, L'\0');
    title.resize(static_cast<size_t>(GetWindowTextW(window, title.data(), length + 1)));
    return title;
}

// Control texts and states live in the owning process: ask it, without
// hanging on a window that does not answer.
bool SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

bool TextOf(HWND window, std::wstring& text) {
    LRESULT length = 0;
    if (!SendTimed(window, WM_GETTEXTLENGTH, 0, 0, length)) return false;
    text.assign(static_cast<size_t>(length) + 1, L'\0');
    if (!SendTimed(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), length)) return false;
    text.resize(static_cast<size_t>(length));
    return true;
}

int ControlId(HWND control) { return static_cast<int>(GetWindowLongPtrW(control, GWLP_ID)); }

// Templates store ids as 16 bits, so -1 and 0xFFFF are the same id.
HWND FindControl(HWND parent, int id) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((ControlId(child) & 0xFFFF) == (id & 0xFFFF)) return child;
    return nullptr;
}

struct Search {
    std::wstring title;
    std::wstring windowClass;  // empty: any class
    bool messageBoxesOnly;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!IsWindowVisible(window) || TitleOf(window) != search->title) return TRUE;
    if (!search->windowClass.empty() && ClassOf(window) != search->windowClass) return TRUE;
    if (search->messageBoxesOnly && !FindControl(window, kMessageBoxTextId)) return TRUE;
    search->found = window;
    return FALSE;
}

// The first match in Z order, that is the topmost.
HWND FindNow(Search search) {
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

bool ParseNumber(const wchar_t* text, long& value) {
    if (!text || !*text) return false;
    wchar_t* end = nullptr;
    value = std::wcstol(text, &end, 0);
    return *end == L'\0';
}

// ---- commands ---------------------------------------------------------------

struct Invocation {
    std::vector<std::wstring> args;
    std::wstring windowClass;
    DWORD timeoutMs = 10000;
    bool messageBox = false;  // the window is a message box
    HWND window = nullptr;    // the window titled args[0], once found
    HWND control = nullptr;   // its control args[1], where the command takes one
};

int NoAnswer() { return Fail(L"the window does not answer"); }

int Wait(const Invocation& inv) {
    PrintLine(ClassOf(inv.window));
    return kOk;
}

int WaitGone(const Invocation& inv) {
    Search search{inv.args[0], inv.windowClass, false, nullptr};
    if (PollUntil(inv.timeoutMs, [&] { return FindNow(search) == nullptr; })) return kOk;
    return Fail(L"\"" + inv.args[0] + L"\" is still there");
}

int Close(const Invocation& inv) {
    PostMessageW(inv.window, WM_CLOSE, 0, 0);
    if (PollUntil(inv.timeoutMs, [&] { return Gone(inv.window); })) return kOk;
    return Fail(L"\"" + inv.args[0] + L"\" did not close");
}

int Command(const Invocation& inv) {
    long id = 0;
    if (!ParseNumber(inv.args[1].c_str(), id)) return kUsage;
    PostMessageW(inv.window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return kOk;
}

// "key": the key pressed and released on a window; "keyup": only released
// over a control, which is what makes a typing box take its text.
int Key(const Invocation& inv) {
    long vk = 0;
    if (!ParseNumber(inv.args.back().c_str(), vk)) return kUsage;
    LPARAM bits = 1 | (MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) << 16);
    if (!inv.control) PostMessageW(inv.window, WM_KEYDOWN, static_cast<WPARAM>(vk), bits);
    PostMessageW(inv.control ? inv.control : inv.window, WM_KEYUP, static_cast<WPARAM>(vk), bits | 0xC0000000u);
    return kOk;
}

// A button is clicked in the main window or a dialog ("click"), or in a
// message box, which must then close ("answer").
int Click(const Invocation& inv) {
    if (!IsWindowEnabled(inv.control)) return Fail(L"control " + inv.args[1] + L" is disabled");
    PostMessageW(inv.control, BM_CLICK, 0, 0);
    if (!inv.messageBox) return kOk;
    if (PollUntil(inv.timeoutMs, [&] { return Gone(inv.window); })) return kOk;
    return Fail(L"the message box \"" + inv.args[0] + L"\" stayed open");
}

int SetText(const Invocation& inv) {
    LRESULT result = 0;
    bool sent = SendTimed(inv.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inv.args[2].c_str()), result);
    return sent ? kOk : NoAnswer();
}

int Type(const Invocation& inv) {
    for (wchar_t c : inv.args[2]) PostMessageW(inv.control, WM_CHAR, c, 1);
    return kOk;
}

// The window's title, the text of a control, or that of a message box.
int GetText(const Invocation& inv) {
    std::wstring text = TitleOf(inv.window);
    if (inv.control && !TextOf(inv.control, text)) return NoAnswer();
    PrintLine(text);
    return kOk;
}

struct ListMessages {
    UINT count, textLength, text, setSelection;
    WORD selectionChanged;
};

bool ListMessagesFor(HWND control, ListMessages& m) {
    if (IsClass(control, L"ComboBox"))
        m = {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_SETCURSEL, CBN_SELCHANGE};
    else if (IsClass(control, L"ListBox"))
        m = {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_SETCURSEL, LBN_SELCHANGE};
    else
        return false;
    return true;
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

// "items" prints every entry of a combo box or list box; "combo-select"
// selects the entry of exactly this text and tells the dialog, as a click
// on it would.
int Entries(const Invocation& inv) {
    ListMessages m;
    if (!ListMessagesFor(inv.control, m)) return Fail(L"control " + inv.args[1] + L" is no combo box or list box");
    LRESULT count = 0;
    if (!SendTimed(inv.control, m.count, 0, 0, count)) return NoAnswer();
    bool select = inv.args.size() == 3;
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring entry;
        if (!EntryText(inv.control, m, i, entry)) return Fail(L"cannot read entry " + std::to_wstring(i));
        if (!select) {
            PrintLine(Escaped(entry));
        } else if (entry == inv.args[2]) {
            LRESULT result = 0;
            if (!SendTimed(inv.control, m.setSelection, static_cast<WPARAM>(i), 0, result)) return NoAnswer();
            PostMessageW(inv.window, WM_COMMAND, MAKEWPARAM(ControlId(inv.control), m.selectionChanged),
                         reinterpret_cast<LPARAM>(inv.control));
            return kOk;
        }
    }
    return select ? Fail(L"no entry \"" + inv.args[2] + L"\" in control " + inv.args[1]) : kOk;
}

int State(const Invocation& inv) {
    LRESULT checked = 0;
    if (IsClass(inv.control, L"Button")) SendTimed(inv.control, BM_GETCHECK, 0, 0, checked);
    PrintLine(L"visible=" + std::to_wstring(IsWindowVisible(inv.control) ? 1 : 0) +
              L" enabled=" + std::to_wstring(IsWindowEnabled(inv.control) ? 1 : 0) +
              L" checked=" + std::to_wstring(checked));
    return kOk;
}

int Texts(const Invocation& inv) {
    for (HWND child = GetWindow(inv.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::wstring text;
        if (!TextOf(child, text)) return NoAnswer();
        PrintLine(std::to_wstring(ControlId(child)) + L"\t" + ClassOf(child) + L"\t" + Escaped(text));
    }
    return kOk;
}

int PrintRect(RECT r) {
    PrintLine(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) + L" " +
              std::to_wstring(r.bottom));
    return kOk;
}

int Rect(const Invocation& inv) {
    RECT r;
    return GetWindowRect(inv.control ? inv.control : inv.window, &r) ? PrintRect(r) : Fail(L"no rectangle");
}

int Client(const Invocation& inv) {
    RECT r;
    if (!GetClientRect(inv.window, &r)) return Fail(L"no client area");
    MapWindowPoints(inv.window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return PrintRect(r);
}

int Menu(const Invocation& inv) {
    HMENU bar = GetMenu(inv.window);
    PrintLine(bar ? L"items=" + std::to_wstring(GetMenuItemCount(bar)) : std::wstring(L"none"));
    return kOk;
}

int ToolbarState(const Invocation& inv) {
    std::wstring lines;
    for (size_t i = 2; i < inv.args.size(); ++i) {
        long id = 0;
        LRESULT state = -1;
        if (!ParseNumber(inv.args[i].c_str(), id)) return kUsage;
        if (!SendTimed(inv.control, TB_GETSTATE, static_cast<WPARAM>(id), 0, state)) return NoAnswer();
        if (state == -1) return Fail(L"no toolbar button " + inv.args[i]);
        lines += inv.args[i] + L" " + std::to_wstring(state) + L"\n";
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
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

int ToolbarClick(const Invocation& inv) {
    HWND toolbar = inv.control;
    long commandId = 0;
    LRESULT index = -1;
    if (!ParseNumber(inv.args[2].c_str(), commandId)) return kUsage;
    if (!SendTimed(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(commandId), 0, index)) return NoAnswer();
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
    INPUT inputs[] = {MouseInput(0, middle), MouseInput(MOUSEEVENTF_LEFTDOWN, middle),
                      MouseInput(MOUSEEVENTF_LEFTUP, middle), MouseInput(0, corner)};
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

// What a command needs before it runs: its window (args[0]), a control of
// it (args[1]: always, or when given), a window the user can reach.
enum Needs : unsigned {
    kWindow = 1, kControl = 2, kOptionalControl = 4, kReachable = 8, kMessageBox = 16, kToolbar = 32,
    kTimeoutArg = 64,  // a last argument in ms overrides --timeout
};

struct CommandSpec {
    const wchar_t* name;
    size_t minArgs, maxArgs;
    unsigned needs;
    int (*run)(const Invocation&);
};

constexpr size_t kAny = SIZE_MAX;
constexpr unsigned kActs = kWindow | kReachable, kActsOnControl = kActs | kControl;

constexpr CommandSpec kCommands[] = {
    {L"wait", 1, 2, kWindow | kTimeoutArg, Wait},
    {L"gone", 1, 2, kTimeoutArg, WaitGone},
    {L"close", 1, 2, kWindow | kTimeoutArg, Close},
    {L"command", 2, 2, kActs, Command},
    {L"key", 2, 2, kActs, Key},
    {L"keyup", 3, 3, kActsOnControl, Key},
    {L"click", 2, 2, kActsOnControl, Click},
    {L"settext", 3, 3, kActsOnControl, SetText},
    {L"type", 3, 3, kActsOnControl, Type},
    {L"gettext", 1, 2, kWindow | kOptionalControl, GetText},
    {L"combo-select", 3, 3, kActsOnControl, Entries},
    {L"items", 2, 2, kWindow | kControl, Entries},
    {L"state", 2, 2, kWindow | kControl, State},
    {L"texts", 1, 1, kWindow, Texts},
    {L"msgbox", 1, 2, kWindow | kMessageBox | kTimeoutArg, GetText},
    {L"answer", 2, 3, kWindow | kControl | kMessageBox | kTimeoutArg, Click},
    {L"rect", 1, 2, kWindow | kOptionalControl, Rect},
    {L"client", 1, 1, kWindow, Client},
    {L"menu", 1, 1, kWindow, Menu},
    {L"windows", 0, 0, 0, Windows},
    {L"tbstate", 3, kAny, kWindow | kControl | kToolbar, ToolbarState},
    {L"tbclick", 3, 3, kActsOnControl | kToolbar, ToolbarClick},
};

// Arguments: a window title or box caption, a control id, a text, key or button id, as needed.
int Usage() {
    std::wstring names;
    for (const CommandSpec& spec : kCommands) names += std::wstring(L" ") + spec.name;
    Write(stderr, L"usage: lvdriver [--class NAME] [--timeout MS] <command> <title> [id] [text|key|ms]\ncommands:" +
                      names + L"\n");
    return kUsage;
}

// Finds what the command needs, reporting what is missing, and runs it.
int Run(const CommandSpec& spec, Invocation& inv) {
    if ((spec.needs & kTimeoutArg) && inv.args.size() == spec.maxArgs) {
        long ms = 0;
        if (!ParseNumber(inv.args.back().c_str(), ms) || ms < 0) return Usage();
        inv.timeoutMs = static_cast<DWORD>(ms);
        inv.args.pop_back();
    }
    inv.messageBox = spec.needs & kMessageBox;
    if (spec.needs & kWindow) {
        Search search{inv.args[0], inv.messageBox ? std::wstring(L"#32770") : inv.windowClass, inv.messageBox,
                      nullptr};
        PollUntil(inv.timeoutMs, [&] { return (inv.window = FindNow(search)) != nullptr; });
        if (!inv.window) return Fail(L"no window titled \"" + inv.args[0] + L"\"");
    }
    if ((spec.needs & (kControl | kMessageBox)) || ((spec.needs & kOptionalControl) && inv.args.size() > 1)) {
        long id = kMessageBoxTextId;
        if (spec.needs & (kControl | kOptionalControl) && !ParseNumber(inv.args[1].c_str(), id)) return Usage();
        inv.control = FindControl(inv.window, static_cast<int>(id));
        if (!inv.control) return Fail(L"no control " + std::to_wstring(id) + L" in \"" + inv.args[0] + L"\"");
        if ((spec.needs & kToolbar) && !IsClass(inv.control, TOOLBARCLASSNAMEW))
            return Fail(L"control " + inv.args[1] + L" is no toolbar");
    }
    // A user cannot reach a window that a modal dialog or message box disables.
    if ((spec.needs & kReachable) && !IsWindowEnabled(inv.window)) return Fail(L"\"" + inv.args[0] + L"\" is disabled");
    int rc = spec.run(inv);
    return rc == kUsage ? Usage() : rc;
}

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
    std::wstring command = argv[i++];
    for (; i < argc; ++i) inv.args.emplace_back(argv[i]);
    for (const CommandSpec& spec : kCommands) {
        if (command != spec.name) continue;
        if (inv.args.size() < spec.minArgs || inv.args.size() > spec.maxArgs) return Usage();
        return Run(spec, inv);
    }
    return Usage();
}
