#include "macro/macro_runner.h"

#include <algorithm>
#include <cstring>

#include "common/program_context.h"
#include "macro/macro_data.h"
#include "platform/text.h"

namespace {

constexpr std::u16string_view kCaption = u"Lanvisor";
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

int32_t TextEnd(const MacroRun& run) { return std::clamp(run.MacroLength, 0, kMacroTextCapacity); }

char16_t At(const MacroRun& run, int32_t i) { return (i >= 0 && i < TextEnd(run)) ? run.MacroText[i] : 0; }

// The carriage return that ends the line, or the end of the text for a last
// line without one (that line runs as if it had one).
int32_t LineEnd(const MacroRun& run, int32_t from) {
    int32_t end = TextEnd(run);
    for (int32_t i = std::max(from, 0); i < end; ++i)
        if (run.MacroText[i] == kCr) return i;
    return end;
}

std::u16string_view Span(const MacroRun& run, int32_t from, int32_t to) {
    from = std::clamp(from, 0, TextEnd(run));
    to = std::clamp(to, from, TextEnd(run));
    return CutText(std::u16string_view(run.MacroText + from, static_cast<size_t>(to - from)), kMacroLineCapacity - 1);
}

// The text from `from` to its end, as a command is matched against it.
std::u16string_view Rest(const MacroRun& run, int32_t from) {
    from = std::clamp(from, 0, TextEnd(run));
    return std::u16string_view(run.MacroText + from, static_cast<size_t>(TextEnd(run) - from));
}

void PassLineEnd(MacroRun& run) {
    if (At(run, run.MacroPosition) == kCr) ++run.MacroPosition;
    if (At(run, run.MacroPosition) == kLf) ++run.MacroPosition;
}

void EndRun(MacroRun& run, MacroEnd how) {
    run.Running = false;
    run.Ended = how;
    run.Wait = MacroWait::None;
}

// Faults of a macro line that would otherwise read or write past a buffer.
enum class MacroFault { BadRegister, DataTooLong, RegisterOverflow, RangeOutside, EmptySource, SendFailed };

struct FaultText {
    const char16_t* english;
    const char16_t* japanese;
} const kFaultTexts[] = {
    {u"the register number is not 00..99", u"レジスタ番号が 00..99 ではありません"},
    {u"the data gives more than 256 bytes", u"データが 256 バイトを超えています"},
    {u"the result does not fit into a register of 264 bytes", u"結果がレジスタ (264 バイト) に収まりません"},
    {u"the range lies outside the register's 264 bytes", u"範囲がレジスタ (264 バイト) の外にあります"},
    {u"the source register is empty", u"元のレジスタが空です"},
    {u"the send failed", u"送信に失敗しました"},
};

// Everything a command handler works with.
struct Step {
    MacroRun& run;
    MacroRegisters& registers;
    MacroHost& host;
    int32_t lineStart;
    std::u16string_view line;
    std::u16string_view args;
    int32_t client;
    bool failed = false;

    MacroStepResult Fail(MacroFault fault) {
        const FaultText& t = kFaultTexts[static_cast<int>(fault)];
        bool japanese = host.FaultsInJapanese();
        std::u16string text = FormatString(japanese ? u"マクロ %d 行目: %s\n%s" : u"Macro line %d: %s\n%s",
                                           {MacroLineNumber(run, lineStart), japanese ? t.japanese : t.english, line});
        EndRun(run, MacroEnd::Fault);
        failed = true;
        ShowMessageBox(run.Owner, text, kCaption, kMbOk);
        return MacroStepResult::Ended;
    }

    int32_t Field(size_t column, size_t width) const {
        if (column >= args.size()) return 0;
        return LeadingInt(args.substr(column, width));
    }
    std::u16string_view Tail(size_t column) const { return column < args.size() ? args.substr(column) : u""; }
    std::u16string_view Label(size_t column) const { return Tail(column).substr(0, std::min<size_t>(3, Tail(column).size())); }

