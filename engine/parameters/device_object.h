#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/description/reference_id.h"
#include "engine/parameters/parameter_map.h"
#include "platform/xml/node.h"

namespace engine {

class CodeIndex;
class DateTimeFormat;
class ValueParameter;

// A HART action item of the description, keyed by its action id: the command
// number shifted left by 24 bits, or-ed with the low 8 bits of its index.
struct ActionEntry {
    uint32_t key = 0;
    xml::Node node;  // the "user:action_hart" element
};

// The action id of a command number and addressing index.
inline uint32_t actionKey(int32_t command, int32_t index) {
    return (static_cast<uint32_t>(command) << 24) | (static_cast<uint32_t>(index) & 0xFFu);
}

// The root container of the parameter model: owns every parameter object,
// keeps the parameter map, the id list, the action map, the device tag and the
// data-set state. Objects replaced in the map stay alive (components and links
// may still refer to them) until clear() or destruction. The description
// documents that the nodes belong to must outlive the objects.
class DeviceObject {
public:
    DeviceObject();
    ~DeviceObject();
    DeviceObject(const DeviceObject&) = delete;
    DeviceObject& operator=(const DeviceObject&) = delete;

    // --- device tag: initially "no valid tag" ---
    const std::string& tag() const { return tag_; }
    // Sets the tag (tagChanged when it differs) and the value of parameter
    // 1122622930 to the same text.
    void setTag(std::string_view tag);
    // Takes the display text of parameter 1122622930 as the tag, unless it
    // equals the first 8 characters of the current tag.
    void adoptTagFromParameter(std::string_view displayText);
    bool tagChanged() const { return tagChanged_; }
    void clearTagChanged() { tagChanged_ = false; }

    // --- data-set and storage state ---
    const std::string& dataSetState() const { return dataSetState_; }
    void setDataSetState(std::string_view state) { dataSetState_ = state; }
    // "transient" when a parameter of the id list is changed, else "persistent".
    std::string storageState() const;

    bool modelBuilt() const { return modelBuilt_; }
    void setModelBuilt(bool built) { modelBuilt_ = built; }
    // A data-set text received before the model existed, and whether it came
    // from persistence (its changed flags are cleared when applied).
    const std::string& pendingDataSet() const { return pendingDataSet_; }
    bool pendingDataSetStored() const { return pendingStored_; }
    void setPendingDataSet(std::string_view text, bool stored);
    // Hands the pending text over and forgets it.
    std::string takePendingDataSet();

    // --- parameters ---
    // Takes ownership and stores the object in the map under its id,
    // replacing an earlier object there. Returns the object.
    ValueParameter& adopt(std::unique_ptr<ValueParameter> parameter);
    // The parameter stored under id in the map, or null.
    ValueParameter* find(ParameterId id) const { return map_.find(id); }
    // find(), then the components of every parameter, recursively.
    ValueParameter* findDeep(ParameterId id) const;
    const ParameterMap& parameterMap() const { return map_; }
    // Every id of the map in map order (rebuilt by rebuildIdList).
    const std::vector<ParameterId>& idList() const { return idList_; }
    void rebuildIdList() { idList_ = map_.orderedIds(); }
    // A parameter that the description does not hold: "String" a string,
    // "Double" a floating one, any other type an unsigned integer; marked as
    // user-created; replaces any parameter under id in the map.
    ValueParameter& createUserParameter(ParameterId id, std::string_view type);

    // --- operations by id ---
    // Sets a value as the private interface does: for parameter 1122622930 a
    // display text first becomes the device tag. Unknown ids do nothing.
    void setValue(ParameterId id, std::string_view text, int mode);
    // The parameter addressed by a reference of a command item: a pointer
    // parameter is resolved by the reference type, others stand for
    // themselves. Null for an unknown id.
    ValueParameter* resolveReference(ParameterId id, std::string_view referenceType) const;
    // The wire text of the addressed parameter; empty for an unknown id.
    std::string wireValue(ParameterId id, std::string_view referenceType) const;
    // Decodes a wire text into the addressed parameter; unknown ids do nothing.
    void setWireValue(ParameterId id, std::string_view referenceType, std::string_view text);
    // True when the parameter is marked out of range (inconsistent).
    bool inconsistency(ParameterId id) const;
    // True when a parameter of the id list is out of range.
    bool anyOutOfRange() const;

    // --- action items ---
    // Stores the entry under its key, replacing an earlier one.
    void addAction(uint32_t key, xml::Node node);
    const ActionEntry* findAction(uint32_t key) const;
    const std::map<uint32_t, ActionEntry>& actions() const { return actions_; }

    // The command numbers of the description that `anyNode` belongs to,
    // indexed on first use (the model's description does not change).
    const CodeIndex& codeIndex(const xml::Node& anyNode) const;

    // Formats of the date and time kinds; the user's default unless set.
    const DateTimeFormat& dateTimeFormat() const { return *dateTimeFormat_; }
    // format must outlive this object.
    void setDateTimeFormat(const DateTimeFormat& format) { dateTimeFormat_ = &format; }

    // Destroys every parameter object and empties map, id list and action
    // map; the model counts as not built afterwards.
    void clear();

private:
    std::string tag_ = "no valid tag";
    std::string dataSetState_ = "default";
    bool tagChanged_ = false;
    bool modelBuilt_ = false;
    std::string pendingDataSet_;
    bool pendingStored_ = false;
    std::vector<ParameterId> idList_;
    ParameterMap map_;
    std::map<uint32_t, ActionEntry> actions_;

    std::vector<std::unique_ptr<ValueParameter>> objects_;
    mutable std::unique_ptr<CodeIndex> codeIndex_;
    const DateTimeFormat* dateTimeFormat_;
};

}  // namespace engine
