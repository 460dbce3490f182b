#include <gtest/gtest.h>

#include "appearance/environment_settings.h"

namespace {

TEST(EnvironmentSettings, RefreshPeriodStaysWithinItsRange) {
    const struct {
        std::u16string_view typed;
        int32_t stored;
    } cases[] = {
        {u"300", 300}, {u"99", 100}, {u"100", 100}, {u"1000", 1000}, {u"1001", 1000}, {u"abc", 100},
        {u"-5", 100},  {u"25000", 1000},  // only "2500" is read
        {u"2000000000000", 1000}, {u"0150x", 150},
    };
    for (const auto& c : cases) EXPECT_EQ(RefreshPeriodFromText(c.typed), c.stored) << std::u16string(c.typed).size();
}

TEST(EnvironmentSettings, ScrollWidthIsTakenAsTyped) {
    const struct {
        std::u16string_view typed;
        int32_t stored;
    } cases[] = {
        {u"21", 21}, {u"", 0}, {u"12345678", 1234567}, {u"5 lines", 5},
    };
    for (const auto& c : cases) EXPECT_EQ(ScrollPitchFromText(c.typed), c.stored) << std::u16string(c.typed).size();
}

}  // namespace