    // A register named in two columns; a number outside 00..99 fails the line.
    MacroRegister* Register(size_t column) {
        int32_t r = Field(column, 2);
        if (!IsMacroRegisterNumber(r)) {
            Fail(MacroFault::BadRegister);
            return nullptr;
        }
        return &registers.Registers[r];
    }

    // Data notation into `bytes`; more than 256 bytes fails the line.
    bool Data(std::u16string_view text, uint8_t (&bytes)[kMacroDataMax], int32_t& length) {
        length = MacroDataToBytes(text, bytes, kMacroDataMax);
        if (length > kMacroDataMax) {
            Fail(MacroFault::DataTooLong);
            return false;
        }
        return true;
    }

    void Jump(std::u16string_view name) { run.MacroPosition = FindMacroLabel(run, name); }
};

bool CheckWait(MacroRun& run, MacroRegisters& registers, MacroHost& host);

// Replies count from here on: the mark comes before the data leaves, so that
// a device that answers at once is not missed. Zero bytes are sent too (an
// empty datagram is a poll for some devices).
MacroStepResult SendAndMark(Step& s, const uint8_t* bytes, int32_t length) {
    s.host.MarkReceived();
    s.run.ReplyMarked = true;
    bool sent = SendMacroData(s.host, length, bytes, s.client) == 0;
    return sent || !s.run.StopOnFailedSend ? MacroStepResult::Continued : s.Fail(MacroFault::SendFailed);
}

MacroStepResult DoSend(Step& s) {
    if (s.args.empty()) return MacroStepResult::Continued;  // nothing after the keyword
    uint8_t bytes[kMacroDataMax];
    int32_t length = 0;
    if (!s.Data(s.args, bytes, length)) return MacroStepResult::Ended;
    return SendAndMark(s, bytes, length);
}

MacroStepResult DoRegisterSend(Step& s) {
    if (s.args.empty()) return MacroStepResult::Continued;  // nothing after the keyword
    MacroRegister* r = s.Register(0);
    if (!r) return MacroStepResult::Ended;
    return SendAndMark(s, r->data, r->length);
}

MacroStepResult DoRead(Step& s) {
    if (!s.Register(0)) return MacroStepResult::Ended;
    WaitForReceivedData(s.run, s.registers, s.host, s.Field(0, 2), s.Field(3, 3), s.Field(7, 3));
    return CheckWait(s.run, s.registers, s.host) ? MacroStepResult::Continued : MacroStepResult::Waiting;
}

MacroStepResult DoTime(Step& s) {
    int32_t count = std::max(s.Field(0, 3), 0);
    s.run.Wait = MacroWait::Time;
    s.run.WaitStart = s.host.Clock().NowMs();
    s.run.WaitTicks = static_cast<uint32_t>(count) * 100u;
    return CheckWait(s.run, s.registers, s.host) ? MacroStepResult::Continued : MacroStepResult::Waiting;
}

MacroStepResult DoGoto(Step& s) {
    s.Jump(s.Label(0));
    return MacroStepResult::Continued;
}

MacroStepResult DoCompareRegisters(Step& s) {
    MacroRegister* a = s.Register(0);
    MacroRegister* b = a ? s.Register(3) : nullptr;
    if (!b) return MacroStepResult::Ended;
    // Bytes of a beyond its length take part as they stand.
    if (std::memcmp(a->data, b->data, static_cast<size_t>(b->length)) == 0) s.Jump(s.Label(6));
    return MacroStepResult::Continued;
}

MacroStepResult DoCompareLiteral(Step& s) {
    MacroRegister* a = s.Register(0);
    if (!a) return MacroStepResult::Ended;
    uint8_t bytes[kMacroDataMax];
    int32_t length = 0;
    if (!s.Data(s.Tail(7), bytes, length)) return MacroStepResult::Ended;
    if (std::memcmp(a->data, bytes, static_cast<size_t>(length)) == 0) s.Jump(s.Label(3));
    return MacroStepResult::Continued;
}

MacroStepResult DoMove(Step& s) {
    MacroRegister* r = s.Register(0);
    if (!r) return MacroStepResult::Ended;
    uint8_t bytes[kMacroDataMax];
    int32_t length = 0;
    if (!s.Data(s.Tail(3), bytes, length)) return MacroStepResult::Ended;
    std::memcpy(r->data, bytes, static_cast<size_t>(length));
    r->length = length;
    return MacroStepResult::Continued;
}

MacroStepResult DoClear(Step& s) {
    MacroRegister* r = s.Register(0);
    if (!r) return MacroStepResult::Ended;
    *r = MacroRegister{};
    return MacroStepResult::Continued;
}

MacroStepResult DoAppend(Step& s) {
    MacroRegister* a = s.Register(0);
    MacroRegister* b = a ? s.Register(3) : nullptr;
    if (!b) return MacroStepResult::Ended;
    if (a->length + b->length > kMacroRegisterBytes) return s.Fail(MacroFault::RegisterOverflow);
    int32_t added = b->length;  // a and b may be the same register
    std::memmove(a->data + a->length, b->data, static_cast<size_t>(added));
    a->length += added;
    return MacroStepResult::Continued;
}

MacroStepResult DoMid(Step& s) {
    MacroRegister* a = s.Register(0);
    MacroRegister* d = a ? s.Register(9) : nullptr;
    if (!d) return MacroStepResult::Ended;
    int32_t start = s.Field(3, 2);
    int32_t count = s.Field(6, 2);
    if (start < 0 || count < 0 || start + count > kMacroRegisterBytes) return s.Fail(MacroFault::RangeOutside);
    std::memmove(d->data, a->data + start, static_cast<size_t>(count));
    d->length = count;
    return MacroStepResult::Continued;
}

MacroStepResult DoCountDecimal(Step& s) {
    MacroRegister* r = s.Register(0);
    if (!r) return MacroStepResult::Ended;
    IncrementDecimalText(*r);
    return MacroStepResult::Continued;
}

MacroStepResult DoCountHex(Step& s) {
    MacroRegister* r = s.Register(0);
    if (!r) return MacroStepResult::Ended;
    IncrementHexText(*r);
    return MacroStepResult::Continued;
}

MacroStepResult DoCheck(Step& s, bool asText) {
    MacroRegister* source = s.Register(0);
    MacroRegister* d = source ? s.Register(3) : nullptr;
    if (!d) return MacroStepResult::Ended;
    if (source->length <= 0) return s.Fail(MacroFault::EmptySource);
    uint8_t x = XorCheckByte(*source);
    if (asText) {
        char16_t digits[3] = {};
        FormatText(digits, s.host.LowerCaseHex() ? u"%02x" : u"%02X", {static_cast<int>(x)});
        d->data[0] = static_cast<uint8_t>(digits[0]);
        d->data[1] = static_cast<uint8_t>(digits[1]);
        d->length = 2;
    } else {
        d->data[0] = x;
        d->length = 1;
    }
    return MacroStepResult::Continued;
}

MacroStepResult DoCheckText(Step& s) { return DoCheck(s, true); }
MacroStepResult DoCheckByte(Step& s) { return DoCheck(s, false); }

enum class Separator { Blank, Client, Any };

struct Command {
    std::u16string_view keyword;
    Separator separator;
    MacroStepResult (*run)(Step&);  // nullptr: PEND
};

// In dispatch order; the first match wins.
const Command kCommands[] = {
    {u"SEND", Separator::Client, DoSend},
    {u"MSED", Separator::Client, DoRegisterSend},
    {u"READ", Separator::Blank, DoRead},
    {u"TIME", Separator::Blank, DoTime},
    {u"GOTO", Separator::Blank, DoGoto},
    {u"CMPM", Separator::Blank, DoCompareRegisters},
    {u"CMPL", Separator::Blank, DoCompareLiteral},
    {u"MOVE", Separator::Blank, DoMove},
    {u"MCLR", Separator::Blank, DoClear},
    {u"MADD", Separator::Blank, DoAppend},
    {u"MMID", Separator::Blank, DoMid},
    {u"MINC", Separator::Blank, DoCountDecimal},
    {u"HINC", Separator::Blank, DoCountHex},
    {u"CHKA", Separator::Blank, DoCheckText},
    {u"CHKH", Separator::Blank, DoCheckByte},
    {u"PEND", Separator::Any, nullptr},
};

// `rest`: the text from the line's start to the end of the macro text.
const Command* MatchCommand(std::u16string_view rest) {
    if (rest.size() < 4) return nullptr;
    for (const Command& c : kCommands) {
        if (rest.substr(0, 4) != c.keyword) continue;
        if (c.separator == Separator::Any) return &c;
        if (rest.size() == 4) return nullptr;
        if (c.separator == Separator::Client || rest[4] == u' ') return &c;
        return nullptr;
    }
    return nullptr;
}

// The end of a TIME or READ wait: true when it has ended (a READ has then
// stored its register).
bool CheckWait(MacroRun& run, MacroRegisters& registers, MacroHost& host) {
    uint32_t elapsed = host.Clock().NowMs() - run.WaitStart;
    if (run.Wait == MacroWait::Time) {
        if (elapsed < run.WaitTicks) return false;
        run.Wait = MacroWait::None;
        return true;
    }
    if (run.Wait != MacroWait::Read) return true;
    ReceivedBlock block;
    bool found = run.ReadCount > 0 && host.FirstReceivedSince(run.ReadCount, block);
    if (!found) {
        bool timedOut = run.ReadTimeout > 0 && elapsed / 100 >= static_cast<uint32_t>(run.ReadTimeout);
        if (run.ReadCount > 0 && !timedOut) return false;
        // Count 0 or the time is up: the newest block since the mark, if any.
        if (!host.LatestReceivedSince(block)) block.length = 0;
    }
    MacroRegister& r = registers.Registers[run.ReadRegister];
    r = MacroRegister{};
    r.length = std::min(block.length, kMacroRegisterBytes);  // a longer block keeps its first 264 bytes
    std::memcpy(r.data, block.bytes, static_cast<size_t>(r.length));
    run.Wait = MacroWait::None;
    return true;
}

MacroStepResult EndAtPend(MacroRun& run, int32_t start) {
    ShowMacroStep(run, start, Span(run, start, TextEnd(run)));
    EndRun(run, MacroEnd::Pend);
    ShowAppMessage(run.Owner, kTextMacroEndedAtPend, kAppMessageOk, kCaption);
    return MacroStepResult::Ended;
}

}  // namespace

