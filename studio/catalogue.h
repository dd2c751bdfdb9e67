#pragma once
// The device catalogue: every DTM in the component registry with what its
// information document says of it (vendor, version, device types, icon) and
// the devices its identification document recognises. A class counts as a
// DTM when it answers IDtm and, given an environment, its information.

#include <filesystem>
#include <string>
#include <vector>

#include "frame/frame_session.h"

namespace studio {

struct CatalogueEntry {
    std::string progId;
    std::string name;
    std::string vendor;
    std::string version;
    std::vector<std::string> deviceTypes;  // the device types' names
    std::string iconPath;                  // empty without an icon
    // (manufacturer, device type) pairs of the identification document.
    std::vector<std::pair<unsigned, unsigned>> identifies;
};

// Reads the registry; each candidate is created in a frame session of its
// own and released again. Classes that are no DTM, or serve no device type,
// are left out.
std::vector<CatalogueEntry> readCatalogue(frame::SessionLoop& loop,
                                          const frame::FrameOptions& options);

// The information and identification documents' parts the catalogue shows.
CatalogueEntry describeDtm(const std::string& progId, const std::string& information,
                           const std::string& identification);

// The catalogue entries that identify the device.
std::vector<const CatalogueEntry*> matchingDtms(const std::vector<CatalogueEntry>& catalogue,
                                                unsigned manufacturer, unsigned deviceType);

}  // namespace studio
