#include <gtest/gtest.h>

#include "appearance/color_scheme.h"
#include "shell/status_bar_text.h"

namespace {

// The endpoints in their forms (client or server, bound or not, capturing),
// never past the part's 128-unit buffer; the background is the mode's color
// while open, the closed color otherwise (its pixels are looked at end to end).
TEST(StatusBarText, EndpointsInTheirFormsAndTheStateColor) {
    AppSettings s;
    StatusInputs in{&s, false, 41, 5, 0, 0};
    EXPECT_EQ(StatusPartText(0, in), u"Adapter=Auto >> AccessPoint=192.168.0.1;PortNo=1050");
    s.BindMode = 1;
    EXPECT_EQ(StatusPartText(0, in), u"Adapter=192.168.0.99;PortNo=1050 >> AccessPoint=192.168.0.1;PortNo=1050");
    s.IpMode = 1;
    EXPECT_EQ(StatusPartText(0, in), u"socket=192.168.0.99;Port=1050<<ip=No Select");
    s.BindMode = 0;
    in.capturing = true;
    EXPECT_EQ(StatusPartText(0, in), u"REC | socket=Auto;Port=1050<<ip=No Select");
    in.group = u"239.255.0.9";  // joined
    EXPECT_EQ(StatusPartText(0, in), u"REC | socket=Auto;Port=1050<<ip=No Select | Group=239.255.0.9");
    in.group.clear();
    EXPECT_EQ(StatusPartText(2, in), u"Server");
    s.IpMode = 0;
    s.BindMode = 1;
    in.capturing = false;
    s.AccessPort = -2147483647 - 1;
    for (int& octet : s.AdapterIp) octet = -2147483647 - 1;
    EXPECT_LE(StatusPartText(0, in).size(), 127u);

    const struct {
        int udp, server, openSlot;
    } modes[] = {
        {0, 0, kStatusTipClient}, {0, 1, kStatusTipServer}, {1, 0, kStatusUdpClient}, {1, 1, kStatusUdpServer}};
    for (const auto& m : modes) {
        s.TipUdpMode = m.udp;
        s.IpMode = m.server;
        EXPECT_EQ(StatusBackgroundSlot(true, s), m.openSlot);
        EXPECT_EQ(StatusBackgroundSlot(false, s), kStatusClosed);
    }
}

// Capture, reply rules and a rules file's error come before the endpoints,
// in that order, each when it applies.
TEST(StatusBarText, StatesBeforeTheEndpoints) {
    AppSettings s;
    s.IpMode = 1;
    struct Row {
        bool capturing, replying;
        std::u16string_view error;
        std::u16string_view expected;
    };
    const Row rows[] = {
        {false, true, u"", u"AUTO | socket=Auto;Port=1050<<ip=No Select"},
        {true, true, u"", u"REC | AUTO | socket=Auto;Port=1050<<ip=No Select"},
        {false, false, u"r.txt:2:4: bad", u"r.txt:2:4: bad | socket=Auto;Port=1050<<ip=No Select"},
        {true, true, u"r.txt: cannot read", u"REC | AUTO | r.txt: cannot read | socket=Auto;Port=1050<<ip=No Select"},
    };
    for (const Row& row : rows) {
        StatusInputs in{&s, true, 41, 5, 0, 0, row.capturing, row.replying, row.error};
        EXPECT_EQ(StatusPartText(0, in), row.expected);
        EXPECT_EQ(StatusPartText(3, in), u"OPEN");
    }
}

}  // namespace
