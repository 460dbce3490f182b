#include <gtest/gtest.h>

#include "shell/status_bar_text.h"

namespace {

StatusInputs Inputs(const AppSettings& s, bool open = false) { return {&s, open, 41, 5, 0, 0}; }

TEST(StatusBarText, EndpointsInTheirFourForms) {
    AppSettings s;
    EXPECT_EQ(StatusPartText(0, Inputs(s)), u"Adapter=Auto >> AccessPoint=192.168.0.1;PortNo=1050");
    s.BindMode = 1;
    EXPECT_EQ(StatusPartText(0, Inputs(s)), u"Adapter=192.168.0.99;PortNo=1050 >> AccessPoint=192.168.0.1;PortNo=1050");
    s.IpMode = 1;
    s.AdapterPort = 2000;
    EXPECT_EQ(StatusPartText(0, Inputs(s)), u"socket=192.168.0.99;Port=2000<<ip=No Select");
    s.BindMode = 0;
    s.AccessIp[0] = 300;  // shown as stored
    EXPECT_EQ(StatusPartText(0, Inputs(s)), u"socket=Auto;Port=2000<<ip=No Select");
    s.IpMode = 0;
    s.BindMode = 1;
    s.AccessPort = -2147483647 - 1;
    for (int& octet : s.AdapterIp) octet = -2147483647 - 1;
    EXPECT_LE(StatusPartText(0, Inputs(s)).size(), 127u);  // never past its 128-unit buffer
}

TEST(StatusBarText, ModeStateAndCounters) {
    AppSettings s;
    StatusInputs in = Inputs(s);
    EXPECT_EQ(StatusPartText(1, in), u"TIP");
    EXPECT_EQ(StatusPartText(2, in), u"Client;");
    EXPECT_EQ(StatusPartText(3, in), u"CLOSE");
    EXPECT_EQ(StatusPartText(4, in), u"DrawSize=X41;Y5");
    s.TipUdpMode = 1;
    s.IpMode = 1;
    in = {&s, true, 0, 0, 65281, 410};
    EXPECT_EQ(StatusPartText(1, in), u"UDP");
    EXPECT_EQ(StatusPartText(2, in), u"Server");
    EXPECT_EQ(StatusPartText(3, in), u"OPEN");
    EXPECT_EQ(StatusPartText(5, in), u"BufferSize=65281/131072");
    EXPECT_EQ(StatusPartText(6, in), u"Scroll=410");
    in.capturing = true;
    EXPECT_EQ(StatusPartText(0, in), u"REC | socket=Auto;Port=1050<<ip=No Select");
}
}  // namespace
