#include "nettools/autokey_settings.h"

#include <algorithm>

#include "common/program_context.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace {

constexpr int32_t kToolOffsetX = 300;
constexpr int32_t kToolOffsetY = 50;

std::u16string Number(int32_t value) { return FormatString(u"%d", {value}); }

}  // namespace

void LoadAutokeySettings(AutokeySettings& settings) {
    AutokeySettings defaults;
    IniDocument ini;
    ini.Load(ProgramFilePath(kAutokeyFileName));  // an unreadable file reads as empty
    settings.IdTime = ini.GetInt(kAutokeySection, u"id_time", defaults.IdTime);
    settings.PwTime = ini.GetInt(kAutokeySection, u"pw_time", defaults.PwTime);
    CopyTextInto(settings.IdText,
                 ini.GetString(kAutokeySection, u"id_wcs", TextView(defaults.IdText), kAutokeyTextReadLimit));
    CopyTextInto(settings.PwText,
                 ini.GetString(kAutokeySection, u"pw_wcs", TextView(defaults.PwText), kAutokeyTextReadLimit));
}

bool SaveAutokeySettings(const AutokeySettings& settings, int32_t dialogLeft, int32_t dialogTop) {
    std::u16string path = ProgramFilePath(kAutokeyFileName);
    IniDocument ini;
    if (!ini.Load(path)) return false;  // not ours to replace
    ini.Set(kAutokeySection, u"moto_x", Number(std::max(0, dialogLeft - kToolOffsetX)));
    ini.Set(kAutokeySection, u"moto_y", Number(std::max(0, dialogTop - kToolOffsetY)));
    ini.Set(kAutokeySection, u"id_time", Number(settings.IdTime));
    ini.Set(kAutokeySection, u"pw_time", Number(settings.PwTime));
    ini.Set(kAutokeySection, u"id_wcs", TextView(settings.IdText));
    ini.Set(kAutokeySection, u"pw_wcs", TextView(settings.PwText));
    return ini.Save(path);
}
