#include "nettools/adapter_list.h"

#include <algorithm>

#include "common/program_context.h"
#include "nettools/address_columns.h"
#include "platform/text.h"

namespace {

constexpr std::u16string_view kWifiDirectPrefix = u"Microsoft Wi-Fi Direct";
constexpr std::u16string_view kLoopbackPrefix = u"127.0.0.1";
constexpr std::u16string_view kAdapterSeparators = u". :";

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

void ReportFailedQuery(WindowHandle owner, const AdapterQuery& query) {
    std::u16string text =
        query.status == AdapterQueryStatus::OutOfMemory
            ? std::u16string(u"The network adapters could not be listed: not enough memory.")
            : FormatString(u"The network adapters could not be listed: %s failed with error %u.",
                           {query.call, static_cast<unsigned long>(query.error)});
    ShowMessageBox(owner, text, kAdapterListCaption, kMbOk | kMbIconWarning);
}

void ReportNamelessAdapters(WindowHandle owner, int count) {
    std::u16string text =
        count == 1 ? std::u16string(u"One network adapter has no name and is not listed: "
                                    u"a batch file needs the adapter's name.")
                   : FormatString(u"%d network adapters have no name and are not listed: "
                                  u"a batch file needs the adapter's name.",
                                  {count});
    ShowMessageBox(owner, text, kAdapterListCaption, kMbOk | kMbIconWarning);
}

}  // namespace

std::u16string AdapterAddressText(const AdapterInfo& adapter) {
    return adapter.addresses.empty() ? std::u16string() : adapter.addresses.back();
}

std::u16string AdapterLine(const AdapterInfo& adapter) {
    std::u16string line = u"IP=" + AdapterAddressText(adapter) + u" :Name=" + adapter.friendlyName + u" (" +
                          adapter.description + u")";
    return std::u16string(CutText(line, kAdapterLineLimit));
}

bool OfferedByName(const AdapterInfo& adapter) {
    return !adapter.friendlyName.empty() && !StartsWithIgnoringCase(adapter.description, kWifiDirectPrefix) &&
           !AdapterAddressText(adapter).starts_with(kLoopbackPrefix);
}

std::vector<std::u16string> ListAdapters(WindowHandle owner, int mode, AdapterSource& source) {
    AdapterQuery query = source.QueryAdapters();
    std::vector<std::u16string> lines;
    if (query.status != AdapterQueryStatus::Ok) {
        ReportFailedQuery(owner, query);
        return lines;
    }
    int nameless = 0;
    for (const AdapterInfo& adapter : query.adapters) {
        if (mode == kAdapterFullLines) {
            lines.push_back(AdapterLine(adapter));
        } else if (OfferedByName(adapter)) {
            lines.push_back(adapter.friendlyName);
        } else if (adapter.friendlyName.empty()) {
            ++nameless;
        }
    }
    if (nameless > 0) ReportNamelessAdapters(owner, nameless);
    return lines;
}

std::vector<std::u16string> ListAdapters(WindowHandle owner, int mode) {
    return ListAdapters(owner, mode, PlatformAdapterSource());
}

void TakeAdapterAddress(std::u16string_view line, int32_t (&octets)[4]) {
    // The column rules read an IPv6 address, or none, as stray octets.
    std::u16string_view rest = line.substr(std::min(line.size(), kAddressColumn));
    std::u16string_view address = rest.substr(0, rest.find(u' '));
    if (address.empty() || address.find(u':') != std::u16string_view::npos) return;
    TakeOctetColumns(line, kAdapterSeparators, false, octets);
}
