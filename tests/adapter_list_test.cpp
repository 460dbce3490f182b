#include <gtest/gtest.h>

#include "nettools/adapter_list.h"
#include "platform/text.h"
#include "support/recording_message_box.h"

namespace {

class FakeAdapterSource : public AdapterSource {
public:
    AdapterQuery QueryAdapters() override { return query; }
    AdapterQuery query;
};

AdapterInfo Adapter(std::u16string name, std::u16string description, std::vector<std::u16string> addresses) {
    return {std::move(name), std::move(description), std::move(addresses)};
}

// Taken into the settings form: four octets read column by column; what is
// no IPv4 address leaves the form as it was.
TEST(TakeAdapterAddress, ReadsFourColumnsAfterIpEquals) {
    const struct {
        std::u16string_view line;
        int32_t expected[4];
    } cases[] = {
        {u"IP=1.2.3.4", {1, 2, 3, 7}},                // the end of the line separates nothing
        {u"IP=1.2.3 :Name=a (b)", {1, 2, 3, 0}},      // the colon of ":Name" separates
        {u"IP=1234.5.6.7 :Name=a (b)", {7, 7, 7, 7}},  // four digits: no separator in reach, nothing moves
        {u"IP=1..2.3 :Name=a (b)", {1, 0, 2, 3}},
        {u"IP=fe80::1 :Name=Ethernet (Intel)", {7, 7, 7, 7}},
    };
    for (const auto& c : cases) {
        int32_t octets[4] = {7, 7, 7, 7};
        TakeAdapterAddress(c.line, octets);
        EXPECT_EQ(std::vector<int32_t>(octets, octets + 4), std::vector<int32_t>(c.expected, c.expected + 4))
            << Utf16ToUtf8(c.line);
    }
}

TEST(ListAdapters, NamesOnlyLeaveOutLoopbackAndWifiDirect) {
    const struct {
        AdapterInfo adapter;
        bool offered;
    } cases[] = {
        {Adapter(u"Loop2", u"x", {u"127.0.0.12"}), false},  // begins with 127.0.0.1
        {Adapter(u"Loop4", u"x", {u"127.0.0.1", u"::1"}), true},  // the last address counts
        {Adapter(u"Direct", u"microsoft wi-fi direct Virtual Adapter #2", {u"10.0.0.1"}), false},
    };
    for (const auto& c : cases) {
        FakeAdapterSource source;
        source.query.adapters = {c.adapter};
        std::vector<std::u16string> expected;
        if (c.offered) expected.push_back(c.adapter.friendlyName);
        EXPECT_EQ(ListAdapters(nullptr, kAdapterNamesOnly, source), expected) << Utf16ToUtf8(c.adapter.friendlyName);
    }
}

TEST(ListAdapters, AFailedQueryListsNothingAndSaysWhy) {
    FakeAdapterSource source;
    source.query = {AdapterQueryStatus::QueryFailed, 87, u"GetAdaptersAddresses", {Adapter(u"Ethernet", u"Intel", {})}};
    RecordingMessageBox boxes;
    EXPECT_TRUE(ListAdapters(nullptr, kAdapterFullLines, source).empty());
    source.query.status = AdapterQueryStatus::OutOfMemory;
    EXPECT_TRUE(ListAdapters(nullptr, kAdapterNamesOnly, source).empty());
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, u"The network adapters could not be listed: GetAdaptersAddresses failed with error 87.");
    EXPECT_EQ(shown[1].text, u"The network adapters could not be listed: not enough memory.");
}

// A batch file needs the adapter's name: one without is left out of the
// names and said so; the full list still shows it, its address can be taken.
TEST(ListAdapters, AdaptersWithoutANameAreReportedNotFatal) {
    FakeAdapterSource source;
    source.query.adapters = {Adapter(u"Ethernet", u"Intel", {u"192.168.0.10"}), Adapter(u"", u"Hidden", {u"10.0.0.1"}),
                             Adapter(u"", u"Hidden", {}), Adapter(u"Wi-Fi", u"Realtek", {u"10.0.0.5"})};
    RecordingMessageBox boxes;
    EXPECT_EQ(ListAdapters(nullptr, kAdapterNamesOnly, source), (std::vector<std::u16string>{u"Ethernet", u"Wi-Fi"}));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              u"2 network adapters have no name and are not listed: a batch file needs the adapter's name.");
    boxes.Clear();
    std::vector<std::u16string> lines = ListAdapters(nullptr, kAdapterFullLines, source);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], u"IP=10.0.0.1 :Name= (Hidden)");
    EXPECT_EQ(boxes.Count(), 0u);
}

}  // namespace
