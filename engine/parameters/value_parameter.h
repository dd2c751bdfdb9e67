#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/description/data_type.h"
#include "engine/description/reference_id.h"
#include "engine/parameters/observer_record.h"
#include "platform/xml/node.h"

struct IObserver;

namespace engine {

class DeviceObject;
class ValueParameter;

// Value text modes: 0 is the display text (private interface, data-set text,
// parameter document); 1 and 2 are the device text, two hexadecimal digits
// per byte, most significant byte first. Any mode other than 0 counts as a
// device mode.
inline constexpr int kDisplayMode = 0;
inline constexpr int kDeviceMode = 1;
inline constexpr int kDeviceHexMode = 2;
inline bool isDeviceMode(int mode) { return mode != kDisplayMode; }

// What a parameter object is made from.
struct ParameterSpec {
    ParameterKind kind = ParameterKind::UnsignedInteger;
    ParameterId id = 0;
    xml::Node node;                     // null for parameter 1 and user-created parameters
    std::string typeName;               // the description's "type_name"; empty without a node
    ValueParameter* parent = nullptr;   // set for components
    DeviceObject* owner = nullptr;      // required
};

// A parameter of the device description: the common part of every kind.
// Objects are owned by their DeviceObject and live until it is emptied. The
// description node is read whenever a text is asked for; its document must
// outlive the object. Components, parent and links are non-owning.
class ValueParameter {
public:
    virtual ~ValueParameter();
    ValueParameter(const ValueParameter&) = delete;
    ValueParameter& operator=(const ValueParameter&) = delete;

    ParameterId id() const { return id_; }
    ParameterKind kind() const { return kind_; }
    const std::string& typeName() const { return typeName_; }
    const xml::Node& node() const { return node_; }
    ValueParameter* parent() const { return parent_; }
    DeviceObject& owner() const { return *owner_; }
    const std::vector<ValueParameter*>& components() const { return components_; }
    const std::vector<ValueParameter*>& links() const { return links_; }
    bool isUserCreated() const { return userCreated_ != 0; }
    void markUserCreated() { userCreated_ = 1; }

    void appendComponent(ValueParameter* component);
    // Adds a parameter that takes a restriction from this one (at most once).
    void addLink(ValueParameter* linked);

    // --- descriptive texts, read from the description when asked ---
    std::string getDamping();
    std::string getDescription();
    std::string getLowerLimit();
    std::string getLabel() const;
    std::string getBlockName() const;
    std::string getOffset();
    std::string getRange();
    void setRange(std::string_view range);
    std::string getScaling();
    virtual std::string getSize() const;
    std::string getUnit();
    std::string getUpperLimit();

    // --- value ---
    // The value text in a mode. Throws CDTMException "Format Error" where a
    // kind cannot write its value.
    virtual std::string getValueText(int mode) const = 0;
    // Sets the value from a text. A display text that is not a number of the
    // kind, or lies outside the range, is refused: the value stays and
    // outOfRange becomes 1. An accepted display value clears outOfRange and
    // marks the parameter changed when the value differs; a device value is
    // always taken (clamped where the kind clamps) and always sets the changed
    // flag, but signals (observers, data-set state) only when it differs.
    virtual void setValueText(std::string_view text, int mode) = 0;
    // Applies the description's default constant, if any, as a display text.
    void applyDefault();