MacroStepResult RunMacroStep(MacroRun& run, MacroRegisters& registers, MacroHost& host) {
    if (!run.Running) return MacroStepResult::Ended;
    bool stamped = false;
    if (run.Wait != MacroWait::None) {
        host.StampTrace();
        stamped = true;
        if (!CheckWait(run, registers, host)) return MacroStepResult::Waiting;
        PassLineEnd(run);  // the waiting line is done; the next one runs on this tick
    }
    if (run.MacroPosition >= run.MacroLength) {
        EndRun(run, MacroEnd::EndOfText);
        ShowAppMessage(run.Owner, kTextMacroReachedEnd, kAppMessageOk, kCaption);
        return MacroStepResult::Ended;
    }
    if (!stamped) host.StampTrace();

    int32_t start = run.MacroPosition;
    const Command* command = MatchCommand(Rest(run, start));
    if (command == nullptr) {
        if (At(run, start) != kCr) run.MacroPosition = LineEnd(run, start);
        PassLineEnd(run);
        return MacroStepResult::Continued;
    }
    if (command->run == nullptr) return EndAtPend(run, start);

    int32_t argColumn = 5;
    int32_t client = 0;
    if (command->separator == Separator::Client && run.MacroText[start + 4] != u' ') {
        client = run.MacroText[start + 4] & 15;
        argColumn = 6;
    }
    int32_t end = LineEnd(run, start + 4);
    run.MacroPosition = end;
    // A line counts up to its 255th character, its arguments included.
    int32_t lineEnd = std::min(end, start + kMacroLineCapacity - 1);
    Step step{run, registers, host, start, Span(run, start, lineEnd), Span(run, start + argColumn, lineEnd), client};
    ShowMacroStep(run, start, step.line);
    MacroStepResult result = command->run(step);
    if (result == MacroStepResult::Continued) PassLineEnd(run);
    return result;
}

