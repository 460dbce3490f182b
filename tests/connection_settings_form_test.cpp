#include <gtest/gtest.h>

#include "connection/connection_settings_form.h"
#include "platform/text.h"
#include "support/loopback_peer.h"

namespace {

// The dialog's rules are checked end to end; here every version text, and a
// PC name the resolver refuses by its form, before asking any name server
// (the test sends nothing off this machine), or finds.
TEST(ConnectionSettingsForm, VersionTextsReadBack) {
    for (int32_t version = 1; version <= 4; ++version) EXPECT_EQ(WsaVersionFromText(VersionText(version)), version);
    EXPECT_EQ(WsaVersionFromText(u"2.0x"), 3);  // the first three characters count
}

TEST(ConnectionSettingsForm, PcNameResolvesIntoTheAccessPoint) {
    SocketLibraryUse library;
    AppSettings s;
    CopyTextInto(s.PcName, u"bad..name");
    EXPECT_NE(ResolvePcNameInto(s), 0);
    EXPECT_EQ(s.AccessIp[0], 192);
    CopyTextInto(s.PcName, u"localhost");
    EXPECT_EQ(ResolvePcNameInto(s), 0);
    EXPECT_EQ(std::vector<int32_t>(s.AccessIp, s.AccessIp + 4), std::vector<int32_t>({127, 0, 0, 1}));
}

}  // namespace
