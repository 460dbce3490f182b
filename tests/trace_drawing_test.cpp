#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

#include "appearance/color_scheme.h"
#include "support/recording_canvas.h"
#include "trace/trace_drawing.h"

namespace {

using Op = RecordingCanvas::Op;

// sh 10, cw 9, ch 18, x0 40: half line H = 51, line R = 105. An 800 x 600
// client area holds 41 columns and 5 lines.
constexpr TraceMetrics kMetrics{10, 9, 18, 40};
constexpr int kWidth = 800;
constexpr int kHeight = 600;

class TraceViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AllocateTrace(trace));
        trace.Clock = &clock;
        ClearTraceAndView(trace, view);
    }

    void Paint() {
        canvas.ops.clear();
        PaintTrace(canvas, kMetrics, trace, view, kWidth, kHeight);
    }
    void Tick() {
        canvas.ops.clear();
        DrawNewCells(canvas, kMetrics, trace, view);
    }
    void Receive(std::vector<uint8_t> bytes, TraceCellKind kind = Received) {
        AppendTrace(trace, bytes.data(), int32_t(bytes.size()), kind);
    }

    TraceBuffer trace;
    TraceViewState view;
    ManualTickClock clock;
    RecordingCanvas canvas;
};

// A cell shows its byte (control bytes by name) and hex, a trailer its
// stamp, a client event its octets and open mark; the send half of a line
// starts 51 pixels down, and odd columns have their own background. (The
// grid's look is measured end to end.)
TEST_F(TraceViewTest, CellsStampsAndEventsShowTheirTexts) {
    Receive({0x0D});
    Receive({0x20, 0x41}, Sent);
    AppendAddressCells(trace, ClientEvent, Ipv4Address{{127, 0, 10, 5}}, 1);
    Paint();
    for (std::u16string_view text : {u"CR", u"0D", u"SP", u"001", u"127", u"Op", u" >"})
        EXPECT_EQ(canvas.TextsEqualTo(text).size(), 1u) << std::string(text.begin(), text.end());
    EXPECT_EQ(canvas.TextsEqualTo(u"t=").size(), 2u);
    EXPECT_EQ(canvas.TextsEqualTo(u"EOF").size(), 2u);
    EXPECT_EQ(canvas.TextsEqualTo(u"SEND:").size(), 5u);  // one label a screen line
    auto a = canvas.TextsEqualTo(u"A");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ((std::vector<int>{a[0].x, a[0].y, a[0].slot, a[0].backSlot}),
              (std::vector<int>{40 + 5 * 18 + 9 / 2, 51 + 10 + 30, kDataText, kAscBack1}));
}

// A tick draws only the new cells and moves the end mark; the counting stamp
// is redrawn in place until the next block freezes it.
TEST_F(TraceViewTest, TicksDrawOnlyNewCellsAndTheCountingStamp) {
    Receive({0x41});
    Paint();
    clock.Advance(1500);
    StampPendingTrailer(trace);
    canvas.ops.clear();
    RedrawStamp(canvas, kMetrics, trace, view, false);
    ASSERT_EQ(canvas.ops.size(), 2u);
    EXPECT_EQ(canvas.ops[0].text, u"00");
    EXPECT_EQ(canvas.ops[1].text, u"15");
    EXPECT_EQ(canvas.ops[1].x, 40 + 3 * 18);
    clock.Advance(500);
    Receive({0x42});  // freezes the first stamp at 2.0 s
    Tick();
    ASSERT_GE(canvas.ops.size(), 2u);
    EXPECT_EQ(canvas.ops[1].text, u"20");  // the old stamp's final digits, at its old place
    EXPECT_EQ(canvas.ops[1].x, 40 + 3 * 18);
    EXPECT_EQ(canvas.TextsEqualTo(u"B").size(), 1u);
    EXPECT_TRUE(canvas.TextsEqualTo(u"A").empty());
    EXPECT_EQ(canvas.TextsEqualTo(u"    ").size(), 2u);  // where the end mark stood
    auto marks = canvas.TextsEqualTo(u"EOF");
    ASSERT_EQ(marks.size(), 2u);  // in both halves of the line
    EXPECT_EQ(marks[0].x, 40 + 8 * 18);
    Tick();
    EXPECT_TRUE(canvas.TextsEqualTo(u"B").empty());
}