std::u16string_view MacroCommandKeyword(std::u16string_view rest) {
    const Command* command = MatchCommand(rest);
    return command ? command->keyword : std::u16string_view();
}

int32_t FindMacroLabel(const MacroRun& run, std::u16string_view name) {
    char16_t wanted[3] = {};
    for (size_t i = 0; i < 3 && i < name.size(); ++i) wanted[i] = name[i];
    int32_t end = TextEnd(run);
    int32_t i = 1;
    while (i < end) {
        if (run.MacroText[i] == u':' && i + 3 < end && run.MacroText[i + 1] == wanted[0] &&
            run.MacroText[i + 2] == wanted[1] && run.MacroText[i + 3] == wanted[2])
            return i;
        while (i < end && run.MacroText[i] != kCr) ++i;
        if (i < end) ++i;
        if (i < end && run.MacroText[i] == kLf) ++i;
    }
    return std::max(i, end);
}

int32_t SendMacroData(MacroHost& host, int32_t length, const uint8_t* bytes, int32_t clientIndex) {
    uint8_t buffer[kMacroRegisterBytes] = {};
    length = std::clamp(length, 0, kMacroRegisterBytes);
    if (length > 0) std::memcpy(buffer, bytes, static_cast<size_t>(length));
    if (clientIndex < 0 || clientIndex > 9) clientIndex = 0;
    return host.Send(buffer, length, clientIndex);
}

