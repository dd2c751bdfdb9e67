#include "engine/parameters/device_object.h"

#include <algorithm>

#include "engine/parameters/code_index.h"
#include "engine/parameters/locale_time.h"
#include "engine/parameters/parameter_factory.h"
#include "engine/parameters/value_parameter.h"

namespace engine {
namespace {

ValueParameter* findAmongComponents(const ValueParameter& parent, ParameterId id) {
    for (ValueParameter* component : parent.components()) {
        if (component->id() == id) return component;
        if (ValueParameter* nested = findAmongComponents(*component, id)) return nested;
    }
    return nullptr;
}

}  // namespace

DeviceObject::DeviceObject() : dateTimeFormat_(&DateTimeFormat::userDefault()) {}

DeviceObject::~DeviceObject() { clear(); }

const CodeIndex& DeviceObject::codeIndex(const xml::Node& anyNode) const {
    if (!codeIndex_) codeIndex_ = std::make_unique<CodeIndex>(anyNode);
    return *codeIndex_;
}

void DeviceObject::setTag(std::string_view tag) {
    if (tag != tag_) {
        tag_ = tag;
        tagChanged_ = true;
    }
    if (ValueParameter* parameter = find(kDeviceTagId)) {
        parameter->setValueText(tag, kDisplayMode);
    }
}

void DeviceObject::adoptTagFromParameter(std::string_view displayText) {
    if (displayText == std::string_view(tag_).substr(0, 8)) return;
    if (displayText != tag_) {
        tag_ = displayText;
        tagChanged_ = true;
    }
}

std::string DeviceObject::storageState() const {
    for (ParameterId id : idList_) {
        const ValueParameter* parameter = find(id);
        if (parameter != nullptr && parameter->isChanged()) return "transient";
    }
    return "persistent";
}

void DeviceObject::setPendingDataSet(std::string_view text, bool stored) {
    pendingDataSet_ = text;
    pendingStored_ = stored;
}

std::string DeviceObject::takePendingDataSet() {
    std::string text = std::move(pendingDataSet_);
    pendingDataSet_.clear();
    return text;
}

ValueParameter& DeviceObject::adopt(std::unique_ptr<ValueParameter> parameter) {
    ValueParameter& stored = *parameter;
    objects_.push_back(std::move(parameter));
    map_.set(stored.id(), &stored);
    return stored;
}

ValueParameter* DeviceObject::findDeep(ParameterId id) const {
    if (ValueParameter* direct = find(id)) return direct;
    for (ValueParameter* parameter : map_.orderedParameters()) {
        if (ValueParameter* nested = findAmongComponents(*parameter, id)) return nested;
    }
    return nullptr;
}

ValueParameter& DeviceObject::createUserParameter(ParameterId id, std::string_view type) {
    ParameterSpec spec;
    spec.id = id;
    spec.owner = this;
    spec.kind = type == "String"   ? ParameterKind::String
                : type == "Double" ? ParameterKind::FloatingPoint
                                   : ParameterKind::UnsignedInteger;
    std::unique_ptr<ValueParameter> parameter = createParameter(spec);
    parameter->markUserCreated();
    return adopt(std::move(parameter));
}

void DeviceObject::setValue(ParameterId id, std::string_view text, int mode) {
    ValueParameter* parameter = find(id);
    if (parameter == nullptr) return;
    if (id == kDeviceTagId && !isDeviceMode(mode)) setTag(text);
    parameter->setValueText(text, mode);
}

ValueParameter* DeviceObject::resolveReference(ParameterId id,
                                               std::string_view referenceType) const {
    ValueParameter* parameter = findDeep(id);
    if (parameter == nullptr) return nullptr;
    return parameter->resolveTarget(referenceType);
}

std::string DeviceObject::wireValue(ParameterId id, std::string_view referenceType) const {
    const ValueParameter* parameter = resolveReference(id, referenceType);
    return parameter == nullptr ? std::string() : parameter->getValueText(kDeviceMode);
}

void DeviceObject::setWireValue(ParameterId id, std::string_view referenceType,
                                std::string_view text) {
    if (ValueParameter* parameter = resolveReference(id, referenceType)) {
        parameter->setValueText(text, kDeviceMode);
    }
}

bool DeviceObject::inconsistency(ParameterId id) const {
    const ValueParameter* parameter = findDeep(id);
    return parameter != nullptr && parameter->isOutOfRange() != 0;
}

bool DeviceObject::anyOutOfRange() const {
    return std::any_of(idList_.begin(), idList_.end(), [this](ParameterId id) {
        const ValueParameter* parameter = find(id);
        return parameter != nullptr && parameter->isOutOfRange() != 0;
    });
}

void DeviceObject::addAction(uint32_t key, xml::Node node) {
    actions_[key] = ActionEntry{key, node};
}

const ActionEntry* DeviceObject::findAction(uint32_t key) const {
    const auto found = actions_.find(key);
    return found == actions_.end() ? nullptr : &found->second;
}

void DeviceObject::clear() {
    // The lookups are emptied before any object goes: an observer released
    // below may call back into this container and must find nothing.
    std::vector<std::unique_ptr<ValueParameter>> doomed = std::move(objects_);
    objects_.clear();
    map_.clear();
    idList_.clear();
    actions_.clear();
    codeIndex_.reset();
    modelBuilt_ = false;
    doomed.clear();
}

}  // namespace engine
