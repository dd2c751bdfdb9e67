#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/locale_time.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"
#include "platform/xml/document.h"

namespace engine::testing {

inline std::string modelFixture(const std::string& name) {
    return std::string(HARTDTM_TEST_DATA) + "/engine/model/" + name;
}

// A device description and DTM description loaded from tests/data/engine/model
// into a root container that formats dates in the "C" locale.
class LoadedModel {
public:
    explicit LoadedModel(const std::string& deviceFile = "device_model.xml",
                         const std::string& dtmFile = "dtm_model.xml")
        : device(loadDescriptionDocument(modelFixture(deviceFile), kDeviceDescriptionNamespace)),
          dtm(loadDescriptionDocument(modelFixture(dtmFile), kDtmDescriptionNamespace)) {
        root->setDateTimeFormat(format);
    }

    void load() { loadModel(*root, device, dtm); }

    // The parameter under id; fails the test when there is none.
    ValueParameter& at(ParameterId id) {
        ValueParameter* parameter = root->findDeep(id);
        if (parameter == nullptr) throw std::runtime_error("no parameter " + std::to_string(id));
        return *parameter;
    }

    DateTimeFormat format{"C"};
    xml::Document device;
    xml::Document dtm;
    // Declared last: the parameters go before the documents they read.
    std::unique_ptr<DeviceObject> root = std::make_unique<DeviceObject>();
};

}  // namespace engine::testing
