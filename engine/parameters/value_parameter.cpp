#include "engine/parameters/value_parameter.h"

#include <algorithm>

#include "engine/description/description_node.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/value_text.h"

namespace engine {
namespace {

constexpr std::string_view kUnknownName = "unkown";

std::string attributeOrEmpty(const xml::Node& node, std::string_view name) {
    return node.getAttribute(name).value_or(std::string());
}

// True for a scaling text that is a number equal to zero ("0", "0.00").
bool isZeroNumber(std::string_view text) {
    value_text::Scanner scanner(text);
    double value = 1;
    if (!scanner.readDouble(value)) return false;
    scanner.skipSpace();
    return scanner.atEnd() && value == 0;
}

}  // namespace

ValueParameter::ValueParameter(const ParameterSpec& spec)
    : id_(spec.id),
      owner_(spec.owner),
      node_(spec.node),
      parent_(spec.parent),
      kind_(spec.kind),
      typeName_(spec.typeName) {}

ValueParameter::~ValueParameter() = default;

void ValueParameter::appendComponent(ValueParameter* component) {
    components_.push_back(component);
}

void ValueParameter::addLink(ValueParameter* linked) {
    if (std::find(links_.begin(), links_.end(), linked) == links_.end()) links_.push_back(linked);
}

// --- descriptive texts ---

std::string ValueParameter::getLabel() const {
    if (!node_) return std::string(kUnknownName);
    std::string label = attributeOrEmpty(node_, "label");
    if (label.empty()) label = attributeOrEmpty(node_, "name");
    if (label.empty()) label = kUnknownName;
    return label;
}

std::string ValueParameter::getBlockName() const {
    if (!node_) return std::string(kUnknownName);
    std::string name = attributeOrEmpty(node_.parentNode(), "name");
    if (name.empty()) name = kUnknownName;
    return name;
}

std::string ValueParameter::getDescription() {
    if (!node_) return {};
    std::string text = description::pathText(node_, {"description"}).value_or(std::string());
    if (text.empty()) text = getLabel() + "_HELP";
    return text;
}

std::string ValueParameter::getSize() const {
    if (!node_) return {};
    const xml::Node sized = description::firstPath(node_, {"data_type", "sized_type"});
    return attributeOrEmpty(sized, "size");
}

int ValueParameter::describedSize() const {
    return std::max(0, parseLeadingDecimal(ValueParameter::getSize()));
}

const xml::NodeList& ValueParameter::restrictions() const {
    if (!restrictions_) restrictions_ = description::childElements(node_, "restriction");
    return *restrictions_;
}

xml::Node ValueParameter::restrictionConstant(std::string_view kind) const {
    return description::firstPathFrom(restrictions(), {kind, "constant"});
}

std::optional<ParameterId> ValueParameter::restrictionPointer(std::string_view kind) const {
    const xml::Node pointer = description::firstPathFrom(restrictions(), {kind, "pointer"});
    if (!pointer) return std::nullopt;
    return description::referenceIdOf(pointer);
}

std::string ValueParameter::constantText(std::string_view kind) const {
    const xml::Node constant = restrictionConstant(kind);
    return constant ? constant.text() : std::string();
}

ValueParameter* ValueParameter::findRestrictionSource(std::string_view kind, bool follow) {
    if (!node_) return nullptr;
    if (restrictionConstant(kind)) return this;
    std::optional<ParameterId> target = restrictionPointer(kind);
    if (!target && follow) target = restrictionPointer("value");
    if (!target) return nullptr;
    ValueParameter* source = owner_->findDeep(*target);
    if (source != nullptr) source->addLink(this);
    return source;
}

// Lower limit, upper limit, scaling and unit: the own constant or the source
// parameter's display text, then the constant of the followed source.
std::string ValueParameter::limitText(std::string_view kind, ValueParameter** source) {
    *source = nullptr;
    if (!node_) return {};
    std::string text;
    if (ValueParameter* direct = findRestrictionSource(kind, false); direct != nullptr) {
        *source = direct;
        const bool own = direct == this && restrictionConstant(kind);
        text = own ? constantText(kind) : direct->getValueText(kDisplayMode);
    }
    if (text.empty()) {
        ValueParameter* followed = findRestrictionSource(kind, true);
        if (followed != nullptr && followed != this) {
            *source = followed;
            text = followed->constantText(kind);
        }
    }
    return text;
}

// Offset and damping: the source's constant of the kind, else its "value" constant.
std::string ValueParameter::constantOrValueText(std::string_view kind) {
    ValueParameter* source = findRestrictionSource(kind, true);
    if (source == nullptr) return {};
    std::string text = source->constantText(kind);
    if (text.empty() && source != this) text = source->constantText("value");
    return text;
}

std::string ValueParameter::getLowerLimit() {
    ValueParameter* source = nullptr;
    return limitText("lower_limit", &source);
}

std::string ValueParameter::getUpperLimit() {
    ValueParameter* source = nullptr;
    return limitText("upper_limit", &source);
}

std::string ValueParameter::getScaling() {
    ValueParameter* source = nullptr;
    std::string text = limitText("scaling_factor", &source);
    if (text.empty() || isZeroNumber(text)) text = "1";
    return text;
}

std::string ValueParameter::getOffset() { return constantOrValueText("offset"); }

std::string ValueParameter::getDamping() { return constantOrValueText("damping"); }

std::string ValueParameter::getRange() {
    if (!range_.empty()) return range_;
    const std::string lower = getLowerLimit();
    const std::string upper = getUpperLimit();
    if (!lower.empty() && !upper.empty()) return "[" + lower + " to " + upper + "]";
    ValueParameter* source = findRestrictionSource("range", true);
    if (source == nullptr) return {};
    std::string text = source->constantText("range");
    if (text.empty() && source != this) text = source->constantText("value");
    return text;
}

void ValueParameter::setRange(std::string_view range) { range_ = range; }

std::string ValueParameter::getUnit() {
    ValueParameter* source = nullptr;
    std::string text = limitText("unit", &source);
    if (text.empty() || source == nullptr) return text;
    return value_text::lookUpUnitCode(text, source->getRange());
}

bool ValueParameter::isDynamic() const {
    if (parent_ != nullptr) return parent_->isDynamic();
    return node_ && description::hasTrueFlag(node_, "storage", "dynamic");
}

bool ValueParameter::isReadable() const {
    if (parent_ != nullptr) return parent_->isReadable();
    return node_ && description::hasTrueFlag(node_, "access", "readable");
}

bool ValueParameter::isWritable() const {
    if (parent_ != nullptr) return parent_->isWritable();
    return node_ && description::hasTrueFlag(node_, "access", "writable");
}

int16_t ValueParameter::isValid() const {
    if (parent_ != nullptr && parent_->isValid() == 0) return 0;
    return valid_;
}

void ValueParameter::setValid(int16_t valid) {
    const bool differs = valid != valid_;
    valid_ = valid;
    if (differs) notifyChanged();
}

void ValueParameter::setVisible(int16_t visible) {
    const bool differs = visible != visible_;
    visible_ = visible;
    if (differs) notifyChanged();
}

void ValueParameter::applyDefault() {
    if (!node_) return;
    const xml::Node constant = restrictionConstant("default");
    if (constant) setValueText(constant.text(), kDisplayMode);
}

ValueParameter* ValueParameter::resolveTarget(std::string_view) { return this; }

// --- changed state and notification ---

bool ValueParameter::isChanged() const {
    if (changed_ != 0) return true;
    return std::any_of(components_.begin(), components_.end(),
                       [](const ValueParameter* c) { return c->isChanged(); });
}

void ValueParameter::setChanged(bool flag, ValueParameter* originator) {
    std::unordered_set<const ValueParameter*> visited;
    if (originator != nullptr) visited.insert(originator);
    applyChanged(flag, visited);
}

void ValueParameter::applyChanged(bool flag, std::unordered_set<const ValueParameter*>& visited) {
    if (!visited.insert(this).second) return;
    changed_ = flag ? 1 : 0;
    if (flag && userCreated_ == 0 && id_ != kIgnoredResponseCodesId) {
        owner_->setDataSetState("validModified");
    }
    if (parent_ != nullptr) parent_->applyChanged(flag, visited);
    // Copies: an observer called below may register further parameters.
    const std::vector<ValueParameter*> components = components_;
    for (ValueParameter* component : components) component->applyChanged(flag, visited);
    const std::vector<ValueParameter*> links = links_;
    for (ValueParameter* linked : links) linked->applyChanged(flag, visited);
    if (flag && id_ == kDeviceTagId) owner_->adoptTagFromParameter(getValueText(kDisplayMode));
    callObservers();
}

void ValueParameter::notifyChanged(ValueParameter* originator) {
    if (parent_ != nullptr && parent_ != originator) parent_->notifyChanged(this);
    const std::vector<ValueParameter*> components = components_;
    for (ValueParameter* component : components) {
        if (component != originator) component->notifyChanged(this);
    }
    callObservers();
}

void ValueParameter::callObservers() const {
    // A copy keeps every record alive while an observer unregisters itself.
    const std::vector<ObserverRecord> records = observers_;
    for (const ObserverRecord& record : records) record.changed(id_);
}

bool ValueParameter::registerObserver(IObserver* observer, int32_t ownerId) {
    if (observer == nullptr) return false;
    const bool known = std::any_of(observers_.begin(), observers_.end(),
                                   [ownerId](const ObserverRecord& r) { return r.ownerId() == ownerId; });
    if (known) return false;
    observers_.emplace_back(observer, ownerId);
    return true;
}

bool ValueParameter::registerObserver(IObserver* observer) {
    if (observer == nullptr) return false;
    return registerObserver(observer, ownerIdOf(observer));
}

bool ValueParameter::unregisterObserver(int32_t ownerId) {
    const auto found = std::find_if(observers_.begin(), observers_.end(),
                                    [ownerId](const ObserverRecord& r) { return r.ownerId() == ownerId; });
    if (found == observers_.end()) return false;
    observers_.erase(found);
    return true;
}

// --- wire layout ---

size_t ValueParameter::wireByteCount() const { return static_cast<size_t>(describedSize()); }

std::optional<uint64_t> ValueParameter::readBits(int, int) const { return std::nullopt; }

bool ValueParameter::writeBits(int, int, uint64_t) { return false; }

}  // namespace engine