void WaitForReceivedData(MacroRun& run, MacroRegisters&, MacroHost& host, int32_t reg, int32_t count,
                         int32_t timeout) {
    // Without a send since the last READ, only a block received from now on counts.
    if (!run.ReplyMarked) host.MarkReceived();
    run.ReplyMarked = false;
    run.Wait = MacroWait::Read;
    run.WaitStart = host.Clock().NowMs();
    run.ReadRegister = IsMacroRegisterNumber(reg) ? reg : 0;
    run.ReadCount = count;
    run.ReadTimeout = timeout;
}

void ShowMacroStep(MacroRun& run, int32_t position, std::u16string_view text) {
    FormatText(run.Display.Step, u"Step:%03d/%03d", {position, run.MacroLength});
    CopyTextInto(run.Display.Line, CutText(text, kMacroLineCapacity - 1));
    ++run.Display.Serial;
}

void BeginMacro(MacroRun& run, const char16_t* text, int32_t length, WindowHandle owner) {
    length = std::clamp(length, 0, kMacroTextCapacity);
    std::copy(text, text + length, run.MacroText);
    run.MacroLength = length;
    run.MacroPosition = 1;
    run.Owner = owner;
    run.Wait = MacroWait::None;
    run.ReplyMarked = false;
    run.Ended = MacroEnd::None;
    run.Running = true;
}

void StopMacro(MacroRun& run, WindowHandle owner) {
    EndRun(run, MacroEnd::Stopped);
    ShowAppMessage(owner, kTextMacroStopped, kAppMessageOk, kCaption);
}

void EndMacroQuietly(MacroRun& run) { EndRun(run, MacroEnd::Stopped); }

int32_t MacroLineNumber(const MacroRun& run, int32_t position) {
    int32_t end = std::min(position, TextEnd(run));
    int32_t line = 1;
    for (int32_t i = 1; i < end; ++i)
        if (run.MacroText[i] == kCr) ++line;
    return line;
}
