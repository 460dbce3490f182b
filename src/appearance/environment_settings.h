// How the environment dialog reads its typed values back.
#pragma once

#include <cstdint>
#include <string_view>

constexpr int32_t kShortestRefreshPeriod = 100;  // ms
constexpr int32_t kLongestRefreshPeriod = 1000;

// The scroll width from the combo's text: leading digits of its first 7
// characters, no range check (no digits gives 0).
int32_t ScrollPitchFromText(std::u16string_view text);

// The refresh period from the edit's text: leading digits of its first 4
// characters, kept within 100..1000 ms.
int32_t RefreshPeriodFromText(std::u16string_view text);
