#pragma once
// The DTM information document and the HART device identification document.

#include <memory>
#include <string>

#include "platform/xml/document.h"

namespace xml {
class SchemaCache;
}

namespace engine {

class DeviceObject;

// What the information, functions and parameter builders read. Nothing is
// owned: the DTM object keeps the documents, the cache and the model alive
// for as long as it uses a builder made from them.
struct DescriptionSources {
    // The DTM description, its XPath prefix "user" bound to the DTM
    // description namespace.
    const xml::Document* dtmDocument = nullptr;
    // The frame's schemas: attached to every document built, and used for validation.
    std::shared_ptr<const xml::SchemaCache> schemaCache;
    // The parameter model; asked for current value texts.
    DeviceObject* model = nullptr;
    // Icon file of the device package; empty for none.
    std::string iconPath;
};

// Reference ids of the identification values.
inline constexpr int32_t kManufacturerId = 2024606965;
inline constexpr int32_t kDeviceTypeId = 965867385;
inline constexpr int32_t kUniversalRevisionId = 438775785;
inline constexpr int32_t kSoftwareRevisionId = 1931717749;
inline constexpr int32_t kDeviceRevisionId = 1340043404;
inline constexpr int32_t kDeviceFlagsId = 1117277483;

// Builds both documents afresh on every call from the description and the
// current parameter values. Every failure is raised: CDTMException ("Error on
// GetInformation" when no document can be made, the parser error message
// when the information document does not validate, "Format Error" from a
// parameter) or xml::Error from a DOM operation.
class InformationDocumentBuilder {
public:
    explicit InformationDocumentBuilder(DescriptionSources sources);

    // The information document, validated; the root element's serialisation
    // (no XML declaration).
    std::string buildInformation() const;

    // The HART device identification document (not validated); the root
    // element's serialisation.
    std::string buildDeviceIdentification() const;

    // Appends one fdt:DtmDeviceType per "//user:DeviceVersion" of the
    // description to parent, each with version information, language, bus
    // category and, with an icon path, the device icon. parent belongs to doc.
    void appendDeviceTypes(xml::Document& doc, xml::Node& parent) const;

    const DescriptionSources& sources() const { return sources_; }

private:
    DescriptionSources sources_;
};

// "DD-Vers.:<manufacturer>-<device type>-1-1", complete for texts of any length.
std::string deviceTypeInformation(const std::string& manufacturer, const std::string& deviceType);

}  // namespace engine
