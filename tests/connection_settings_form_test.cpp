#include <gtest/gtest.h>

#include "common/text_numbers.h"
#include "connection/connection_settings_form.h"
#include "platform/text.h"

namespace {

// The end-to-end run goes through the dialog with the usual values; here the
// edges of each rule: typed garbage, overlong fields, which edits are usable.
TEST(ConnectionSettingsForm, VersionsAndEnabling) {
    for (int32_t version = 1; version <= 4; ++version) EXPECT_EQ(WsaVersionFromText(VersionText(version)), version);
    EXPECT_EQ(WsaVersionFromText(u"2.0x"), 3);  // the first three characters count
    // A client has an access point; a local port needs Valid, unless a server.
    ConnectionFormEnabling clientValid = EnablingFor(false, true), serverAuto = EnablingFor(true, false);
    EXPECT_EQ(std::vector<bool>({clientValid.accessPoint, clientValid.adapterAddress, clientValid.adapterPort}),
              std::vector<bool>({true, true, true}));
    EXPECT_EQ(std::vector<bool>({serverAuto.accessPoint, serverAuto.adapterAddress, serverAuto.adapterPort}),
              std::vector<bool>({false, false, true}));
}

TEST(ConnectionSettingsForm, ReadBackTakesLeadingDigitsWithoutRangeChecks) {
    AppSettings s;
    ConnectionFormValues v = FormValuesFrom(s);
    v.client = false;
    v.tip = false;
    v.autoBind = false;
    v.accessOctets[2] = u"12345";  // only 3 characters count
    v.adapterOctets[3] = u" 7x";
    v.accessPort = u"6553699";     // only 5 characters count
    v.pcName = std::u16string(300, u'n');
    ReadBackConnectionForm(v, s);
    EXPECT_EQ(std::vector<int32_t>({s.IpMode, s.TipUdpMode, s.BindMode}), std::vector<int32_t>({1, 1, 1}));
    EXPECT_EQ(s.AccessIp[2], 123);
    EXPECT_EQ(s.AdapterIp[3], 7);
    EXPECT_EQ(s.AccessPort, 65536);
    EXPECT_EQ(TextLength(s.PcName, kPcNameCapacity), 249u);
    // Back into the form as stored.
    ConnectionFormValues again = FormValuesFrom(s);
    EXPECT_EQ(again.accessOctets[2], u"123");
    EXPECT_FALSE(again.client || again.tip || again.autoBind);
}

// OK refuses a group outside 224.0.0.0/4 or anything but a dotted address
// (empty: none), and a TTL that is not 0..255 (the values stored: end to end).
TEST(ConnectionSettingsForm, OkRefusesAGroupOrTtlThatCannotBeUsed) {
    const struct {
        std::u16string_view group, ttl;
        int32_t refused;
    } rows[] = {{u"", u"1", 0}, {u"224.0.0.0", u"0", 0}, {u"239.255.255.255", u"255", 0},
                {u"223.255.255.255", u"1", kTextGroupOutOfRange}, {u"240.0.0.1", u"1", kTextGroupOutOfRange},
                {u"239.1.2", u"1", kTextGroupOutOfRange}, {u"239.1.2.3 ", u"1", kTextGroupOutOfRange},
                {u"239.1.2.256", u"1", kTextGroupOutOfRange}, {u"239.0.0.1", u"256", kTextTtlOutOfRange},
                {u"239.0.0.1", u"", kTextTtlOutOfRange}, {u"239.0.0.1", u"-1", kTextTtlOutOfRange}};
    ConnectionFormValues v;
    for (const auto& row : rows) {
        v.group = row.group;
        v.ttl = row.ttl;
        EXPECT_EQ(RefusedGroupField(v), row.refused) << Utf16ToUtf8(v.group) << " " << Utf16ToUtf8(v.ttl);
    }
}

}  // namespace
