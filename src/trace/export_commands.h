// The main window's Export and Capture-to-file commands, and the capture's
// share of the refresh timer. Every failure reaches the user as a message;
// none touches the connection.
#pragma once

#include "common/app_settings.h"
#include "platform/message_box.h"
#include "trace/trace_buffer.h"
#include "trace/trace_capture.h"

// Asks whether to export the trace on screen or a trace file, then for the
// file to write (its type picks text, CSV or pcap) and writes it. True when
// a file was written.
bool ExportCommand(WindowHandle owner, const TraceBuffer& trace, const AppSettings& settings);

// What the window's capture works on: its capture of its trace, and the
// settings that keep where and whether it captures.
struct WindowCapture {
    CaptureSession& capture;
    TraceBuffer& trace;
    AppSettings& settings;
};

// Turns the capture on (into settings.CaptureFolder, or the program folder
// when that is empty) or off, and keeps the choice in settings.CaptureOn.
// Returns whether the capture is on afterwards.
bool ToggleCaptureCommand(WindowHandle owner, const WindowCapture& w);

// Keeps `folder` as the capture folder; a running capture goes on in a new
// file there (or stops, after a message, when none can be made there).
void SetCaptureFolder(WindowHandle owner, std::u16string_view folder, const WindowCapture& w);

// At start-up: resumes a capture that was on at the end of the last run.
void ResumeCapture(WindowHandle owner, const WindowCapture& w);

// On each timer tick (connected or not): writes what came in. Returns false
// when the capture stopped on a write failure (the user has been told).
bool CaptureTick(WindowHandle owner, const WindowCapture& w);

// At shutdown: the rest written, the file closed (the setting stays).
void EndCapture(const WindowCapture& w);
