#include "runner/run_verdict.h"

int ExitCodeOf(const RunOutcome& o) {
    if (o.stop == StopRequest::Interrupt) return kExitInterrupted;
    if (o.stop == StopRequest::End) return kExitEndRequested;
    if (o.timedOut) return kExitTimeout;
    if (o.outputFailed) return kExitOutputFailed;
    if (o.unmatched) return kExitUnmatched;
    return o.work;
}
