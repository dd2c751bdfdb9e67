// Feeds arbitrary action scripts to the script interpreter, and every
// upload or download element it queues to the element reader.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/communication/action_script.h"

namespace {

class CountingTarget : public engine::communication::ScriptTarget {
public:
    std::string translatedString(const std::string& key) override { return key; }
    void startProgress(const std::string&) override { ++progress; }
    void stopProgress() override { --progress; }
    void queueCommands(std::string_view element) override {
        commands += engine::communication::parseCommandElement(element).commands.size();
    }
    void setValue(engine::ParameterId, const std::string& value) override { values += value.size(); }

    long progress = 0;
    std::size_t commands = 0;
    std::size_t values = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountingTarget target;
    engine::communication::runActionScript(std::string_view(reinterpret_cast<const char*>(data), size), target);
    return 0;
}
