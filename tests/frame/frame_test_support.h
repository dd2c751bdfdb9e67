#pragma once
// Helpers of the frame tests: paths of the build's modules and the source
// tree's device packages, the FDT schema set, and registration of the
// deliverables into the test's own registry.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "frame/registration.h"
#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace frametest {

inline std::filesystem::path devicesRoot() {
    return std::filesystem::path(HARTDTM_SOURCE_ROOT) / "devices";
}
inline std::filesystem::path dataFile(const std::string& name) {
    return std::filesystem::path(HARTDTM_TEST_DATA) / name;
}
inline std::filesystem::path engineModule() {
    return std::filesystem::path(HARTDTM_BINARY_ROOT) / "packages/QadGenericDTM/QadGenericDTM.so";
}
inline std::filesystem::path positionerModule() {
    return std::filesystem::path(HARTDTM_BINARY_ROOT) /
           "packages/VarnholtRavikHARTDTM/VarnholtRavikHARTDTM.so";
}
inline bool positionerBuilt() {
    return std::filesystem::exists(positionerModule());
}

constexpr const char* kEngineProgId = "QadGenericDTM.QadGenericDTMObject.7";
constexpr const char* kPositionerProgId = "VarnholtRavikHARTDTM.BasicDTM.1";

// Registers the engine (and the positioner's DTM when it is built) once per
// test program, into the registry that HARTDTM_REGISTRY names.
inline void registerDeliverables() {
    static const bool registered = [] {
        // Outside CTest the programme still keeps to a registry of its own.
        if (const char* registry = std::getenv("HARTDTM_REGISTRY"); !registry || !*registry) {
            const auto own = std::filesystem::temp_directory_path() / "hartdtm-test-frame-registry";
            setenv("HARTDTM_REGISTRY", own.c_str(), 1);
        }
        EXPECT_TRUE(frame::registerDeliverable(engineModule())) << engineModule();
        if (positionerBuilt()) {
            EXPECT_TRUE(frame::registerDeliverable(positionerModule()));
        }
        return true;
    }();
    (void)registered;
}

// Registers the view module, when it is built, through the given dtmframe:
// the module links Qt and is not loaded into the test program itself.
inline void registerViewModule(const std::string& dtmframe) {
    const auto views = std::filesystem::path(HARTDTM_BINARY_ROOT) / "packages/ZorDTMView/ZorDTMView.so";
    if (!std::filesystem::exists(views)) return;
    const auto quoted = [](const std::string& word) { return "'" + word + "'"; };
    const std::string command = quoted(dtmframe) + " --registry " + quoted(std::getenv("HARTDTM_REGISTRY")) +
                                " -e " + quoted("register " + views.string()) + " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// The FDT schema set of the devices folder, as a DTM builds it.
inline std::shared_ptr<const xml::SchemaCache> schemaSet() {
    static const std::shared_ptr<const xml::SchemaCache> cache = [] {
        auto built = std::make_shared<xml::SchemaCache>();
        for (const auto& entry : std::filesystem::directory_iterator(devicesRoot() / "schemas")) {
            xml::Document schema;
            EXPECT_TRUE(schema.load(entry.path().string())) << entry.path();
            EXPECT_TRUE(built->add("x-schema:" + entry.path().filename().string(), schema).ok());
        }
        return built;
    }();
    return cache;
}

// The parse error of loading `text` with validation against the schema set.
inline xml::ParseError validate(const std::string& text) {
    xml::Document document;
    document.setSchemaCache(schemaSet());
    document.setValidateOnParse(true);
    document.loadXML(text);
    return document.parseError();
}

}  // namespace frametest
