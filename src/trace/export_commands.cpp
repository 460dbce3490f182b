#include "trace/export_commands.h"

#include <ctime>

#include "common/file_chooser.h"
#include "common/program_directory.h"
#include "common/text_table.h"
#include "platform/text.h"

CaptureSession g_Capture;

namespace {

constexpr std::u16string_view kExportCaption = u"Export";
constexpr std::u16string_view kCaptureCaption = u"Capture";

uint32_t NowSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

std::u16string CaptureFolderOf(const AppSettings& settings) {
    std::u16string_view folder = TextView(settings.CaptureFolder);
    return folder.empty() ? std::u16string(TextView(g_ProgramDirectory)) : std::u16string(folder);
}

bool StartCapture(WindowHandle owner, TraceBuffer& trace, const AppSettings& settings) {
    if (g_Capture.Start(trace, CaptureFolderOf(settings), ExportEndpointsFrom(settings, NowSeconds()),
                        LocalCaptureClock()))
        return true;
    ShowAppMessage(owner, kTextCannotCreateCaptureFile, kAppMessageOk, kCaptureCaption);
    return false;
}

}  // namespace

bool ExportCommand(WindowHandle owner, TraceBuffer& trace, const AppSettings& settings) {
    bool fromScreen = TraceCount(trace) > 0 &&
                      ShowAppMessage(owner, kTextExportScreenQuestion, kAppMessageYesNo, kExportCaption) == kIdYes;
    char16_t source[kChooseFileCapacity] = {};
    if (!fromScreen) {
        CopyTextInto(source, ProgramFilePath(u"Temp1.log"));
        if (!ChooseFile(owner, kChooseOpenLog, source)) return false;
    }
    char16_t target[kChooseFileCapacity] = {};
    CopyTextInto(target, ProgramFilePath(u"Temp1.txt"));
    if (!ChooseFile(owner, kChooseExport, target)) return false;
    std::u16string path(TextView(target));
    ExportFormat format = ExportFormatForPath(path);
    size_t nameStart = path.rfind(u'\\');
    if (path.find(u'.', nameStart == path.npos ? 0 : nameStart) == path.npos) path += u".txt";
    ExportEndpoints endpoints = ExportEndpointsFrom(settings, NowSeconds());
    ExportResult result = fromScreen ? ExportTraceToFile(trace, format, endpoints, path)
                                     : ConvertTraceFile(TextView(source), format, endpoints, path);
    if (result == ExportResult::Ok) return true;
    ShowAppMessage(owner, result == ExportResult::Empty ? kTextNothingToSave : kTextCannotOpenFile, kAppMessageOk,
                   kExportCaption);
    return false;
}

bool ToggleCaptureCommand(WindowHandle owner, TraceBuffer& trace, AppSettings& settings) {
    if (g_Capture.IsOn()) {
        g_Capture.Stop(trace);
        settings.CaptureOn = 0;
        return false;
    }
    settings.CaptureOn = StartCapture(owner, trace, settings) ? 1 : 0;
    return settings.CaptureOn != 0;
}

void SetCaptureFolder(WindowHandle owner, std::u16string_view folder, TraceBuffer& trace, AppSettings& settings) {
    CopyTextInto(settings.CaptureFolder, folder);
    if (!g_Capture.IsOn()) return;
    g_Capture.Stop(trace);
    settings.CaptureOn = StartCapture(owner, trace, settings) ? 1 : 0;
}

void ResumeCapture(WindowHandle owner, TraceBuffer& trace, AppSettings& settings) {
    if (settings.CaptureOn && !g_Capture.IsOn() && !StartCapture(owner, trace, settings)) settings.CaptureOn = 0;
}

bool CaptureTick(WindowHandle owner, TraceBuffer& trace, AppSettings& settings) {
    if (g_Capture.Pump(trace, LocalCaptureClock()) != CaptureStatus::WriteFailed) return true;
    settings.CaptureOn = 0;
    ShowAppMessage(owner, kTextCaptureStopped, kAppMessageOk, kCaptureCaption);
    return false;
}

void EndCapture(TraceBuffer& trace) { g_Capture.Stop(trace); }
