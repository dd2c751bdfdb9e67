#include "simulator/simulator_profile.h"

#include "simulator/xml_reading_p.h"

namespace simulator {
namespace {

ProfileLoad readProfile(xmlread::DocPtr doc, const std::string& parseError) {
    ProfileLoad result;
    if (!doc) {
        result.error = parseError;
        return result;
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!xmlread::isElement(root, "simulator_profile", {})) {
        result.error = "the root element is not simulator_profile";
        return result;
    }
    SimulatorProfile profile;
    profile.descriptionFile = xmlread::attribute(root, "description");
    bool hasAddress = false;
    const std::string address = xmlread::attribute(root, "short_address", &hasAddress);
    if (hasAddress) {
        const std::uint32_t value = leadingDecimal(address);
        if (xmlread::trim(address).empty() || value > 63) {
            result.error =
                "short_address \"" + address + "\" is not a polling address from 0 to 63";
            return result;
        }
        profile.shortAddress = value;
    }
    for (const xmlNode* node = root->children; node != nullptr; node = node->next) {
        if (!xmlread::isElement(node, "value", {})) continue;
        bool hasId = false;
        const std::string id = xmlread::attribute(node, "reference_id", &hasId);
        const int line = static_cast<int>(xmlGetLineNo(node));
        if (!hasId) {
            result.error = "line " + std::to_string(line) + ": a value without reference_id";
            return result;
        }
        profile.values.push_back(
            {leadingDecimal(id), std::string(xmlread::trim(xmlread::text(node))), line});
    }
    result.profile = std::move(profile);
    return result;
}

}  // namespace

ProfileLoad loadProfileFile(const std::string& path) {
    std::string error;
    xmlread::DocPtr doc = xmlread::parseFile(path, error);
    return readProfile(std::move(doc), error);
}

ProfileLoad loadProfileText(std::string_view xmlText) {
    std::string error;
    xmlread::DocPtr doc = xmlread::parseText(xmlText, error);
    return readProfile(std::move(doc), error);
}

std::vector<std::string> applyProfile(const SimulatorProfile& profile, DeviceMemory& memory) {
    std::vector<std::string> problems;
    for (const ProfileValue& value : profile.values) {
        const std::string where = "profile line " + std::to_string(value.line) + ": parameter " +
                                  std::to_string(value.id);
        const ParameterInfo* info = memory.description().parameter(value.id);
        if (info == nullptr) {
            problems.push_back(where + " is not in the description");
        } else if (!memory.setText(value.id, value.text)) {
            problems.push_back(where + ": \"" + value.text + "\" does not fit its type " +
                               info->typeName);
        }
    }
    if (profile.shortAddress) {
        const CommandInfo* command = memory.description().command(6);
        if (command != nullptr && !command->request.empty()) {
            memory.setNumber(command->request.front().id, *profile.shortAddress);
        } else {
            problems.push_back(
                "short_address is given, but the description has no command 6 to hold it");
        }
    }
    return problems;
}

}  // namespace simulator
