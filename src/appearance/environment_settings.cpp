#include "appearance/environment_settings.h"

#include <algorithm>

#include "platform/text.h"

int32_t ScrollPitchFromText(std::u16string_view text) { return LeadingInt(text.substr(0, 7)); }

int32_t RefreshPeriodFromText(std::u16string_view text) {
    return std::clamp(LeadingInt(text.substr(0, 4)), kShortestRefreshPeriod, kLongestRefreshPeriod);
}
