#include "platform/stop_requests.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<int> pending{0};  // a StopRequest
int codes[3] = {0, 0, 0};
HANDLE done = nullptr;        // set when the run has finished writing
std::atomic<int> doneCode{0};

// The system ends the process once the handler of a closing console returns
// (or after about five seconds): wait for the run to finish writing first.
constexpr DWORD kCloseWaitMs = 4500;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    StopRequest request = event == CTRL_C_EVENT ? StopRequest::Interrupt : StopRequest::End;
    if (pending.exchange(static_cast<int>(request)) != 0) ExitProcess(static_cast<UINT>(codes[static_cast<int>(request)]));
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    WaitForSingleObject(done, kCloseWaitMs);
    ExitProcess(static_cast<UINT>(doneCode.load()));
}

}  // namespace

void WatchStopRequests(int interruptCode, int endCode) {
    codes[static_cast<int>(StopRequest::Interrupt)] = interruptCode;
    codes[static_cast<int>(StopRequest::End)] = endCode;
    doneCode = endCode;
    done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopRequest PendingStopRequest() { return static_cast<StopRequest>(pending.load()); }

void StopRequestsDone(int exitCode) {
    doneCode = exitCode;
    if (done) SetEvent(done);
}