    // --- flags ---
    // Notifies the parent and the components (never the originator), then
    // calls Changed on every observer of this parameter.
    void notifyChanged(ValueParameter* originator = nullptr);
    // The own changed flag or that of any component.
    bool isChanged() const;
    bool changedFlag() const { return changed_ != 0; }
    // Stores the flag here and passes it to the parent, the components and the
    // linked parameters, each parameter taking part once per call (never the
    // originator); each then notifies its observers. Setting it moves the
    // data-set state to "validModified" unless the parameter is user-created
    // or is parameter 1274278243; on parameter 1122622930 it also carries the
    // value over to the device tag.
    void setChanged(bool flag, ValueParameter* originator = nullptr);
    bool isDynamic() const;
    bool isReadable() const;
    bool isWritable() const;
    // 0 when the parent is not valid, else the own valid value.
    int16_t isValid() const;
    void setValid(int16_t valid);
    int16_t isVisible() const { return visible_; }
    void setVisible(int16_t visible);
    int16_t isOutOfRange() const { return outOfRange_; }
    void setOutOfRange(int16_t outOfRange) { outOfRange_ = outOfRange; }

    // The parameter that a reference of the given kind designates: this
    // parameter for every kind except the pointer kind, which answers itself
    // for "pointer_value" and its target (or null) otherwise.
    virtual ValueParameter* resolveTarget(std::string_view kind);

    // --- observers ---
    // Adds a registration unless one with that owner id exists; true when added.
    bool registerObserver(IObserver* observer, int32_t ownerId);
    // Registers with the owner id that the observer answers.
    bool registerObserver(IObserver* observer);
    // Removes the registration of that owner id (releasing its reference);
    // true when one was removed.
    bool unregisterObserver(int32_t ownerId);
    const std::vector<ObserverRecord>& observers() const { return observers_; }

    // --- restrictions ---
    // The parameter whose data supplies restriction kind: this one when its
    // node has the constant; else the parameter that the kind's pointer names
    // (with follow also the "value" pointer), found among all parameters and
    // their components, which then reports its changes through this one too.
    // Null without a node or without a found source.
    ValueParameter* findRestrictionSource(std::string_view kind, bool follow);
    // The text of the node's constant of that restriction kind; empty when absent.
    std::string constantText(std::string_view kind) const;

    // --- wire layout ---
    // Bytes that the device text of this parameter spans inside a complex or
    // array value.
    virtual size_t wireByteCount() const;
    // Bits lower..upper (0 = least significant bit of the value) for the bit
    // ranges viewing this parameter; nullopt when the kind has no bits there.
    virtual std::optional<uint64_t> readBits(int lower, int upper) const;
    // Writes bits lower..upper as a display value would be set; false when the
    // kind has no bits there.
    virtual bool writeBits(int lower, int upper, uint64_t bits);

protected:
    explicit ValueParameter(const ParameterSpec& spec);

    // The description's size text as a number; 0 when absent or not a number.
    int describedSize() const;
    // Common ending of a set: a value that differs is stored by store() and
    // marks the parameter changed, with every signal that goes with it. A
    // device value equal to the held one still sets the changed flag (the
    // parameter holds a device value not yet saved), but quietly: no observer
    // is called and the data-set state stays, so that the same value read
    // again and again (a cyclic upload) signals nothing.
    template <class Store>
    void takeValue(bool differs, bool fromDevice, Store&& store) {
        if (!fromDevice) outOfRange_ = 0;
        if (differs) {
            store();
            setChanged(true);
        } else if (fromDevice) {
            changed_ = 1;
        }
    }
    void refuseValue() { outOfRange_ = 1; }

private:
    std::string limitText(std::string_view kind, ValueParameter** source);
    std::string constantOrValueText(std::string_view kind);
    void applyChanged(bool flag, std::unordered_set<const ValueParameter*>& visited);
    void callObservers() const;

    // Fields in the order of the description model.
    uint8_t changed_ = 0;
    std::vector<ValueParameter*> components_;
    ParameterId id_;
    std::vector<ObserverRecord> observers_;
    std::vector<ValueParameter*> links_;
    DeviceObject* owner_;
    xml::Node node_;
    ValueParameter* parent_;
    int16_t valid_ = 1;
    int16_t visible_ = 1;
    int16_t outOfRange_ = 0;
    std::string range_;
    uint8_t userCreated_ = 0;

    ParameterKind kind_;
    std::string typeName_;
};

}  // namespace engine
