#pragma once
// Loads description fixtures and the frame's schema set for the document
// builder tests, and reads produced documents back.

#include <filesystem>
#include <memory>
#include <string>

#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/documents/information_document.h"
#include "engine/dtm/language_table.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/locale_time.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"
#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace engine::testing {

inline std::string documentsFixture(const std::string& name) {
    return std::string(HARTDTM_TEST_DATA) + "/engine/documents/" + name;
}

// Every "*.xml" schema of a directory, keyed "x-schema:" + file name.
inline std::shared_ptr<xml::SchemaCache> schemasFrom(const std::filesystem::path& dir) {
    auto cache = std::make_shared<xml::SchemaCache>();
    for (const auto& file : std::filesystem::directory_iterator(dir)) {
        if (file.path().extension() != ".xml") continue;
        xml::Document schema;
        schema.setValidateOnParse(false);
        if (schema.load(file.path().string()) && schema.documentElement().nodeName() == "Schema") {
            cache->add("x-schema:" + file.path().filename().string(), schema);
        }
    }
    return cache;
}

inline std::shared_ptr<xml::SchemaCache> frameSchemas() {
    static const std::shared_ptr<xml::SchemaCache> cache =
        schemasFrom(std::filesystem::path(HARTDTM_SOURCE_ROOT) / "devices" / "schemas");
    return cache;
}

// A device description and a DTM description from tests/data/engine/documents,
// the parameter model built from them (dates in the "C" locale), the
// language table and the frame's schemas.
class DocumentFixture {
public:
    explicit DocumentFixture(const std::string& dtmFile = "dtm_full.xml", bool loadModelNow = true)
        : device(
              loadDescriptionDocument(documentsFixture("device.xml"), kDeviceDescriptionNamespace)),
          dtm(loadDescriptionDocument(documentsFixture(dtmFile), kDtmDescriptionNamespace)) {
        model->setDateTimeFormat(format);
        if (loadModelNow) loadModel(*model, device, dtm);
        translator.load(documentsFixture("language.txt"), "en");
    }

    DescriptionSources sources(const std::string& iconPath = "/icons/device.ico") {
        return DescriptionSources{&dtm, frameSchemas(), model.get(), iconPath};
    }

    ValueParameter& at(ParameterId id) {
        ValueParameter* parameter = model->find(id);
        if (parameter == nullptr) throw std::runtime_error("no parameter " + std::to_string(id));
        return *parameter;
    }

    DateTimeFormat format{"C"};
    xml::Document device;
    xml::Document dtm;
    LanguageTable translator;
    // Declared last: the parameters go before the documents they read.
    std::unique_ptr<DeviceObject> model = std::make_unique<DeviceObject>();
};

// A produced document read back, with the prefixes used in the tests bound.
inline xml::Document readBack(const std::string& text) {
    xml::Document doc;
    doc.setValidateOnParse(false);
    if (!doc.loadXML(text))
        throw std::runtime_error("produced text does not load: " + doc.parseError().reason);
    doc.setProperty("SelectionLanguage", "XPath");
    doc.setProperty("SelectionNamespaces",
                    "xmlns:info='x-schema:DTMInformationSchema.xml' "
                    "xmlns:fdt='x-schema:FDTDataTypesSchema.xml' "
                    "xmlns:fn='x-schema:DTMFunctionsSchema.xml' "
                    "xmlns:appId='x-schema:FDTApplicationIdSchema.xml' "
                    "xmlns:par='x-schema:DTMParameterSchema.xml' "
                    "xmlns:DevId='x-schema:FDTHARTDeviceTypeIdentSchema.xml' "
                    "xmlns:hartident='x-schema:FDTHARTIdentSchema.xml'");
    return doc;
}

// The failure reason when text does not validate against the frame's schemas; empty when it does.
inline std::string validationFailure(const std::string& text) {
    xml::Document doc;
    doc.setValidateOnParse(true);
    doc.setSchemaCache(frameSchemas());
    if (doc.loadXML(text)) return {};
    return doc.parseError().reason.empty() ? "invalid" : doc.parseError().reason;
}

// The names of the attributes of an element, in order, joined by blanks.
inline std::string attributeNames(const xml::Node& element) {
    std::string names;
    for (const xml::Node& attribute : element.attributes()) {
        if (!names.empty()) names += ' ';
        names += attribute.nodeName();
    }
    return names;
}

}  // namespace engine::testing
