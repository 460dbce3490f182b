#include <gtest/gtest.h>

#include "trace/trace_view_state.h"

namespace {

TraceViewState Scrolling(int32_t top, int32_t cellsPerRow) {
    TraceViewState view;
    view.ViewTop = top;
    view.CellsPerRow = cellsPerRow;
    view.FollowNewest = 0;
    return view;
}

TEST(TraceScroll, ForwardMovesByThePitchAndStopsAtTheEnd) {
    const struct {
        int32_t top, cellsPerRow, writeIndex, pitch, expected;
    } cases[] = {
        {0, 20, 1000, 2, 40},     // two lines on
        {900, 20, 1000, 2, 940},  // still inside
        {960, 20, 1000, 2, 1000}, // past the last cell: the end line
        {960, 20, 995, 2, 980},   // the line holding cell 994 and the end mark
        {0, 20, 0, 2, 0},         // empty trace
        {0, 0, 500, 2, 0},        // not measured yet: no division by zero
        {40, 20, 1000, 0, 40},
    };
    for (const auto& c : cases) {
        TraceViewState view = Scrolling(c.top, c.cellsPerRow);
        ScrollForward(view, c.writeIndex, c.pitch);
        EXPECT_EQ(view.ViewTop, c.expected) << c.top << " " << c.writeIndex;
    }
}

TEST(TraceScroll, BackStopsAtTheStartAndJumpsReachEitherEnd) {
    const struct {
        int32_t top, pitch, expected;
    } cases[] = {{100, 2, 60}, {20, 2, 0}, {100, INT32_MAX, 0}};
    for (const auto& c : cases) {
        TraceViewState view = Scrolling(c.top, 20);
        ScrollBack(view, c.pitch);
        EXPECT_EQ(view.ViewTop, c.expected) << c.top;
    }
    TraceViewState view = Scrolling(0, 20);
    ScrollForward(view, 1000, INT32_MAX);  // huge pitches neither overflow nor go negative
    EXPECT_EQ(view.ViewTop, 1000);
    ScrollForward(view, 1000, -INT32_MAX);
    EXPECT_EQ(view.ViewTop, 0);
    JumpToLastLine(view, 1005);
    EXPECT_EQ(view.ViewTop, 1000);
    JumpToFirstLine(view);
    EXPECT_EQ(view.ViewTop, 0);
    view.CellsPerRow = 0;
    JumpToLastLine(view, 1005);
    EXPECT_EQ(view.ViewTop, 0);
    // Following the newest cells ignores scrolling.
    view = Scrolling(100, 20);
    view.FollowNewest = 1;
    ScrollForward(view, 5000, 2);
    ScrollBack(view, 2);
    EXPECT_EQ(view.ViewTop, 100);
}

}  // namespace
