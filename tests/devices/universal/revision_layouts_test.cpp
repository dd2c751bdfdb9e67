// One description serves HART 5, 6 and 7: command replies of each revision,
// decoded by the engine's own reply distribution, fill the parameters that
// the revision's layout gives and leave the others alone.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/communication/command_items.h"
#include "engine/communication/command_key.h"
#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"

namespace {

constexpr engine::ParameterId kManufacturer = 2024606965;
constexpr engine::ParameterId kDeviceType = 965867385;
constexpr engine::ParameterId kExpandedDeviceType = 323838731;
constexpr engine::ParameterId kUniversalRevision = 438775785;
constexpr engine::ParameterId kDeviceId = 444726575;
constexpr engine::ParameterId kConfigurationCounter = 436007525;
constexpr engine::ParameterId kDistributor16 = 411092288;
constexpr engine::ParameterId kDeviceProfile = 73218278;
constexpr engine::ParameterId kPollingAddress = 480012922;
constexpr engine::ParameterId kLoopCurrentMode = 1804907112;
constexpr engine::ParameterId kDistributor = 1120078942;
constexpr engine::ParameterId kAnalogFlags = 454090125;
constexpr engine::ParameterId kStandardStatus0 = 2049054626;
constexpr engine::ParameterId kOutputsSaturated5 = 1618630674;

std::string packageFile(const char* name) {
    return std::string(HARTDTM_SOURCE_ROOT) + "/devices/universal/" + name;
}

class UniversalLayouts : public ::testing::Test {
protected:
    void SetUp() override {
        device = engine::loadDescriptionDocument(packageFile("Universal.zor"),
                                                 engine::kDeviceDescriptionNamespace);
        dtm = engine::loadDescriptionDocument(packageFile("Universal HART Device Description.xml"),
                                              engine::kDtmDescriptionNamespace);
        engine::loadModel(model, device, dtm);
    }
    std::string value(engine::ParameterId id) {
        engine::ValueParameter* p = model.find(id);
        return p == nullptr ? "missing " + std::to_string(id)
                            : p->getValueText(engine::kDisplayMode);
    }
    void decode(unsigned command, unsigned index, const std::string& bytes) {
        engine::communication::distributeReply(
            model, engine::communication::commandKey(command, index), bytes);
    }

    xml::Document device, dtm;
    engine::DeviceObject model;
};

struct IdentityCase {
    const char* name;
    const char* reply;  // command 0 data bytes
    std::map<engine::ParameterId, std::string> expected;
};

// The same device answering as HART 5 (12 bytes), 6 (17) and 7 (22 bytes,
// bytes 1 and 2 the expanded device type, bytes 17 and 18 the manufacturer).
const IdentityCase kIdentityCases[] = {
    {"hart5",
     "FE2A1105050103100001E240",
     {{kManufacturer, "42"},
      {kDeviceType, "17"},
      {kExpandedDeviceType, "10769"},
      {kUniversalRevision, "5"},
      {kDeviceId, "123456"},
      {kConfigurationCounter, "0"},
      {kDistributor16, "0"}}},
    {"hart6",
     "FE2A1105060103100001E24005040007"
     "01",
     {{kManufacturer, "42"},
      {kDeviceType, "17"},
      {kExpandedDeviceType, "10769"},
      {kUniversalRevision, "6"},
      {kConfigurationCounter, "7"},
      {kDistributor16, "0"}}},
    {"hart7",
     "FEE17A0507020518000A132C05030007"
     "00"
     "60F3"
     "60F3"
     "01",
     {{kManufacturer, "24819"},
      {kDeviceType, "57722"},
      {kExpandedDeviceType, "57722"},
      {kUniversalRevision, "7"},
      {kDeviceId, "660268"},
      {kDistributor16, "24819"},
      {kDeviceProfile, "1"}}},
};

TEST_F(UniversalLayouts, Command0FillsTheIdentityOfEachRevision) {
    for (const IdentityCase& c : kIdentityCases) {
        SetUp();
        decode(0, 0, c.reply);
        for (const auto& [id, text] : c.expected) EXPECT_EQ(value(id), text) << c.name << " " << id;
    }
}

TEST_F(UniversalLayouts, LaterRevisionBytesAreOptional) {
    decode(6, 0, "03");  // a HART 5 device echoes the address only
    EXPECT_EQ(value(kPollingAddress), "3");
    EXPECT_EQ(value(kLoopCurrentMode), "1") << "the description's default stays";
    decode(15, 0,
           "0000074180000000000000"
           "3F000000"
           "00"
           "FA"
           "01");
    EXPECT_EQ(value(kDistributor), "250");
    EXPECT_EQ(value(kAnalogFlags), "1") << "byte 17 of HART 6 and 7";
}

TEST_F(UniversalLayouts, Command48HasAHart5LayoutUnderItsOwnIndex) {
    const std::string reply =
        "000000000000"
        "0102"
        "040000"
        "000000"
        "0000000000000000000000";
    decode(48, 5, reply);
    EXPECT_NE(model.wireValue(kOutputsSaturated5, ""), "000000") << "bytes 8 to 10 of HART 5";
    EXPECT_EQ(value(kStandardStatus0), "0") << "the HART 6 meaning of byte 8 is not read";
    decode(48, 0, reply);
    EXPECT_EQ(value(kStandardStatus0), "4");
}

}  // namespace
