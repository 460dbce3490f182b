// The window's hold on its reply rules: the file they come from, turning
// them on and off, and reading the file again when it changes on disk. A
// file that does not load never takes rules away: the engine goes on
// answering by the last rules that loaded, and Error says what is wrong.
// Everything here runs on the owner's thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/app_settings.h"
#include "platform/files.h"
#include "replies/reply_engine.h"

constexpr uint32_t kRulesFileCheckMs = 1000;  // how often a change on disk is looked for

struct ReplyRulesControl {
    ReplyEngine* Engine = nullptr;
    // reply_rules: the file that loaded last (a file that fails keeps the
    // one before); reply_on: whether the rules are on.
    AppSettings* Settings = nullptr;
    std::u16string Error;        // the last load's "file:line:column: reason"; empty when it loaded
    bool ErrorInStatus = false;  // the status bar shows Error
    bool Loaded = false;         // the engine holds rules from a file
    FileStamp Seen;              // the settings' file as it was when last read
    uint32_t LastCheckMs = 0;
};

// Where a rules file name points: a name that is no full path lies in the
// program folder.
std::u16string RulesFilePath(std::u16string_view name);

// Reads the file; when it parses, the engine answers by its rules from the
// next frame on (their counts start at 0) and the settings keep its name.
// False, with Error set, when it does not.
bool LoadReplyRules(ReplyRulesControl& control, std::u16string_view name);

// At the start of the run: reads the settings' file; the rules are on when
// reply_on says so and it loaded. A failure shows in the status bar only
// when the rules were asked for.
void StartReplyRules(ReplyRulesControl& control);

// The user's switch. Turning on reads the file again when it changed; with
// no rules that ever loaded the rules stay off. Returns whether they are on.
bool SetReplyRulesOn(ReplyRulesControl& control, bool on);

// Called on every tick: while the rules are on, at most once every
// kRulesFileCheckMs, reads the file again when it changed. True when it was
// read (whatever came of it), so that the status shows the outcome.
bool ReloadChangedRules(ReplyRulesControl& control, uint32_t nowMs);

// One row of the rules dialog's list: line, hits and the rule as written,
// separated by tabs (a tab in the rule becomes a blank).
std::u16string RuleRowText(const Rule& rule, int64_t hits);
