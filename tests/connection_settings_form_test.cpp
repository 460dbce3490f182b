#include <gtest/gtest.h>

#include "connection/connection_settings_form.h"
#include "platform/text.h"
#include "support/loopback_peer.h"

namespace {

TEST(ConnectionSettingsForm, VersionTextsBothWays) {
    const struct {
        int32_t setting;
        std::u16string_view text;
    } shown[] = {{1, u"1.0"}, {2, u"1.1"}, {3, u"2.0"}, {4, u"2.2"}, {7, u"2.2"}, {0, u"2.2"}};
    for (const auto& c : shown) EXPECT_EQ(std::u16string_view(VersionText(c.setting)), c.text);
    const struct {
        std::u16string_view text;
        int32_t stored;
    } read[] = {{u"1.0", 1}, {u"1.1", 2}, {u"2.0", 3}, {u"2.2", 4}, {u"2.1", 4}, {u"", 4}, {u"2.0x", 3}, {u"2", 4}};
    for (const auto& c : read) EXPECT_EQ(WsaVersionFromText(c.text), c.stored) << std::u16string(c.text).size();
}

TEST(ConnectionSettingsForm, EnablingFollowsModeAndBinding) {
    const struct {
        bool server, valid;
        ConnectionFormEnabling expected;
    } cases[] = {
        {false, false, {true, false, false}},  // client, Auto: no local port
        {false, true, {true, true, true}},
        {true, false, {false, false, true}},   // server: its port, no access point
        {true, true, {false, true, true}},
    };
    for (const auto& c : cases) {
        ConnectionFormEnabling on = EnablingFor(c.server, c.valid);
        EXPECT_EQ(on.accessPoint, c.expected.accessPoint);
        EXPECT_EQ(on.adapterAddress, c.expected.adapterAddress);
        EXPECT_EQ(on.adapterPort, c.expected.adapterPort);
    }
}

TEST(ConnectionSettingsForm, ReadBackTakesLeadingDigitsWithoutRangeChecks) {
    AppSettings s;
    ConnectionFormValues v = FormValuesFrom(s);
    EXPECT_EQ(v.versionText, u"2.0");
    EXPECT_EQ(v.accessOctets[0], u"192");
    EXPECT_EQ(v.adapterPort, u"1050");
    v.versionText = u"2.0";
    v.client = false;
    v.tip = false;
    v.autoBind = false;
    v.accessOctets[0] = u"300";      // stored as typed
    v.accessOctets[1] = u"abc";      // no digits: 0
    v.accessOctets[2] = u"12345";    // only 3 characters count
    v.accessOctets[3] = u" 7x";
    v.accessPort = u"6553699";       // only 5 characters count
    v.adapterPort = u"99999";
    v.pcName = std::u16string(300, u'n');
    ReadBackConnectionForm(v, s);
    EXPECT_EQ(s.WsaVersion, 3);
    EXPECT_EQ(s.IpMode, 1);
    EXPECT_EQ(s.TipUdpMode, 1);
    EXPECT_EQ(s.BindMode, 1);
    EXPECT_EQ(s.AccessIp[0], 300);
    EXPECT_EQ(s.AccessIp[1], 0);
    EXPECT_EQ(s.AccessIp[2], 123);
    EXPECT_EQ(s.AccessIp[3], 7);
    EXPECT_EQ(s.AccessPort, 65536);
    EXPECT_EQ(s.AdapterPort, 99999);
    EXPECT_EQ(TextLength(s.PcName, kPcNameCapacity), 249u);
    // Back into the form as stored.
    ConnectionFormValues again = FormValuesFrom(s);
    EXPECT_EQ(again.accessOctets[0], u"300");
    EXPECT_FALSE(again.client);
}

TEST(ConnectionSettingsForm, PcNameResolvesIntoTheAccessPoint) {
    SocketLibraryUse library;
    AppSettings s;
    CopyTextInto(s.PcName, u"localhost");
    EXPECT_EQ(ResolvePcNameInto(s), 0);
    EXPECT_EQ(s.AccessIp[0], 127);
    EXPECT_EQ(s.AccessIp[1], 0);
    EXPECT_EQ(s.AccessIp[2], 0);
    EXPECT_EQ(s.AccessIp[3], 1);
    // A name the resolver refuses by its form, before asking any name
    // server: the test sends nothing off this machine.
    CopyTextInto(s.PcName, u"bad..name");
    s.AccessIp[0] = 10;
    EXPECT_NE(ResolvePcNameInto(s), 0);
    EXPECT_EQ(s.AccessIp[0], 10);  // unchanged
}

}  // namespace
