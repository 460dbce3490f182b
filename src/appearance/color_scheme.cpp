#include "appearance/color_scheme.h"

#include <algorithm>

#include "common/program_context.h"
#include "platform/files.h"
#include "platform/text.h"

ColorScheme g_Colors;
ActiveColors g_ActiveColors;

namespace {

constexpr Rgb kLightDefaults[kColorSlots] = {
    {0, 0, 0},       {255, 255, 255}, {200, 200, 255}, {200, 255, 200}, {255, 200, 255}, {255, 255, 200},
    {240, 240, 240}, {255, 255, 255}, {0, 250, 0},     {146, 208, 80},  {0, 255, 204},   {33, 209, 255},
    {255, 255, 255}, {0, 0, 255},     {0, 0, 0},       {150, 255, 150}, {255, 0, 0},     {0, 0, 0},
    {0, 0, 255},     {255, 0, 0},     {230, 230, 230},
};

constexpr Rgb kDarkDefaults[kColorSlots] = {
    {255, 255, 255}, {0, 0, 0},     {100, 100, 0}, {100, 0, 100}, {0, 100, 0},     {0, 0, 100},
    {32, 32, 32},    {0, 0, 0},     {128, 0, 0},   {128, 0, 128}, {0, 96, 96},     {0, 156, 156},
    {255, 255, 255}, {0, 0, 255},   {255, 255, 255}, {20, 150, 20}, {0, 255, 255}, {255, 255, 255},
    {255, 255, 0},   {0, 255, 255}, {42, 42, 42},
};

// The key of one component, e.g. "rbgLs[3].g".
void ComponentKey(char16_t (&key)[24], bool dark, int slot, char16_t component) {
    FormatText(key, dark ? u"rbgDs[%d].%c" : u"rbgLs[%d].%c", {slot, component});
}

void ReadSet(const IniDocument& file, bool dark, Rgb* set) {
    const Rgb* defaults = DefaultColors(dark);
    for (int slot = 0; slot < kColorSlots; ++slot) {
        char16_t key[24];
        ComponentKey(key, dark, slot, u'r');
        set[slot].r = static_cast<uint8_t>(file.GetInt(kColorSection, key, defaults[slot].r));
        ComponentKey(key, dark, slot, u'g');
        set[slot].g = static_cast<uint8_t>(file.GetInt(kColorSection, key, defaults[slot].g));
        ComponentKey(key, dark, slot, u'b');
        set[slot].b = static_cast<uint8_t>(file.GetInt(kColorSection, key, defaults[slot].b));
    }
}

void WriteSet(const Rgb* set, bool dark, IniDocument& file) {
    for (int slot = 0; slot < kColorSlots; ++slot) {
        const uint8_t components[3] = {set[slot].r, set[slot].g, set[slot].b};
        const char16_t names[3] = {u'r', u'g', u'b'};
        for (int c = 0; c < 3; ++c) {
            char16_t key[24];
            char16_t value[8];
            ComponentKey(key, dark, slot, names[c]);
            FormatText(value, u"%d", {int(components[c])});
            file.Set(kColorSection, key, value);
        }
    }
}

std::u16string ColorFilePath() { return ProgramFilePath(kColorFileName); }

}  // namespace

ColorScheme::ColorScheme() {
    std::copy(std::begin(kLightDefaults), std::end(kLightDefaults), Light);
    std::copy(std::begin(kDarkDefaults), std::end(kDarkDefaults), Dark);
}

const Rgb* DefaultColors(bool dark) { return dark ? kDarkDefaults : kLightDefaults; }

void ReadColorScheme(const IniDocument& file, ColorScheme& scheme) {
    ReadSet(file, false, scheme.Light);
    ReadSet(file, true, scheme.Dark);
}

void WriteColorScheme(const ColorScheme& scheme, IniDocument& file) {
    WriteSet(scheme.Light, false, file);
    WriteSet(scheme.Dark, true, file);
}

void LoadColorScheme(ColorScheme& scheme) {
    IniDocument file;
    file.Load(ColorFilePath());
    ReadColorScheme(file, scheme);
}

bool SaveColorScheme(const ColorScheme& scheme) {
    SetWorkingDirectory(TextView(g_Program.Directory));
    IniDocument file;
    if (!file.Load(ColorFilePath())) return false;
    WriteColorScheme(scheme, file);
    return file.Save(ColorFilePath());
}

void BuildActiveColorValues(const ColorScheme& scheme, bool dark, ActiveColors& active) {
    const Rgb* set = dark ? scheme.Dark : scheme.Light;
    for (int slot = 0; slot < kColorSlots; ++slot) active.Value[slot] = ColorValue(set[slot]);
}
