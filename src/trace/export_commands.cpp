#include "trace/export_commands.h"

#include <ctime>

#include "common/program_context.h"
#include "platform/text.h"

namespace {

constexpr std::u16string_view kExportCaption = u"Export";
constexpr std::u16string_view kCaptureCaption = u"Capture";

uint32_t NowSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

std::u16string CaptureFolderOf(const AppSettings& settings) {
    std::u16string_view folder = TextView(settings.CaptureFolder);
    return folder.empty() ? std::u16string(TextView(g_Program.Directory)) : std::u16string(folder);
}

bool StartCapture(WindowHandle owner, const WindowCapture& w) {
    if (w.capture.Start(w.trace, CaptureFolderOf(w.settings), ExportEndpointsFrom(w.settings, NowSeconds()),
                        LocalCaptureClock()))
        return true;
    ShowAppMessage(owner, kTextCannotCreateCaptureFile, kAppMessageOk, kCaptureCaption);
    return false;
}

}  // namespace

bool ExportCommand(WindowHandle owner, const TraceBuffer& trace, const AppSettings& settings) {
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

bool ToggleCaptureCommand(WindowHandle owner, const WindowCapture& w) {
    if (w.capture.IsOn()) {
        w.capture.Stop(w.trace);
        w.settings.CaptureOn = 0;
        return false;
    }
    w.settings.CaptureOn = StartCapture(owner, w) ? 1 : 0;
    return w.settings.CaptureOn != 0;
}

void SetCaptureFolder(WindowHandle owner, std::u16string_view folder, const WindowCapture& w) {
    CopyTextInto(w.settings.CaptureFolder, folder);
    if (!w.capture.IsOn()) return;
    w.capture.Stop(w.trace);
    w.settings.CaptureOn = StartCapture(owner, w) ? 1 : 0;
}

void ResumeCapture(WindowHandle owner, const WindowCapture& w) {
    if (w.settings.CaptureOn && !w.capture.IsOn() && !StartCapture(owner, w)) w.settings.CaptureOn = 0;
}

bool CaptureTick(WindowHandle owner, const WindowCapture& w) {
    if (w.capture.Pump(w.trace, LocalCaptureClock()) != CaptureStatus::WriteFailed) return true;
    w.settings.CaptureOn = 0;
    ShowAppMessage(owner, kTextCaptureStopped, kAppMessageOk, kCaptureCaption);
    return false;
}

void EndCapture(const WindowCapture& w) { w.capture.Stop(w.trace); }
