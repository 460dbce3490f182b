#include "connection/connection_settings_form.h"

#include "common/connection_mode.h"
#include "common/text_numbers.h"
#include "platform/sockets.h"
#include "platform/text.h"

namespace {

constexpr size_t kOctetDigits = 3;
constexpr size_t kPortDigits = 5;
constexpr size_t kPcNameLength = 249;
constexpr int32_t kMaxTtl = 255;

std::u16string Number(int32_t value) { return FormatString(u"%d", {value}); }

int32_t Read(const std::u16string& text, size_t characters) {
    return LeadingInt(std::u16string_view(text).substr(0, characters));
}

}  // namespace

const char16_t* VersionText(int32_t wsaVersion) {
    switch (wsaVersion) {
    case 1: return u"1.0";
    case 2: return u"1.1";
    case 3: return u"2.0";
    default: return u"2.2";
    }
}

int32_t WsaVersionFromText(std::u16string_view text) {
    std::u16string_view head = text.substr(0, 3);
    if (head == u"1.0") return 1;
    if (head == u"1.1") return 2;
    if (head == u"2.0") return 3;
    return 4;
}

ConnectionFormEnabling EnablingFor(bool server, bool validBind) { return {!server, validBind, server || validBind}; }

ConnectionFormValues FormValuesFrom(const AppSettings& s) {
    ConnectionFormValues v;
    v.versionText = VersionText(s.WsaVersion);
    v.client = !IsServerMode(ModeOf(s));
    v.tip = IsTcpMode(ModeOf(s));
    v.autoBind = s.BindMode == 0;
    for (int i = 0; i < 4; ++i) {
        v.adapterOctets[i] = Number(s.AdapterIp[i]);
        v.accessOctets[i] = Number(s.AccessIp[i]);
    }
    v.adapterPort = Number(s.AdapterPort);
    v.accessPort = Number(s.AccessPort);
    v.pcName = TextView(s.PcName);
    v.group = TextView(s.MulticastGroup);
    v.ttl = Number(s.MulticastTtl);
    return v;
}

void ReadBackConnectionForm(const ConnectionFormValues& v, AppSettings& s) {
    s.WsaVersion = WsaVersionFromText(v.versionText);
    s.IpMode = v.client ? 0 : 1;
    s.TipUdpMode = v.tip ? 0 : 1;
    s.BindMode = v.autoBind ? 0 : 1;
    for (int i = 0; i < 4; ++i) {
        s.AccessIp[i] = Read(v.accessOctets[i], kOctetDigits);
        s.AdapterIp[i] = Read(v.adapterOctets[i], kOctetDigits);
    }
    s.AccessPort = Read(v.accessPort, kPortDigits);
    s.AdapterPort = Read(v.adapterPort, kPortDigits);
    s.PcName[0] = 0;
    CopyTextInto(s.PcName, CutText(v.pcName, kPcNameLength));
    CopyTextInto(s.MulticastGroup, v.group);
    s.MulticastTtl = Read(v.ttl, kOctetDigits);
}

int32_t RefusedGroupField(const ConnectionFormValues& v) {
    Ipv4Address group;
    if (!v.group.empty() && !(ParseDottedText(v.group, group) && group.IsMulticast())) return kTextGroupOutOfRange;
    bool digits = !v.ttl.empty() && v.ttl.size() <= kOctetDigits &&
                  v.ttl.find_first_not_of(u"0123456789") == std::u16string::npos;
    return digits && Read(v.ttl, kOctetDigits) <= kMaxTtl ? 0 : kTextTtlOutOfRange;
}

int32_t ResolvePcNameInto(AppSettings& s) {
    Ipv4Endpoint found;
    int32_t r = ResolveIpv4(TextView(s.PcName), found);
    if (r != 0) return r;
    for (int i = 0; i < 4; ++i) s.AccessIp[i] = found.address.octets[i];
    return 0;
}
