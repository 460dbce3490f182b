#include "platform/stop_requests.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<int> pending{0};  // a StopRequest, set by the handler
int codes[3] = {0, 0, 0};     // exit codes by StopRequest, read by the handler

void OnSignal(int signal) {
    StopRequest request = signal == SIGINT ? StopRequest::Interrupt : StopRequest::End;
    if (pending.exchange(static_cast<int>(request)) != 0) _exit(codes[static_cast<int>(request)]);
}

}  // namespace

void WatchStopRequests(int interruptCode, int endCode) {
    codes[static_cast<int>(StopRequest::Interrupt)] = interruptCode;
    codes[static_cast<int>(StopRequest::End)] = endCode;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    // A closed standard output shows as a failed write, which stops the printing only.
    signal(SIGPIPE, SIG_IGN);
}

StopRequest PendingStopRequest() { return static_cast<StopRequest>(pending.load()); }

void StopRequestsDone(int) {}
