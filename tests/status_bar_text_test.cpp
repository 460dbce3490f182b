#include <gtest/gtest.h>

#include "shell/status_bar_text.h"

namespace {

// The endpoints in their four forms (client or server, bound or not), the
// mode, state and counters; the bar's colors are checked end to end.
TEST(StatusBarText, EndpointsModeStateAndCounters) {
    AppSettings s;
    StatusInputs in{&s, false, 41, 5, 0, 0};
    EXPECT_EQ(StatusPartText(0, in), u"Adapter=Auto >> AccessPoint=192.168.0.1;PortNo=1050");
    EXPECT_EQ(StatusPartText(1, in) + StatusPartText(2, in) + StatusPartText(3, in), u"TIPClient;CLOSE");
    EXPECT_EQ(StatusPartText(4, in), u"DrawSize=X41;Y5");
    s.BindMode = 1;
    EXPECT_EQ(StatusPartText(0, in), u"Adapter=192.168.0.99;PortNo=1050 >> AccessPoint=192.168.0.1;PortNo=1050");
    s.IpMode = 1;
    s.AdapterPort = 2000;
    EXPECT_EQ(StatusPartText(0, in), u"socket=192.168.0.99;Port=2000<<ip=No Select");
    s.BindMode = 0;
    s.TipUdpMode = 1;
    in = {&s, true, 0, 0, 65281, 410};
    in.capturing = true;
    EXPECT_EQ(StatusPartText(0, in), u"REC | socket=Auto;Port=2000<<ip=No Select");
    EXPECT_EQ(StatusPartText(1, in) + StatusPartText(2, in) + StatusPartText(3, in), u"UDPServerOPEN");
    EXPECT_EQ(StatusPartText(5, in) + StatusPartText(6, in), u"BufferSize=65281/131072Scroll=410");
    // Never past its 128-unit buffer, whatever the settings hold.
    s.IpMode = 0;
    s.BindMode = 1;
    in.capturing = false;
    s.AccessPort = -2147483647 - 1;
    for (int& octet : s.AdapterIp) octet = -2147483647 - 1;
    EXPECT_LE(StatusPartText(0, in).size(), 127u);
}

}  // namespace
