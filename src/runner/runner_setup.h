// What the runner prepares before it opens the connection: the settings
// (Lanvisor.ini or --settings, then the command line's connection), the
// interface texts beside the executable, and the macro file. Every refusal
// is a one-line reason for a usage error.
#pragma once

#include <string>

#include "common/app_settings.h"
#include "macro/macro_runner.h"
#include "runner/runner_options.h"

// Fills `settings` from the settings file and the options. Without a mode
// on the command line the file must exist: the built-in access point is
// not one to connect to unasked.
bool PrepareSettings(const RunnerOptions& options, AppSettings& settings, std::u16string& error);

// Applies the connection options to settings already loaded.
void ApplyConnectionOptions(const RunnerOptions& options, AppSettings& settings);

// The program folder from the executable's path, its interface texts, and
// the language the settings chose, into the program context.
void LoadRunnerTexts(const AppSettings& settings);

// Reads the macro file and makes it the run's macro (not yet stepped).
bool LoadRunnerMacro(const std::u16string& path, MacroRun& run, std::u16string& error);
// Reads the macro file's text as the interpreter would hold it.
bool ReadRunnerMacro(const std::u16string& path, std::u16string& text, std::u16string& error);
// A text without commands is refused: it would run off its end and fail
// the device, when it is the file that is wrong.
bool HasRunnerCommands(const std::u16string& path, const std::u16string& text, std::u16string& error);

// The labels of a --convert: the settings and the connection options as a
// run takes them. Without either nothing tells a client's peer, which is
// then left unknown (0.0.0.0, a blank peer) rather than shown as the
// built-in access point. False, with the reason, for an unreadable
// --settings file.
bool ConversionEndpoints(const RunnerOptions& options, uint32_t startSeconds, ExportEndpoints& endpoints,
                         std::u16string& error);

// "a.b.c.d:port" of the access point: how blocks of a client are labelled.
std::string AccessPointText(const AppSettings& settings);
