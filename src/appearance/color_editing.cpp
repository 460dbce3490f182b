#include "appearance/color_editing.h"

#include <algorithm>

#include "platform/text.h"

const ColorRow kColorRowTable[kColorRows] = {
    {u"ASC back color1", kAscBack1},         {u"ASC back color2", kAscBack2},
    {u"HEX back color1", kHexBack1},         {u"HEX back color2", kHexBack2},
    {u"Dialog back color", kDialogBack},     {u"StatusBer TIP-C", kStatusTipClient},
    {u"StatusBer TIP-S", kStatusTipServer},  {u"StatusBer UDP-C", kStatusUdpClient},
    {u"StatusBer UDP-S", kStatusUdpServer},  {u"EOF text color", kEofText},
    {u"EOF back colorr", kEofBack},          {u"AscHex text color", kAscHexText},
    {u"AscHex back color", kAscHexBack},     {u"Waiting time text", kStampText},
    {u"RS char text", kDataText},            {u"RS IpAdress color", kAddressText},
    {u"O/C/Ip color", kOpenCloseText},
};

namespace {

constexpr size_t kComponentTextCapacity = 31;
constexpr int kButtonFaceStep = 10;

Rgb Shifted(Rgb c, int step) {
    return {static_cast<uint8_t>(c.r + step), static_cast<uint8_t>(c.g + step), static_cast<uint8_t>(c.b + step)};
}

}  // namespace

ColorWorkingSets CopyForEditing(const ColorScheme& scheme, bool dark) {
    ColorWorkingSets sets;
    std::copy(std::begin(scheme.Light), std::end(scheme.Light), sets.Light);
    std::copy(std::begin(scheme.Dark), std::end(scheme.Dark), sets.Dark);
    sets.ShowDark = dark;
    return sets;
}

uint8_t ColorComponentFromText(std::u16string_view text) {
    return static_cast<uint8_t>(LeadingInt(CutText(text, kComponentTextCapacity)));
}

void ApplyEditedColors(const ColorWorkingSets& edited, ColorScheme& scheme) {
    std::copy(std::begin(edited.Light), std::end(edited.Light), scheme.Light);
    std::copy(std::begin(edited.Dark), std::end(edited.Dark), scheme.Dark);
    scheme.Light[kButtonFace] = Shifted(scheme.Light[kDialogBack], -kButtonFaceStep);
    scheme.Dark[kButtonFace] = Shifted(scheme.Dark[kDialogBack], kButtonFaceStep);
}

void InitialCustomColors(const ColorWorkingSets& sets, uint32_t (&custom)[16]) {
    for (int i = 0; i < 16; ++i) custom[i] = ColorValue(sets.Shown()[kColorRowTable[i].slot]);
}
