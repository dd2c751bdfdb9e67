#include "engine/parameters/model_loader.h"

#include <optional>
#include <string>

#include "engine/description/data_type.h"
#include "engine/description/description_namespaces.h"
#include "engine/description/description_node.h"
#include "engine/description/dtm_exception.h"
#include "engine/parameters/data_set_text.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/parameter_factory.h"
#include "engine/parameters/value_parameter.h"

namespace engine {
namespace {

std::optional<ParameterKind> kindOfNode(const xml::Node& node, const std::string& typeName) {
    if (description::firstPath(node, {"data_type", "array_type"})) return ParameterKind::Array;
    return kindForTypeName(typeName);
}

// The first "type_name" attribute of a "user:data_type" child.
std::optional<std::string> typeNameOf(const xml::Node& node) {
    for (const xml::Node& dataType : description::childElements(node, "data_type")) {
        if (std::optional<std::string> name = dataType.getAttribute("type_name")) return name;
    }
    return std::nullopt;
}

void addParameter(DeviceObject& root, const xml::Node& node, ValueParameter* parent) {
    const std::optional<std::string> typeName = typeNameOf(node);
    if (!typeName) {
        throw CDTMException(parent == nullptr
                                ? "Error on AddParameter. Parameter have no data type node."
                                : "Error on AddComponent. Parameter have no data type node.");
    }
    const std::optional<ParameterKind> kind = kindOfNode(node, *typeName);
    if (!kind) throw CDTMException("Error on AddObject. Unknown data type name.");

    ParameterSpec spec;
    spec.kind = *kind;
    spec.id = description::referenceIdOf(node);
    spec.node = node;
    spec.typeName = *typeName;
    spec.parent = parent;
    spec.owner = &root;
    ValueParameter& parameter = root.adopt(createParameter(spec));
    if (parent != nullptr) parent->appendComponent(&parameter);
    parameter.applyDefault();

    for (const xml::Node& component : description::childElements(node, "component")) {
        addParameter(root, component, &parameter);
    }
}

void addActionItem(DeviceObject& root, const xml::Node& action) {
    const xml::Node addressing = description::firstPath(action, {"addressing"});
    const int32_t command = parseLeadingDecimal(
        description::pathText(addressing, {"code_hart"}).value_or(std::string()));
    const int32_t index = parseLeadingDecimal(
        description::pathText(addressing, {"index"}).value_or(std::string()));
    root.addAction(actionKey(command, index), action);
}

void addBlock(DeviceObject& root, const xml::Node& block) {
    for (const xml::Node& parameter : description::childElements(block, "parameter")) {
        addParameter(root, parameter, nullptr);
    }
    for (const xml::Node& action : description::childElements(block, "action_hart")) {
        addActionItem(root, action);
    }
}

void addReservedParameters(DeviceObject& root) {
    ParameterSpec spec;
    spec.kind = ParameterKind::UnsignedInteger;
    spec.id = kShortAddressId;
    spec.owner = &root;
    root.adopt(createParameter(spec));
}

}  // namespace

void loadModel(DeviceObject& root, const xml::Document& deviceDocument,
               const xml::Document& dtmDocument) {
    addReservedParameters(root);

    const xml::Node deviceRoot = deviceDocument.documentElement();
    const xml::Node hart = description::firstElement(deviceRoot, "device_interface",
                                                     kDeviceDescriptionNamespace, "bus_type", "hart");
    if (!hart) throw CDTMException("Error on init HartParameterManager. No HART interface found.");
    for (const xml::Node& block : description::childElements(hart, "block")) addBlock(root, block);

    if (!dtmDocument.empty()) {
        const xml::Node version = description::firstElement(dtmDocument.documentElement(), "DTMVersion",
                                                            kDtmDescriptionNamespace);
        if (const std::optional<std::string> name = version.getAttribute("name")) root.setTag(*name);
    }

    const xml::Node internal = description::firstElement(deviceRoot, "device_interface",
                                                         kDeviceDescriptionNamespace, "bus_type", "internal");
    if (internal) {
        for (const xml::Node& block : description::childElements(internal, "block")) addBlock(root, block);
        for (const xml::Node& parameter : description::childElements(internal, "parameter")) {
            addParameter(root, parameter, nullptr);
        }
    }

    root.rebuildIdList();
    root.setModelBuilt(true);
    const bool stored = root.pendingDataSetStored();
    const std::string pending = root.takePendingDataSet();
    if (pending.empty()) {
        root.setDataSetState("default");
    } else {
        applyDataSetText(root, pending, stored);
    }
}

}  // namespace engine
