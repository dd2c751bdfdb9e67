// The frame's bus scan: the devices on the line and the registered DTMs
// whose device identification fits them.

#include <algorithm>
#include <cstdio>
#include <regex>

#include "frame/frame_host.h"
#include "frame/frame_session.h"
#include "frame/lines/bus_scan.h"
#include "frame/registration.h"
#include "frame/script.h"
#include "idl/fdt_frame.h"
#include "platform/com/activation.h"
#include "platform/com/registry.h"

namespace frame {
namespace {

std::optional<std::pair<unsigned, unsigned>> parseRange(std::string_view text) {
    if (text.empty()) return std::pair<unsigned, unsigned>{0, 15};
    const std::size_t dash = text.find('-');
    const std::optional<long> first = parseNumber(text.substr(0, dash));
    const std::optional<long> last =
        dash == std::string_view::npos ? first : parseNumber(text.substr(dash + 1));
    if (!first || !last || *first > *last || *last > 63) return std::nullopt;
    return std::pair<unsigned, unsigned>{static_cast<unsigned>(*first), static_cast<unsigned>(*last)};
}

// Every (manufacturer, device type) pair an identification document names.
std::vector<std::pair<unsigned, unsigned>> identifiedDevices(const std::string& document) {
    static const std::regex entry(
        R"re(manufacturerIdentificationCode="(\d+)"[\s\S]*?deviceTypeID="(\d+)")re");
    std::vector<std::pair<unsigned, unsigned>> pairs;
    for (auto it = std::sregex_iterator(document.begin(), document.end(), entry); it != std::sregex_iterator(); ++it) {
        pairs.emplace_back(static_cast<unsigned>(std::stoul((*it)[1])), static_cast<unsigned>(std::stoul((*it)[2])));
    }
    return pairs;
}

// The universal command revisions for which a document declares generic
// support: any device of such a revision.
std::vector<unsigned> genericRevisions(const std::string& document) {
    static const std::regex entry(
        R"re(idDTMSupportLevel="genericSupport"[^>]*>(?:(?!</DevId:DeviceIdentification>)[\s\S])*?universalCommandRevisionLevel="(\d+)")re");
    std::vector<unsigned> revisions;
    for (auto it = std::sregex_iterator(document.begin(), document.end(), entry); it != std::sregex_iterator(); ++it)
        revisions.push_back(static_cast<unsigned>(std::stoul((*it)[1])));
    return revisions;
}

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string describe(const ScannedDevice& device, const std::vector<std::string>& dtms) {
    const hart::Identity& id = device.identity;
    std::string line = "address " + std::to_string(device.pollingAddress) + ": manufacturer " +
                       std::to_string(id.manufacturerId) + " device type " +
                       std::to_string(id.universalRevision >= 7 ? id.expandedDeviceType : id.deviceType) +
                       " revisions universal " + std::to_string(id.universalRevision) + " device " +
                       std::to_string(id.deviceRevision) + " software " + std::to_string(id.softwareRevision) +
                       " hardware " + std::to_string(id.hardwareRevision) + " device id " +
                       hex(id.deviceId, 6) + " long address " + id.longAddress().text().substr(13) +
                       " tag \"" + device.tag + "\"";
    if (!device.longTag.empty()) line += " long tag \"" + device.longTag + "\"";
    line += " DTMs";
    if (dtms.empty()) line += " (none)";
    for (const std::string& dtm : dtms) line += " " + dtm;
    return line;
}

}  // namespace

CommandResult Frame::scan(std::string_view range) {
    const auto addresses = parseRange(range);
    if (!addresses) return CommandResult::failure("scan: give FIRST-LAST polling addresses, 0 to 63");
    if (const com::Status opened = openDevice(); !opened) return CommandResult::failure(opened.reason);
    if (!backend_) return CommandResult::failure("scan: no line: give --device SPEC");
    if (communicationImpl_ && (communicationImpl_->connected() || communicationImpl_->pendingRequests() > 0))
        return CommandResult::failure("scan: a DTM is using the line; release its communication first");

    std::optional<std::vector<ScannedDevice>> found;
    std::vector<std::string> problems;
    BusScan scan(*backend_, static_cast<std::uint8_t>(addresses->first), static_cast<std::uint8_t>(addresses->second),
                 [&](std::vector<ScannedDevice> devices, std::vector<std::string> notes) {
                     found = std::move(devices);
                     problems = std::move(notes);
                 });
    scan.start();
    const bool ended = loop_.runUntil([&] { return found.has_value(); }, options_.transferLimit);
    if (!ended) {
        backend_->cancel();
        return CommandResult::failure("scan: the line did not finish within the transfer limit");
    }
    const std::vector<DtmIdentity> dtms = found->empty() ? std::vector<DtmIdentity>{} : registeredIdentifications();
    std::string output;
    for (const ScannedDevice& device : *found) {
        std::vector<std::string> fitting;
        for (const DtmIdentity& dtm : dtms) {
            const unsigned type = device.identity.universalRevision >= 7 ? device.identity.expandedDeviceType
                                                                           : device.identity.deviceType;
            if (!dtm.generic && dtm.manufacturer == device.identity.manufacturerId && dtm.deviceType == type)
                fitting.push_back(dtm.progId);
        }
        // A DTM for any device of the revision comes after those for the device type.
        for (const DtmIdentity& dtm : dtms) {
            if (dtm.generic && dtm.revision == device.identity.universalRevision &&
                std::find(fitting.begin(), fitting.end(), dtm.progId) == fitting.end())
                fitting.push_back(dtm.progId);
        }
        output += describe(device, fitting) + "\n";
    }
    for (const std::string& problem : problems) output += "note " + problem + "\n";
    if (found->empty()) output += "no device answers at polling addresses " + std::to_string(addresses->first) +
                                  " to " + std::to_string(addresses->second) + "\n";
    if (!output.empty()) output.pop_back();
    return CommandResult::success(output);
}

// Creates each registered DTM class for a moment and reads its device
// identification; classes that cannot tell are left out.
std::vector<Frame::DtmIdentity> Frame::registeredIdentifications() {
    std::vector<DtmIdentity> result;
    com::Registry registry(com::registryPath());
    std::shared_ptr<const com::RegistryContents> contents;
    if (!registry.snapshot(contents) || !contents) return result;
    for (const auto& [clsid, entry] : contents->classes) {
        if (entry.progId.empty()) continue;
        com::ComPtr<IUnknown> object;
        CLSID created;
        if (!createByProgId(entry.progId, object, created)) continue;
        const auto dtm = object.as<IDtm>();
        const auto ident = object.as<IDtmDeviceIdentification>();
        if (!dtm || !ident) continue;
        VARIANT_BOOL ok = VARIANT_FALSE;
        dtm->Environment(com::Bstr::fromUtf8("SCAN").get(), host_.get(), &ok);
        com::Bstr text;
        if (ok != VARIANT_FALSE)
            ident->GetDeviceIdentificationInformation(com::Bstr::fromUtf8(idl::fdt::kHartProtocolId).get(),
                                                      com::Bstr::fromUtf8("").get(), text.out());
        VARIANT_BOOL released = VARIANT_FALSE;
        dtm->PrepareToRelease(&released);
        settle();
        const std::string document = com::toUtf8(text.get());
        for (const auto& [manufacturer, type] : identifiedDevices(document))
            result.push_back({entry.progId, manufacturer, type});
        for (unsigned revision : genericRevisions(document)) {
            DtmIdentity generic{entry.progId};
            generic.generic = true;
            generic.revision = revision;
            result.push_back(generic);
        }
    }
    CoFreeUnusedLibraries();
    return result;
}

}  // namespace frame