// What stays on the screen after a run of drawing operations: the text at
// each place, a rectangle wiping the texts inside it, blanks wiping a place.
std::map<std::pair<int, int>, std::u16string> ScreenAfter(const std::vector<Op>& ops) {
    std::map<std::pair<int, int>, std::u16string> screen;
    for (const Op& op : ops) {
        if (op.kind == RecordingCanvas::Kind::Rect) {
            std::erase_if(screen, [&](const auto& entry) {
                auto [x, y] = entry.first;
                return x >= op.x && x < op.x2 && y >= op.y && y < op.y2;
            });
        } else if (op.kind == RecordingCanvas::Kind::Text) {
            if (op.text.find_first_not_of(u' ') == std::u16string::npos)
                screen.erase({op.x, op.y});
            else
                screen[{op.x, op.y}] = op.text;
        }
    }
    return screen;
}

TEST_F(TraceViewTest, AFloodDrawsOnlyTheLastScreenfulAndEndsAsIfItHadDrawnAll) {
    // The same traffic drawn tick by tick, and in one tick after it all came.
    TraceBuffer stepwise;
    TraceViewState stepView;
    ASSERT_TRUE(AllocateTrace(stepwise));
    stepwise.Clock = &clock;
    ClearTraceAndView(stepwise, stepView);
    RecordingCanvas stepCanvas;
    PaintTrace(stepCanvas, kMetrics, stepwise, stepView, kWidth, kHeight);
    Paint();
    std::vector<Op> all = canvas.ops;
    for (int block = 0; block < 40; ++block) {
        std::vector<uint8_t> bytes(7 + block * 13 % 60, uint8_t(0x30 + block));
        for (TraceBuffer* t : {&stepwise, &trace})
            AppendTrace(*t, bytes.data(), int32_t(bytes.size()), block % 3 ? Received : Sent);
        DrawNewCells(stepCanvas, kMetrics, stepwise, stepView);
    }
    ASSERT_GT(TraceCount(trace), 5 * 41 * 5);  // five screens behind
    Tick();
    // One screenful and at most one more line of cells: four texts each at most.
    size_t texts = 0;
    for (const Op& op : canvas.ops) texts += op.kind == RecordingCanvas::Kind::Text;
    EXPECT_LE(texts, size_t(4 * (41 * 5 + 41) + 8));
    all.insert(all.end(), canvas.ops.begin(), canvas.ops.end());
    EXPECT_EQ(ScreenAfter(all), ScreenAfter(stepCanvas.ops));  // the end mark included
    EXPECT_EQ(UnreadCount(trace, view.Drawn), 0);
    FreeTrace(stepwise);
}

TEST_F(TraceViewTest, ATickDrawsOnlyWhatHadArrivedWhenItBegan) {
    Paint();
    Receive(std::vector<uint8_t>(50, 1));
    int32_t waiting = TraceCount(trace);
    // Cells that come while the tick draws wait for the next tick.
    struct ArrivingCanvas : RecordingCanvas {
        std::function<void()> arrive;
        void Text(int x, int y, std::u16string_view text, CanvasFont font, int textSlot, int backSlot) override {
            if (arrive && text == u"01") std::exchange(arrive, nullptr)();  // amid the first cells
            RecordingCanvas::Text(x, y, text, font, textSlot, backSlot);
        }
    } arriving;
    arriving.arrive = [this] { Receive(std::vector<uint8_t>(30, 2)); };
    DrawNewCells(arriving, kMetrics, trace, view);
    EXPECT_EQ(view.Drawn.Next - ExtentOf(trace).First, uint64_t(waiting));
    EXPECT_EQ(arriving.TextsEqualTo(u"02").size(), 0u);
    Tick();
    EXPECT_EQ(canvas.TextsEqualTo(u"02").size(), 30u);
}

}  // namespace
