#include "support/recording_launcher.h"

#include "common/program_context.h"

RecordingLauncher::RecordingLauncher() : previous_(SetLauncher(this)) {}

RecordingLauncher::~RecordingLauncher() { SetLauncher(previous_); }

intptr_t RecordingLauncher::Open(WindowHandle, std::u16string_view file, std::u16string_view parameters,
                                 std::u16string_view directory) {
    launches.push_back({false, std::u16string(file), std::u16string(parameters), std::u16string(directory)});
    return openResult;
}

bool RecordingLauncher::RunAsAdministrator(WindowHandle, std::u16string_view file) {
    launches.push_back({true, std::u16string(file), u"", u""});
    return runAsResult;
}
