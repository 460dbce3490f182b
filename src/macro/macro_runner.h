// The macro interpreter: one line of the macro text per tick of the macro
// dialog's 100 ms timer. TIME and READ are carried out across ticks: the
// step that starts a wait returns Waiting, later ticks check it, and the
// line after it runs on the tick that sees the wait end. Stopping ends a
// wait at once. Nothing here blocks the user-interface thread.
//
// The dialog's side, with the run, registers and host it is given:
//   start button    StartMacroFile(run, dialog, name) -> true: start timer 1 (100 ms)
//   every tick      RunMacroStep(run, registers, host);
//                   when run.Running turns false, kill timer 1;
//                   when run.Display.Serial changed, show Display.Step
//                   in control 1002 and Display.Line in control 1003
//   stop button     StopMacro(run, dialog)  (kill timer 1 first)
//   closing         EndMacroQuietly(run)
#pragma once

#include <cstdint>
#include <string_view>

#include "connection/connection_state.h"
#include "macro/macro_registers.h"
#include "platform/message_box.h"
#include "platform/tick_clock.h"

constexpr int32_t kMacroTextCapacity = 25604;  // code units, the byte-order mark included
constexpr int32_t kMacroFileMaxBytes = kMacroTextCapacity * 2;
constexpr int32_t kMacroLineCapacity = 256;  // line and argument buffers, terminator included

// What a macro needs from the rest of the program; tests give a fake.
class MacroHost {
public:
    virtual ~MacroHost() = default;
    // Sends and, when sent, records the block in the trace (with the peer's
    // address cells in server mode). Returns 0 or the error code, which the
    // send has already shown to the user.
    virtual int32_t Send(const uint8_t* bytes, int32_t length, int32_t clientIndex) = 0;
    // Received blocks count for a READ from the point marked last: a send
    // marks before its data leaves, so that an immediate reply is seen.
    virtual void MarkReceived() = 0;
    // The first block since the mark of at least `count` bytes, and the
    // newest block since the mark; false when there is none.
    virtual bool FirstReceivedSince(int32_t count, ReceivedBlock& out) = 0;
    virtual bool LatestReceivedSince(ReceivedBlock& out) = 0;
    // Keeps the trace's newest stamp counting, and shown, while the macro runs.
    virtual void StampTrace() = 0;
    virtual const TickClock& Clock() = 0;
    // The user's choices the interpreter follows: the letter case of a
    // checksum written as hex text, and the language of its fault messages.
    virtual bool LowerCaseHex() = 0;
    virtual bool FaultsInJapanese() = 0;
};

enum class MacroWait : int32_t { None, Time, Read };

// How the last run ended, for callers that act on it without a window.
enum class MacroEnd : int32_t { None, EndOfText, Pend, Fault, Stopped };

// The step and line fields of the macro dialog.
struct MacroDisplay {
    char16_t Step[32] = u"Step:000";
    char16_t Line[kMacroLineCapacity] = u"********";
    uint32_t Serial = 0;  // counts every change
};

struct MacroRun {
    char16_t MacroText[kMacroTextCapacity] = {};
    int32_t MacroLength = 0;    // code units read, the mark included
    int32_t MacroPosition = 0;  // start of the next line to execute
    bool Running = false;       // the dialog's timer 1 exists
    MacroEnd Ended = MacroEnd::None;  // set when Running turns false
    WindowHandle Owner = nullptr;

    // The wait in progress (TIME, READ) and the line that started it.
    MacroWait Wait = MacroWait::None;
    uint32_t WaitStart = 0;
    uint32_t WaitTicks = 0;  // TIME: the wait's length in ms
    int32_t ReadRegister = 0;
    int32_t ReadCount = 0;
    int32_t ReadTimeout = 0;  // tenths of a second, 0 no limit
    bool ReplyMarked = false;  // a send since the last READ marked where replies start
    // The runner's rule: a send that fails ends the macro with a fault
    // naming the line. The window shows the failure and goes on.
    bool StopOnFailedSend = false;

    MacroDisplay Display;
};

enum class MacroStepResult {
    Continued,  // a line was executed or passed over
    Waiting,    // a TIME or READ wait is still running
    Ended,      // the macro ended (end of text, PEND, an error); Running is false
};

// One tick. Does nothing but return Ended when the macro is not running.
MacroStepResult RunMacroStep(MacroRun& run, MacroRegisters& registers, MacroHost& host);

// The keyword of the command the interpreter runs for a line, given the text
// from the line's start to the end of the macro text; empty for a line it
// passes over.
std::u16string_view MacroCommandKeyword(std::u16string_view rest);

// Index of the label line ":xyz" whose three characters equal `name`, or,
// when there is none, where the walk ended (at or past the end of the text).
int32_t FindMacroLabel(const MacroRun& run, std::u16string_view name);

// The macro's send path: at most 264 bytes; a client outside 0..9 becomes 0.
// Returns the send's result (0 or the error code it has shown).
int32_t SendMacroData(MacroHost& host, int32_t length, const uint8_t* bytes, int32_t clientIndex);

// Starts the READ wait on a register (checked at once and on every tick).
void WaitForReceivedData(MacroRun& run, MacroRegisters& registers, MacroHost& host, int32_t reg, int32_t count,
                         int32_t timeout);

// Fills the display: "Step:%03d/%03d" of position and MacroLength, and the
// line text (cut to 255 characters).
void ShowMacroStep(MacroRun& run, int32_t position, std::u16string_view text);

// Makes `text` (a whole macro file decoded to code units, the mark at index
// 0) the running macro from its first line. A READ before any send counts
// from its own start.
void BeginMacro(MacroRun& run, const char16_t* text, int32_t length, WindowHandle owner);

// The stop button: ends the run and any wait, then shows text 17 (also when
// nothing was running).
void StopMacro(MacroRun& run, WindowHandle owner);
// The dialog closing: ends the run and any wait without a message.
void EndMacroQuietly(MacroRun& run);

// The 1-based line number of a text position (for messages).
int32_t MacroLineNumber(const MacroRun& run, int32_t position);
