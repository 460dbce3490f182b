#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "shell/local_host_info.h"

namespace {

class FakeHostLookup : public HostLookup {
public:
    LocalHostLookup LookUpLocalHost() override { return result; }
    LocalHostLookup result;
};

TEST(LocalHostInfo, UnknownUntilFound) {
    FakeHostLookup lookup;
    LocalHostInfo info;
    EXPECT_EQ(HostNameMessage(info), u"不明\r\n不明");

    lookup.result = {true, "192.168.0.99", true, "bench-pc"};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(HostNameMessage(info), u"192.168.0.99\r\nbench-pc");

    // A later failure puts the placeholder back rather than keeping stale text.
    lookup.result = {true, "10.0.0.1", false, ""};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(std::u16string(info.Address), u"10.0.0.1");
    EXPECT_EQ(std::u16string(info.Name), u"不明");
}

TEST(LocalHostInfo, LongNamesAreCutNotOverrun) {
    FakeHostLookup lookup;
    lookup.result = {true, "127.0.0.1", true, std::string(1000, 'n')};
    LocalHostInfo info;
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(std::u16string(info.Name).size(), kHostNameCapacity - 1);
    std::u16string message = HostNameMessage(info);
    EXPECT_EQ(message.size(), kHostMessageCapacity - 1);
    EXPECT_EQ(message.substr(0, 11), u"127.0.0.1\r\n");
}

TEST(LocalHostInfo, TheCommandShowsTheHostNameBox) {
    FakeHostLookup lookup;
    RecordingMessageBox boxes;
    LocalHostInfo info;
    ShowHostNameMessage(nullptr, info, lookup);
    ASSERT_EQ(boxes.Count(), 1u);
    auto shown = boxes.Boxes()[0];
    EXPECT_EQ(shown.caption, u"HostName");
    EXPECT_EQ(shown.text, u"不明\r\n不明");
    EXPECT_EQ(shown.style, static_cast<uint32_t>(kMbOk));
}

}  // namespace
