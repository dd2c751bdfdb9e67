// Feeds arbitrary description documents to the engine's loader: the first
// byte chooses whether the rest is the device description (odd) or the DTM
// description (even); the other one is the test package's. The model is
// built, every parameter's texts are read, and the information and parameter
// documents are built and validated against the FDT schema set.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/description/dtm_exception.h"
#include "engine/description/shared_descriptions.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/information_document.h"
#include "engine/documents/parameter_document.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"

namespace {

std::string sourceFile(const char* relative) {
    return std::string(HARTDTM_SOURCE_ROOT) + "/" + relative;
}

// The document as the loader reads a description file: without validation.
bool loadDescriptionText(std::string_view text, std::string_view namespaceUri, xml::Document& document) {
    document.setValidateOnParse(false);
    if (!document.loadXML(text)) return false;
    engine::bindDescriptionPrefix(document, namespaceUri);
    return true;
}

void readModel(engine::DeviceObject& model) {
    for (engine::ParameterId id : model.idList()) {
        engine::ValueParameter* parameter = model.find(id);
        if (!parameter) continue;
        parameter->getValueText(engine::kDisplayMode);
        parameter->getRange();
        parameter->getUnit();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const auto fixedDevice = engine::sharedDescriptionDocument(
        sourceFile("tests/data/engine/dtm/device.xml"), engine::kDeviceDescriptionNamespace);
    static const auto fixedDtm = engine::sharedDescriptionDocument(
        sourceFile("tests/data/engine/documents/dtm_full.xml"), engine::kDtmDescriptionNamespace);
    static const auto schemas = engine::sharedSchemaCache(sourceFile("devices/schemas"));

    const bool isDevice = (data[0] & 1) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    xml::Document fuzzed;
    if (!loadDescriptionText(text,
                             isDevice ? engine::kDeviceDescriptionNamespace : engine::kDtmDescriptionNamespace,
                             fuzzed))
        return 0;
    const xml::Document& device = isDevice ? fuzzed : *fixedDevice;
    const xml::Document& dtm = isDevice ? *fixedDtm : fuzzed;

    engine::DeviceObject model;
    try {
        engine::loadModel(model, device, dtm);
    } catch (const engine::CDTMException&) {
        return 0;  // a description the engine refuses, with its message
    }
    try {
        readModel(model);
    } catch (const engine::CDTMException&) {
        // "Format Error" of a parameter that has no text form
    }
    engine::DescriptionSources sources;
    sources.dtmDocument = &dtm;
    sources.schemaCache = schemas;
    sources.model = &model;
    const engine::InformationDocumentBuilder information(sources);
    engine::answerInformation(information);
    engine::answerDeviceIdentification(information);
    engine::answerParameters(engine::ParameterDocumentBuilder(information));
    model.clear();
    return 0;
}
