#include "replies/reply_rules_dialog.h"

#include <algorithm>

#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "common/file_chooser.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "resources/replies_ids.h"

namespace {

constexpr ControlText kTexts[] = {
    {IDC_REPLY_FILE_LABEL, kTextRulesFile},   {IDC_REPLY_LINE_HEADER, kTextRuleLine},
    {IDC_REPLY_HITS_HEADER, kTextRuleHits},   {IDC_REPLY_RULE_HEADER, kTextRule},
    {IDC_REPLY_UNMATCHED_LABEL, kTextUnmatched}, {IDC_REPLY_FAILED_LABEL, kTextFailed},
    {IDC_REPLY_EDIT, kTextEdit},              {IDC_REPLY_RELOAD, kTextReload},
    {IDC_REPLY_CLOSE, kTextClose},
};
constexpr UINT_PTR kCountTimer = 1;
constexpr UINT kCountPeriodMs = 250;
// Where the hit counts and the rules start in the list, in dialog units
// from its left edge: under their headers.
constexpr int kListTabs[] = {31, 67};
constexpr int kExtentMargin = 8;

ReplyRulesDialogContext& Context(HWND dialog) { return DialogContext<ReplyRulesDialogContext>(dialog); }
ReplyRulesControl& Control(HWND dialog) { return *Context(dialog).Control; }
HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_REPLY_LIST); }

// Sets a control's text only when it differs, so that the ticks do not flicker.
void ShowText(HWND dialog, int id, std::u16string_view text) {
    if (DialogItemText(dialog, id, static_cast<int>(text.size()) + 2) == text) return;
    SetDlgItemTextW(dialog, id, ToWideString(text).c_str());
}

std::u16string ListRow(HWND list, int index) {
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

// The list scrolls sideways as far as its longest rule reaches.
void FitListExtent(HWND dialog, const RuleSet& rules) {
    HWND list = List(dialog);
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const Rule& rule : rules.Rules) {
        std::wstring text = ToWideString(Utf8ToUtf16(rule.Text));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    RECT tab = {kListTabs[1], 0, 0, 0};
    MapDialogRect(dialog, &tab);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(tab.left + widest + kExtentMargin), 0);
}

// One row per rule; a row is written again only when its count (or, after
// a reload, its rule) changed, so the list keeps its place.
void ShowRules(HWND dialog) {
    std::shared_ptr<const RuleSet> rules = Control(dialog).Engine->Rules();
    std::shared_ptr<const RuleHits> hits = Control(dialog).Engine->Hits();
    HWND list = List(dialog);
    int count = static_cast<int>(std::min(rules->Rules.size(), hits->Hits.size()));
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) != count) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < count; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
        FitListExtent(dialog, *rules);
    }
    LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    for (int i = 0; i < count; ++i) {
        std::u16string row = RuleRowText(rules->Rules[static_cast<size_t>(i)], hits->Hits[static_cast<size_t>(i)].load());
        if (ListRow(list, i) == row) continue;
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(AsWide(row.c_str())));
    }
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
}

void ShowState(HWND dialog) {
    ShowRules(dialog);
    ReplyTotals totals = Control(dialog).Engine->Totals();
    ShowText(dialog, IDC_REPLY_UNMATCHED, FormatString(u"%d", {totals.Unmatched}));
    ShowText(dialog, IDC_REPLY_FAILED, FormatString(u"%d", {totals.Failed}));
    ShowText(dialog, IDC_REPLY_ERROR, Control(dialog).Error);
}

// The path field, and the buttons that need a file.
void ShowPath(HWND dialog) {
    const std::u16string& path = Context(dialog).Path;
    SetDlgItemTextW(dialog, IDC_REPLY_FILE, AsWide(path.c_str()));
    EnableWindow(GetDlgItem(dialog, IDC_REPLY_EDIT), !path.empty());
    EnableWindow(GetDlgItem(dialog, IDC_REPLY_RELOAD), !path.empty());
}

void OnInit(HWND dialog) {
    ReplyRulesDialogContext& context = Context(dialog);
    ApplyDialogTexts(dialog, kTextReplyRules, kTexts);
    SendMessageW(List(dialog), LB_SETTABSTOPS, std::size(kListTabs), reinterpret_cast<LPARAM>(kListTabs));
    context.Path = std::u16string(TextView(context.Control->Settings->ReplyRules));
    ShowPath(dialog);
    ShowState(dialog);
    SetTimer(dialog, kCountTimer, kCountPeriodMs, nullptr);
    // The focus starts on Close, not in the path field (which it would select).
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_REPLY_CLOSE)), TRUE);
}

// A file that fails leaves the rules in use as they were; its error shows.
void Load(HWND dialog) {
    LoadReplyRules(Control(dialog), Context(dialog).Path);
    ShowState(dialog);
}

void Browse(HWND dialog) {
    char16_t name[kChooseFileCapacity] = {};
    CopyTextInto(name, Context(dialog).Path);
    if (!ChooseFile(dialog, kChooseOpenRules, name)) return;
    Context(dialog).Path = std::u16string(TextView(name));
    ShowPath(dialog);
    Load(dialog);
}

void Edit(HWND dialog) {
    ReplyRulesDialogContext& context = Context(dialog);
    if (context.EditFile && !context.Path.empty()) context.EditFile(dialog, RulesFilePath(context.Path));
}

void Close(HWND dialog) {
    KillTimer(dialog, kCountTimer);
    EndDialog(dialog, kDialogClosed);
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_REPLY_BROWSE: Browse(dialog); return true;
    case IDC_REPLY_EDIT: Edit(dialog); return true;
    case IDC_REPLY_RELOAD: Load(dialog); return true;
    case IDC_REPLY_CLOSE:
    case IDCANCEL: Close(dialog); return true;
    default: return false;
    }
}

bool OnOther(HWND dialog, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (message != WM_TIMER || wParam != kCountTimer) return false;
    ShowState(dialog);
    result = TRUE;
    return true;
}

}  // namespace

void ShowReplyRulesDialog(HWND owner, ReplyRulesDialogContext& context) {
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther, &context};
    RunModalDialog(owner, IDD_REPLY_RULES, handlers);
}
