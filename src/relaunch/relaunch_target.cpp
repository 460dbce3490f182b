#include "relaunch/relaunch_target.h"

#include "platform/text.h"

bool IsRelaunchTarget(std::u16string_view name) {
    constexpr std::u16string_view kExtension = u".exe";
    if (name.size() <= kExtension.size() || name.size() > 200) return false;
    if (name.find_first_of(u"\\/:*?\"<>|") != std::u16string_view::npos) return false;
    if (name.front() == u'.' || name.front() == u' ') return false;
    for (char16_t c : name)
        if (c < 0x20) return false;
    return EqualsIgnoreAsciiCase(name.substr(name.size() - kExtension.size()), kExtension);
}
