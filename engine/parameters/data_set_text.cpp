#include "engine/parameters/data_set_text.h"

#include <algorithm>
#include <optional>

#include "engine/parameters/device_object.h"
#include "engine/parameters/value_parameter.h"

namespace engine {
namespace {

std::string item(std::string_view key, std::string_view value) {
    std::string text;
    text.reserve(key.size() + value.size() + 3);
    text += '[';
    text += key;
    text += '=';
    text += value;
    text += ']';
    return text;
}

bool isDecimalNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The id of a data-set item key, read as the unsigned 32-bit number it was
// written as.
ParameterId idOfKey(std::string_view key) {
    uint32_t id = 0;
    for (char c : key) id = id * 10 + static_cast<uint32_t>(c - '0');
    return static_cast<ParameterId>(id);
}

}  // namespace

DataSetWalk walkDataSet(DeviceObject& root) {
    DataSetWalk walk;
    const std::string tagItem = item("tag", root.tag());
    walk.full = tagItem + item("dataSetState", root.dataSetState());
    if (root.tagChanged()) walk.changed = tagItem;
    std::vector<ValueParameter*> changed;
    for (ParameterId id : root.idList()) {
        ValueParameter* parameter = root.find(id);
        if (parameter == nullptr) continue;
        const std::string text = item(formatReferenceId(id), parameter->getValueText(kDisplayMode));
        walk.full += text;
        if (parameter->changedFlag()) {
            walk.changed += text;
            changed.push_back(parameter);
        }
    }
    root.clearTagChanged();
    for (ValueParameter* parameter : changed) {
        if (parameter->changedFlag()) parameter->setChanged(false);
    }
    return walk;
}

void applyDataSetText(DeviceObject& root, std::string_view text, bool stored) {
    if (!root.modelBuilt()) {
        root.setPendingDataSet(text, stored);
        return;
    }
    std::optional<std::string> state;
    std::optional<std::string> tag;
    size_t position = 0;
    while (true) {
        const size_t open = text.find('[', position);
        if (open == std::string_view::npos) break;
        const size_t close = text.find(']', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view entry = text.substr(open + 1, close - open - 1);
        position = close + 1;

        const size_t equals = entry.find('=');
        if (equals == std::string_view::npos || equals == 0) continue;
        const std::string_view key = entry.substr(0, equals);
        const std::string_view value = entry.substr(equals + 1);
        if (isDecimalNumber(key)) {
            const ParameterId id = idOfKey(key);
            root.setValue(id, value, kDisplayMode);
            ValueParameter* parameter = root.find(id);
            if (stored && parameter != nullptr) parameter->setChanged(false);
        } else if (key == "dataSetState") {
            state = std::string(value);
        } else if (key == "tag") {
            tag = std::string(value);
        }
    }
    // The tag first: setting it may move the state, and the stored state wins.
    if (tag && !tag->empty()) root.setTag(*tag);
    root.setDataSetState(state && !state->empty() ? *state : "default");
    root.clearTagChanged();
}

}  // namespace engine
