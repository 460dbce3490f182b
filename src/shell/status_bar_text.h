// What the status bar shows: the capture and the reply rules when on (and
// a rules file that did not load), the endpoints, TIP or UDP, client or
// server, OPEN or CLOSE, the grid size, the buffer fill and the scroll
// position, on a background color that tells the connection state from afar.
#pragma once

#include <cstdint>
#include <string>

#include "common/app_settings.h"

constexpr int kStatusParts = 10;
constexpr int kDrawnStatusParts = 8;  // parts 8 and 9 stay empty
extern const int kStatusPartEdges[kStatusParts];  // right edges; -1: to the end

struct StatusInputs {
    const AppSettings* settings;
    bool connectionOpen;
    int32_t cellsPerRow;
    int32_t screenRows;
    int32_t traceCount;
    int32_t viewTop;
    bool capturing = false;  // part 0 then starts with "REC | "
    bool replying = false;   // the reply rules are on: "AUTO | " next
    std::u16string_view repliesError = {};  // a rules file that did not load: its error next
    std::u16string group = {};  // the group the open connection joined: after the endpoints
};

// The text of part 0..7 (empty for other parts).
std::u16string StatusPartText(int part, const StatusInputs& in);

// The color slot of the background.
int StatusBackgroundSlot(bool connectionOpen, const AppSettings& settings);
