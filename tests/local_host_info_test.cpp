#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "shell/local_host_info.h"

namespace {

class FakeHostLookup : public HostLookup {
public:
    LocalHostLookup LookUpLocalHost() override { return result; }
    LocalHostLookup result;
};

TEST(LocalHostInfo, UnknownUntilFoundAndLongNamesAreCut) {
    FakeHostLookup lookup;
    LocalHostInfo info;
    RecordingMessageBox boxes;
    ShowHostNameMessage(nullptr, info, lookup);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, u"HostName");
    EXPECT_EQ(boxes.Boxes()[0].text, u"不明\r\n不明");

    lookup.result = {true, "127.0.0.1", true, "bench-pc"};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(HostNameMessage(info), u"127.0.0.1\r\nbench-pc");
    // A later failure puts the placeholder back rather than keeping stale text.
    lookup.result = {true, "127.0.0.2", false, ""};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(HostNameMessage(info), u"127.0.0.2\r\n不明");

    lookup.result = {true, "127.0.0.1", true, std::string(1000, 'n')};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(std::u16string(info.Name).size(), kHostNameCapacity - 1);
    EXPECT_EQ(HostNameMessage(info).size(), kHostMessageCapacity - 1);
}

}  // namespace
